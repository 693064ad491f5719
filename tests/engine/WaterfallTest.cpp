#include "engine/figures/Waterfall.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>

#include "engine/figures/ConnectionSpeed.h"
#include "engine/http/TransferResult.h"
#include "engine/items/ItemRegistry.h"
#include "engine/items/WebItem.h"

namespace {

using engine::ContentKind;
using engine::ItemRegistry;
using engine::LoadPhase;
using engine::Waterfall;
using engine::WaterfallRow;
using engine::WebItem;

struct Phases {
    std::uint32_t connect = 0, send = 0, wait = 0, receive = 0;
};

// Two pages in one registry, measured one transfer after the other on a manual clock. Page A
// has a frame with its own elements, a style sheet, an image that stands both under the page
// and under its frame, an element refused at connect, one answered 404 and one redirected.
// Page B, measured after A, uses A's style sheet and shared image again without fetching them,
// and refers to an element whose fetch never began.
class WaterfallPages : public ::testing::Test {
protected:
    WaterfallPages() {
        const auto root = fetch("/", "text/html", 12000, {5, 1, 20, 60});
        const auto css = fetch("/style.css", "text/css", 3000, {3, 1, 10, 12});
        const auto frame = fetch("/frame.html", "text/html", 6000, {4, 1, 15, 30});
        const auto inFrame = fetch("/f.gif", "image/gif", 9000, {2, 1, 8, 40});
        const auto shared = fetch("/shared.gif", "image/gif", 4000, {6, 1, 9, 25});
        const auto refused = refusedAtConnect("/refused.gif", 7);
        const auto missing = fetch("/missing.gif", "text/html", 300, {2, 1, 5, 3}, 404);
        const auto moved = fetch("/moved.gif", "image/gif", 2500, {3, 1, 6, 9}, 200, true);
        pageA_ = registry_.add(root, nullptr, 0);
        registry_.add(css, root.get(), 100);
        ItemRegistry::Node* frameNode = registry_.addUnder(frame, pageA_, 2000);
        registry_.addUnder(inFrame, frameNode, 500);
        registry_.addUnder(shared, frameNode, 800);
        registry_.add(shared, root.get(), 5000);
        registry_.add(refused, root.get(), 6000);
        registry_.add(missing, root.get(), 7000);
        registry_.add(moved, root.get(), 9000);

        const auto second = fetch("/b.html", "text/html", 5000, {4, 1, 12, 20});
        never_ =
            std::make_shared<WebItem>(engine::ParsedUrl::parse("http://site.test/n.gif"), clock_);
        pageB_ = registry_.add(second, nullptr, 0);
        registry_.addUnder(css, pageB_, 50);
        registry_.addUnder(shared, pageB_, 900);
        registry_.addUnder(never_, pageB_, 1200);
    }

    // An item whose transfer ran now, phase by phase, with the given times and outcome.
    std::shared_ptr<WebItem> fetch(const std::string& path, const std::string& type,
                                   std::uint32_t size, Phases t, std::int32_t status = 200,
                                   bool redirect = false) {
        auto item =
            std::make_shared<WebItem>(engine::ParsedUrl::parse("http://site.test" + path), clock_);
        began_[item.get()] = clock_.now();
        item->beginTransfer(item->address());
        clock_.advance(t.connect);
        item->phaseNotification(LoadPhase::Sending, "");
        clock_.advance(t.send);
        item->phaseNotification(LoadPhase::Receiving, "");
        if (redirect) {
            item->phaseNotification(LoadPhase::Redirecting, "http://site.test/elsewhere.gif");
            item->phaseNotification(LoadPhase::Sending, "");
            item->phaseNotification(LoadPhase::Receiving, "");
        }
        clock_.advance(t.wait);
        item->firstResponseByte();
        clock_.advance(t.receive);
        engine::TransferOutcome outcome;
        outcome.statusCode = status;
        outcome.result = status == 200 ? 0 : engine::kResultHttpStatus;
        outcome.contentType = type;
        outcome.contentKind = engine::classify(type);
        outcome.received = size;
        item->endTransfer(std::move(outcome));
        item->fillActualStats();  // as the page loader does for results 0 and -1
        return item;
    }

    // A transfer that ended without a response (connection refused): no record is kept.
    std::shared_ptr<WebItem> refusedAtConnect(const std::string& path, std::uint32_t connect) {
        auto item =
            std::make_shared<WebItem>(engine::ParsedUrl::parse("http://site.test" + path), clock_);
        began_[item.get()] = clock_.now();
        item->beginTransfer(item->address());
        clock_.advance(connect);
        engine::TransferOutcome outcome;
        outcome.result = 12029;
        outcome.phase = LoadPhase::Error;
        item->endTransfer(std::move(outcome));
        return item;
    }

