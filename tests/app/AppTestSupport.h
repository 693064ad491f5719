#pragma once
// What the desktop suites share: a private settings home for each program the test starts, a
// stand-in user for every message box, and waiting for the engine without freezing the loop.

#include <QByteArray>
#include <QCoreApplication>
#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <deque>
#include <memory>
#include <vector>

#include "app/shell/AppContext.h"
#include "app/widgets/MessageBoxes.h"
#include "engine/crawl/SiteTree.h"
#include "persist/SettingsMap.h"

namespace apptest {

// Delivers every event posted so far and those they post in turn (queued calls, layout and
// paint requests), without letting any time pass: what a fixed wait would have hoped for,
// decided at once.
inline void flushEvents() {
    for (int round = 0; round < 8; ++round) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

// Points PAGELYST_HOME at a folder of its own while it lives, so that the program's settings,
// data and scenarios never touch the user's. The tip of the day starts off there: a program
// started in a test must not wait on it.
class ProgramHome {
public:
    ProgramHome() : previous_(qgetenv("PAGELYST_HOME")) {
        qputenv("PAGELYST_HOME", dir_.path().toLocal8Bit());
        persist::setting::kTipStartUp.set(0);
    }
    ~ProgramHome() {
        if (previous_.isEmpty()) {
            qunsetenv("PAGELYST_HOME");
        } else {
            qputenv("PAGELYST_HOME", previous_);
        }
    }
    QString path() const { return dir_.path(); }
    QString file(const QString& name) const { return dir_.filePath(name); }

private:
    QTemporaryDir dir_;
    QByteArray previous_;
};

// Gives a suite a fresh home for each case. The previous home goes first: were it destroyed
// after the new one was made, it would restore the environment it found (no home at all) and
// the case would write into the user's own settings.
inline void renewHome(std::unique_ptr<ProgramHome>& home) {
    home.reset();
    home = std::make_unique<ProgramHome>();
}

// Answers every message box in place of the user, in the order given (Yes when none is
// left), and keeps the texts it was shown.
class Answers {
public:
    explicit Answers(std::deque<QMessageBox::StandardButton> answers = {})
        : answers_(std::move(answers)) {
        app::MessageBoxes::setAnswerer([this](const app::MessageBoxes::Box& box) {
            asked.push_back(box.text);
            boxes.push_back(box);
            if (answers_.empty()) return QMessageBox::Yes;
            const auto next = answers_.front();
            answers_.pop_front();
            return next;
        });
    }
    ~Answers() { app::MessageBoxes::setAnswerer({}); }
    void then(QMessageBox::StandardButton answer) { answers_.push_back(answer); }

    QStringList asked;
    std::vector<app::MessageBoxes::Box> boxes;

private:
    std::deque<QMessageBox::StandardButton> answers_;
};

// Watches one run: made before the command that starts it, it waits until the engine has
// reported the end of its work and no crawl level follows. (Waiting for "no download running"
// alone would return before a queued page has started.)
class RunWatcher : private app::AppContext::Listener {
public:
    explicit RunWatcher(app::AppContext& context) : context_(context) {
        context_.addListener(this);
    }
    ~RunWatcher() override { context_.removeListener(this); }
    RunWatcher(const RunWatcher&) = delete;
    RunWatcher& operator=(const RunWatcher&) = delete;

    bool finished() const { return ended_ && !context_.downloadRunning(); }
    bool waitForEnd(int timeoutMs = 60000) {
        return QTest::qWaitFor([this] { return finished(); }, timeoutMs);
    }

private:
    void engineMessage(const engine::EngineMessage& message) override {
        if (message.id == engine::MessageId::WorkState &&
            message.value == engine::message::kWorkEnded)
            ended_ = true;
    }

    app::AppContext& context_;
    bool ended_ = false;
};

}  // namespace apptest
