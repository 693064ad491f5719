#include "report/PageStatusColumns.h"

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "engine/figures/PageFigures.h"
#include "engine/schedule/PageState.h"
#include "tests/engine/SiteFixture.h"

namespace {

using report::PageStatusColumn;
using report::PageStatusFacts;

constexpr const char* kAddress = "http://site.test/index.html";

TEST(PageStatusColumns, HeadersAndWidthsInDisplayOrder) {
    const std::vector<std::pair<std::string, int>> expected{
        {"Page", 20}, {"Status", 20}, {"Elements", 15}, {"Size", 15}, {"Time", 15}, {"Speed", 15}};
    ASSERT_EQ(expected.size(), report::kPageStatusColumnCount);
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const auto column = static_cast<PageStatusColumn>(i);
        EXPECT_EQ(report::pageStatusHeader(column), expected[i].first);
        EXPECT_EQ(report::pageStatusWidth(column), expected[i].second);
    }
    EXPECT_EQ(report::kPageStatusMinimumWidth, 50);
}

TEST(PageStatusColumns, NoPageShowsOnlyThePageCell) {
    const report::PageStatusRow row = report::pageStatusRow(std::nullopt);
    EXPECT_EQ(row.texts, (std::array<std::string, 6>{"No Page", "", "", "", "", ""}));
    EXPECT_FALSE(row.progress.has_value());
}

struct RowCase {
    const char* name;
    PageStatusFacts facts;
    std::array<std::string, 6> texts;
    std::optional<int> progress;
};

PageStatusFacts facts(engine::PageState state, std::uint32_t finished, std::uint32_t expected,
                      std::uint32_t size, bool running, std::uint32_t elapsed,
                      std::uint32_t downloadTime, double speed) {
    return {kAddress, static_cast<std::uint32_t>(state),
            finished, expected,
            size,     running,
            elapsed,  downloadTime,
            speed};
}

class PageStatusRows : public ::testing::TestWithParam<RowCase> {};

TEST_P(PageStatusRows, CellsFollowTheState) {
    const RowCase& c = GetParam();
    const report::PageStatusRow row = report::pageStatusRow(c.facts);
    EXPECT_EQ(row.texts, c.texts);
    EXPECT_EQ(row.progress, c.progress);
}

using S = engine::PageState;

