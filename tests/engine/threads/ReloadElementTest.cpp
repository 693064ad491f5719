#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "engine/schedule/PageState.h"
#include "tests/engine/SiteFixture.h"

namespace {

using engine::ElementStats;
using engine::LoadPhase;
using engine::MessageId;
using engine::PageEntry;
using engine::PageState;
using engine::WebItem;
using enginetest::SiteFixture;
using std::chrono::milliseconds;

constexpr const char* kStyle = "/content?type=text/css&body=b";
constexpr const char* kPicture = "/content?type=image/gif&size=300";
constexpr std::size_t kErrorBody = 57;
constexpr std::size_t kImageBody = 200;

// Everything a reload could disturb in an item's measured record.
auto measured(const ElementStats& s) {
    return std::tie(s.connectTime, s.connectStart, s.sendTime, s.sendStart, s.waitTime, s.waitStart,
                    s.receiveTime, s.receiveStart, s.totalTime, s.size, s.speed, s.urlText,
                    s.contentType);
}

bool waitFor(const std::function<bool()>& condition) {
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (std::chrono::steady_clock::now() < limit) {
        if (condition()) return true;
        std::this_thread::sleep_for(milliseconds(2));
    }
    return false;
}

// A page with a style sheet, a picture and an image that fails (404) on its first request and
// is served on later ones, after `hold` returns false (it is polled while the response waits).
class ReloadElement : public SiteFixture {
protected:
    ReloadElement() {
        page("/index.html", html());
        // Shared with the handler: the server, a base member, outlives this class's members.
        server_.get(
            "/flaky.gif", [flaky = flaky_](const httplib::Request&, httplib::Response& response) {
                if (flaky->requests.fetch_add(1) == 0) {
                    response.status = 404;
                    response.set_content(std::string(kErrorBody, 'e'), "image/gif");
                    return;
                }
                const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(20);
                while (flaky->hold.load() && std::chrono::steady_clock::now() < limit) {
                    std::this_thread::sleep_for(milliseconds(5));
                }
                response.set_content(std::string(kImageBody, 'i'), "image/gif");
            });
    }
    void TearDown() override {
        flaky_->hold.store(false);
        SiteFixture::TearDown();
    }

    static std::string html() {
        return std::string("<html><head><link rel=stylesheet href=\"") + kStyle +
               "\"></head><body><img src=\"" + kPicture +
               "\"><img src=\"/flaky.gif\"></body></html>";
    }

    std::shared_ptr<WebItem> itemAt(const std::shared_ptr<PageEntry>& entry,
                                    const std::string& path) {
        for (const auto& f : entry->figures(engine::kActualSpeed).items) {
            if (f.item->address().urlText == url(path)) return f.item;
        }
        return nullptr;
    }

    // Loads the page; its image has failed.
    std::shared_ptr<PageEntry> loadBroken() {
        auto entry = load(url("/index.html"));
        EXPECT_EQ(entry->state(), PageState::ChildError);
        return entry;
    }

