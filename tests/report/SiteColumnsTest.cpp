#include "report/SiteColumns.h"

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <variant>
#include <vector>

#include "engine/base/ManualResetEvent.h"
#include "engine/figures/PageFigures.h"
#include "engine/schedule/PageState.h"
#include "query/DisplayFormats.h"
#include "report/PageClass.h"
#include "tests/engine/SiteFixture.h"

namespace {

using engine::PageEntry;
using engine::PageState;
using report::cellText;
using std::chrono::milliseconds;

constexpr std::uint32_t kActualSpeedColumn = 128;
constexpr std::uint32_t k14400Column = 131072;

// Polls `condition` until it holds, up to 30 s.
template <typename Condition>
bool eventually(Condition condition) {
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > limit) return false;
        std::this_thread::sleep_for(milliseconds(2));
    }
    return true;
}

TEST(SiteColumns, IdentifiersHeadersAndWidthsInDisplayOrder) {
    const std::vector<std::pair<std::string, int>> expected{
        {"URL", 40},       {"Title", 10},          {"Status", 13},
        {"Size", 12},      {"Elements", 13},       {"Time", 22},
        {"Speed", 10},     {"Actual Speed", 20},   {"LAN 10MB", 20},
        {"T1", 20},        {"512K Cable/DSL", 20}, {"256K Cable/DSL", 20},
        {"ISDN 128K", 20}, {"ISDN 64K", 20},       {"56K", 20},
        {"33.6K", 20},     {"28.8K", 20},          {"14.4K", 20},
        {"Class", 13},
    };
    const auto& columns = report::siteColumns();
    ASSERT_EQ(columns.size(), expected.size());
    for (std::size_t i = 0; i < columns.size(); ++i) {
        // Single bits, doubling from 1 to 262144.
        EXPECT_EQ(columns[i], std::uint32_t{1} << i);
        EXPECT_EQ(report::columnHeader(columns[i]), expected[i].first) << columns[i];
        EXPECT_EQ(report::columnWidth(columns[i]), expected[i].second) << columns[i];
    }
    EXPECT_EQ(report::connectionColumn(0), kActualSpeedColumn);
    EXPECT_EQ(report::connectionColumn(10), k14400Column);
    EXPECT_EQ(report::connectionColumn(11), 0u);
    EXPECT_EQ(report::connectionColumn(-1), 0u);
}

TEST(SiteColumns, AnyOtherIdentifierIsUnknownWithNoWidth) {
    for (std::uint32_t id : {0u, 3u, 96u, 384u, 524288u, 0x80000000u, 0xFFFFFFFFu}) {
        EXPECT_EQ(report::columnHeader(id), "Unknown") << id;
        EXPECT_EQ(report::columnWidth(id), 0) << id;
    }
}

TEST(SiteColumns, ConnectionSelectorTexts) {
    EXPECT_EQ(report::connectionSelectorText(0),
              "Web Page Download / Browse time for Actual Speed connection.");
    EXPECT_EQ(report::connectionSelectorText(10),
              "Web Page Download / Browse time for 14.4K connection.");
    for (int index : {-1, 11}) {
        EXPECT_EQ(report::connectionSelectorText(index),
                  "Web Page Download / Browse time for currently selected connection.");
    }
}

// Pages loaded from a loopback site; "/held/..." answers only once the gate is opened.
class SiteColumnsCells : public enginetest::SiteFixture {
protected:
    SiteColumnsCells() {
        server_.get(R"(/held/.*)", [gate = gate_](const httplib::Request&, httplib::Response& res) {
            gate->waitFor(milliseconds(30000));
            res.set_content("<html><title>Held</title></html>", "text/html");
        });
    }
    void TearDown() override {
        gate_->set();
        SiteFixture::TearDown();
    }

    // Every column's text for the page, by identifier.
    static std::map<std::uint32_t, std::string> row(PageEntry& page, int current) {
        std::map<std::uint32_t, std::string> cells;
        for (std::uint32_t column : report::siteColumns()) {
            cells[column] = cellText(page, column, current);
        }
        return cells;
    }

    // The columns that show nothing for a page that is not loaded.
    static void expectNoFigures(const std::map<std::uint32_t, std::string>& cells) {
        for (std::uint32_t column : {report::kColumnTitle, report::kColumnSize,
                                     report::kColumnSpeed, report::kColumnClass}) {
            EXPECT_EQ(cells.at(column), "") << column;
        }
    }