INSTANTIATE_TEST_SUITE_P(
    PageStatusColumns, PageStatusRows,
    ::testing::Values(
        RowCase{"Ready",
                facts(S::Ready, 0, 0, 0, false, 0, 0, 0),
                {kAddress, "Ready", "", "0 b", "0:00.000", "0.00 b/s"},
                std::nullopt},
        // A page of no elements yet: 0 % and an empty bar.
        RowCase{"StartingWithNoElements",
                facts(S::InProcess, 0, 0, 0, true, 400, 0, 0),
                {kAddress, "In process...", "", "0 b", "0:00.000", "0.00 b/s"},
                0},
        // The running time lags the page's clock by one second.
        RowCase{"InProcessTwoOfThree",
                facts(S::InProcess, 2, 3, 5932, true, 3222, 77, 12.12),
                {kAddress, "In process...", "2 (3)", "5.79 kb", "0:02.222", "12.12 b/s"},
                66},
        RowCase{"ExactlyOneSecondIn",
                facts(S::InProcess, 1, 4, 1023, true, 1000, 0, 0),
                {kAddress, "In process...", "1 (4)", "1023 b", "0:00.000", "0.00 b/s"},
                25},
        // Another page's download keeps the time running for this one too.
        RowCase{"FinishedWhileAnotherDownloads",
                facts(S::Finished, 3, 3, 1024, true, 61001, 500, 1024),
                {kAddress, "Finished", "3 (3)", "1.00 kb", "1:00.001", "1.00 kb/s"},
                std::nullopt},
        RowCase{"FinishedShowsTheDownloadTime",
                facts(S::Finished, 3, 3, 1024, false, 61001, 3222, 3420.16),
                {kAddress, "Finished", "3 (3)", "1.00 kb", "0:03.222", "3.34 kb/s"},
                std::nullopt},
        RowCase{"Error",
                facts(S::Error, 1, 1, 0, false, 10, 60000, 0),
                {kAddress, "Error", "1 (1)", "0 b", "1:00.000", "0.00 b/s"},
                std::nullopt},
        RowCase{"ChildError",
                facts(S::ChildError, 4, 5, 1023, false, 0, 999, 12.12),
                {kAddress, "Child Error", "4 (5)", "1023 b", "0:00.999", "12.12 b/s"},
                std::nullopt},
        RowCase{"Aborting",
                facts(S::Aborting, 2, 8, 0, true, 999, 0, 0),
                {kAddress, "Aborting...", "2 (8)", "0 b", "0:00.000", "0.00 b/s"},
                std::nullopt},
        RowCase{"Canceled",
                facts(S::Canceled, 0, 8, 0, false, 5000, 0, 0),
                {kAddress, "Canceled", "", "0 b", "0:00.000", "0.00 b/s"},
                std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PageStatusColumns, StatusTextsByState) {
    const std::vector<std::pair<std::uint32_t, std::string>> expected{
        {1, "Ready to download: 'http://a/'."},
        {2, "Downloading: 'http://a/'..."},
        {4, "Finished Download: 'http://a/'."},
        {8, "Download Failed: 'http://a/'."},
        {16, "Child Download Failed: 'http://a/'."},
        {32, "Aborting Download: 'http://a/'."},
        {64, "Download Canceled: 'http://a/'."},
        {0, ""},
        {3, ""},
        {128, ""},
    };
    for (const auto& [state, text] : expected) {
        EXPECT_EQ(report::pageStatusText(state, "http://a/"), text) << state;
    }
    // The address is text, never a pattern.
    EXPECT_EQ(report::pageStatusText(2, "http://a/%s%d"), "Downloading: 'http://a/%s%d'...");
    EXPECT_EQ(report::pageStatusHeaderText(nullptr), "Web Item Status");
}

TEST(PageStatusColumns, HeaderIsReplacedOnlyWhenItDiffersBeyondCase) {
    struct Case {
        const char* shown;
        const char* next;
        bool changed;
    };
    for (const Case& c : std::vector<Case>{
             {"Downloading: 'http://a/'...", "Downloading: 'http://a/'...", false},
             {"Downloading: 'http://a/'...", "DOWNLOADING: 'HTTP://A/'...", false},
             {"Downloading: 'http://a/'...", "Finished Download: 'http://a/'.", true},
             {"Downloading: 'http://a/'...", "Downloading: 'http://b/'...", true},
             {"Web Item Status", "", true},
             {"", "", false},
         }) {
        EXPECT_EQ(report::headerTextChanged(c.shown, c.next), c.changed)
            << c.shown << " / " << c.next;
    }
}

class PageStatusOfARealPage : public enginetest::SiteFixture {};

TEST_F(PageStatusOfARealPage, FactsComeFromThePageForTheConnection) {
    const std::string html = "<html><img src=\"/content?type=image/gif&size=300\"></html>";
    page("/index.html", html);
    const auto entry = load(url("/index.html"));
    ASSERT_EQ(entry->state(), engine::PageState::Finished);
    const PageStatusFacts slow = report::pageStatusFacts(*entry, 10, false);
    EXPECT_EQ(slow.address, url("/index.html"));
    EXPECT_EQ(slow.state, 4u);
    EXPECT_EQ(slow.finished, 2u);
    EXPECT_EQ(slow.expected, 2u);
    EXPECT_EQ(slow.pageSize, html.size() + 300);
    EXPECT_FALSE(slow.downloadRunning);
    EXPECT_EQ(slow.downloadTime, entry->figures(10).downloadTime);
    EXPECT_DOUBLE_EQ(slow.speed, engine::pageSpeed(entry->figures(10)));
    // "14.4K" takes seconds where the loopback took milliseconds.
    EXPECT_GT(slow.downloadTime, report::pageStatusFacts(*entry, 0, false).downloadTime);
    // An index outside 0 to 10 reads as the measured connection.
    EXPECT_EQ(report::pageStatusFacts(*entry, 42, true).downloadTime,
              entry->figures(0).downloadTime);
    EXPECT_EQ(report::pageStatusHeaderText(entry.get()),
              "Finished Download: '" + url("/index.html") + "'.");
}

}  // namespace
