// Statements of the query language and what the parser makes of them over the fixture table:
// either the parsed statement (QueryStatement::describe()) or the exact error message.
#include "ElementFixture.h"

#include "query/QueryError.h"
#include "query/QueryParser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace query::testing {
namespace {

struct ParseCase {
    std::string name;
    std::string statement;
    std::string expected;  // describe() of the statement, or the error message
    bool fails;
    FixtureTable table;
};

ParseCase parses(std::string name, std::string statement, std::string description,
                 FixtureTable table = FixtureTable::Elements) {
    return {std::move(name), std::move(statement), std::move(description), false, table};
}

ParseCase fails(std::string name, std::string statement, std::string message,
                FixtureTable table = FixtureTable::Elements) {
    return {std::move(name), std::move(statement), std::move(message), true, table};
}

const std::string kUrl = "item 0: column 1 plain \"url\"\n";
const std::string kHostSumSize =
    "item 0: column 2 plain \"host\"\nitem 1: column 7 sum \"sum(size)\"\n";
const std::string kCommaMessage = "List ends with a comma in statement: ";

const std::vector<ParseCase> kCases = {
    // Statement text, clauses and normalisation.
    parses("UpperCase", "SELECT URL", kUrl),
    parses("LowerCase", "select url", kUrl),
    parses("TextBeforeSelectIgnored", "xx select URL", kUrl),
    parses("BlanksCollapsed", "  select    URL  ", kUrl),
    fails("SelectGluedToColumn", "SELECTURL", "'SELECT' part of the statement can't be empty."),
    fails("NoSelect", "where Size>1", "'SELECT' part of the statement can't be empty."),
    fails("SelectFollowedByWhere", "select where Size>1",
          "'SELECT' part of the statement can't be empty."),
    fails("TooShort", "select", "Statement is invalid: 'select'."),
    fails("TooShortOnceLineBreaksGo", "sel\r\n\r\nect", "Statement is invalid: 'sel\r\n\r\nect'."),
    fails("TwoLinesJoinWithoutBlank", "select URL\r\nwhere Size>1",
          "Column Name is invalid: 'ur'."),
    fails("LineFeedOnly", "select URL\nwhere Size>1", "Column Name is invalid: 'ur'."),
    fails("BlanksAroundLineBreakSurvive", "select  \r\n  URL", "Column Name is invalid: ' url'."),
    fails("KeywordInsideAlias", "select Type as 'where is it'",
          "Column Name is invalid: 'type as '."),
    parses("ClausesInAnyOrder", "select URL order by URL desc where Size>1000",
           kUrl + "condition: and column 7 flags 4 \"1000 b\"\nsort: item 0 desc\n"),

    // Select items, aggregates and aliases.
    parses("Count", "select Count(URL)", "item 0: column 1 count \"count(url)\"\nwhole table\n"),
    fails("BlankBeforeParenthesis", "select count (URL)", "Unknown operator: 'count '."),
    fails("UnknownAggregate", "select median(Size)", "Unknown operator: 'median'."),
    fails("UnclosedParenthesis", "select sum(Size", "Invalid value name: 'sum(size'."),
    parses("ParenthesesWithoutName", "select (Size)", "item 0: column 7 plain \"(size)\"\n"),
    parses("EmptyNameIsColumnZero", "select count()",
           "item 0: column 0 count \"count()\"\nwhole table\n"),
    parses("TextAfterParenthesisKept", "select SUM( Size )x",
           "item 0: column 7 sum \"sum(size)x\"\nwhole table\n"),
    fails("UnknownColumn", "select Name", "Column Name is invalid: 'name'."),
    parses("ColumnByNumber", "select 2", "item 0: column 2 plain \"2\"\n"),
    parses("ColumnNumberWithZeros", "select 007", "item 0: column 7 plain \"007\"\n"),
    fails("ColumnNumberBeyondTable", "select 19", "Column Name is invalid: '19'."),
    parses("LastColumnBelowLimit", "select c1023", "item 0: column 1023 plain \"c1023\"\n",
           FixtureTable::Wide),
    fails("ColumnBeyondLimit", "select C1024", "Value name is invalid: 'c1024'.",
          FixtureTable::Wide),
    parses("AliasKeepsCase", "select Host as 'Server Name'",
           "item 0: column 2 plain \"host\" as \"Server Name\"\n"),
    parses("TextAfterAliasIgnored", "select Host as 'H' junk, URL",
           "item 0: column 2 plain \"host\" as \"H\"\nitem 1: column 1 plain \"url\"\n"),
    parses("EmptyAlias", "select URL as ''", kUrl),
    fails("AliasUnclosed", "select URL as 'Address", "Value alias is invalid: 'url as 'address'."),
    parses("WholeTable", "select SUM(Size), MAX(Time)",
           "item 0: column 7 sum \"sum(size)\"\nitem 1: column 6 max \"max(time)\"\nwhole table\n"),
    parses("PlainItemIsNotWholeTable", "select SUM(Size), Host",
           "item 0: column 7 sum \"sum(size)\"\nitem 1: column 2 plain \"host\"\n"),
    fails("EmptyEntryTakesTheRest", "select URL,,Host", "Column Name is invalid: ',host'."),
    fails("SelectEndsWithComma", "select URL,", kCommaMessage + "'select URL,'."),
    fails("EntryErrorBeforeTrailingComma", "select Name,", "Column Name is invalid: 'name'."),

    // TOP.
    parses("Top", "select top 5 URL", "top 5\n" + kUrl),
    parses("TopSaturates", "select top 99999999999 URL", "top 2147483647\n" + kUrl),
    parses("TopWithoutListSelectsColumnZero", "select top 5",
           "top 5\nitem 0: column 0 plain \"\"\n"),
    fails("TopZero", "select top 0 URL", "'TOP' statement is invalid: '0 url'."),
    fails("TopWithoutCount", "select top URL", "'TOP' statement is invalid: 'url'."),
    fails("TopNotDigits", "select top 5x URL", "'TOP' statement is invalid: '5x url'."),
    fails("TopOnlyAtStart", "select Host,top 3 URL", "Column Name is invalid: 'top 3 url'."),

    // Conditions.
    parses("SymbolAndSpacedForms", "select URL where Size > 1000 and Type like 'image'",
           kUrl + "condition: and column 7 flags 4 \"1000 b\"\n"
                  "condition: and column 5 flags 8 \"image\"\n"),
    parses("ConnectorsInOrder", "select URL where Size>100 or Size<10 and Type like 'gif'",
           kUrl + "condition: and column 7 flags 4 \"100 b\"\n"
                  "condition: or column 7 flags 2 \"10 b\"\n"
                  "condition: and column 5 flags 8 \"gif\"\n"),
    parses(
        "Operators", "select URL where ID<=1 and ID >= 2 and ID <> 3 and ID=4",
        kUrl +
            "condition: and column 0 flags 3 \"1\"\ncondition: and column 0 flags 5 \"2\"\n"
            "condition: and not column 0 flags 1 \"3\"\ncondition: and column 0 flags 1 \"4\"\n"),
    parses("NotFlag", "select URL where not Size>5",
           kUrl + "condition: and not column 7 flags 4 \"5 b\"\n"),
    parses("NotCancelsUnequal", "select URL where not Host<>x",
           kUrl + "condition: and column 2 flags 1 \"x\"\n"),
    parses("LiteralOnLeftKeepsOperator", "select URL where 1000<Size",
           kUrl + "condition: and column 7 flags 2 \"1000 b\"\n"),
    parses("LiteralOnLeftSpaced", "select URL where 'image' like Type",
           kUrl + "condition: and column 5 flags 8 \"image\"\n"),
    parses("NumberOnLeftIsColumn", "select URL where 5<Size",
           kUrl + "condition: and column 5 flags 2 \"size\"\n"),
    parses("SymbolFormDropsEveryApostrophe", "select URL where Host=o'brien",
           kUrl + "condition: and column 2 flags 1 \"obrien\"\n"),
    parses("SpacedFormKeepsInnerApostrophes", "select URL where Host like 'o'brien'",
           kUrl + "condition: and column 2 flags 8 \"o'brien\"\n"),
    parses("LiteralIsLowerCase", "select URL where Host='WWW.Example.COM'",
           kUrl + "condition: and column 2 flags 1 \"www.example.com\"\n"),
    parses("LiteralKinds",
           "select URL where Time=1.5 or Time=abc or Speed>1.5e3 or PercentOfSize=12.2 or ID=-3",
           kUrl + "condition: and column 6 flags 1 \"0:00.001\"\n"
                  "condition: or column 6 flags 1 \"0:00.000\"\n"
                  "condition: or column 10 flags 4 \"1.46 kb/s\"\n"
                  "condition: or column 11 flags 1 \"12.20%\"\n"
                  "condition: or column 0 flags 1 \"-3\"\n"),
    fails("QuotedBlankMakesSpacedForm", "select Host where Host='a b'",
          "Invalid condition statement: 'host='a b''."),
    fails("NoOperator", "select URL where Size", "Invalid condition statement: 'size'."),
    fails("NoOperatorAfterNot", "select URL where not Size",
          "Invalid condition statement: 'not size'."),
    fails("SpacedWithoutRight", "select URL where Size like",
          "Invalid condition statement: 'size like'."),
    fails("DanglingConnector", "select URL where Size>1000 and",
          "Invalid condition statement: 'size>1000 and'."),
    fails("EmptyLeft", "select URL where ''=5", "Invalid condition statement: '=5'."),
    fails("BlankBeforeSymbolIsDropped", "select URL where =5",
          "Column Name is invalid: 'url where=5'."),
    fails("EmptyRight", "select URL where Size=''", "Invalid condition statement: 'size='."),
    fails("NoColumn", "select URL where foo=bar", "Invalid condition statement: 'foo=bar'."),
    fails("UnknownSymbolOperator", "select URL where Size=>5", "Invalid operator: '=>'."),
    fails("UnknownWordOperator", "select URL where Size between 5", "Invalid operator: 'between'."),
    // The type of the compared column is no concern of the parser: LIKE on a number fails only
    // when a row is compared.
    parses("LikeOnNumber", "select Size where Size like 1",
           "item 0: column 7 plain \"size\"\ncondition: and column 7 flags 8 \"1 b\"\n"),
    fails("NoRowForLiteral", "select URL where Size>1", "Invalid value: '1'.",
          FixtureTable::NoRows),

    // Group by.
    parses("GroupBy", "select Host, SUM(Size) group by Host",
           kHostSumSize + "group: column 2 item 0\n"),
    parses("GroupKeysByColumnOnce", "select Type, Host group by Type, Host, type",
           "item 0: column 5 plain \"type\"\nitem 1: column 2 plain \"host\"\n"
           "group: column 2 item 1\ngroup: column 5 item 0\n"),
    parses("GroupByNumber", "select Host group by 2",
           "item 0: column 2 plain \"host\"\ngroup: column 2 item 0\n"),
    fails(
        "GroupNotSelected", "select Host, SUM(Size) group by Type",
        "Grouping column should be specified in 'select' part of the statement. Group by: 'type'."),
    fails("GroupNotSelectedBeforeLast", "select Host, SUM(Size) group by Type, Host",
          "Grouping column should be specified in 'select' part of the statement: 'type'."),
    fails(
        "GroupOnlyAggregated", "select SUM(Size) group by Size",
        "Grouping column should be specified in 'select' part of the statement. Group by: 'size'."),
    fails("GroupUnknown", "select Host group by Name", "Invalid grouping column: 'name'."),
    fails("GroupEndsWithComma", "select Host group by Host,",
          kCommaMessage + "'select Host group by Host,'."),

    // Order by.
    parses("SortByExpression",
           "select Host, SUM(Size) as 'Total' group by Host order by sum(size) desc",
           "item 0: column 2 plain \"host\"\nitem 1: column 7 sum \"sum(size)\" as \"Total\"\n"
           "group: column 2 item 0\nsort: item 1 desc\n"),
    fails("SortByAlias", "select Host, SUM(Size) as 'Total' order by Total desc",
          "Sort column is invalid: 'total desc'."),
    fails("SortNotSelected", "select Host order by URL", "Sort column is invalid: 'url'."),
    fails("SortByNumber", "select Size order by 7", "Sort column is invalid: '7'."),
    parses("SortDirections", "select URL, Size order by Size DESC, URL asc, url",
           kUrl + "item 1: column 7 plain \"size\"\nsort: item 1 desc\nsort: item 0 asc\nsort: "
                  "item 0 asc\n"),
    fails("SortDirectionUnknown", "select Host order by Host up", "Invalid sort direction: 'up'."),
    fails("OrderEndsWithComma", "select Host order by Host,",
          kCommaMessage + "'select Host order by Host,'."),
};

void PrintTo(const ParseCase& c, std::ostream* out) {
    *out << '"' << c.statement << '"';
}

class QueryParserTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(QueryParserTest, ParsesOrFailsExactly) {
    const ParseCase& c = GetParam();
    const QueryTable& table = fixtureTable(c.table);
    if (c.fails) {
        try {
            const QueryStatement statement = parseStatement(c.statement, table);
            ADD_FAILURE() << "parsed as:\n" << statement.describe();
        } catch (const QueryError& error) {
            EXPECT_EQ(error.what(), c.expected);
        }
    } else {
        EXPECT_EQ(parseStatement(c.statement, table).describe(), c.expected);
    }
}

INSTANTIATE_TEST_SUITE_P(Statements, QueryParserTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return info.param.name; });