    // A page held in process: its document is loaded, one image came and one is held.
    std::shared_ptr<PageEntry> pageInProgress() {
        page("/progress.html",
             "<html><img src=\"/content?type=image/gif&size=10\"><img src=\"/held/a.gif\">");
        auto entry = PageEntry::create(*manager_, url("/progress.html"));
        manager_->enqueuePage(entry, engine::kScanAll);
        EXPECT_TRUE(eventually([&] { return entry->finishedCount() == 2; }));
        EXPECT_EQ(entry->state(), PageState::InProcess);
        EXPECT_EQ(entry->expectedCount(), 3u);
        return entry;
    }

    std::shared_ptr<engine::ManualResetEvent> gate_ =
        std::make_shared<engine::ManualResetEvent>(false);
};

TEST_F(SiteColumnsCells, AReadyPageShowsItsAddressAndStateOnly) {
    const auto entry = PageEntry::create(*manager_, "http://site.test/a%20b.html?x=1");
    for (const auto& [column, text] : row(*entry, 0)) {
        if (column == report::kColumnUrl) {
            EXPECT_EQ(text, "http://site.test/a%20b.html?x=1");
        } else if (column == report::kColumnStatus) {
            EXPECT_EQ(text, "Ready");
        } else {
            EXPECT_EQ(text, "") << column;
        }
    }
    EXPECT_EQ(cellText(*entry, 3, 0), "");  // no such column
}

TEST_F(SiteColumnsCells, AFinishedPageShowsItsFiguresPerConnection) {
    const std::string html =
        "<html><head><title>Home &amp; Away</title></head><body>"
        "<img src=\"/content?type=image/gif&size=300\">"
        "<img src=\"/content?type=image/gif&size=1000\"></body></html>";
    page("/index.html", html);
    const auto entry = load(url("/index.html"));
    ASSERT_EQ(entry->state(), PageState::Finished);
    entry->setAnalysis(report::kClassPerfect, "");

    const auto cells = row(*entry, 10);
    EXPECT_EQ(cells.at(report::kColumnUrl), url("/index.html"));
    EXPECT_EQ(cells.at(report::kColumnTitle), "Home &amp; Away");
    EXPECT_EQ(cells.at(report::kColumnStatus), "Finished");
    EXPECT_EQ(cells.at(report::kColumnSize),
              query::formatSize(static_cast<std::int32_t>(html.size() + 1300)));
    EXPECT_EQ(cells.at(report::kColumnElements), "3");
    EXPECT_EQ(cells.at(report::kColumnClass), "Perfect");

    // Time follows the current connection; each connection column shows its own.
    for (int index = 0; index < engine::kConnectionCount; ++index) {
        const engine::PageFigures figures = entry->figures(index);
        const std::string times =
            query::formatTime(static_cast<std::int32_t>(figures.downloadTime)) + " / " +
            query::formatTime(static_cast<std::int32_t>(figures.browseTime));
        EXPECT_EQ(cells.at(report::connectionColumn(index)), times) << index;
        EXPECT_EQ(cellText(*entry, report::kColumnTime, index), times) << index;
    }
    EXPECT_EQ(cells.at(report::kColumnTime), cells.at(k14400Column));
    // On "14.4K" every item takes seconds, so the pair differs from the measured one.
    EXPECT_NE(cells.at(k14400Column), cells.at(kActualSpeedColumn));
    // An index outside the table reads as the measured connection.
    EXPECT_EQ(cellText(*entry, report::kColumnTime, 42), cells.at(kActualSpeedColumn));

    // Speed: the page's bytes over its page time on that connection.
    const engine::PageFigures slow = entry->figures(10);
    ASSERT_GT(slow.pageTime, 0u);
    EXPECT_EQ(cells.at(report::kColumnSpeed),
              query::formatSpeed((html.size() + 1300) / (slow.pageTime * 0.001)));
    EXPECT_NE(cells.at(report::kColumnSpeed), cellText(*entry, report::kColumnSpeed, 1));
}

