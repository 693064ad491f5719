#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/schedule/PageState.h"
#include "tests/engine/SiteFixture.h"

namespace {

using engine::MessageId;
using engine::PageEntry;
using engine::PageState;
using enginetest::SiteFixture;
using std::chrono::milliseconds;

// What the server saw of the element requests: how many were in progress at once, and whether
// requests of two pages were ever in progress together. Requests are held until four wait, so
// a loader that runs four at once is seen doing so however the machine schedules it.
struct Concurrency {
    static constexpr int kBatch = 4;

    void enter(int page) {
        std::unique_lock lock(mutex);
        most = std::max(most, ++inProgress);
        if (++active[page] == 1 && active.size() > 1) pagesOverlapped = true;
        const int batch = generation;
        if (++waiting == kBatch) {
            waiting = 0;
            ++generation;
            released.notify_all();
        } else {
            released.wait_for(lock, std::chrono::seconds(20), [&] { return generation != batch; });
        }
    }
    void leave(int page) {
        std::lock_guard guard(mutex);
        --inProgress;
        if (--active[page] == 0) active.erase(page);
    }

    std::mutex mutex;
    std::condition_variable released;
    int inProgress = 0, most = 0, waiting = 0, generation = 0;
    std::map<int, int> active;
    bool pagesOverlapped = false;
};

using Scheduler = SiteFixture;

TEST_F(Scheduler, TheWindowsManagerRunsPagesOneAfterAnotherWithElementsOnFourWorkers) {
    auto seen = std::make_shared<Concurrency>();
    server_.get(R"(/p(\d+)/(\d+)\.gif)",
                [seen](const httplib::Request& req, httplib::Response& res) {
                    const int page = std::stoi(req.matches[1]);
                    seen->enter(page);
                    res.set_content("GIF89a", "image/gif");
                    seen->leave(page);
                });
    constexpr int kPages = 5, kImages = 8;
    std::vector<std::shared_ptr<PageEntry>> pages;
    for (int p = 0; p < kPages; ++p) {
        std::string html = "<html>";
        for (int i = 0; i < kImages; ++i) {
            html += "<img src=\"/p" + std::to_string(p) + "/" + std::to_string(i) + ".gif\">";
        }
        page("/page" + std::to_string(p) + ".html", html + "</html>");
        pages.push_back(PageEntry::create(*manager_, url("/page" + std::to_string(p) + ".html")));
    }
    for (const auto& p : pages) manager_->enqueuePage(p, engine::kScanAll);
    ASSERT_TRUE(sink_->waitForRunsEnded(1));

    for (const auto& p : pages) {
        EXPECT_EQ(p->state(), PageState::Finished);
        EXPECT_EQ(p->finishedCount(), 1u + kImages);
    }
    {
        std::lock_guard guard(seen->mutex);
        EXPECT_EQ(seen->most, 4);
        EXPECT_FALSE(seen->pagesOverlapped);
    }
    // One start, one end, and each page's job reported in queue order.
    EXPECT_EQ(sink_->count(MessageId::WorkState, 0), 1u);
    EXPECT_EQ(sink_->count(MessageId::WorkState, 1), 1u);
    std::vector<std::pair<std::uint32_t, std::shared_ptr<PageEntry>>> jobs;
    for (const auto& r : sink_->messages()) {
        if (r.message.id == MessageId::PageJob) jobs.emplace_back(r.message.value, r.message.page);
    }
    ASSERT_EQ(jobs.size(), 2u * kPages);
    for (int p = 0; p < kPages; ++p) {
        EXPECT_EQ(jobs[2 * p].first, 0u);
        EXPECT_EQ(jobs[2 * p].second, pages[p]);
        EXPECT_EQ(jobs[2 * p + 1].first, 1u);
        EXPECT_EQ(jobs[2 * p + 1].second, pages[p]);
    }
    EXPECT_EQ(sink_->messages().back().message.id, MessageId::WorkState);
}

TEST_F(Scheduler, StopDropsQueuedPagesAndAPageQueuedAfterwardsRuns) {
    auto gate = std::make_shared<engine::ManualResetEvent>(false);
    server_.get("/held.html", [gate](const httplib::Request&, httplib::Response& res) {
        gate->waitFor(milliseconds(30000));
        res.set_content("<html></html>", "text/html");
    });
    for (const char* name : {"/b.html", "/c.html", "/d.html"}) page(name, "<html>x</html>");
    const auto held = PageEntry::create(*manager_, url("/held.html"));
    const auto b = PageEntry::create(*manager_, url("/b.html"));
    const auto c = PageEntry::create(*manager_, url("/c.html"));
    for (const auto& p : {held, b, c}) manager_->enqueuePage(p, engine::kScanAll);

    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (server_.requests().empty() && std::chrono::steady_clock::now() < limit) {
        std::this_thread::sleep_for(milliseconds(2));
    }
    ASSERT_EQ(server_.requests().size(), 1u);
    EXPECT_TRUE(manager_->isBusy());
    manager_->stop();
    ASSERT_TRUE(sink_->waitForRunsEnded(1));
    gate->set();

    EXPECT_FALSE(manager_->isBusy());
    EXPECT_EQ(held->state(), PageState::Canceled);
    EXPECT_EQ(held->rootItem()->phase(), engine::LoadPhase::Skipped);
    for (const auto& dropped : {b, c}) {
        EXPECT_EQ(dropped->state(), PageState::Ready);
        EXPECT_EQ(dropped->rootItem(), nullptr);
    }
    EXPECT_EQ(requestCounts().count("/b.html"), 0u);
    EXPECT_EQ(sink_->count(MessageId::PageJob, 0), 1u);

    const auto d = PageEntry::create(*manager_, url("/d.html"));
    manager_->enqueuePage(d, engine::kScanAll);
    EXPECT_FALSE(manager_->stopRequested());
    ASSERT_TRUE(sink_->waitForRunsEnded(2));
    EXPECT_EQ(d->state(), PageState::Finished);
    EXPECT_EQ(sink_->count(MessageId::WorkState, 0), 2u);
}

TEST_F(Scheduler, StopWhileElementsWaitCancelsThePageAndLeavesThemUnfetched) {
    auto gate = std::make_shared<engine::ManualResetEvent>(false);
    server_.get(R"(/held/(\d+)\.gif)", [gate](const httplib::Request&, httplib::Response& res) {
        gate->waitFor(milliseconds(30000));
        res.set_content("GIF89a", "image/gif");
    });
    std::string html = "<html>";
    for (int i = 0; i < 10; ++i) html += "<img src=\"/held/" + std::to_string(i) + ".gif\">";
    page("/many.html", html + "</html>");
    const auto entry = PageEntry::create(*manager_, url("/many.html"));
    manager_->enqueuePage(entry, engine::kScanAll);
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (server_.requests().size() < 5 && std::chrono::steady_clock::now() < limit) {
        std::this_thread::sleep_for(milliseconds(2));
    }
    ASSERT_EQ(server_.requests().size(), 5u);
    manager_->stop();  // the four transfers in progress end as Skipped at once
    ASSERT_TRUE(sink_->waitForRunsEnded(1));
    gate->set();

    EXPECT_EQ(entry->state(), PageState::Canceled);
    EXPECT_EQ(entry->finishedCount(), entry->expectedCount());
    EXPECT_EQ(entry->expectedCount(), 11u);
    std::size_t skipped = 0, untouched = 0;
    for (const auto& item : entry->figures(0).items) {
        skipped += item.item->phase() == engine::LoadPhase::Skipped;
        untouched += item.item->isNew();
    }
    EXPECT_EQ(skipped, 4u);
    EXPECT_EQ(untouched, 6u);
    EXPECT_EQ(server_.requests().size(), 5u);
}

}  // namespace
