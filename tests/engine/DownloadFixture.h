#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "engine/http/ConnectionPool.h"
#include "engine/http/InternetRoot.h"
#include "engine/items/DownloadItem.h"
#include "engine/items/WebItem.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TestServer.h"

namespace enginetest {

// An item that records what the transfer told it, as the items of a page report to their page.
class RecordingItem : public engine::WebItem {
public:
    using WebItem::WebItem;

    std::vector<std::string> events() const {
        std::lock_guard guard(mutex_);
        return events_;
    }

protected:
    void connected() override { add("connected"); }
    void requestSent() override { add("requestSent"); }
    void responseDone() override { add("responseDone"); }
    void redirected(const std::string& url) override { add("redirected " + url); }

private:
    void add(std::string event) {
        std::lock_guard guard(mutex_);
        events_.push_back(std::move(event));
    }
    mutable std::mutex mutex_;
    std::vector<std::string> events_;
};

// Downloads through a pool of its own, with direct connections and no proxy variables, so that
// nothing but the loopback servers of the test is ever contacted. server_ is a plain HTTP one.
class DownloadFixture : public ::testing::Test {
protected:
    DownloadFixture() { environment_.withoutProxies(); }
    // Closing the pooled connections first lets every server of the test stop at once.
    void TearDown() override { pool_.stopAll(); }

    static engine::ConnectionSettings direct() {
        engine::ConnectionSettings settings;
        settings.proxy = engine::ConnectionSettings::kProxyNone;
        return settings;
    }

    // Downloads `url` with the given root (the fixture's own by default).
    std::shared_ptr<RecordingItem> fetch(const std::string& url, const std::string& accept = "*/*",
                                         const engine::InternetRoot* root = nullptr) {
        auto item = std::make_shared<RecordingItem>(engine::ParsedUrl::parse(url));
        item->setAcceptPattern(accept);
        engine::downloadItem(root ? *root : root_, *item, item->address());
        return item;
    }

    engine::InternetRoot rootWith(engine::TransferOptions options,
                                  engine::ConnectionSettings settings = direct()) {
        return engine::InternetRoot(std::move(settings), std::move(options), pool_);
    }

    support::ScopedEnvironment environment_;
    support::TestServer server_;
    engine::ConnectionPool pool_;
    engine::InternetRoot root_{direct(), {}, pool_};
};

}  // namespace enginetest