TEST_F(SiteColumnsCells, AFinishedPageSortsByItsNumbers) {
    const std::string html =
        "<html><title>Sorted</title><img src=\"/content?type=image/gif"
        "&size=700\"></html>";
    page("/sorted.html", html);
    const auto entry = load(url("/sorted.html"));
    ASSERT_EQ(entry->state(), PageState::Finished);
    entry->setAnalysis(report::kClassCritical, "");
    using Value = report::SiteSortValue;
    const auto value = [&](std::uint32_t column, int current) {
        const report::SiteCell cell = report::siteCell(*entry, column, current);
        EXPECT_EQ(cell.text, cellText(*entry, column, current)) << column;
        return cell.sortValue;
    };
    EXPECT_EQ(value(report::kColumnUrl, 0), Value(url("/sorted.html")));
    EXPECT_EQ(value(report::kColumnTitle, 0), Value(std::string("Sorted")));
    EXPECT_EQ(value(report::kColumnStatus, 0),
              Value(static_cast<std::int64_t>(PageState::Finished)));
    EXPECT_EQ(value(report::kColumnSize, 0), Value(static_cast<std::int64_t>(html.size() + 700)));
    EXPECT_EQ(value(report::kColumnElements, 0), Value(std::int64_t{2}));
    EXPECT_EQ(value(report::kColumnClass, 0), Value(std::int64_t{report::kClassCritical}));
    for (int index = 0; index < engine::kConnectionCount; ++index) {
        const engine::PageFigures figures = entry->figures(index);
        const Value download(static_cast<std::int64_t>(figures.downloadTime));
        EXPECT_EQ(value(report::connectionColumn(index), 0), download) << index;
        EXPECT_EQ(value(report::kColumnTime, index), download) << index;
        EXPECT_EQ(value(report::kColumnSpeed, index), Value(engine::pageSpeed(figures))) << index;
    }
}

TEST_F(SiteColumnsCells, EmptyCellsHaveNoSortValue) {
    const auto entry = PageEntry::create(*manager_, "http://site.test/");
    for (std::uint32_t column : report::siteColumns()) {
        const report::SiteCell cell = report::siteCell(*entry, column, 0);
        EXPECT_EQ(cell.text.empty(), std::holds_alternative<std::monostate>(cell.sortValue))
            << column;
    }
    EXPECT_EQ(report::siteCell(*entry, report::kColumnStatus, 0).sortValue,
              report::SiteSortValue(static_cast<std::int64_t>(PageState::Ready)));
}

struct SortRow {
    report::SiteSortValue a;
    report::SiteSortValue b;
    int order;
};

class SiteSortValues : public ::testing::TestWithParam<SortRow> {};

TEST_P(SiteSortValues, CompareByValueNotByText) {
    const SortRow& row = GetParam();
    EXPECT_EQ(report::compareSortValues(row.a, row.b), row.order);
    EXPECT_EQ(report::compareSortValues(row.b, row.a), -row.order);
}

INSTANTIATE_TEST_SUITE_P(SiteColumns, SiteSortValues,
                         ::testing::Values(
                             // "9.00 kb" would sort after "10.00 kb" as text.
                             SortRow{std::int64_t{9 * 1024}, std::int64_t{10 * 1024}, -1},
                             SortRow{std::int64_t{5}, std::int64_t{5}, 0}, SortRow{2.5, 10.0, -1},
                             SortRow{std::monostate{}, std::int64_t{0}, -1},
                             SortRow{std::monostate{}, std::monostate{}, 0},
                             SortRow{std::string("http://B/"), std::string("http://a/"), 1},
                             SortRow{std::string("Home"), std::string("home"), 0}));

TEST_F(SiteColumnsCells, ALoadWithoutElementsShowsNoTimes) {
    page("/index.html", "<html><title>Links</title><img src=\"/content?size=5\"></html>");
    const auto entry = load(url("/index.html"), engine::kScanAnchors | engine::kScanTitle);
    ASSERT_EQ(entry->state(), PageState::Finished);
    const auto cells = row(*entry, 0);
    EXPECT_EQ(cells.at(report::kColumnTitle), "Links");
    EXPECT_EQ(cells.at(report::kColumnElements), "1");
    EXPECT_NE(cells.at(report::kColumnSize), "");
    EXPECT_NE(cells.at(report::kColumnSpeed), "");
    EXPECT_EQ(cells.at(report::kColumnTime), "");
    for (int index = 0; index < engine::kConnectionCount; ++index) {
        EXPECT_EQ(cells.at(report::connectionColumn(index)), "") << index;
    }
}

