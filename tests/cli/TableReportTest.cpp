#include "cli/TableReport.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "report/SiteColumns.h"
#include "tests/export/LoadedSite.h"

namespace {

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

class TableReportTest : public exporttest::LoadedSite {};

TEST_F(TableReportTest, SiteTableShowsTheSiteTreesCellsInAlignedColumns) {
    const auto pages = loadSite();
    constexpr int kT1 = 2;
    const auto lines = linesOf(cli::siteTable(pages, kT1));
    ASSERT_EQ(lines.size(), 3u);

    const std::string& header = lines[0];
    std::size_t last = 0;
    for (const char* name : {"URL", "Title", "Status", "Size", "Elements", "Time", "Speed"}) {
        const std::size_t at = header.find(name);
        ASSERT_NE(at, std::string::npos) << name;
        EXPECT_GE(at, last) << name << " out of order";
        last = at;
    }
    // Rows in the order given, child pages indented; each left-aligned cell starts under its
    // header.
    EXPECT_EQ(lines[1].rfind(url("/"), 0), 0u);
    EXPECT_EQ(lines[2].rfind("  " + url("/child.html"), 0), 0u);
    EXPECT_EQ(lines[1].find("Home"), header.find("Title"));
    EXPECT_EQ(lines[2].find("Child"), header.find("Title"));
    EXPECT_EQ(lines[1].find("Child Error"), header.find("Status"));
    // Time is the chosen connection's "download / browse" text.
    const std::string time = report::cellText(*pages[0], report::kColumnTime, kT1);
    ASSERT_NE(time, "");
    EXPECT_EQ(lines[1].find(time), header.find("Time"));
    for (std::uint32_t column :
         {report::kColumnSize, report::kColumnElements, report::kColumnSpeed}) {
        const std::string cell = report::cellText(*pages[1], column, kT1);
        EXPECT_NE(cell, "");
        EXPECT_NE(lines[2].find(cell), std::string::npos) << cell;
    }
}

TEST_F(TableReportTest, ElementTableListsEachItemWithStatusTypeSizeAndPhases) {
    const auto pages = loadSite();
    const auto lines = linesOf(cli::elementTable(*pages[0], 0));
    ASSERT_EQ(lines.size(), 5u);  // header and four items
    EXPECT_EQ(lines[0].rfind("Element", 0), 0u);
    for (const char* name :
         {"Status", "Type", "Size", "Connect", "Send", "Wait", "Receive", "Total"})
        EXPECT_NE(lines[0].find(name), std::string::npos) << name;
    EXPECT_EQ(lines[1].rfind(url("/") + " ", 0), 0u);

    bool sawMissing = false, sawImage = false;
    for (std::size_t i = 2; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].rfind("  http://", 0), 0u) << "elements sit one level in";
        if (lines[i].find("/missing.gif") != std::string::npos) {
            sawMissing = true;
            EXPECT_EQ(lines[i].find("404"), lines[0].find("Status"));
        }
        if (lines[i].find("/a.gif") != std::string::npos) {
            sawImage = true;
            EXPECT_EQ(lines[i].find("image/gif"), lines[0].find("Type"));
            EXPECT_NE(lines[i].find("6 b"), std::string::npos);
        }
    }
    EXPECT_TRUE(sawMissing);
    EXPECT_TRUE(sawImage);
    // The last column is right-aligned, so every line ends in the same place.
    for (const auto& line : lines) EXPECT_EQ(line.size(), lines[0].size()) << line;
}

TEST_F(TableReportTest, LongAddressesStayWholeAndServerTextCannotSteerTheTerminal) {
    const std::string longPath = "/long.html?" + std::string(300, 'q');
    page("/long.html", "<html><head><title>Red\x1B[31m\x07</title></head><body></body></html>");
    const auto entry = load(url(longPath));
    const std::string text = cli::tableReport({entry}, 0);
    EXPECT_NE(text.find(url(longPath)), std::string::npos);
    EXPECT_EQ(text.find('\x1B'), std::string::npos);
    EXPECT_EQ(text.find('\x07'), std::string::npos);
    EXPECT_NE(text.find(url(longPath) + " (Finished)\n"), std::string::npos);
}

}  // namespace
