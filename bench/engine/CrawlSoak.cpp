// A soak run: the interactive manager (elements on four workers) crawls a generated loopback site
// of 1,111 linked pages (each with two images, one shared) again and again for a while, emptying
// the tree between crawls. Build it with the sanitizers (-DPAGELYST_SANITIZE=address,undefined)
// to see that nothing leaks or misbehaves over time. Prints the transfers, the errors by code,
// and the resident memory at the end of the first minute and at the end.
//
//   crawl_soak [seconds]     (default 300)

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <thread>

#include "bench/engine/LoopbackSite.h"
#include "engine/crawl/SiteTree.h"
#include "engine/http/ConnectionPool.h"
#include "engine/schedule/MessageQueue.h"
#include "engine/schedule/SiteManager.h"
#include "tests/support/ScopedEnvironment.h"

namespace {

using Clock = std::chrono::steady_clock;

long residentKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    }
    return -1;
}

class Yes : public engine::SiteTreeQuestions {
public:
    Answer ask(const std::string&) override { return Answer::Yes; }
};

// The generated site: pages 0 to 110 link to ten pages each and home, every page shows two
// images.
void addRoutes(httplib::Server& server) {
    server.Get(R"(/p/(\d+)\.html)", [](const httplib::Request& request,
                                       httplib::Response& response) {
        const int n = std::stoi(request.matches[1]);
        std::string html = "<html><head><title>Page " + std::to_string(n) +
                           "</title></head><body><img src=\"/img/shared.gif\"><img src=\"/img/" +
                           std::to_string(n) + ".gif\"><a href=\"/p/0.html\">home</a>";
        if (n <= 110) {
            for (int c = 1; c <= 10; ++c) {
                html += "<a href=\"/p/" + std::to_string(10 * n + c) + ".html\">x</a>";
            }
        }
        response.set_content(html + "</body></html>", "text/html");
    });
    server.Get(R"(/img/.*)", [](const httplib::Request&, httplib::Response& response) {
        response.set_content(std::string("GIF89a", 6), "image/gif");
    });
}

}  // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 300;
    support::ScopedEnvironment environment;
    environment.withoutProxies();
    bench::LoopbackSite server(addRoutes);

    engine::ConnectionPool pool;
    auto queue = std::make_shared<engine::MessageQueue>();
    long firstMinuteKiB = -1;
    long peakKiB = 0;
    std::map<std::int32_t, long> errors;
    long transfers = 0;
    int crawls = 0;
    const auto start = Clock::now();
    const auto end = start + std::chrono::seconds(seconds);
    {
        engine::SiteManager manager(engine::SiteManager::Role::Interactive, queue, pool);
        engine::EngineSettings settings;
        settings.connection.proxy = engine::ConnectionSettings::kProxyNone;
        settings.limits.pageLimit = 1000;
        manager.setSettings(settings);
        engine::SiteTree tree(manager);
        Yes yes;
        while (Clock::now() < end) {
            tree.addPage(server.url("/p/0.html"), nullptr);
            tree.analyzeAll("");
            bool ended = false;
            while (!(ended && !tree.crawlController().running && !manager.isBusy())) {
                queue->dispatch(
                    [&](const engine::EngineMessage& m) {
                        tree.handle(m);
                        if (m.id == engine::MessageId::WorkState) ended = m.workEnded();
                    },
                    std::chrono::milliseconds(50));
            }
            for (const engine::SiteNode* node : tree.displayOrder()) {
                const auto root = node->page->rootItem();
                if (!root) continue;
                const engine::PageFigures figures = node->page->figures(0);
                for (const auto& item : figures.items) {
                    ++transfers;
                    if (item.item->result() != 0) ++errors[item.item->result()];
                }
            }
            tree.deleteAll(yes);
            ++crawls;
            const long now = residentKiB();
            peakKiB = std::max(peakKiB, now);
            if (firstMinuteKiB < 0 && Clock::now() - start >= std::chrono::minutes(1)) {
                firstMinuteKiB = now;
            }
            std::printf("crawl %d: %ld transfers so far, resident %ld MiB\n", crawls, transfers,
                        now / 1024);
            std::fflush(stdout);
        }
    }
    queue->close();
    const long lastKiB = residentKiB();
    std::printf("\n%d crawls in %d s, %ld transfers (page and element items counted per page)\n",
                crawls, seconds, transfers);
    std::printf("errors by code:%s\n", errors.empty() ? " none" : "");
    for (const auto& [code, count] : errors) std::printf("  %d: %ld\n", code, count);
    if (firstMinuteKiB >= 0) {
        std::printf("resident memory: after the first minute %ld MiB, ", firstMinuteKiB / 1024);
    } else {
        std::printf("resident memory (the run was shorter than a minute): ");
    }
    std::printf("at the end %ld MiB, peak %ld MiB\n", lastKiB / 1024, peakKiB / 1024);
    return errors.empty() ? 0 : 1;
}