TEST_F(SiteColumnsCells, FailedPagesAreLoadedPages) {
    const auto failed = load(url("/content?status=404&type=text/html&body=<title>Gone</title>"));
    ASSERT_EQ(failed->state(), PageState::Error);
    auto cells = row(*failed, 0);
    EXPECT_EQ(cells.at(report::kColumnStatus), "Error");
    EXPECT_EQ(cells.at(report::kColumnElements), "1");
    EXPECT_EQ(cells.at(report::kColumnClass), "Unknown");
    EXPECT_EQ(cells.at(report::kColumnSize),
              query::formatSize(static_cast<std::int32_t>(failed->pageSize())));
    EXPECT_NE(cells.at(report::kColumnTime), "");
    EXPECT_EQ(cells.at(report::kColumnTime), cells.at(kActualSpeedColumn));

    page("/broken.html",
         "<html><title>Broken</title><img src=\"/content?status=404&type=image/gif\"></html>");
    const auto broken = load(url("/broken.html"));
    ASSERT_EQ(broken->state(), PageState::ChildError);
    cells = row(*broken, 0);
    EXPECT_EQ(cells.at(report::kColumnTitle), "Broken");
    EXPECT_EQ(cells.at(report::kColumnStatus), "Child Error");
    EXPECT_EQ(cells.at(report::kColumnElements), "2");
    EXPECT_NE(cells.at(report::kColumnSize), "");
    EXPECT_NE(cells.at(report::kColumnSpeed), "");
    EXPECT_NE(cells.at(k14400Column), "");
}

TEST_F(SiteColumnsCells, APageStartingShowsItsElapsedTime) {
    const auto entry = PageEntry::create(*manager_, url("/held/page.html"));
    manager_->enqueuePage(entry, engine::kScanAll);
    ASSERT_TRUE(eventually(
        [&] { return entry->state() == PageState::InProcess && !server_.requests().empty(); }));

    const std::uint32_t before = entry->jobElapsedMs();
    const auto cells = row(*entry, 4);
    const std::uint32_t after = entry->jobElapsedMs();
    EXPECT_EQ(cells.at(report::kColumnUrl), url("/held/page.html"));
    EXPECT_EQ(cells.at(report::kColumnStatus), "Starting...");
    EXPECT_EQ(cells.at(report::kColumnElements), "0 (1)");
    expectNoFigures(cells);
    // Time and every connection column show the time so far, whatever the connection.
    for (std::uint32_t column : report::siteColumns()) {
        if (column != report::kColumnTime && report::columnWidth(column) != 20) continue;
        bool within = false;
        for (std::uint32_t ms = before; ms <= after && !within; ++ms) {
            within = cells.at(column) == query::formatTime(static_cast<std::int32_t>(ms));
        }
        EXPECT_TRUE(within) << column << ": " << cells.at(column) << " not within " << before
                            << ".." << after << " ms";
    }
}

TEST_F(SiteColumnsCells, APageInProgressShowsTheShareAccountedFor) {
    const auto entry = pageInProgress();
    const auto cells = row(*entry, 0);
    EXPECT_EQ(cells.at(report::kColumnStatus), "66% Completed");  // 2 of 3, rounded down
    EXPECT_EQ(cells.at(report::kColumnElements), "2 (3)");
    expectNoFigures(cells);
    EXPECT_NE(cells.at(report::kColumnTime), "");
}

TEST_F(SiteColumnsCells, AnAbortedPageShowsItsCountsUntilItSettlesAsCanceled) {
    const auto entry = pageInProgress();
    ASSERT_TRUE(entry->abort());
    auto cells = row(*entry, 0);
    EXPECT_EQ(cells.at(report::kColumnStatus), "Aborting...");
    EXPECT_EQ(cells.at(report::kColumnElements), "2 (3)");
    expectNoFigures(cells);
    EXPECT_EQ(cells.at(report::kColumnTime), "");
    EXPECT_EQ(cells.at(kActualSpeedColumn), "");

    gate_->set();
    ASSERT_TRUE(sink_->waitForRunsEnded(1));
    ASSERT_EQ(entry->state(), PageState::Canceled);
    for (const auto& [column, text] : row(*entry, 0)) {
        if (column == report::kColumnUrl) {
            EXPECT_EQ(text, url("/progress.html"));
        } else if (column == report::kColumnStatus) {
            EXPECT_EQ(text, "Canceled");
        } else {
            EXPECT_EQ(text, "") << column;
        }
    }
}

TEST_F(SiteColumnsCells, ARedirectedPageShowsTheAddressItEndedAt) {
    const auto entry = load(url("/redirect/2"));
    ASSERT_TRUE(engine::isLoaded(entry->state()));
    EXPECT_EQ(cellText(*entry, report::kColumnUrl, 0), url("/redirect/0"));
}

}  // namespace
