#include "query/StatisticsView.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "query/DisplayFormats.h"
#include "query/ElementTable.h"
#include "query/QueryEngine.h"
#include "query/QueryError.h"
#include "query/StatisticsCatalog.h"
#include "query/StatisticsLists.h"
#include "tests/engine/SiteFixture.h"
#include "tests/query/ElementFixture.h"

namespace {

using query::ColumnAlignment;
using query::StatisticsDefinition;
using query::StatisticsResult;
using State = query::StatisticsResult::State;
constexpr auto L = ColumnAlignment::Left;
constexpr auto R = ColumnAlignment::Right;

// A page of four items on two hosts: the document (1000 bytes), two images of 3000 and 6000
// bytes from its own host and a style sheet of 500 bytes from "localhost".
class StatisticsPageTest : public enginetest::SiteFixture {
protected:
    std::shared_ptr<engine::PageEntry> loadPage() {
        const std::string other = "http://localhost:" + std::to_string(server_.port());
        std::string html = "<html><head><link rel=stylesheet href=" + other +
                           "/s.css></head><img src=a.gif><img src=b.gif></html>";
        html.resize(1000, ' ');
        page("/", html);
        serve("/a.gif", 3000, "image/gif");
        serve("/b.gif", 6000, "image/gif");
        serve("/s.css", 500, "text/css");
        return load(url("/"));
    }
    void serve(const std::string& path, std::size_t size, const std::string& type) {
        server_.get(path, [size, type](const httplib::Request&, httplib::Response& response) {
            response.set_content(std::string(size, 'x'), type);
        });
    }
    static StatisticsDefinition builtIn(const std::string& title) {
        return *query::StatisticsCatalog().findByTitle(title);
    }
    static std::vector<std::string> column(const StatisticsResult& result, std::size_t c) {
        std::vector<std::string> texts;
        for (const auto& row : result.rows) texts.push_back(row.at(c));
        return texts;
    }
};

TEST_F(StatisticsPageTest, EveryBuiltInGivesARowForEachGroup) {
    const auto entry = loadPage();
    ASSERT_TRUE(query::pageDownloaded(entry.get()));
    const query::StatisticsCatalog catalog;
    ASSERT_EQ(catalog.definitions().size(), 10u);
    for (const StatisticsDefinition& definition : catalog.definitions()) {
        SCOPED_TRACE(definition.title);
        const StatisticsResult result = query::statisticsResult(definition, entry.get(), 0);
        ASSERT_EQ(result.state, State::Shown) << result.message;
        EXPECT_TRUE(result.message.empty());
        ASSERT_TRUE(result.table);
        EXPECT_EQ(result.titles, result.table->columnNames());
        EXPECT_EQ(result.alignments.size(), result.titles.size());
        EXPECT_EQ(result.rows.size(), result.table->rowCount());
        EXPECT_FALSE(result.rows.empty());
        for (const auto& row : result.rows) {
            ASSERT_EQ(row.size(), result.titles.size());
            for (const auto& text : row) EXPECT_FALSE(text.empty());
        }
        EXPECT_FALSE(query::textTable(result).empty());
    }
    // Per element, per type (html, gif, css), per host.
    EXPECT_EQ(query::statisticsResult(builtIn("General"), entry.get(), 0).rows.size(), 4u);
    EXPECT_EQ(query::statisticsResult(builtIn("Size By Type"), entry.get(), 0).rows.size(), 3u);
    EXPECT_EQ(query::statisticsResult(builtIn("Time By Host"), entry.get(), 0).rows.size(), 2u);
    EXPECT_EQ(query::statisticsResult(builtIn("Size and Time by Type and Host"), entry.get(), 0)
                  .rows.size(),
              3u);
}

TEST_F(StatisticsPageTest, TitlesAlignmentAndDisplayTexts) {
    const auto entry = loadPage();
    const StatisticsResult general = query::statisticsResult(builtIn("General"), entry.get(), 0);
    ASSERT_EQ(general.state, State::Shown);
    ASSERT_EQ(general.titles.size(), 17u);
    EXPECT_EQ(general.titles[4], "Resource Type");  // aliases give the titles
    EXPECT_EQ(general.titles[6], "Size");
    EXPECT_EQ(general.titles[16], "Receive Time");
    EXPECT_EQ(general.alignments,
              (std::vector<ColumnAlignment>{L, L, L, L, L, R, R, R, R, R, R, R, R, R, R, R, R}));

    const StatisticsResult bySize =
        query::statisticsResult(builtIn("Size By Host"), entry.get(), 0);
    ASSERT_EQ(bySize.state, State::Shown);
    EXPECT_EQ(bySize.titles,
              (std::vector<std::string>{"Host", "Count", "Size Total", "% Size Total"}));
    EXPECT_EQ(bySize.alignments, (std::vector<ColumnAlignment>{L, R, R, R}));
    // 10000 bytes on the page's host, 500 on the other: sizes and shares as displayed.
    EXPECT_EQ(column(bySize, 0), (std::vector<std::string>{"127.0.0.1", "localhost"}));
    EXPECT_EQ(column(bySize, 1), (std::vector<std::string>{"3", "1"}));
    EXPECT_EQ(column(bySize, 2), (std::vector<std::string>{"9.77 kb", "500 b"}));
    EXPECT_EQ(column(bySize, 3), (std::vector<std::string>{"95.24%", "4.76%"}));
}

TEST_F(StatisticsPageTest, TimesFollowTheConnectionSizesDoNot) {
    const auto entry = loadPage();
    const auto compact = builtIn("Compact");
    const StatisticsResult actual = query::statisticsResult(compact, entry.get(), 0);
    const StatisticsResult modem = query::statisticsResult(compact, entry.get(), 7);  // "56K"
    ASSERT_EQ(modem.state, State::Shown);
    // 6000 bytes on 56K: twice the 200 ms latency and 6000 * 40000 / 56000 ms to receive; the
    // slowest element comes first.
    EXPECT_EQ(modem.rows.at(0).at(2), query::formatTime(400 + 4285));
    EXPECT_EQ(modem.rows.at(0).at(3), "5.86 kb");
    EXPECT_NE(column(actual, 2), column(modem, 2));
    auto sizes = [](std::vector<std::string> texts) {
        std::sort(texts.begin(), texts.end());
        return texts;
    };
    EXPECT_EQ(sizes(column(actual, 3)), sizes(column(modem, 3)));
}

TEST_F(StatisticsPageTest, NoPageAndNotDownloadedRunNoQuery) {
    const StatisticsDefinition broken{1, "Broken", "select Name"};
    const StatisticsResult none = query::statisticsResult(broken, nullptr, 0);
    EXPECT_EQ(none.state, State::NoPage);
    EXPECT_TRUE(none.titles.empty() && none.rows.empty() && none.message.empty() && !none.table);
    EXPECT_FALSE(query::pageDownloaded(nullptr));

    const auto ready = engine::PageEntry::create(*manager_, url("/"));
    EXPECT_FALSE(query::pageDownloaded(ready.get()));
    const StatisticsResult waiting = query::statisticsResult(broken, ready.get(), 0);
    EXPECT_EQ(waiting.state, State::NotDownloaded);
    EXPECT_TRUE(waiting.titles.empty() && waiting.rows.empty() && waiting.message.empty());
    EXPECT_EQ(query::textTable(waiting), "");
}

TEST_F(StatisticsPageTest, AFailingQueryGivesItsMessage) {
    const auto entry = loadPage();
    // Passes validation over the one test row, fails over a page of several rows.
    const StatisticsDefinition sum{1, "Sum", "select SUM(Host)"};
    ASSERT_FALSE(query::validateQuery(sum.query));
    std::string expected;
    try {
        query::runQuery(sum.query, *query::buildElementTable(*entry, 0));
    } catch (const query::QueryError& error) {
        expected = error.message();
    }
    ASSERT_FALSE(expected.empty());
    const StatisticsResult failed = query::statisticsResult(sum, entry.get(), 0);
    EXPECT_EQ(failed.state, State::QueryFailed);
    EXPECT_EQ(failed.message, expected);
    EXPECT_TRUE(failed.titles.empty() && failed.rows.empty() && !failed.table);
    EXPECT_EQ(query::textTable(failed), "");

    const StatisticsResult unknown =
        query::statisticsResult({2, "Name", "select Name where ID = 1"}, entry.get(), 0);
    EXPECT_EQ(unknown.state, State::QueryFailed);
    EXPECT_EQ(unknown.message, "Column Name is invalid: 'name'.");
    EXPECT_STREQ(query::kQueryErrorCaption, "Query Error");
}

// Over the eight-element fixture table, whose display texts are known.
TEST(StatisticsResultTest, TextTableOfAGroupedResult) {
    const StatisticsResult result = query::runStatistics(
        "select Host, Count(Size) as 'Count', SUM(Size) as 'Size Total' group by Host order by "
        "SUM(Size) desc",
        query::testing::fixtureTable());
    ASSERT_EQ(result.state, State::Shown) << result.message;
    // The last row of a group gives its text: "WWW.Example.com" for the page's host.
    EXPECT_EQ(query::textTable(result),
              "Host             Count  Size Total\n"
              "WWW.Example.com      4     4.69 kb\n"
              "cdn.example.net      2     3.42 kb\n"
              "ads.example.org      2     1.66 kb\n");
}

TEST(StatisticsResultTest, CellTextsAreTheValuesDisplayTexts) {
    const auto& fixture = query::testing::fixtureTable();
    const StatisticsResult result = query::runStatistics(
        "select ID, URL, Time, Size, Speed, PercentOfTime where ID > 5 order by ID", fixture);
    ASSERT_EQ(result.state, State::Shown) << result.message;
    EXPECT_EQ(result.alignments, (std::vector<ColumnAlignment>{R, L, R, R, R, R}));
    ASSERT_EQ(result.rows.size(), 3u);
    EXPECT_EQ(result.rows[1],
              (std::vector<std::string>{"7", "http://WWW.Example.com/photo_50%.jpg", "0:00.600",
                                        "300 b", "500.00 b/s", "12.00%"}));
}

TEST(StatisticsResultTest, NoRowsMeansLeftAlignedTitlesOnly) {
    const StatisticsResult result = query::runStatistics("select Host, Size where Size > 100000",
                                                         query::testing::fixtureTable());
    ASSERT_EQ(result.state, State::Shown);
    EXPECT_EQ(result.alignments, (std::vector<ColumnAlignment>{L, L}));
    EXPECT_TRUE(result.rows.empty());
    EXPECT_EQ(query::textTable(result), "Host  Size\n");

    const StatisticsResult empty = query::resultFromTable(nullptr);
    EXPECT_EQ(empty.state, State::Shown);
    EXPECT_TRUE(empty.titles.empty());
    EXPECT_EQ(query::textTable(empty), "");
}

TEST(StatisticsResultTest, TextTableMasksControlCharactersAndCountsCharacters) {
    StatisticsResult result;
    result.state = State::Shown;
    result.titles = {"Na\tme", "N"};
    result.alignments = {L, R};
    result.rows = {{"\x1b[31mred", "1"}, {"caf\xc3\xa9", "22"}, {"c1\xc2\x9b", "333"}};
    EXPECT_EQ(query::textTable(result),
              "Na me       N\n"
              " [31mred    1\n"
              "caf\xc3\xa9       22\n"
              "c1        333\n");
}

TEST(StatisticsResultTest, ColumnWidthsFromTitlesAndCellsCappedAt300) {
    StatisticsResult result;
    result.state = State::Shown;
    result.titles = {"Resource Type", "Host", std::string(50, 'T'), "Size"};
    result.alignments = {L, L, L, R};
    result.rows = {{"text/css", "www.example.com", "x", ""},
                   {"image/gif", std::string(60, 'h'), "y", ""}};
    const auto sevenPixels = [](std::string_view text) {
        return static_cast<int>(text.size()) * 7;
    };
    // 13*7+30 beats 9*7+20; 60*7+20 and 50*7+30 are capped; an empty cell still gives 20.
    EXPECT_EQ(query::columnWidths(result, sevenPixels), (std::vector<int>{121, 300, 300, 58}));
    result.rows.clear();
    EXPECT_EQ(query::columnWidths(result, sevenPixels), (std::vector<int>{121, 58, 300, 58}));
}

TEST(StatisticsListsTest, DefinitionRowsStartWithNew) {
    query::StatisticsCatalog catalog;
    auto rows = query::definitionRows(catalog);
    ASSERT_EQ(rows.size(), 11u);
    EXPECT_EQ(rows[0], (query::DefinitionRow{0, "New...", ""}));
    EXPECT_EQ(rows[1].id, 1);
    EXPECT_EQ(rows[1].title, "General");
    EXPECT_EQ(rows[1].query, query::StatisticsCatalog::builtIns()[0].second);
    EXPECT_EQ(rows[10].title, "Size and Time by Type and Host");

    ASSERT_TRUE(catalog.remove(3));
    const auto id = catalog.add("Mine", "select URL");
    catalog.modify(1, "Everything", "select URL, Size");
    rows = query::definitionRows(catalog);
    ASSERT_EQ(rows.size(), 11u);
    EXPECT_EQ(rows[1], (query::DefinitionRow{1, "Everything", "select URL, Size"}));
    EXPECT_EQ(rows[3].id, 4);
    EXPECT_EQ(rows[10], (query::DefinitionRow{id, "Mine", "select URL"}));
}

TEST(StatisticsListsTest, MenuNumbersFollowIdOrder) {
    using Kind = query::StatisticsMenuEntry::Kind;
    query::StatisticsCatalog catalog;
    ASSERT_TRUE(catalog.remove(2));
    const auto added = catalog.add("Mine", "select URL");
    const auto menu = query::statisticsMenu(catalog, 4);
    ASSERT_EQ(menu.size(), 12u);
    EXPECT_EQ(menu[0].kind, Kind::NewStatistics);
    EXPECT_EQ(menu[0].text, "&New...");
    EXPECT_EQ(menu[1].kind, Kind::Separator);
    EXPECT_EQ(menu[2], (query::StatisticsMenuEntry{Kind::Definition, "General", 3000, 1, false}));
    EXPECT_EQ(menu[3],
              (query::StatisticsMenuEntry{Kind::Definition, "Size By Type", 3001, 3, false}));
    EXPECT_EQ(menu[4],
              (query::StatisticsMenuEntry{Kind::Definition, "Time By Type", 3002, 4, true}));
    EXPECT_EQ(menu[11], (query::StatisticsMenuEntry{Kind::Definition, "Mine", 3009, added, false}));
    int checked = 0;
    for (const auto& entry : menu) checked += entry.checked;
    EXPECT_EQ(checked, 1);

    EXPECT_EQ(query::definitionForCommand(menu, 3000), 1);
    EXPECT_EQ(query::definitionForCommand(menu, 3002), 4);
    EXPECT_EQ(query::definitionForCommand(menu, 3009), added);
    EXPECT_EQ(query::definitionForCommand(menu, 2999), std::nullopt);
    EXPECT_EQ(query::definitionForCommand(menu, 3010), std::nullopt);
    EXPECT_EQ(query::definitionForCommand(menu, 0), std::nullopt);  // "&New..." has no number

    // No current definition (or a deleted one): nothing checked.
    for (const auto& entry : query::statisticsMenu(catalog, 2)) EXPECT_FALSE(entry.checked);
}

TEST(StatisticsListsTest, WatchRefillsAfterEveryChange) {
    query::StatisticsCatalog catalog;
    query::CatalogWatch watch;
    EXPECT_TRUE(watch.needsRefill(catalog));
    EXPECT_FALSE(watch.needsRefill(catalog));
    catalog.modify(5, "Hosts", "select Host");
    EXPECT_TRUE(watch.needsRefill(catalog));
    EXPECT_EQ(query::statisticsMenu(catalog, 0)[6].text, "Hosts");
    EXPECT_FALSE(watch.needsRefill(catalog));
    catalog.modify(99, "Nobody", "select Host");  // unknown id: no change
    EXPECT_FALSE(watch.needsRefill(catalog));
    watch.reset();
    EXPECT_TRUE(watch.needsRefill(catalog));
}

}  // namespace