    struct Flaky {
        std::atomic<int> requests{0};
        std::atomic<bool> hold{false};
    };
    const std::shared_ptr<Flaky> flaky_ = std::make_shared<Flaky>();
};

TEST_F(ReloadElement, TheFailedImageLoadsAndThePageFinishesWithItsNewFigures) {
    const auto entry = loadBroken();
    const auto image = itemAt(entry, "/flaky.gif");
    ASSERT_TRUE(image);
    const engine::PageFigures before = entry->figures(engine::kActualSpeed);
    EXPECT_EQ(before.pageSize, html().size() + 1 + 300 + kErrorBody);

    ASSERT_TRUE(manager_->reloadElement(entry, image));
    ASSERT_TRUE(sink_->waitForRunsEnded(++runs_));
    ASSERT_TRUE(entry->waitUntilComplete(milliseconds(0)));

    EXPECT_EQ(image->phase(), LoadPhase::Completed);
    EXPECT_EQ(image->statusCode(), 200);
    const auto counts = requestCounts();  // nothing else was fetched again
    EXPECT_EQ(counts.at("/flaky.gif"), 2);
    EXPECT_EQ(counts.at("/index.html"), 1);
    EXPECT_EQ(counts.at(kStyle), 1);
    EXPECT_EQ(counts.at(kPicture), 1);
    EXPECT_EQ(entry->state(), PageState::Finished);
    for (int k = 0; k < engine::kConnectionCount; ++k) EXPECT_TRUE(entry->figuresUpToDate(k)) << k;
    const engine::PageFigures after = entry->figures(engine::kActualSpeed);
    EXPECT_EQ(after.pageSize, html().size() + 1 + 300 + kImageBody);
    EXPECT_EQ(entry->pageSize(), after.pageSize);
    EXPECT_EQ(entry->expectedCount(), 4u);
    EXPECT_EQ(entry->finishedCount(), 4u);
    ASSERT_EQ(after.items.size(), before.items.size());
    for (std::size_t i = 0; i < after.items.size(); ++i) {
        ASSERT_EQ(after.items[i].item, before.items[i].item) << i;
        if (after.items[i].item == image) {
            EXPECT_EQ(after.items[i].stats.size, kImageBody);
        } else {
            EXPECT_EQ(measured(after.items[i].item->actualStats()), measured(before.items[i].stats))
                << i;
        }
    }
}

TEST_F(ReloadElement, RunsAsAJobWithTheRunsAndThePagesMessages) {
    const auto entry = loadBroken();
    sink_->clear();
    ASSERT_TRUE(manager_->reloadElement(entry, itemAt(entry, "/flaky.gif")));
    ASSERT_TRUE(sink_->waitForRunsEnded(1));

    const auto messages = sink_->messages();
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.front().message.id, MessageId::WorkState);
    EXPECT_EQ(messages.front().message.value, 0u);
    EXPECT_EQ(messages.back().message.id, MessageId::WorkState);
    EXPECT_EQ(messages.back().message.value, 1u);
    EXPECT_EQ(sink_->count(MessageId::WorkState, 0), 1u);
    std::vector<engine::EngineMessage> states;
    for (const auto& r : messages) {
        if (r.message.id == MessageId::PageState) states.push_back(r.message);
    }
    ASSERT_GE(states.size(), 2u);
    EXPECT_EQ(states.front().value, static_cast<std::uint32_t>(PageState::InProcess));
    EXPECT_EQ(states.front().previousState, static_cast<std::uint32_t>(PageState::ChildError));
    EXPECT_EQ(states.back().value, static_cast<std::uint32_t>(PageState::Finished));
    EXPECT_EQ(states.back().previousState, static_cast<std::uint32_t>(PageState::InProcess));
}

TEST_F(ReloadElement, ThePageFinishedHookJudgesThePageAgain) {
    manager_->setPageFinishedHook([](const std::shared_ptr<PageEntry>& p) {
        p->setAnalysis(p->state() == PageState::Finished ? 1 : 2,
                       p->state() == PageState::Finished ? "ok" : "broken");
    });
    const auto entry = loadBroken();
    EXPECT_EQ(entry->pageClass(), 2);
    ASSERT_TRUE(manager_->reloadElement(entry, itemAt(entry, "/flaky.gif")));
    ASSERT_TRUE(sink_->waitForRunsEnded(++runs_));
    EXPECT_EQ(entry->pageClass(), 1);
    EXPECT_EQ(entry->hintText(), "ok");
}

TEST_F(ReloadElement, ElementThatFailsAgainLeavesThePageAChildError) {
    server_.get("/gone.gif", [](const httplib::Request&, httplib::Response& response) {
        response.status = 404;
    });
    page("/gone.html", "<html><img src=\"/gone.gif\"></html>");
    const auto entry = load(url("/gone.html"));
    ASSERT_EQ(entry->state(), PageState::ChildError);
    const auto image = itemAt(entry, "/gone.gif");
    ASSERT_TRUE(manager_->reloadElement(entry, image));
    ASSERT_TRUE(sink_->waitForRunsEnded(++runs_));
    EXPECT_EQ(entry->state(), PageState::ChildError);
    EXPECT_EQ(image->phase(), LoadPhase::Error);
    EXPECT_EQ(requestCounts().at("/gone.gif"), 2);
}

