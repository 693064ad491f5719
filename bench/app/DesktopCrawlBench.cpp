// The desktop program crawling a generated 11,111-page loopback site with a page limit of
// 10,000, offscreen, in one process with its site:
//   - a 10 ms heartbeat on the user-interface thread: the largest gap and the 99th percentile;
//   - the longest single event the user-interface thread handled during the crawl, and for whom;
//   - the crawl's wall time, and pagelyst-cli's on the same site in the same run, with the ratio;
//   - the time from Stop (in the middle of a second crawl) to the end of the run;
//   - the time from the start of the program to its first idle "Ready".
//   desktop_crawl [path/to/pagelyst-cli]
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "app/main/PagelystApp.h"
#include "app/shell/AppContext.h"
#include "app/shell/CApplication.h"
#include "app/shell/CMainFrame.h"
#include "app/widgets/MessageBoxes.h"
#include "app/widgets/StatusPane.h"
#include "engine/crawl/SiteTree.h"
#include "persist/SettingsMap.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/TestServer.h"

namespace {

// Times each event the user-interface thread handles, to name the longest when a gap is long.
class TimedApplication : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override {
        // An event handled inside another (a nested loop) is part of the outer one's time.
        if (depth_ > 0) return QApplication::notify(receiver, event);
        ++depth_;
        QElapsedTimer clock;
        clock.start();
        const bool result = QApplication::notify(receiver, event);
        --depth_;
        const double ms = clock.nsecsElapsed() / 1e6;
        if (ms > longestMs) {
            longestMs = ms;
            longestWhat =
                QStringLiteral("%1 event %2 for %3")
                    .arg(receiver->metaObject()->className())
                    .arg(static_cast<int>(event->type()))
                    .arg(receiver->parent() ? receiver->parent()->metaObject()->className()
                                            : "no parent");
        }
        return result;
    }
    void resetLongest() {
        longestMs = 0;
        longestWhat.clear();
    }

    double longestMs = 0;
    QString longestWhat;

private:
    int depth_ = 0;
};

constexpr int kSitePages = 11111;
constexpr int kPageLimit = 10000;
constexpr int kLevels = 5;
constexpr int kHeartbeatMs = 10;

// Page n links to pages 10n+1 to 10n+10 and shows one image that every page shares.
void serveSite(support::TestServer& server) {
    server.get(R"(/p/(\d+)\.html)", [](const httplib::Request& request, httplib::Response& out) {
        const int n = std::stoi(request.matches[1]);
        std::string body = "<html><head><title>Page " + std::to_string(n) +
                           "</title></head><body><img src=\"/img/shared.gif\">";
        for (int c = 1; c <= 10 && 10 * n + c < kSitePages; ++c) {
            body += "<a href=\"/p/" + std::to_string(10 * n + c) + ".html\">link</a>";
        }
        out.set_content(body + "</body></html>", "text/html");
    });
    server.get("/img/shared.gif", [](const httplib::Request&, httplib::Response& out) {
        out.set_content("GIF89a", "image/gif");
    });
}

// Runs the event loop, as the program's own would run, until the condition holds; false when
// the time ran out. (A loop of processEvents() and sleeps would itself delay the heartbeat.)
bool waitFor(const std::function<bool()>& done, int timeoutMs) {
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (done()) loop.quit();
    });
    poll.start(1);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    return done();
}

// The gaps between the ticks of a timer on the user-interface thread.
class Heartbeat {
public:
    Heartbeat() {
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            const qint64 now = clock_.nsecsElapsed();
            if (last_ >= 0) gaps_.push_back((now - last_) / 1e6);
            last_ = now;
        });
    }
    void start() {
        gaps_.clear();
        last_ = -1;
        clock_.start();
        timer_.start(kHeartbeatMs);
    }
    void stop() { timer_.stop(); }
    double max() const { return gaps_.empty() ? 0 : *std::max_element(gaps_.begin(), gaps_.end()); }
    double percentile(double share) const {
        if (gaps_.empty()) return 0;
        std::vector<double> sorted = gaps_;
        std::sort(sorted.begin(), sorted.end());
        return sorted[static_cast<std::size_t>(share * static_cast<double>(sorted.size() - 1))];
    }

private:
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 last_ = -1;
    std::vector<double> gaps_;
};

