#include "query/DelimitedText.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "query/NumericValue.h"
#include "query/QueryEngine.h"
#include "query/StatisticsCatalog.h"
#include "query/StringValue.h"
#include "tests/query/ElementFixture.h"

namespace {

using namespace query;

QueryTable textTable(const std::vector<std::string>& titles,
                     const std::vector<std::vector<std::string>>& rows) {
    QueryTable table(titles);
    for (const auto& values : rows) {
        QueryRow& row = table.appendRow();
        for (std::size_t c = 0; c < values.size(); ++c)
            row.setCell(c, std::make_unique<StringValue>(values[c]));
    }
    return table;
}

TEST(DelimitedText, QuotedFieldsAndCrlfLines) {
    QueryTable table({"Host", "Size"});
    QueryRow& row = table.appendRow();
    row.setCell(0, std::make_unique<StringValue>("a.example"));
    row.setCell(1, std::make_unique<SizeValue>(3422));
    EXPECT_EQ(writeDelimitedText(table, ",", "\""),
              "\"Host\",\"Size\"\r\n\"a.example\",\"3.34 kb\"\r\n");
}

TEST(DelimitedText, QuotesAreDoubledAndFormulasDefused) {
    const auto table = textTable(
        {"say \"hi\""},
        {{"=1+2"}, {"-3"}, {"@SUM(A1)"}, {"\tx"}, {"+x"}, {"a \"b\" c"}, {""}, {"plain-text"}});
    EXPECT_EQ(writeDelimitedText(table, ",", "\""),
              "\"say \"\"hi\"\"\"\r\n\"'=1+2\"\r\n\"'-3\"\r\n\"'@SUM(A1)\"\r\n\"'\tx\"\r\n"
              "\"'+x\"\r\n\"a \"\"b\"\" c\"\r\n\"\"\r\n\"plain-text\"\r\n");
}

TEST(DelimitedText, SizeByHostExport) {
    const StatisticsCatalog catalog;
    const auto result = runQuery(catalog.find(5)->query, query::testing::fixtureTable());
    const std::string text = writeDelimitedText(*result, ",", "\"");
    EXPECT_EQ(text.substr(0, text.find("\r\n")),
              "\"Host\",\"Count\",\"Size Total\",\"% Size Total\"");
    // One line per host of the fixture (three hosts), each ending in CRLF.
    std::size_t lines = 0;
    for (std::size_t at = 0; (at = text.find("\r\n", at)) != std::string::npos; at += 2) ++lines;
    EXPECT_EQ(lines, 4u);
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
}

// Python's csv module is the reference reader: what it reads back must be what was written
// (after the apostrophe that defuses formulas).
TEST(DelimitedText, ReadsBackWithPythonsCsvModule) {
    if (std::system("python3 -c 'import csv' 2>/dev/null") != 0) GTEST_SKIP() << "no python3";
    const std::vector<std::vector<std::string>> rows{
        {"comma, inside", "quote \" inside", "line\r\nbreak"},
        {"=formula", "two\nlines", "\"\""},
    };
    const auto table = textTable({"A", "B,C", "D\"E"}, rows);
    const auto dir = std::filesystem::temp_directory_path();
    const auto csv = dir / ("pagelyst-csv-" + std::to_string(::getpid()) + ".csv");
    const auto out = dir / ("pagelyst-csv-" + std::to_string(::getpid()) + ".txt");
    std::ofstream(csv, std::ios::binary) << writeDelimitedText(table, ",", "\"");
    const std::string command =
        "python3 -c \"import csv,sys\nrows=list(csv.reader(open(sys.argv[1],newline='')))\n"
        "open(sys.argv[2],'w',newline='').write('\\x1e'.join('\\x1f'.join(r) for r in rows))\" " +
        csv.string() + " " + out.string();
    ASSERT_EQ(std::system(command.c_str()), 0);
    std::ifstream in(out, std::ios::binary);
    const std::string got{std::istreambuf_iterator<char>(in), {}};
    std::filesystem::remove(csv);
    std::filesystem::remove(out);

    std::string expected =
        "A\x1f"
        "B,C\x1f"
        "D\"E";
    for (const auto& row : rows) {
        expected += "\x1e";
        for (std::size_t c = 0; c < row.size(); ++c)
            expected += (c ? "\x1f" : "") + std::string(row[c][0] == '=' ? "'" : "") + row[c];
    }
    EXPECT_EQ(got, expected);
}

}  // namespace
