#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

#include "engine/http/ConnectionPool.h"
#include "engine/schedule/PageEntry.h"
#include "engine/schedule/SiteManager.h"
#include "tests/engine/RecordingSink.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TestServer.h"

namespace enginetest {

// A loopback site and a SiteManager over a pool of its own, whose messages are recorded.
class SiteFixture : public ::testing::Test {
protected:
    SiteFixture() {
        environment_.withoutProxies();
        use(engine::SiteManager::Role::Interactive);
    }
    void TearDown() override {
        manager_.reset();
        pool_.stopAll();
    }

    // A new manager of the role (the previous one is stopped and destroyed first).
    void use(engine::SiteManager::Role role) {
        manager_.reset();
        sink_ = std::make_shared<RecordingSink>();
        runs_ = 0;
        manager_ = std::make_unique<engine::SiteManager>(role, sink_, pool_);
        engine::EngineSettings settings;
        settings.connection.proxy = engine::ConnectionSettings::kProxyNone;
        manager_->setSettings(settings);
    }

    // Serves `html` as text/html at `path`.
    void page(const std::string& path, std::string html) {
        server_.get(path,
                    [html = std::move(html)](const httplib::Request&, httplib::Response& response) {
                        response.set_content(html, "text/html");
                    });
    }

    std::string url(const std::string& path) const { return server_.url(path); }

    // Queues a page for the address and waits until the run has ended.
    std::shared_ptr<engine::PageEntry> load(const std::string& address,
                                            engine::ScanFlags flags = engine::kScanAll) {
        auto entry = engine::PageEntry::create(*manager_, address);
        manager_->enqueuePage(entry, flags);
        EXPECT_TRUE(sink_->waitForRunsEnded(++runs_)) << "the run did not end";
        return entry;
    }

    // Requests the server saw for each target.
    std::map<std::string, int> requestCounts() const {
        std::map<std::string, int> counts;
        for (const auto& r : server_.requests()) ++counts[r.target];
        return counts;
    }

    support::ScopedEnvironment environment_;
    support::TestServer server_;
    engine::ConnectionPool pool_;
    std::shared_ptr<RecordingSink> sink_;
    std::size_t runs_ = 0;
    std::unique_ptr<engine::SiteManager> manager_;
};

}  // namespace enginetest