// Runs the command and waits for the end of the run it starts.
bool runAndWait(app::CMainFrame& window, app::AppContext& context, app::CommandId id,
                int timeoutMs) {
    apptest::RunWatcher run(context);
    window.runCommand(id);
    return waitFor([&] { return run.finished(); }, timeoutMs);
}

// Analyze then Analyze All (the first analyses the typed page, the second crawls below it).
bool crawl(app::CMainFrame& window, app::AppContext& context, const QString& address) {
    window.setAddressBarText(address);
    return runAndWait(window, context, app::CommandId::Analyze, 60000) &&
           runAndWait(window, context, app::CommandId::AnalyzeAll, 900000);
}

double cliCrawlSeconds(const QString& cli, const QString& address) {
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer clock;
    clock.start();
    process.start(cli, {"analyze", address, "--crawl", "--levels", QString::number(kLevels),
                        "--pages", QString::number(kPageLimit), "--no-proxy", "--json"});
    if (!process.waitForFinished(900000)) return -1;
    return clock.elapsed() / 1000.0;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("PAGELYST_HOME", home.path().toLocal8Bit());
    QElapsedTimer startUp;
    startUp.start();
    TimedApplication qt(argc, argv);
    const QString cli =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("build/bench/cli/pagelyst-cli");
    persist::setting::kPageLimit.set(kPageLimit);
    persist::setting::kLevelLimit.set(kLevels);
    // No tip of the day over the measured window.
    persist::setting::kTipStartUp.set(0);
    app::MessageBoxes::setAnswerer([](const auto&) { return QMessageBox::Yes; });

    app::PagelystApp program;
    if (!program.application().start({"pagelyst"})) return 1;
    app::CMainFrame& window = *program.application().mainWindow();
    app::AppContext& context = program.application().context();
    waitFor([&] { return window.statusPane(0)->text() == QLatin1String("Ready"); }, 10000);
    const double readyMs = startUp.nsecsElapsed() / 1e6;

    support::TestServer server;
    serveSite(server);
    const QString root = QString::fromStdString(server.url("/p/0.html"));

    Heartbeat heartbeat;
    heartbeat.start();
    qt.resetLongest();
    QElapsedTimer clock;
    clock.start();
    const bool finished = crawl(window, context, root);
    const double desktopSeconds = clock.elapsed() / 1000.0;
    heartbeat.stop();
    const double longestMs = qt.longestMs;
    const QString longestWhat = qt.longestWhat;
    const std::size_t pages = context.tree().pageCount();

    // A second crawl, stopped a second in.
    clock.restart();
    window.runCommand(app::CommandId::RemoveAll);
    const double removeMs = clock.nsecsElapsed() / 1e6;
    window.setAddressBarText(root);
    runAndWait(window, context, app::CommandId::Analyze, 60000);
    window.runCommand(app::CommandId::AnalyzeAll);
    waitFor([] { return false; }, 1000);
    const std::size_t beforeStop = context.tree().pageCount();
    const bool runningAtStop = context.downloadRunning();
    clock.restart();
    const bool stopped = runAndWait(window, context, app::CommandId::Stop, 30000);
    const double stopMs = clock.nsecsElapsed() / 1e6;
    window.close();

    const double cliSeconds = cliCrawlSeconds(cli, root);
    std::printf("desktop crawl: %s, %zu pages in the tree, %.2f s\n",
                finished ? "finished" : "TIMED OUT", pages, desktopSeconds);
    std::printf("user-interface heartbeat (%d ms): max gap %.1f ms, p99 %.1f ms\n", kHeartbeatMs,
                heartbeat.max(), heartbeat.percentile(0.99));
    std::printf("longest event during the crawl: %.1f ms (%s)\n", longestMs,
                qPrintable(longestWhat));
    if (cliSeconds > 0) {
        std::printf("pagelyst-cli crawl: %.2f s; desktop / cli = %.2f\n", cliSeconds,
                    desktopSeconds / cliSeconds);
    } else {
        std::printf("pagelyst-cli crawl: could not run %s\n", qPrintable(cli));
    }
    std::printf("Stop to end of run: %s%.1f ms (%zu pages in the tree at Stop, %s)\n",
                stopped ? "" : "TIMED OUT ", stopMs, beforeStop,
                runningAtStop ? "crawl running" : "CRAWL ALREADY ENDED");
    std::printf("Remove All of %zu pages: %.1f ms\n", pages, removeMs);
    std::printf("start-up to first idle \"Ready\": %.1f ms\n", readyMs);
    return finished && stopped ? 0 : 1;
}
