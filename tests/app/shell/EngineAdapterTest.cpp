// The engine's notifications crossing from worker threads to the user-interface thread. Run
// under ThreadSanitizer with the threaded suites.
#include <QTest>
#include <QThread>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>
#include <vector>

#include "app/shell/EngineAdapter.h"
#include "tests/app/AppTestSupport.h"

using app::EngineAdapter;
using engine::EngineMessage;
using engine::MessageId;

namespace {

// Polls for the condition without running this thread's events, which would hand the messages
// over; false after ten seconds.
bool waitUntil(const std::function<bool()>& done) {
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done()) {
        if (std::chrono::steady_clock::now() > limit) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

EngineMessage numbered(std::uint32_t worker, std::uint32_t index) {
    EngineMessage message{MessageId::PageJob, index, worker, nullptr, nullptr};
    return message;
}

}  // namespace

class EngineAdapterTest : public QObject {
    Q_OBJECT

private slots:
    // Every posted message arrives on this thread, each worker's in the order it posted them,
    // in far fewer batches than messages.
    void postedMessagesArriveInOrderOnTheReceiverThread() {
        QObject receiver;
        std::vector<std::vector<std::uint32_t>> seen(4);
        int batches = 0;
        bool foreignThread = false;
        EngineAdapter adapter(&receiver, [&](const std::vector<EngineMessage>& messages) {
            ++batches;
            foreignThread |= QThread::currentThread() != receiver.thread();
            for (const auto& m : messages) seen[m.previousState].push_back(m.value);
        });
        constexpr std::uint32_t kEach = 2000;
        std::vector<std::thread> workers;
        for (std::uint32_t w = 0; w < seen.size(); ++w) {
            workers.emplace_back([&adapter, w] {
                for (std::uint32_t i = 0; i < kEach; ++i) adapter.post(numbered(w, i));
            });
        }
        for (auto& worker : workers) worker.join();
        QVERIFY(QTest::qWaitFor([&] {
            std::size_t total = 0;
            for (const auto& list : seen) total += list.size();
            return total == seen.size() * kEach;
        }));
        QVERIFY(!foreignThread);
        for (const auto& list : seen) {
            for (std::uint32_t i = 0; i < kEach; ++i) QCOMPARE(list[i], i);
        }
        QVERIFY(batches < static_cast<int>(seen.size() * kEach) / 10);
        adapter.shutDown();
    }

    // A sent message holds its worker until this thread has handled it.
    void sendWaitsUntilHandled() {
        QObject receiver;
        std::atomic<bool> handled{false};
        std::atomic<bool> returned{false};
        std::atomic<bool> handledBeforeReturn{false};
        EngineAdapter adapter(&receiver, [&](const std::vector<EngineMessage>& messages) {
            for (const auto& m : messages) {
                if (m.id == MessageId::DuplicatePage) handled = true;
            }
        });
        std::thread worker([&] {
            adapter.send(EngineMessage::duplicatePage(nullptr, false));
            handledBeforeReturn = handled.load();
            returned = true;
        });
        // The worker waits in send() once its message is queued; this thread has run no events,
        // so nothing can have handled it.
        QVERIFY(waitUntil([&] { return adapter.pendingCount() == 1; }));
        QVERIFY(!returned.load());
        QVERIFY(QTest::qWaitFor([&] { return returned.load(); }));
        worker.join();
        QVERIFY(handledBeforeReturn.load());
        adapter.shutDown();
    }

    // At shut-down a worker waiting in send() is released without the message being handled,
    // and later messages are dropped.
    void shutDownReleasesSenders() {
        QObject receiver;
        int delivered = 0;
        EngineAdapter adapter(
            &receiver, [&](const std::vector<EngineMessage>& m) { delivered += int(m.size()); });
        std::atomic<bool> returned{false};
        std::thread worker([&] {
            adapter.send(EngineMessage::duplicatePage(nullptr, false));
            returned = true;
        });
        // The worker is blocked: this thread does not run its event loop until shut-down.
        QVERIFY(waitUntil([&] { return adapter.pendingCount() == 1; }));
        QVERIFY(!returned.load());
        adapter.shutDown();
        worker.join();
        QVERIFY(returned.load());
        adapter.post(EngineMessage::workState(true));
        adapter.send(EngineMessage::workState(true));  // returns at once
        apptest::flushEvents();
        QCOMPARE(delivered, 0);
    }

    // deliver() hands over what arrived at once; the queued call then finds nothing more.
    void deliverHandsOverAtOnce() {
        QObject receiver;
        std::vector<std::uint32_t> seen;
        int batches = 0;
        EngineAdapter adapter(&receiver, [&](const std::vector<EngineMessage>& messages) {
            ++batches;
            for (const auto& m : messages) seen.push_back(m.value);
        });
        adapter.post(numbered(0, 1));
        adapter.post(numbered(0, 2));
        adapter.deliver();
        QCOMPARE(seen, (std::vector<std::uint32_t>{1, 2}));
        apptest::flushEvents();  // the queued call runs and finds nothing
        QCOMPARE(batches, 1);
        adapter.shutDown();
    }
};

QTEST_GUILESS_MAIN(EngineAdapterTest)
#include "EngineAdapterTest.moc"
