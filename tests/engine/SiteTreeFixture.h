#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "engine/crawl/SiteTree.h"
#include "engine/http/ConnectionPool.h"
#include "engine/schedule/MessageQueue.h"
#include "engine/schedule/SiteManager.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TestServer.h"

namespace enginetest {

// A generated loopback site of numbered pages ("/p/N.html", each linking where `links` says and
// showing a few images) and a site tree over an interactive manager, whose messages the test's
// thread hands to the tree as a front end would.
class SiteTreeFixture : public ::testing::Test {
public:
    using Links = std::function<std::vector<std::string>(int page)>;

protected:
    SiteTreeFixture() {
        environment_.withoutProxies();
        server_.get(R"(/p/(\d+)\.html)",
                    [this](const httplib::Request& request, httplib::Response& response) {
                        const int page = std::stoi(request.matches[1]);
                        std::string html = "<html><head><title>Page " + std::to_string(page) +
                                           "</title></head><body><img src=\"/img/shared.gif\">"
                                           "<img src=\"/img/" +
                                           std::to_string(page) + ".gif\">";
                        for (const std::string& link : linksOf(page))
                            html += "<a href=\"" + link + "\">x</a>";
                        response.set_content(html + "</body></html>", "text/html");
                    });
        server_.get(R"(/img/.*)", [](const httplib::Request&, httplib::Response& response) {
            response.set_content(std::string("GIF89a", 6), "image/gif");
        });
        makeTree(engine::EngineSettings{});
    }
    ~SiteTreeFixture() override {
        release();
        pool_.stopAll();
    }

    // A new manager and tree with these settings (proxies always off).
    void makeTree(engine::EngineSettings settings) {
        release();
        queue_ = std::make_shared<engine::MessageQueue>();
        manager_ = std::make_unique<engine::SiteManager>(engine::SiteManager::Role::Interactive,
                                                         queue_, pool_);
        settings.connection.proxy = engine::ConnectionSettings::kProxyNone;
        manager_->setSettings(settings);
        tree_ = std::make_unique<engine::SiteTree>(*manager_);
    }

    // The queue closes first: a worker waiting in send() must not hold up the manager's end.
    void release() {
        if (queue_) queue_->close();
        tree_.reset();
        manager_.reset();
    }

    // The server's threads read the links while the test may set them: under a lock.
    void links(Links links) {
        std::lock_guard guard(linksMutex_);
        links_ = std::move(links);
    }
    std::vector<std::string> linksOf(int page) {
        std::lock_guard guard(linksMutex_);
        return links_(page);
    }
    std::string page(int n) const { return server_.url("/p/" + std::to_string(n) + ".html"); }
    std::string path(int n) const { return "/p/" + std::to_string(n) + ".html"; }

    // Hands the manager's messages to the tree until a run has ended and the tree started
    // nothing more. False after `limit`.
    bool runUntilIdle(std::chrono::seconds limit = std::chrono::seconds(60)) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        bool ended = false;
        while (std::chrono::steady_clock::now() < deadline) {
            queue_->dispatch(
                [&](const engine::EngineMessage& message) {
                    tree_->handle(message);
                    if (message.id == engine::MessageId::WorkState) ended = message.value == 1;
                },
                std::chrono::milliseconds(50));
            if (ended && !tree_->crawlController().running && !manager_->isBusy()) return true;
        }
        return false;
    }

    // Requests the server saw for pages (not images).
    std::size_t pageRequests() const {
        std::size_t n = 0;
        for (const auto& request : server_.requests()) n += request.target.rfind("/p/", 0) == 0;
        return n;
    }

    support::ScopedEnvironment environment_;
    support::TestServer server_;
    engine::ConnectionPool pool_;
    std::shared_ptr<engine::MessageQueue> queue_;
    std::unique_ptr<engine::SiteManager> manager_;
    std::unique_ptr<engine::SiteTree> tree_;
    std::mutex linksMutex_;
    Links links_ = [](int) { return std::vector<std::string>{}; };
};

}  // namespace enginetest
