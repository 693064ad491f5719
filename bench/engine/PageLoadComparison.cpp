// A loopback page with 100 elements, each answered after 20 ms, loaded by Pagelyst (the
// windows' configuration: elements on four workers) and by `wget -p`, side by side. Four
// parallel connections cannot do better than 25 rounds of 20 ms; wget fetches one at a time.
//
//   page_load_compare [runs]     (default 7; prints the median and fastest of each)

#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

#include <httplib.h>

#include <thread>

#include "bench/engine/LoopbackSite.h"
#include "engine/http/ConnectionPool.h"
#include "engine/schedule/PageEntry.h"
#include "engine/schedule/SiteManager.h"
#include "tests/support/ScopedEnvironment.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr int kElements = 100;
constexpr int kDelayMs = 20;
constexpr int kLanes = 4;
constexpr double kLimitMs = (kElements + kLanes - 1) / kLanes * kDelayMs;

// Waits for the end of a run (message 1047 with 1).
class RunEnd : public engine::MessageSink {
public:
    void post(engine::EngineMessage m) override { note(m); }
    void send(engine::EngineMessage m) override { note(m); }
    void wait() {
        std::unique_lock lock(mutex_);
        ended_.wait(lock, [this] { return done_; });
    }

private:
    void note(const engine::EngineMessage& m) {
        if (!m.workEnded()) return;
        std::lock_guard guard(mutex_);
        done_ = true;
        ended_.notify_all();
    }
    std::mutex mutex_;
    std::condition_variable ended_;
    bool done_ = false;
};

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// One load with a fresh manager and pool, so that connections are made anew as wget makes them.
double pagelystRun(const std::string& address) {
    engine::ConnectionPool pool;
    auto sink = std::make_shared<RunEnd>();
    engine::SiteManager manager(engine::SiteManager::Role::Interactive, sink, pool);
    engine::EngineSettings settings;
    settings.connection.proxy = engine::ConnectionSettings::kProxyNone;
    manager.setSettings(settings);
    const auto page = engine::PageEntry::create(manager, address);
    const auto start = Clock::now();
    manager.enqueuePage(page, engine::kScanAll);
    sink->wait();
    const double took = millisecondsSince(start);
    if (page->state() != engine::PageState::Finished || page->finishedCount() != 1 + kElements) {
        std::fprintf(stderr, "pagelyst: the page did not load completely\n");
        std::exit(1);
    }
    return took;
}

// `wget -p` into a temporary folder; a negative time when wget could not run.
double wgetRun(const std::string& address) {
    std::string folder = (std::filesystem::temp_directory_path() / "pagelyst-wget-XXXXXX").string();
    if (::mkdtemp(folder.data()) == nullptr) return -1;
    std::vector<std::string> args{"wget",       "-p", "-q",   "--no-proxy", "-e",
                                  "robots=off", "-P", folder, address};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    const auto start = Clock::now();
    pid_t pid = 0;
    int status = -1;
    if (::posix_spawnp(&pid, "wget", nullptr, nullptr, argv.data(), environ) != 0 ||
        ::waitpid(pid, &status, 0) != pid) {
        status = -1;
    }
    const double took = millisecondsSince(start);
    std::size_t files = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        files += entry.is_regular_file();
    }
    std::filesystem::remove_all(folder);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || files != 1 + kElements) return -1;
    return took;
}

struct Summary {
    double median, fastest;
};

Summary summarise(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times.front()};
}

// The page and its elements on a loopback port. Responses go out without Nagle's delay, as a
// production server sends them; otherwise a 40 ms delayed acknowledgement would stand between
// the header and the body of every small response and dwarf what is measured.
// The page and its elements, each element answered after kDelayMs.
void addRoutes(httplib::Server& server) {
    std::string html = "<html><body>";
    for (int i = 0; i < kElements; ++i) html += "<img src=\"/e/" + std::to_string(i) + ".gif\">";
    html += "</body></html>";
    server.Get("/bench.html", [html](const httplib::Request&, httplib::Response& res) {
        res.set_content(html, "text/html");
    });
    const std::string gif = "GIF89a" + std::string(994, 'x');
    server.Get(R"(/e/(\d+)\.gif)", [gif](const httplib::Request&, httplib::Response& res) {
        std::this_thread::sleep_for(milliseconds(kDelayMs));
        res.set_content(gif, "image/gif");
    });
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    support::ScopedEnvironment environment;
    environment.withoutProxies();
    bench::LoopbackSite site(addRoutes);
    const std::string address = site.url("/bench.html");

    std::vector<double> pagelyst, wget;
    for (int r = 0; r < runs; ++r) {
        pagelyst.push_back(pagelystRun(address));
        const double w = wgetRun(address);
        if (w >= 0) wget.push_back(w);
    }
    const Summary p = summarise(pagelyst);
    std::printf("page: %d elements, each answered after %d ms; %d runs\n", kElements, kDelayMs,
                runs);
    std::printf("%-26s %10s %10s\n", "", "median ms", "fastest ms");
    std::printf("%-26s %10.0f %10s\n", "four-lane limit", kLimitMs, "");
    std::printf("%-26s %10.0f %10.0f\n", "pagelyst (4 workers)", p.median, p.fastest);
    std::printf("pagelyst / limit: %.2f (target <= 1.30)\n", p.median / kLimitMs);
    if (wget.empty()) {
        std::printf("wget -p: not available or failed\n");
        return 0;
    }
    const Summary w = summarise(wget);
    std::printf("%-26s %10.0f %10.0f\n", "wget -p", w.median, w.fastest);
    std::printf("pagelyst / wget:  %.2f (target < 0.50)\n", p.median / w.median);
    return 0;
}
