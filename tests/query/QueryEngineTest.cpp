// Statements run over the fixture table: the exact result rows (display texts) or the exact
// error message. See ElementFixture.h for the rows.
#include "ElementFixture.h"

#include "query/NumericValue.h"
#include "query/QueryEngine.h"
#include "query/QueryError.h"
#include "query/QueryParser.h"
#include "query/StringValue.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace query::testing {
namespace {

struct RunCase {
    std::string name;
    std::string statement;
    std::string expected;  // render() of the result, or the error message
    bool fails;
    FixtureTable table = FixtureTable::Elements;
};

RunCase yields(std::string name, std::string statement, std::string rows,
               FixtureTable table = FixtureTable::Elements) {
    return {std::move(name), std::move(statement), std::move(rows), false, table};
}

RunCase fails(std::string name, std::string statement, std::string message,
              FixtureTable table = FixtureTable::Elements) {
    return {std::move(name), std::move(statement), std::move(message), true, table};
}

constexpr const char* kLikeMessage = "Can't 'LIKE' compare on this type.";

const std::vector<RunCase> kCases = {
    // Whole table, row per row, empty source.
    yields("CountAll", "select Count(URL)", "Count\n8"),
    yields("WholeTableAggregates",
           "select SUM(Size), MIN(Time), MAX(Speed), AVG(Size), Count(Host)",
           "Size | Time | Speed | Size | Count\n9.77 kb | 0:00.100 | 29.30 kb/s | 1.22 kb | 8"),
    yields("PlainItemMakesRowPerRow", "select SUM(Size), Host",
           "Size | Host\n1000 b | www.example.com\n2.93 kb | www.example.com\n"
           "1.95 kb | cdn.example.net\n500 b | www.example.com\n1.46 kb | cdn.example.net\n"
           "1.17 kb | ads.example.org\n300 b | WWW.Example.com\n500 b | ads.example.org"),
    yields("EmptySourceHasNoRows", "select SUM(Size)", "Size", FixtureTable::NoRows),
    yields("EmptySourceCountsNothing", "select Count(URL)", "Count", FixtureTable::NoRows),
    yields("ColumnByNumber", "select 2 where ID=3", "Host\ncdn.example.net"),
    yields("Titles",
           "select Host as 'Server', Count(URL) as 'Elements', Count(Size), SUM(Time) where ID=3",
           "Server | Elements | Count | Time\ncdn.example.net | 1 | 1 | 0:02.900"),
    yields("EmptyAliasKeepsColumnName", "select URL as '' where ID=1",
           "URL\nhttp://www.example.com/"),

    // Conditions.
    yields("SymbolAndSpacedForms", "select ID where Size > 1000 and Type like 'image'", "ID\n2\n6"),
    yields("StrictlyLeftToRight", "select ID where Size>100 or Size<10 and Type like 'gif'",
           "ID\n2\n4\n6"),
    yields("LikeIgnoresCase", "select ID where Type like 'IMAGE'", "ID\n2\n4\n6\n7"),
    yields("LikeHasNoWildcards", "select ID where Type like '%gif%'", "ID"),
    yields("PercentSignIsText", "select ID where URL like '50%'", "ID\n7"),
    yields("EqualityIgnoresCase", "select Host where Host='www.example.com'",
           "Host\nwww.example.com\nwww.example.com\nwww.example.com\nWWW.Example.com"),
    yields("Unequal", "select ID where Host<>'www.example.com'", "ID\n3\n5\n6\n8"),
    yields("NotUnequal", "select ID where not Host<>'www.example.com'", "ID\n1\n2\n4\n7"),
    yields("LiteralOnLeftKeepsOperator", "select ID where 1000<Size", "ID\n4\n7\n8"),
    yields("LessOrEqual", "select ID where Time<=200", "ID\n2\n4\n8"),
    yields("GreaterOrEqual", "select ID where Time>=2900", "ID\n3"),
    yields("PercentLiteralInPercent", "select ID where PercentOfSize=12", "ID\n6"),
    yields("SpeedLiteral", "select ID where Speed>=5e3", "ID\n2\n5\n8"),
    yields("TimeLiteralStopsAtPoint", "select ID where Time=100.9", "ID\n2\n8"),
    fails("LikeFailsAtFirstRowAfterOr", "select URL where Size>0 or Size like 1", kLikeMessage),
    fails("DecidedConditionsStillEvaluated", "select URL where ID=99 and Size like 1",
          kLikeMessage),
    fails("LikeOnNumber", "select Size where Size like 1", kLikeMessage),
    // Without a first row no literal can be made, so the statement fails before any comparison.
    fails("LikeOnNumberOverNoRows", "select Size where Size like 1", "Invalid value: '1'.",
          FixtureTable::NoRows),

    // Aggregates over text.
    fails("SumOverText", "select SUM(Host)", "Can't perform 'SUM' operation on 'string' type."),
    fails("MaxOverText", "select MAX(Host)", "Can't perform 'MAX' operation on string' type."),
    fails("MinOverText", "select MIN(Type) where ID<3",
          "Can't perform 'MIN' operation on 'string' type."),
    fails("AvgOverText", "select AVG(URL)", "Can't perform 'AVG' operation on 'string' type."),
    yields("SumOverOneTextCopies", "select SUM(Host) where ID=1", "Host\nwww.example.com"),
    yields("AvgOverOneTextCopies", "select AVG(Host) where ID=7", "Host\nWWW.Example.com"),

    // Grouping: linear, case-insensitive, last row wins for plain items.
    yields("AverageTruncates", "select Type, AVG(Time) group by Type",
           "Type | Time\ntext/html | 0:00.400\nIMAGE/GIF | 0:00.233\n"
           "application/x-javascript | 0:01.500\ntext/css | 0:00.300\nimage/jpeg | 0:00.600"),
    yields("PlainItemShowsLastRowOfGroup", "select Host, URL group by Host",
           "Host | URL\nWWW.Example.com | http://WWW.Example.com/photo_50%.jpg\n"
           "cdn.example.net | https://cdn.example.net/site.css\n"
           "ads.example.org | http://ads.example.org/track.js"),
    yields("CountTiesKeepFirstAppearance",
           "select Host, Count(URL) group by Host order by Count(URL) desc",
           "Host | Count\nWWW.Example.com | 4\ncdn.example.net | 2\nads.example.org | 2"),
    yields("TopAfterGrouping",
           "select top 2 Host, Count(URL) group by Host order by Count(URL) desc",
           "Host | Count\nWWW.Example.com | 4\ncdn.example.net | 2"),
    yields("SortByExpressionNotAlias",
           "select Host, SUM(Size) as 'Total' group by Host order by sum(size) desc",
           "Host | Total\nWWW.Example.com | 4.69 kb\ncdn.example.net | 3.42 kb\nads.example.org | "
           "1.66 kb"),
    yields(
        "GroupByTypeShowsLastHost",
        "SELECT Host, Type as 'Resource Type', Count(Size) as 'Count', SUM(Size) as 'Total Size' "
        "group by Type order by SUM(Size) desc",
        "Host | Resource Type | Count | Total Size\nads.example.org | IMAGE/GIF | 3 | 4.59 kb\n"
        "ads.example.org | application/x-javascript | 2 | 2.44 kb\ncdn.example.net | text/css | 1 "
        "| 1.46 kb\n"
        "www.example.com | text/html | 1 | 1000 b\nWWW.Example.com | image/jpeg | 1 | 300 b"),
    yields(
        "GroupByHostAndType",
        "SELECT Host, Type as 'Resource Type', Count(Time) as 'Count', SUM(Time) as 'Total Time', "
        "SUM(PercentOfTime) as '% Time Total', SUM(Size) as 'Total Size', SUM(PercentOfSize) as "
        "'% Size Total' group by Host, Type order by SUM(PercentOfTime) desc",
        "Host | Resource Type | Count | Total Time | % Time Total | Total Size | % Size Total\n"
        "cdn.example.net | application/x-javascript | 1 | 0:02.900 | 58.00% | 1.95 kb | 20.00%\n"
        "WWW.Example.com | image/jpeg | 1 | 0:00.600 | 12.00% | 300 b | 3.00%\n"
        "www.example.com | text/html | 1 | 0:00.400 | 8.00% | 1000 b | 10.00%\n"
        "ads.example.org | IMAGE/GIF | 1 | 0:00.400 | 8.00% | 1.17 kb | 12.00%\n"
        "www.example.com | image/gif | 2 | 0:00.300 | 6.00% | 3.42 kb | 35.00%\n"
        "cdn.example.net | text/css | 1 | 0:00.300 | 6.00% | 1.46 kb | 15.00%\n"
        "ads.example.org | application/x-javascript | 1 | 0:00.100 | 2.00% | 500 b | 5.00%"),
    yields("AverageSpeedByHost",
           "SELECT Host, Count(Speed) as 'Count', AVG(Speed) as 'Average Speed' group by Host "
           "order by AVG(Speed) desc",
           "Host | Count | Average Speed\nWWW.Example.com | 4 | 8.67 kb/s\n"
           "ads.example.org | 2 | 3.91 kb/s\ncdn.example.net | 2 | 2.78 kb/s"),

    // Sorting and TOP.
    yields("TopKeepsLargest", "select top 3 URL, Size order by Size desc",
           "URL | Size\nhttp://www.example.com/logo.gif | 2.93 kb\nhttps://cdn.example.net/app.js "
           "| 1.95 kb\n"
           "https://cdn.example.net/site.css | 1.46 kb"),
    fails("SortColumnMustBeSelected", "select top 3 URL order by Size desc",
          "Sort column is invalid: 'size desc'."),
    yields("TopBeyondRowsKeepsAll", "select top 20 ID, Size order by Size desc",
           "ID | Size\n2 | 2.93 kb\n3 | 1.95 kb\n5 | 1.46 kb\n6 | 1.17 kb\n1 | 1000 b\n4 | 500 b\n"
           "8 | 500 b\n7 | 300 b"),
    yields("TopWithoutSort", "select top 2 ID", "ID\n1\n2"),
    yields("StableSortIgnoringCase", "select Host, ID order by Host",
           "Host | ID\nads.example.org | 6\nads.example.org | 8\ncdn.example.net | 3\n"
           "cdn.example.net | 5\nwww.example.com | 1\nwww.example.com | 2\nwww.example.com | 4\n"
           "WWW.Example.com | 7"),
    yields(
        "SecondKeyBreaksTies", "select Type, ID, Size order by Type desc, Size",
        "Type | ID | Size\ntext/html | 1 | 1000 b\ntext/css | 5 | 1.46 kb\nimage/jpeg | 7 | 300 b\n"
        "image/gif | 4 | 500 b\nIMAGE/GIF | 6 | 1.17 kb\nimage/gif | 2 | 2.93 kb\n"
        "application/x-javascript | 8 | 500 b\napplication/x-javascript | 3 | 1.95 kb"),
};

void PrintTo(const RunCase& c, std::ostream* out) {
    *out << '"' << c.statement << '"';
}

class QueryEngineTest : public ::testing::TestWithParam<RunCase> {};

TEST_P(QueryEngineTest, YieldsRowsOrFailsExactly) {
    const RunCase& c = GetParam();
    const QueryTable& table = fixtureTable(c.table);
    if (c.fails) {
        QueryEngine engine;
        try {
            const QueryTablePtr result = engine.run(c.statement, table);
            ADD_FAILURE() << "ran, giving:\n" << render(*result);
        } catch (const QueryError& error) {
            EXPECT_EQ(error.what(), c.expected);
            EXPECT_EQ(engine.result(), nullptr) << "a failed run keeps no partial result";
        }
    } else {
        const QueryTablePtr result = runQuery(c.statement, table);
        ASSERT_NE(result, nullptr);
        EXPECT_EQ(render(*result), c.expected);
    }
}

INSTANTIATE_TEST_SUITE_P(Statements, QueryEngineTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return info.param.name; });

