#include "report/ElementColumns.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/base/Clock.h"
#include "engine/items/WebItem.h"

namespace {

using engine::ItemFigures;
using engine::LoadPhase;
using engine::ManualClock;
using engine::ParsedUrl;
using engine::WebItem;
using report::elementCell;
using report::SiteSortValue;

// One item of a page: fetched over HTTPS and finished, its figures for a restated connection
// (which differ from what the item measured itself).
class ElementColumns : public ::testing::Test {
protected:
    ElementColumns() {
        item_ = std::make_shared<WebItem>(ParsedUrl::parse("https://h.example/img/a.gif"), clock_);
        item_->beginTransfer(item_->address());
        clock_.advance(80);
        engine::TransferOutcome outcome;
        outcome.contentType = "image/gif";
        outcome.received = 1023;
        item_->endTransfer(outcome);
        item_->fillActualStats();

        figures_.item = item_;
        engine::ElementStats& s = figures_.stats;
        s.urlText = "https://h.example/img/a.gif";
        s.objectPath = "/img/a.gif";
        s.host = "h.example";
        s.contentType = "image/gif";
        s.size = 1023;
        s.connectTime = 300;
        s.sendTime = 12;
        s.waitTime = 450;
        s.receiveTime = 1500;
        s.totalTime = 2262;
        s.speed = 682.0;
        s.percentTime = 0.0254;
    }

    ManualClock clock_;
    std::shared_ptr<WebItem> item_;
    ItemFigures figures_;
};

struct Expected {
    std::uint32_t column;
    std::string header;
    std::string text;
    SiteSortValue sortValue;
};

TEST_F(ElementColumns, EachColumnShowsItsFigureAndSortsByIt) {
    const std::vector<Expected> cases{
        {report::kElementName, "Element", "/img/a.gif", std::string("/img/a.gif")},
        {report::kElementHost, "Host", "h.example", std::string("h.example")},
        {report::kElementProtocol, "Protocol", "HTTPS", std::string("HTTPS")},
        {report::kElementType, "Type", "image/gif", std::string("image/gif")},
        {report::kElementStatus, "Status", "Completed", std::string("Completed")},
        {report::kElementSize, "Size", "1023 b", std::int64_t{1023}},
        {report::kElementTime, "Time", "0:02.262", std::int64_t{2262}},
        {report::kElementSpeed, "Speed", "682.00 b/s", 682.0},
        {report::kElementConnectTime, "Connect Time", "0:00.300", std::int64_t{300}},
        {report::kElementSendTime, "Send Time", "0:00.012", std::int64_t{12}},
        {report::kElementReceiveTime, "Receive Time", "0:01.500", std::int64_t{1500}},
        {report::kElementWaitTime, "Wait Response Time", "0:00.450", std::int64_t{450}},
        {report::kElementPercentTime, "% Time", "2.54%", 0.0254},
    };
    ASSERT_EQ(cases.size(), report::elementColumns().size());
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const Expected& c = cases[i];
        SCOPED_TRACE(c.header);
        EXPECT_EQ(report::elementColumns()[i], c.column);
        EXPECT_EQ(report::elementColumnHeader(c.column), c.header);
        EXPECT_EQ(report::isNumericElementColumn(c.column), c.column >= report::kElementSize);
        const report::SiteCell cell = elementCell(figures_, c.column, false);
        EXPECT_EQ(cell.text, c.text);
        EXPECT_EQ(cell.sortValue, c.sortValue);
    }
    for (std::uint32_t unknown : {0u, 3u, 8192u}) {
        EXPECT_EQ(report::elementColumnHeader(unknown), "");
        EXPECT_FALSE(report::isNumericElementColumn(unknown));
        EXPECT_EQ(elementCell(figures_, unknown, false), report::SiteCell{});
    }
}

TEST_F(ElementColumns, SizesSortAsNumbersNotAsTheirTexts) {
    ItemFigures larger = figures_;
    larger.stats.size = 1024;
    const report::SiteCell small = elementCell(figures_, report::kElementSize, false);
    const report::SiteCell large = elementCell(larger, report::kElementSize, false);
    EXPECT_EQ(large.text, "1.00 kb");
    EXPECT_GT(small.text, large.text);
    EXPECT_LT(report::compareSortValues(small.sortValue, large.sortValue), 0);
}

// While a download runs, Time and Speed come from the item itself and "% Time" is empty: a
// finished item shows what it measured, a running one its stopwatches and bytes so far.
TEST_F(ElementColumns, AnItemWithoutARecordYetIsNamedByItsAddress) {
    ItemFigures loading;
    loading.item =
        std::make_shared<WebItem>(ParsedUrl::parse("http://h.example/p/slow.gif"), clock_);
    EXPECT_EQ(elementCell(loading, report::kElementName, true).text, "p/slow.gif");
    EXPECT_EQ(elementCell(loading, report::kElementHost, false).text, "h.example");
}

TEST_F(ElementColumns, LiveValuesComeFromTheItemWhileADownloadRuns) {
    EXPECT_EQ(elementCell(figures_, report::kElementTime, true).text, "0:00.080");
    EXPECT_EQ(elementCell(figures_, report::kElementPercentTime, true), report::SiteCell{});
    EXPECT_EQ(elementCell(figures_, report::kElementSize, true).text, "1023 b");

    item_->beginTransfer(item_->address());
    EXPECT_EQ(elementCell(figures_, report::kElementSpeed, true).text, "0.00 b/s");
    clock_.advance(250);
    item_->bodyProgress(500);
    const report::SiteCell time = elementCell(figures_, report::kElementTime, true);
    EXPECT_EQ(time.text, "0:00.250");
    EXPECT_EQ(time.sortValue, SiteSortValue(std::int64_t{250}));
    EXPECT_EQ(elementCell(figures_, report::kElementSpeed, true).sortValue, SiteSortValue(2000.0));
    EXPECT_EQ(item_->phase(), LoadPhase::Connecting);
}

}  // namespace
