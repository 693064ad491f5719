// The report model: ids, built-ins, style sets, items and clones.
#include "report/ReportManager.h"

#include <gtest/gtest.h>

#include "report/FieldItem.h"
#include "report/FieldSetItem.h"
#include "report/HtmlTextItem.h"
#include "report/ReportRenderer.h"
#include "report/TableItem.h"
#include "report/TitleItem.h"

namespace report {
namespace {

ReportManager builtInManager() {
    ReportManager manager;
    manager.clear();
    manager.createBuiltInReports();
    manager.createBuiltInStyles();
    return manager;
}

TEST(ReportManager, BuiltInsTakeIds101To107AndStyles1To4) {
    ReportManager manager = builtInManager();
    const std::vector<std::pair<std::int32_t, std::string>> expected{
        {101, "General"},        {102, "Compact"},      {103, "Top Load Elements"},
        {104, "Hosts Report"},   {105, "Types Report"}, {106, "Time and Size by Host and Type"},
        {107, "Detailed Report"}};
    std::vector<std::pair<std::int32_t, std::string>> actual;
    for (const auto& [id, report] : manager.reports()) {
        EXPECT_EQ(report.id(), id);
        EXPECT_EQ(report.styleId(), 1) << report.name();
        actual.emplace_back(id, report.name());
    }
    EXPECT_EQ(actual, expected);
    EXPECT_EQ(manager.listStyles(),
              (std::vector<std::pair<std::int32_t, std::string>>{
                  {0, "Default"}, {1, "Fancy"}, {2, "Blue"}, {3, "Invert"}, {4, "Gray"}}));
    EXPECT_EQ(manager.addReport(Report("Mine", "", 0)), 108);
    EXPECT_EQ(manager.addStyle(ReportStyle("Mine")), 5);
}

TEST(ReportManager, ClearRestartsTheCountersButKeepsDefault) {
    ReportManager manager = builtInManager();
    manager.clear();
    EXPECT_TRUE(manager.reports().empty());
    EXPECT_TRUE(manager.styles().empty());
    EXPECT_EQ(manager.lastReportId(), 100);
    EXPECT_EQ(manager.lastStyleId(), 0);
    EXPECT_EQ(manager.findStyle(0).classes().size(), 12u);
    EXPECT_EQ(manager.addReport(Report()), 101);
}

TEST(ReportManager, EveryBuiltInStyleSetDefinesTheTwelveClasses) {
    ReportManager manager = builtInManager();
    const auto names = [](const ReportStyle& style) {
        std::vector<std::string> list;
        for (const auto& [name, text] : style.classes()) list.push_back(name);
        return list;
    };
    const std::vector<std::string> twelve{
        "bodystyle",        "field_name_format", "field_set_format", "field_value_format",
        "normal_text",      "table_even_row",    "table_format",     "table_header",
        "table_header_row", "table_odd_row",     "table_value",      "title_text"};
    EXPECT_EQ(names(manager.defaultStyle()), twelve);
    for (const auto& [id, style] : manager.styles()) EXPECT_EQ(names(style), twelve) << id;
    EXPECT_EQ(manager.findStyle(4).declarations("bodystyle"), "background:#D3D3D3");
    EXPECT_EQ(manager.findStyle(3).declarations("field_set_format"), "");
}

TEST(ReportManager, FindStyleFallsBackToDefault) {
    ReportManager manager = builtInManager();
    EXPECT_EQ(&manager.findStyle(0), &manager.defaultStyle());
    EXPECT_EQ(&manager.findStyle(99), &manager.defaultStyle());
    EXPECT_EQ(manager.styleName(2), "Blue");
    manager.removeStyle(2);
    EXPECT_EQ(manager.styleName(2), "Default");
    EXPECT_EQ(manager.listStyles().front(), (std::pair<std::int32_t, std::string>{0, "Default"}));
}

TEST(ReportManager, ReplaceKeepsTheIdAndRemoveToleratesMissingIds) {
    ReportManager manager = builtInManager();
    manager.replaceReport(103, Report("Edited", "new", 2));
    ASSERT_NE(manager.findReport(103), nullptr);
    EXPECT_EQ(manager.findReport(103)->name(), "Edited");
    EXPECT_EQ(manager.findReport(103)->id(), 103);
    EXPECT_EQ(manager.lastReportId(), 107);

    manager.replaceReport(500, Report("New", "", 0));  // a missing id is not an error
    EXPECT_EQ(manager.findReport(500)->id(), 500);

    auto stamp = manager.changeStamp();
    manager.removeReport(999);
    EXPECT_GT(manager.changeStamp(), stamp);  // renewed even though nothing was removed
    EXPECT_EQ(manager.reports().size(), 8u);
    stamp = manager.changeStamp();
    manager.removeReport(101);
    EXPECT_GT(manager.changeStamp(), stamp);
    EXPECT_EQ(manager.findReport(101), nullptr);
}

TEST(ReportStyle, AClassInsertedTwiceKeepsItsFirstText) {
    ReportStyle style("Mine");
    EXPECT_TRUE(style.insertClass("bodystyle", "background:red"));
    EXPECT_FALSE(style.insertClass("bodystyle", "background:blue"));
    EXPECT_EQ(style.declarations("bodystyle"), "background:red");
    EXPECT_EQ(style.classes().size(), 1u);
}

TEST(ReportStyle, SetDeclarationsReplacesOnlyAPresentClass) {
    ReportStyle style("Mine");
    style.insertClass("bodystyle", "background:red");
    EXPECT_TRUE(style.setDeclarations("bodystyle", "background:blue"));
    EXPECT_FALSE(style.setDeclarations("bodystyle", "background:blue"));  // unchanged
    EXPECT_FALSE(style.setDeclarations("title_text", "color:red"));
    EXPECT_EQ(style.classes(), (ReportStyle::Classes{{"bodystyle", "background:blue"}}));
}

struct StyleClassEdit {
    std::int32_t styleId;
    const char* className;
    const char* text;
    bool changed;
};

class SetStyleClass : public ::testing::TestWithParam<StyleClassEdit> {};

TEST_P(SetStyleClass, ChangesOnlyAStoredClassAndLeavesTheStamp) {
    const StyleClassEdit edit = GetParam();
    ReportManager manager = builtInManager();
    const ReportStyle defaultBefore = manager.defaultStyle();
    const ReportStyle blueBefore = manager.findStyle(2);
    const auto stamp = manager.changeStamp();

    EXPECT_EQ(manager.setStyleClass(edit.styleId, edit.className, edit.text), edit.changed);
    EXPECT_EQ(manager.changeStamp(), stamp);
    EXPECT_EQ(manager.defaultStyle().classes(), defaultBefore.classes());
    ReportStyle::Classes blue = blueBefore.classes();
    if (edit.changed) blue[edit.className] = edit.text;
    EXPECT_EQ(manager.findStyle(2).classes(), blue);
}

INSTANTIATE_TEST_SUITE_P(Edits, SetStyleClass,
                         ::testing::Values(StyleClassEdit{2, "title_text", "color:red", true},
                                           StyleClassEdit{2, "field_set_format", "",
                                                          false},  // already empty
                                           StyleClassEdit{2, "title_text", "color:black", false},
                                           StyleClassEdit{2, "no_such_class", "color:red", false},
                                           StyleClassEdit{0, "title_text", "color:red", false},
                                           StyleClassEdit{99, "title_text", "color:red", false}));

TEST(ReportManager, RemoveStyleLeavesTheStampAndItsReportsRenderWithDefault) {
    ReportManager manager = builtInManager();
    const std::string blue = styleBlock(manager.findStyle(2));
    const std::int32_t id = manager.addReport(Report("Blue one", "", 2));
    ASSERT_NE(manager.renderReport(id, nullptr).find(blue), std::string::npos);

    const auto stamp = manager.changeStamp();
    manager.removeStyle(2);
    EXPECT_EQ(manager.changeStamp(), stamp);
    EXPECT_EQ(manager.findStyle(2).name(), "Default");
    EXPECT_EQ(manager.renderReport(id, nullptr),
              "<BODY class=\"bodystyle\">\n" + styleBlock(manager.defaultStyle()) + "</BODY>");
}

TEST(ReportItems, FieldSetMarkersShowNotAvailable) {
    EXPECT_EQ(FieldSetBeginItem().displayText(), "N/A");
    EXPECT_EQ(FieldSetEndItem().displayText(), "N/A");
    EXPECT_EQ(FieldItem("Size:", "select SUM(Size)").displayText(), "Size:");
    EXPECT_EQ(TableItem("select URL").displayText(), "select URL");
}

TEST(ReportItems, CreatedByKindNumberWithEmptyData) {
    for (std::int32_t kind = 1; kind <= 6; ++kind) {
        const auto item = createItem(kind);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(static_cast<std::int32_t>(item->kindId()), kind);
        EXPECT_EQ(item->displayText(), kind == 3 || kind == 4 ? "N/A" : "");
    }
    EXPECT_EQ(createItem(0), nullptr);
    EXPECT_EQ(createItem(7), nullptr);
    EXPECT_EQ(dynamic_cast<TitleItem&>(*createItem(1)).level(), 0);
}

TEST(Report, CloneCopiesItemsDeeplyButNotIdOrDescription) {
    ReportManager manager = builtInManager();
    const Report& source = *manager.findReport(101);
    Report copy = source.clone();
    EXPECT_EQ(copy.id(), 0);
    EXPECT_EQ(copy.description(), "");
    EXPECT_EQ(copy.name(), "General");
    EXPECT_EQ(copy.styleId(), 1);
    ASSERT_EQ(copy.items().size(), source.items().size());
    for (std::size_t i = 0; i < copy.items().size(); ++i) {
        EXPECT_NE(copy.items()[i].get(), source.items()[i].get());
        EXPECT_EQ(copy.items()[i]->kindId(), source.items()[i]->kindId());
        EXPECT_EQ(copy.items()[i]->displayText(), source.items()[i]->displayText());
    }
    auto& title = dynamic_cast<TitleItem&>(copy.item(0));
    title.setText("Changed");
    title.setLevel(4);
    dynamic_cast<FieldItem&>(copy.item(3)).setQuery("select Host");
    EXPECT_EQ(source.items()[0]->displayText(), "General Report");
    EXPECT_EQ(dynamic_cast<const TitleItem&>(*source.items()[0]).level(), 1);
    EXPECT_EQ(dynamic_cast<const FieldItem&>(*source.items()[3]).query(),
              "select URL where ID = 1");
}

TEST(Report, SwapAndRemoveItems) {
    Report report;
    report.append(std::make_unique<TitleItem>("a", 1));
    report.append(std::make_unique<HtmlTextItem>("b"));
    report.append(std::make_unique<TableItem>("c"));
    EXPECT_TRUE(report.swapItems(0, 2));
    EXPECT_FALSE(report.swapItems(0, 3));
    const auto removed = report.remove(1);
    ASSERT_NE(removed, nullptr);
    EXPECT_EQ(removed->displayText(), "b");
    EXPECT_EQ(report.remove(2), nullptr);
    ASSERT_EQ(report.items().size(), 2u);
    EXPECT_EQ(report.items()[0]->displayText(), "c");
    EXPECT_EQ(report.items()[1]->displayText(), "a");
}

TEST(BuiltInReports, BeginWithTheGeneralBlock) {
    ReportManager manager = builtInManager();
    for (const auto& [id, report] : manager.reports()) {
        const auto& items = report.items();
        ASSERT_GE(items.size(), 8u);
        EXPECT_EQ(items[0]->kindId(), ItemKind::Title);
        EXPECT_EQ(items[1]->displayText(), "General Information");
        const char* captions[] = {"Item Name:",  "Base URL:",   "Element Count:",
                                  "Total Size:", "Total Time:", "Average Speed:"};
        for (int i = 0; i < 6; ++i) {
            EXPECT_EQ(items[2 + i]->kindId(), ItemKind::Field);
            EXPECT_EQ(items[2 + i]->displayText(), captions[i]);
        }
        EXPECT_EQ(items.back()->kindId(), ItemKind::Table);
        // Only the hosts report goes straight from the block to its section title.
        EXPECT_EQ(items[8]->kindId(), id == 104 ? ItemKind::Title : ItemKind::HtmlText) << id;
    }
    EXPECT_EQ(manager.findReport(101)->items().size(), 17u);
}

}  // namespace
}  // namespace report