TEST(QueryEngine, SourceTableIsNotModified) {
    const QueryTable& table = fixtureTable();
    const std::string before = render(table);
    runQuery("select Host, SUM(Size), AVG(Time) group by Host order by Host desc", table);
    EXPECT_EQ(render(table), before);
}

TEST(QueryEngine, ConnectorOtherThanAndOrFails) {
    const QueryTable& table = fixtureTable();
    QueryStatement statement = parseStatement("select ID where ID=1 or ID=2", table);
    statement.conditions[1].connector = static_cast<Connector>(2);
    QueryEngine engine;
    try {
        engine.execute(std::move(statement), table);
        FAIL() << "an unknown connector ran";
    } catch (const QueryError& error) {
        EXPECT_STREQ(error.what(), "Unknown condition type.");
    }
}

// Tables other than the element table may leave cells absent: such a cell matches no
// condition, is skipped by every aggregate but count, and sorts first.
TEST(QueryEngine, AbsentCellsAreNoValue) {
    QueryTable table({"Host", "Size"});
    for (const auto& [host, size] : {std::pair{"a", 5}, {"b", -1}, {"a", 7}, {"", 3}}) {
        QueryRow& row = table.appendRow();
        if (*host) row.setCell(0, std::make_unique<StringValue>(host));
        if (size >= 0) row.setCell(1, std::make_unique<SizeValue>(size));
    }
    EXPECT_EQ(render(*runQuery("select Host where Size>0", table)), "Host\na\na\n-");
    EXPECT_EQ(
        render(*runQuery("select Host, SUM(Size), Count(Size) group by Host order by Host", table)),
        "Host | Size | Count\n- | 3 b | 1\na | 12 b | 2\nb | - | 1");
    EXPECT_EQ(render(*runQuery("select AVG(Size), MAX(Size)", table)), "Size | Size\n5 b | 7 b");
}

// A column whose cells are of different kinds cannot be grouped or sorted: the values are not
// comparable, and the run fails instead of reading one kind as another.
TEST(QueryEngine, MixedKindsInAColumnFail) {
    QueryTable table({"Value"});
    table.appendRow().setCell(0, std::make_unique<SizeValue>(1));
    table.appendRow().setCell(0, std::make_unique<StringValue>("x"));
    EXPECT_THROW(runQuery("select Value group by Value", table), QueryError);
    EXPECT_THROW(runQuery("select Value order by Value", table), QueryError);
    EXPECT_THROW(runQuery("select SUM(Value)", table), QueryError);
    EXPECT_EQ(render(*runQuery("select Count(Value)", table)), "Count\n2");
}

}  // namespace
}  // namespace query::testing
