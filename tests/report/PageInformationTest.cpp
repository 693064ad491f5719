#include "report/PageInformation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "report/FilterConditionList.h"
#include "tests/engine/SiteFixture.h"

namespace {

using report::InformationForm;
using report::InformationRow;

std::vector<std::string> groups(const std::vector<InformationRow>& rows) {
    std::vector<std::string> captions;
    for (const auto& row : rows)
        if (row.group) captions.push_back(row.property);
    return captions;
}

const InformationRow* find(const std::vector<InformationRow>& rows, const std::string& property) {
    for (const auto& row : rows)
        if (row.property == property) return &row;
    return nullptr;
}

// A download-time condition on "14.4K": there every element takes at least the line's 300 ms
// latency, whatever the loopback measured, so "more than 0 seconds" always holds.
report::FilterCondition condition(std::string name, std::int32_t colorIndex,
                                  std::int32_t threshold = 0) {
    report::FilterCondition c;
    c.name = std::move(name);
    c.connectionType = 10;
    c.timeType = report::FilterCondition::kDownloadTime;
    c.threshold = threshold;
    c.colorIndex = colorIndex;
    return c;
}

class PageInformationTest : public enginetest::SiteFixture {};

TEST_F(PageInformationTest, APageNotLoadedHasOneLine) {
    auto page = engine::PageEntry::create(*manager_, url("/never.html"));
    const auto rows = report::pageInformation(*page, 0, InformationForm::SingleConnection, nullptr);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].property, "Web page is not loaded.");
}

// The details pane's form: one connection's load figures, then the failed elements by address.
TEST_F(PageInformationTest, SingleConnectionFormNamesItsConnectionAndTheFailedElements) {
    page("/p.html",
         R"(<html><head><title>T</title></head><body><img src="/gone.png"></body></html>)");
    auto loaded = load(url("/p.html"));
    const auto rows =
        report::pageInformation(*loaded, 3, InformationForm::SingleConnection, nullptr);
    EXPECT_EQ(groups(rows),
              (std::vector<std::string>{
                  "Page Information:", "Load Info (512K Cable/DSL):", "Error(s) Information:"}));
    ASSERT_TRUE(find(rows, "Title"));
    EXPECT_EQ(find(rows, "Title")->value, "T");
    EXPECT_EQ(find(rows, "Status")->value, "Child Error");
    ASSERT_TRUE(find(rows, "Error"));
    EXPECT_EQ(find(rows, "Error")->value, url("/gone.png"));
}

TEST_F(PageInformationTest, AllConnectionsFormListsEveryConnectionsTimes) {
    page("/p.html", "<html><body>x</body></html>");
    auto loaded = load(url("/p.html"));
    const auto rows = report::pageInformation(*loaded, 0, InformationForm::AllConnections, nullptr);
    EXPECT_EQ(groups(rows),
              (std::vector<std::string>{"Page Information:", "Download / Browse Time:"}));
    EXPECT_EQ(rows.back().property, "14.4K");
    EXPECT_TRUE(find(rows, "LAN 10MB"));
}

// Only enabled conditions the finished page meets are listed, in list order, each in its
// colour; the first one is the page's colour everywhere.
TEST_F(PageInformationTest, ConditionsThatHoldAreListedInOrderWithTheirColours) {
    page("/p.html", "<html><body>x</body></html>");
    auto loaded = load(url("/p.html"));
    report::FilterConditionList conditions;
    conditions.add(condition("off", 1));
    conditions.add(condition("first", 2));
    conditions.add(condition("an hour", 4, 3600));  // no page here takes that long
    conditions.add(condition("second", 3));
    conditions.conditions()[0].enabled = false;
    const auto matched = report::matchingConditions(conditions, *loaded);
    ASSERT_EQ(matched.size(), 2u);
    EXPECT_EQ(matched[0].name, "first");
    const auto rows =
        report::pageInformation(*loaded, 0, InformationForm::SingleConnection, &conditions);
    EXPECT_EQ(groups(rows).back(), "Condition(s):");
    ASSERT_TRUE(find(rows, "second"));
    EXPECT_EQ(find(rows, "second")->color, report::colorOf(matched[1]));
    EXPECT_FALSE(find(rows, "off"));
    EXPECT_FALSE(find(rows, "an hour"));
}

}  // namespace
