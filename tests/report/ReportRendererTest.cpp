// Rendering reports to HTML, byte for byte where the format is fixed.
#include "report/ReportRenderer.h"

#include <gtest/gtest.h>

#include "query/QueryError.h"
#include "report/FieldItem.h"
#include "report/FieldSetItem.h"
#include "report/HtmlTextItem.h"
#include "report/ReportManager.h"
#include "report/TableItem.h"
#include "report/TitleItem.h"
#include "tests/query/ElementFixture.h"
#include "tests/report/ReportTesting.h"

namespace report {
namespace {

using query::testing::FixtureTable;
using query::testing::fixtureTable;
using testing::occurrences;

const query::QueryTable* elements() {
    return &fixtureTable();
}

constexpr const char* kDefaultBlock =
    "<style>\n"
    ".field_name_format{font-size:12;font-weight:bold}\n"
    ".field_set_format{}\n"
    ".field_value_format{font-size:12}\n"
    ".normal_text{font-size:12;color:black}\n"
    ".table_even_row{background:white}\n"
    ".table_format{width:100%}\n"
    ".table_header{font-size:10;font-weight:bold;color:black}\n"
    ".table_header_row{background:white;}\n"
    ".table_odd_row{background:white}\n"
    ".table_value{font-size:10}\n"
    ".title_text{color:black}\n"
    "BODY {background:white}\n"
    "</style>\n";

std::string fieldRow(const std::string& caption, const std::string& value) {
    return "\t<TR>\n\t\t<TD><P class=\"field_name_format\">" + caption +
           "</P></TD>\n\t\t<TD><P class=\"field_value_format\">" + value + "</P></TD>\n\t</TR>\n";
}

Report reportOf(std::vector<std::unique_ptr<ReportItem>> items, std::int32_t styleId = 0) {
    Report report("Test", "", styleId);
    for (auto& item : items) report.append(std::move(item));
    return report;
}

template <typename... Items>
Report reportOf(Items... items) {
    std::vector<std::unique_ptr<ReportItem>> list;
    (list.push_back(std::move(items)), ...);
    return reportOf(std::move(list));
}

std::unique_ptr<ReportItem> field(const char* caption, const char* query) {
    return std::make_unique<FieldItem>(caption, query);
}

TEST(StyleBlock, DefaultListsClassesInByteOrderAndBodyLast) {
    ReportManager manager;
    EXPECT_EQ(styleBlock(manager.defaultStyle()), kDefaultBlock);
}

TEST(StyleBlock, BodyLineOnlyWhenTheSetHasBodystyle) {
    ReportStyle onlyBody;
    onlyBody.insertClass("bodystyle", "background:red");
    EXPECT_EQ(styleBlock(onlyBody), "<style>\nBODY {background:red}\n</style>\n");

    ReportStyle noBody;
    noBody.insertClass("zz_mine", "color:red");
    noBody.insertClass("Bodystyle", "x");  // not the exact name: an ordinary class
    EXPECT_EQ(styleBlock(noBody), "<style>\n.Bodystyle{x}\n.zz_mine{color:red}\n</style>\n");
}

TEST(RenderReport, OneFieldReportGivesExactBytes) {
    ReportManager manager;
    manager.addReport(reportOf(field("Base URL:", "select URL where ID = 1")));
    EXPECT_EQ(manager.renderReport(101, elements()),
              std::string("<BODY class=\"bodystyle\">\n") + kDefaultBlock +
                  "<TABLE class=\"field_set_format\">\n" +
                  fieldRow("Base URL:", "http://www.example.com/") + "</TABLE>\n</BODY>");
}

TEST(RenderReport, UnknownIdRendersNothing) {
    ReportManager manager;
    EXPECT_EQ(manager.renderReport(101, elements()), "");
}

TEST(RenderReport, StyleZeroOrMissingRendersWithDefault) {
    ReportManager manager;
    manager.createBuiltInStyles();
    for (std::int32_t styleId : {0, 99}) {
        const std::int32_t id = manager.addReport(Report("r", "", styleId));
        EXPECT_EQ(manager.renderReport(id, elements()),
                  std::string("<BODY class=\"bodystyle\">\n") + kDefaultBlock + "</BODY>");
    }
    const std::int32_t blue = manager.addReport(Report("r", "", 2));
    EXPECT_NE(manager.renderReport(blue, elements())
                  .find("BODY {background:white}\n"
                        "</style>"),
              std::string::npos);
    EXPECT_NE(manager.renderReport(blue, elements()).find(".table_header_row{background:#0000a0;}"),
              std::string::npos);
}

TEST(RenderItems, TitleAndHtmlText) {
    const Report report = reportOf(std::make_unique<TitleItem>("X", 3),
                                   std::make_unique<HtmlTextItem>("<BR><b>a & b</b>"));
    EXPECT_EQ(renderItems(report, elements()),
              "<H3><P class=\"title_text\">X </P></H3>\n"
              "<P class=\"normal_text\"><BR><b>a & b</b></P>\n");
}

TEST(RenderItems, FieldRunsBecomeOneTableEach) {
    const Report report =
        reportOf(field("A", "select ID where ID = 2"), field("B", "select Host where ID = 3"),
                 std::make_unique<HtmlTextItem>("gap"), field("C", "select Count(URL)"));
    EXPECT_EQ(renderItems(report, elements()),
              "<TABLE class=\"field_set_format\">\n" + fieldRow("A", "2") +
                  fieldRow("B", "cdn.example.net") + "</TABLE>\n" +
                  "<P class=\"normal_text\">gap</P>\n" + "<TABLE class=\"field_set_format\">\n" +
                  fieldRow("C", "8") + "</TABLE>\n");
}

TEST(RenderItems, ExplicitFieldSetMarkers) {
    const Report report =
        reportOf(std::make_unique<FieldSetBeginItem>(), field("A", "select ID where ID = 2"),
                 std::make_unique<FieldSetEndItem>());
    // Begin opens the table itself; End after a Field closes it twice.
    EXPECT_EQ(renderItems(report, elements()),
              "<TABLE class=\"field_set_format\">\n" + fieldRow("A", "2") + "</TABLE>\n</TABLE>\n");
}

TEST(RenderItems, FieldWithoutValueShowsNotAvailable) {
    const auto expected = [](const char* caption) {
        return "<TABLE class=\"field_set_format\">\n" + fieldRow(caption, "N/A") + "</TABLE>\n";
    };
    const Report noMatch = reportOf(field("Base URL:", "select URL where ID = 99"));
    EXPECT_EQ(renderItems(noMatch, elements()), expected("Base URL:"));
    const Report noCondition = reportOf(field("Any URL:", "select URL"));
    EXPECT_EQ(renderItems(noCondition, &fixtureTable(FixtureTable::NoRows)), expected("Any URL:"));
    const Report byId = reportOf(field("Base URL:", "select URL where ID = 1"));
    EXPECT_EQ(renderItems(byId, nullptr), expected("Base URL:"));  // no element table at all
    // Over a table without rows a condition's literal cannot be typed, so the query fails and
    // the field is left out of its table.
    EXPECT_EQ(renderItems(byId, &fixtureTable(FixtureTable::NoRows)),
              "<TABLE class=\"field_set_format\">\n</TABLE>\n");
}

TEST(RenderItems, FailingFieldQueryRendersNothingAndTheRestGoesOn) {
    const Report report =
        reportOf(field("Item Name:", "select Name where ID = 1"), field("Sum:", "select SUM(Host)"),
                 field("Count:", "select Count(URL)"));
    EXPECT_EQ(renderItems(report, elements()),
              "<TABLE class=\"field_set_format\">\n" + fieldRow("Count:", "8") + "</TABLE>\n");
}

TEST(RenderItems, TableRowsAlternateStartingWithEven) {
    const Report report = reportOf(std::make_unique<TableItem>("select ID, Host where ID < 4"));
    EXPECT_EQ(renderItems(report, elements()),
              "<TABLE class=\"table_format\">\n"
              "\t<TR class=\"table_header_row\">\n"
              "\t\t<TD align=right class=\"table_header\">ID</TD>\n"
              "\t\t<TD align=left class=\"table_header\">Host</TD>\n"
              "\t</TR>\n"
              "\t<TR class=\"table_even_row\">\n"
              "\t\t<TD align=right class=\"table_value\">1</TD>\n"
              "\t\t<TD align=left class=\"table_value\">www.example.com</TD>\n"
              "\t</TR>\n"
              "\t<TR class=\"table_odd_row\">\n"
              "\t\t<TD align=right class=\"table_value\">2</TD>\n"
              "\t\t<TD align=left class=\"table_value\">www.example.com</TD>\n"
              "\t</TR>\n"
              "\t<TR class=\"table_even_row\">\n"
              "\t\t<TD align=right class=\"table_value\">3</TD>\n"
              "\t\t<TD align=left class=\"table_value\">cdn.example.net</TD>\n"
              "\t</TR>\n"
              "</TABLE>\n");
}

TEST(RenderItems, TableWithoutRowsKeepsItsHeaderLeftAligned) {
    const Report report = reportOf(std::make_unique<TableItem>("select ID, Size as 'Bytes'"));
    EXPECT_EQ(renderItems(report, &fixtureTable(FixtureTable::NoRows)),
              "<TABLE class=\"table_format\">\n"
              "\t<TR class=\"table_header_row\">\n"
              "\t\t<TD align=left class=\"table_header\">ID</TD>\n"
              "\t\t<TD align=left class=\"table_header\">Bytes</TD>\n"
              "\t</TR>\n"
              "</TABLE>\n");
}

TEST(RenderItems, TableWithoutResultShowsNoData) {
    const Report report = reportOf(std::make_unique<TableItem>("select URL"),
                                   std::make_unique<HtmlTextItem>("after"));
    EXPECT_EQ(renderItems(report, nullptr), "No data<P class=\"normal_text\">after</P>\n");
}

TEST(RenderItems, FailingTableQueryEndsTheRendering) {
    ReportManager manager;
    Report report = reportOf(field("Count:", "select Count(URL)"),
                             std::make_unique<TableItem>("select SUM(Host)"));
    const std::int32_t id = manager.addReport(std::move(report));
    EXPECT_THROW(manager.renderReport(id, elements()), query::QueryError);
}

TEST(RenderItems, NetworkValuesAreEscapedUserTextIsNot) {
    const auto table =
        testing::textTable("URL", {"http://x/?a=<script>alert(1)</script>&b=\"q\"", "it's"});
    const Report report =
        reportOf(std::make_unique<TitleItem>("<i>Mine</i>", 1),
                 field("<b>Where:</b>", "select URL"), std::make_unique<TableItem>("select URL"));
    const std::string html = renderItems(report, table.get());
    EXPECT_NE(html.find("<H1><P class=\"title_text\"><i>Mine</i> </P></H1>"), std::string::npos);
    EXPECT_NE(html.find(fieldRow("<b>Where:</b>",
                                 "http://x/?a=&lt;script&gt;alert(1)&lt;/script&gt;&amp;b=&quot;"
                                 "q&quot;")),
              std::string::npos);
    EXPECT_NE(html.find("<TD align=left class=\"table_value\">it&#39;s</TD>"), std::string::npos);
    EXPECT_EQ(html.find("<script>"), std::string::npos);
}

TEST(BuiltInReports, RenderOverTheElementTableWithEveryTableFilled) {
    ReportManager manager;
    manager.createBuiltInReports();
    manager.createBuiltInStyles();
    for (const auto& [id, report] : manager.reports()) {
        std::string html;
        ASSERT_NO_THROW(html = manager.renderReport(id, elements())) << report.name();
        std::size_t tables = 0;
        for (const auto& item : report.items()) tables += item->kindId() == ItemKind::Table;
        EXPECT_EQ(occurrences(html, "<TABLE class=\"table_format\">"), tables) << report.name();
        EXPECT_GE(occurrences(html, "<TR class=\"table_even_row\">"), tables) << report.name();
        EXPECT_EQ(html.find("No data"), std::string::npos);
        // The element table has no Name column: that field's query fails and its row is left
        // out, while the other five rows of the general block show.
        EXPECT_EQ(html.find("Item Name:"), std::string::npos);
        EXPECT_EQ(occurrences(html, "field_name_format\">"), 5u) << report.name();
        EXPECT_NE(html.find(fieldRow("Element Count:", "8")), std::string::npos);
        EXPECT_TRUE(html.ends_with("</TABLE>\n</BODY>"));
    }
}

}  // namespace
}  // namespace report