// Every message the parser can raise, as a template; each must come out of some case above.
TEST(QueryParserMessages, EveryMessageIsProducedByACase) {
    const std::vector<std::string> templates = {
        "Statement is invalid: '%s'.",
        "'SELECT' part of the statement can't be empty.",
        "'TOP' statement is invalid: '%s'.",
        "Value alias is invalid: '%s'.",
        "Unknown operator: '%s'.",
        "Invalid value name: '%s'.",
        "Column Name is invalid: '%s'.",
        "Value name is invalid: '%s'.",
        "Invalid condition statement: '%s'.",
        "Invalid operator: '%s'.",
        "Invalid value: '%s'.",
        "Invalid grouping column: '%s'.",
        "Grouping column should be specified in 'select' part of the statement: '%s'.",
        "Grouping column should be specified in 'select' part of the statement. Group by: '%s'.",
        "Invalid sort direction: '%s'.",
        "Sort column is invalid: '%s'.",
        kListEndsWithCommaMessage,
    };
    for (const std::string& pattern : templates) {
        const std::size_t hole = pattern.find("%s");
        const std::string head = pattern.substr(0, hole);
        const std::string tail = hole == std::string::npos ? "" : pattern.substr(hole + 2);
        bool produced = false;
        for (const ParseCase& c : kCases) {
            produced = produced || (c.fails && c.expected.size() >= head.size() + tail.size() &&
                                    c.expected.starts_with(head) && c.expected.ends_with(tail) &&
                                    (hole != std::string::npos || c.expected == pattern));
        }
        EXPECT_TRUE(produced) << "no case produces: " << pattern;
    }
}