    WaterfallRow rowFor(const Waterfall& waterfall, const engine::PageFigures& figures,
                        const std::string& path) const {
        for (const WaterfallRow& row : waterfall.rows)
            if (figures.items[static_cast<std::size_t>(row.item)].item->address().objectPath ==
                path)
                return row;
        throw std::runtime_error("no row for " + path);
    }

    engine::ManualClock clock_;
    ItemRegistry registry_;
    ItemRegistry::Node* pageA_ = nullptr;
    ItemRegistry::Node* pageB_ = nullptr;
    std::shared_ptr<WebItem> never_;
    std::map<const WebItem*, std::uint32_t> began_;  // the tick each transfer began at
};

// For every connection index and both pages.
class EveryConnection : public WaterfallPages, public ::testing::WithParamInterface<int> {
protected:
    struct Page {
        engine::PageFigures figures;
        Waterfall waterfall;
    };
    std::vector<Page> pages() const {
        std::vector<Page> both;
        for (const ItemRegistry::Node* root : {pageA_, pageB_}) {
            engine::PageFigures figures = engine::computePage(registry_, root, GetParam());
            Waterfall waterfall = engine::waterfallOf(figures);
            both.push_back({std::move(figures), std::move(waterfall)});
        }
        return both;
    }
};

INSTANTIATE_TEST_SUITE_P(Waterfall, EveryConnection, ::testing::Range(0, engine::kConnectionCount));

TEST_P(EveryConnection, TheLargestLaneEndIsTheDownloadTime) {
    for (const Page& page : pages()) {
        std::uint32_t largest = 0;
        for (const WaterfallRow& row : page.waterfall.rows) largest = std::max(largest, row.end);
        EXPECT_EQ(largest, page.figures.downloadTime);
        EXPECT_EQ(page.waterfall.downloadTime, page.figures.downloadTime);
        EXPECT_GT(largest, 0u);
    }
}

TEST_P(EveryConnection, TheLastBlockingEndIsTheBrowseTime) {
    for (const Page& page : pages()) {
        std::uint32_t last = 0;
        int blocking = 0;
        for (const WaterfallRow& row : page.waterfall.rows) {
            if (!row.blocking) continue;
            ++blocking;
            last = std::max(last, row.end);
        }
        EXPECT_GE(blocking, 2);  // each page has a document and a style sheet
        EXPECT_EQ(last, page.figures.browseTime);
        EXPECT_EQ(page.waterfall.browseTime, page.figures.browseTime);
    }
}

TEST_P(EveryConnection, ALaneCarriesOneBarAtATime) {
    for (const Page& page : pages()) {
        std::map<int, std::vector<const WaterfallRow*>> lanes;
        for (const WaterfallRow& row : page.waterfall.rows) {
            ASSERT_GE(row.lane, 0);
            ASSERT_LT(row.lane, engine::BrowserSimulation::kLanes);
            lanes[row.lane].push_back(&row);
        }
        for (auto& [lane, rows] : lanes) {
            // Rows come in the order the lanes were taken, so each bar begins after the last.
            for (std::size_t i = 1; i < rows.size(); ++i)
                EXPECT_GE(rows[i]->start, rows[i - 1]->end) << "lane " << lane;
        }
    }
}

TEST_P(EveryConnection, ABarIsItsPartsEndToEnd) {
    for (const Page& page : pages()) {
        for (const WaterfallRow& row : page.waterfall.rows) {
            const engine::ItemFigures& f = page.figures.items[static_cast<std::size_t>(row.item)];
            EXPECT_EQ(
                row.start + row.parts.connect + row.parts.send + row.parts.wait + row.parts.receive,
                row.end);
            EXPECT_EQ(row.parts.connect, f.stats.connectTime);
            EXPECT_EQ(row.parts.send, f.stats.sendTime);
            EXPECT_EQ(row.parts.wait, f.stats.waitTime);
            const bool document = f.item->contentKind() == ContentKind::Html;
            EXPECT_EQ(row.parts.receive, document ? f.stats.receiveTime / 2 : f.stats.receiveTime);
            EXPECT_EQ(row.receiveTime, f.stats.receiveTime);
        }
    }
}

TEST_P(EveryConnection, EveryItemHasOneRowLevelByLevel) {
    for (const Page& page : pages()) {
        ASSERT_EQ(page.waterfall.rows.size(), page.figures.items.size());
        std::vector<int> seen;
        for (std::size_t i = 0; i < page.waterfall.rows.size(); ++i) {
            const WaterfallRow& row = page.waterfall.rows[i];
            seen.push_back(row.item);
            if (i == 0) continue;
            const WaterfallRow& before = page.waterfall.rows[i - 1];
            EXPECT_TRUE(before.level < row.level ||
                        (before.level == row.level && before.item < row.item));
        }
        std::sort(seen.begin(), seen.end());
        EXPECT_EQ(std::adjacent_find(seen.begin(), seen.end()), seen.end());
    }
}

TEST_F(WaterfallPages, ActualSpeedBarsHaveTheMeasuredPhases) {
    const engine::PageFigures figures = engine::computePage(registry_, pageA_, 0);
    const Waterfall waterfall = engine::waterfallOf(figures);
    const WaterfallRow& css = rowFor(waterfall, figures, "style.css");
    EXPECT_EQ(css.parts.connect, 3u);
    EXPECT_EQ(css.parts.send, 1u);
    EXPECT_EQ(css.parts.wait, 10u);
    EXPECT_EQ(css.parts.receive, 12u);
    const WaterfallRow& root = waterfall.rows.front();
    EXPECT_EQ(root.start, 0u);
    EXPECT_EQ(root.parts.receive, 30u);  // half of the document's 60 ms
    // A transfer refused at connect keeps no record, so it takes no time on the lanes.
    const WaterfallRow& refused = rowFor(waterfall, figures, "refused.gif");
    EXPECT_EQ(refused.end, refused.start);
}

TEST_F(WaterfallPages, RestatedBarsAreTheConnectionsLatencyAndTransfer) {
    const int modem = 7;  // "56K": 7000 bytes per second, 200 ms
    const engine::PageFigures figures = engine::computePage(registry_, pageA_, modem);
    const WaterfallRow& moved = rowFor(engine::waterfallOf(figures), figures, "moved.gif");
    EXPECT_EQ(moved.parts.connect, 200u);
    EXPECT_EQ(moved.parts.send + moved.parts.wait, 0u);
    EXPECT_EQ(moved.parts.receive, 200u + 2500u * 5000 / 7000);
}

TEST_F(WaterfallPages, RowsCarryWhenTheMeasurementRequestedEachElement) {
    const engine::PageFigures a = engine::computePage(registry_, pageA_, 0);
    const engine::PageFigures b = engine::computePage(registry_, pageB_, 0);
    const auto startOf = [&](const engine::PageFigures& figures, const WaterfallRow& row) {
        return began_.at(figures.items[static_cast<std::size_t>(row.item)].item.get());
    };
    for (const auto* figures : {&a, &b}) {
        const std::uint32_t page = startOf(*figures, engine::waterfallOf(*figures).rows.front());
        for (const WaterfallRow& row : engine::waterfallOf(*figures).rows) {
            if (figures->items[static_cast<std::size_t>(row.item)].item == never_) {
                EXPECT_FALSE(row.measuredStart.has_value());
                continue;
            }
            ASSERT_TRUE(row.measuredStart.has_value()) << row.address;
            EXPECT_EQ(*row.measuredStart, static_cast<std::int64_t>(startOf(*figures, row)) - page);
        }
    }
    // Page B took its style sheet from page A, fetched before B's own document.
    EXPECT_LT(*rowFor(engine::waterfallOf(b), b, "style.css").measuredStart, 0);
}

TEST_F(WaterfallPages, FlagsMarkFailedAndRedirectedElements) {
    const engine::PageFigures figures = engine::computePage(registry_, pageA_, 2);
    const Waterfall waterfall = engine::waterfallOf(figures);
    for (const WaterfallRow& row : waterfall.rows) {
        const std::string& path =
            figures.items[static_cast<std::size_t>(row.item)].item->address().objectPath;
        const bool shouldFail = path == "refused.gif" || path == "missing.gif";
        EXPECT_EQ(row.failed, shouldFail) << path;
        EXPECT_EQ(row.redirected, path == "moved.gif") << path;
        EXPECT_EQ(row.error.empty(), !shouldFail) << path;
    }
    EXPECT_EQ(rowFor(waterfall, figures, "missing.gif").status, 404);
    EXPECT_EQ(rowFor(waterfall, figures, "refused.gif").status, 0);
    EXPECT_EQ(rowFor(waterfall, figures, "f.gif").size, 9000u);
}

TEST_F(WaterfallPages, APageWithoutItemsHasNoRows) {
    const Waterfall waterfall = engine::computeWaterfall(registry_, nullptr, 3);
    EXPECT_EQ(waterfall.connectionIndex, 3);
    EXPECT_TRUE(waterfall.rows.empty());
    EXPECT_EQ(waterfall.downloadTime, 0u);
    EXPECT_EQ(waterfall.browseTime, 0u);
}

}  // namespace