TEST_F(ReloadElement, RefusesAndStartsNothing) {
    const auto loaded = loadBroken();
    const auto other = load(url(kPicture));
    const struct {
        const char* name;
        std::function<std::shared_ptr<PageEntry>()> page;
        std::function<std::shared_ptr<WebItem>()> item;
    } cases[] = {
        {"page not loaded", [&] { return PageEntry::create(*manager_, url("/index.html")); },
         [&] { return itemAt(loaded, kStyle); }},
        {"item of another page", [&] { return loaded; }, [&] { return other->rootItem(); }},
        {"no item", [&] { return loaded; }, [] { return nullptr; }},
        {"no page", [] { return nullptr; }, [&] { return itemAt(loaded, kStyle); }},
    };
    for (const auto& c : cases) {
        const auto messages = sink_->messages().size();
        const auto requests = server_.requests().size();
        const auto page = c.page();
        const PageState state = page ? page->state() : PageState::Ready;
        EXPECT_FALSE(manager_->reloadElement(page, c.item())) << c.name;
        EXPECT_FALSE(manager_->isBusy()) << c.name;
        if (page) {
            EXPECT_EQ(page->state(), state) << c.name;
        }
        EXPECT_EQ(sink_->messages().size(), messages) << c.name;
        EXPECT_EQ(server_.requests().size(), requests) << c.name;
    }
}

TEST_F(ReloadElement, RefusesAPageThatIsRunning) {
    const auto entry = loadBroken();
    const auto style = itemAt(entry, kStyle);
    flaky_->hold.store(true);
    ASSERT_TRUE(manager_->reloadElement(entry, itemAt(entry, "/flaky.gif")));
    ASSERT_TRUE(waitFor([&] { return flaky_->requests.load() == 2; }));

    EXPECT_EQ(entry->state(), PageState::InProcess);
    EXPECT_FALSE(manager_->reloadElement(entry, style));
    EXPECT_FALSE(manager_->reloadElement(entry, entry->rootItem()));
    flaky_->hold.store(false);
    ASSERT_TRUE(sink_->waitForRunsEnded(++runs_));
    EXPECT_EQ(sink_->count(MessageId::WorkState, 0), runs_);
    EXPECT_EQ(requestCounts().at(kStyle), 1);
}

TEST_F(ReloadElement, StopEndsTheReload) {
    const auto entry = loadBroken();
    const auto image = itemAt(entry, "/flaky.gif");
    flaky_->hold.store(true);
    ASSERT_TRUE(manager_->reloadElement(entry, image));
    ASSERT_TRUE(waitFor([&] { return flaky_->requests.load() == 2; }));

    const auto stopped = std::chrono::steady_clock::now();
    manager_->stop();
    ASSERT_TRUE(sink_->waitForRunsEnded(++runs_));
    EXPECT_LT(std::chrono::steady_clock::now() - stopped, std::chrono::seconds(10));
    EXPECT_TRUE(entry->waitUntilComplete(milliseconds(0)));
    EXPECT_FALSE(manager_->isBusy());
    EXPECT_EQ(image->phase(), LoadPhase::Skipped);
    EXPECT_EQ(entry->state(), PageState::Canceled);
}

TEST_F(ReloadElement, AReloadAfterAStopRunsAgain) {
    const auto entry = loadBroken();
    manager_->stop();
    ASSERT_TRUE(manager_->reloadElement(entry, itemAt(entry, "/flaky.gif")));
    ASSERT_TRUE(sink_->waitForRunsEnded(++runs_));
    EXPECT_EQ(entry->state(), PageState::Finished);
}

}  // namespace