TEST(QueryParserMessages, MessagesAreCutTo511Characters) {
    const std::string column(600, 'x');
    try {
        parseStatement("select " + column, fixtureTable());
        FAIL() << "an unknown column parsed";
    } catch (const QueryError& error) {
        const std::string message = error.what();
        EXPECT_EQ(message.size(), 511u);
        EXPECT_EQ(message, ("Column Name is invalid: '" + column).substr(0, 511));
    }
}

TEST(QueryParserColumns, ResolveByNameThenNumber) {
    const QueryTable& table = fixtureTable();
    EXPECT_EQ(resolveColumn(table, "percentoftime"), 12);
    EXPECT_EQ(resolveColumn(table, "RECEIVETIME"), 18);
    EXPECT_EQ(resolveColumn(table, "18"), 18);
    EXPECT_EQ(resolveColumn(table, ""), 0);
    EXPECT_EQ(resolveColumn(table, "19"), -1);
    EXPECT_EQ(resolveColumn(table, "99999999999999999999"), -1);
    EXPECT_EQ(resolveColumn(table, "-1"), -1);
    EXPECT_EQ(resolveColumn(table, "Time "), -1);
    // A column named like a number is found by its name before the number is considered.
    const QueryTable numbered({"a", "b", "0"});
    EXPECT_EQ(resolveColumn(numbered, "0"), 2);
    EXPECT_EQ(resolveColumn(numbered, "1"), 1);
}

}  // namespace
}  // namespace query::testing
