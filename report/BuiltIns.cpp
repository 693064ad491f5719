#include "report/BuiltIns.h"

#include <array>
#include <memory>
#include <string>

#include "report/FieldItem.h"
#include "report/HtmlTextItem.h"
#include "report/TableItem.h"
#include "report/TitleItem.h"

namespace report {
namespace {

// ---- Style sets -------------------------------------------------------------------------

constexpr std::size_t kStyleCount = 5;  // "Default" and the four built-in sets

struct ClassRow {
    const char* className;
    std::array<const char*, kStyleCount> declarations;  // Default, Fancy, Blue, Invert, Gray
};

constexpr std::array<const char*, kStyleCount> kStyleNames{"Default", "Fancy", "Blue", "Invert",
                                                           "Gray"};

constexpr const char* kFancyCell =
    "border-top:none;border-left:none;border-bottom:solid black 1.0pt;border-right:solid black "
    "1.0pt;";

const ClassRow kClassRows[] = {
    {"bodystyle",
     {"background:white", "background:white", "background:white", "background:black",
      "background:#D3D3D3"}},
    {"title_text",
     {"color:black", "color:black;font-family:Verdana;", "color:black", "color:white",
      "color:Black"}},
    {"normal_text",
     {"font-size:12;color:black", "font-size:12;color:black;font-family:Verdana;",
      "font-size:12;color:Darkblue;", "font-size:12;color:White;", "font-size:12;color:Black;"}},
    {"table_format",
     {"width:100%",
      "width:100%;border:solid black 1.5pt;cellspacing:0;cellpadding:0;border-collapse:collapse;",
      "width:100%", "width:100%", "width:100%"}},
    {"table_header_row",
     {"background:white;", "font-size:10;font-weight:bold;font-family:Verdana;background:#FFFECB",
      "background:#0000a0;", "background:White;", "background:#708090;"}},
    {"table_header",
     {"font-size:10;font-weight:bold;color:black", kFancyCell,
      "font-size:10;font-weight:bold;font-style:italic;color:white",
      "font-size:10;font-weight:bold;font-style:italic;color:black",
      "font-size:10;font-weight:bold;font-style:italic;color:black"}},
    {"table_odd_row",
     {"background:white", "font-size:10;font-family:Verdana;background:white", "background:white",
      "background:black", "background:White"}},
    {"table_even_row",
     {"background:white", "font-size:10;font-family:Verdana;background:#F5F5F5",
      "background:#f0f0ff", "background:#000010", "background:White"}},
    {"table_value",
     {"font-size:10", kFancyCell, "font-size:10;color:Darkblue", "font-size:10;color:White",
      "font-size:10;color:Black"}},
    {"field_set_format", {"", "", "", "", ""}},
    {"field_name_format",
     {"font-size:12;font-weight:bold", "font-size:12;font-weight:bold;font-family:Verdana;",
      "font-size:12;font-weight:bold", "font-size:12;font-weight:bold;color:white",
      "font-size:12;font-weight:bold;color:Black"}},
    {"field_value_format",
     {"font-size:12", "font-size:12;font-style:italic;font-family:Verdana;",
      "font-size:12;font-style:italic;color:Darkblue;",
      "font-size:12;font-style:italic;color:white;",
      "font-size:12;font-style:italic;color:Black;"}},
};

ReportStyle makeStyle(std::size_t column) {
    ReportStyle style(kStyleNames[column]);
    for (const ClassRow& row : kClassRows)
        style.insertClass(row.className, row.declarations[column]);
    return style;
}

// ---- Reports ----------------------------------------------------------------------------

constexpr const char* kTopLoadQuery =
    "SELECT top 10 Element, Size, PercentOfTime as '% Time' order by PercentOfTime desc";
constexpr const char* kHostsQuery =
    "SELECT Host, SUM(Size) as 'Total Size', SUM(Time) as 'Total Time', AVG(Speed) as 'Average "
    "Speed', SUM(PercentOfTime) as '% Time Total' group by Host order by SUM(PercentOfTime) desc";
constexpr const char* kTypesQuery =
    "SELECT Type, SUM(Size) as 'Total Size', SUM(Time) as 'Total Time', AVG(Speed) as 'Average "
    "Speed', SUM(PercentOfTime) as '% Time Total' group by Type order by SUM(PercentOfTime) desc";
constexpr const char* kCompactQuery =
    "SELECT URL, Type as 'Resource Type', Time, Size, PercentOfTime as '% Time' order by "
    "PercentOfTime desc";
constexpr const char* kHostTypeQuery =
    "SELECT Host, Type as 'Resource Type', Count(Time) as 'Count', SUM(Time) as 'Total Time', "
    "SUM(PercentOfTime) as '% Time Total', SUM(Size) as 'Total Size', SUM(PercentOfSize) as '% "
    "Size Total' group by Host, Type order by SUM(PercentOfTime) desc";
constexpr const char* kDetailedQuery =
    "SELECT URL, Host, Element, Protocol, Type as 'Resource Type', Time as 'Load Time', Size, "
    "TimeWithChildren as 'Time With Children', SizeWithChildren as 'Size With Children', Speed, "
    "PercentOfSize as '% Size', PercentOfTime as '% Time', PercentOfSizeWithChildren as '% Size "
    "With Children', PercentOfTimeWithChildren as '% Time With Children', ConnectTime as 'Connect "
    "Time', SendTime as 'Send Time', ReceiveTime as 'Receive Time' order by PercentOfTime desc";

// Builds one report item by item, in the order the calls are made.
class ReportBuilder {
public:
    ReportBuilder(const char* name, const char* description) : report_(name, description, 1) {}

    ReportBuilder& title(const char* text, std::int32_t level) {
        report_.append(std::make_unique<TitleItem>(text, level));
        return *this;
    }
    ReportBuilder& html(const char* text) {
        report_.append(std::make_unique<HtmlTextItem>(text));
        return *this;
    }
    ReportBuilder& field(const char* caption, const char* query) {
        report_.append(std::make_unique<FieldItem>(caption, query));
        return *this;
    }
    ReportBuilder& table(const char* query) {
        report_.append(std::make_unique<TableItem>(query));
        return *this;
    }
    // The block every built-in report begins with after its title.
    ReportBuilder& generalBlock() {
        return title("General Information", 2)
            .field("Item Name:", "select Name where ID = 1")
            .field("Base URL:", "select URL where ID = 1")
            .field("Element Count:", "select Count(URL)")
            .field("Total Size:", "select SUM(Size)")
            .field("Total Time:", "select SUM(Time)")
            .field("Average Speed:", "select AVG(Speed)");
    }
    ReportBuilder& gap() { return html("<BR><BR>"); }
    Report take() { return std::move(report_); }

private:
    Report report_;
};

}  // namespace

ReportStyle makeDefaultStyle() {
    return makeStyle(0);
}

std::vector<ReportStyle> makeBuiltInStyles() {
    std::vector<ReportStyle> styles;
    for (std::size_t column = 1; column < kStyleCount; ++column)
        styles.push_back(makeStyle(column));
    return styles;
}

std::vector<Report> makeBuiltInReports() {
    std::vector<Report> reports;
    reports.push_back(
        ReportBuilder("General",
                      "General report for page elements. Shows information on top load "
                      "elements, element hosts and types.")
            .title("General Report", 1)
            .generalBlock()
            .gap()
            .title("Top Load Objects", 2)
            .table(kTopLoadQuery)
            .gap()
            .title("Hosts Information", 2)
            .table(kHostsQuery)
            .gap()
            .title("Types Information", 2)
            .table(kTypesQuery)
            .take());
    reports.push_back(ReportBuilder("Compact", "Shows compact page elements download statistics.")
                          .title("Compact Report", 1)
                          .generalBlock()
                          .gap()
                          .title("General Statistics", 2)
                          .table(kCompactQuery)
                          .take());
    reports.push_back(
        ReportBuilder("Top Load Elements", "Shows top 10 elements that slow down page load.")
            .title("General Report", 1)
            .generalBlock()
            .gap()
            .title("Top Load Objects", 2)
            .table(kTopLoadQuery)
            .take());
    reports.push_back(ReportBuilder("Hosts Report", "Shows elements by hosts distribution.")
                          .title("Hosts Report", 1)
                          .generalBlock()
                          .title("Hosts Information", 2)
                          .table(kHostsQuery)
                          .take());
    reports.push_back(ReportBuilder("Types Report", "Shows elements by types distribution.")
                          .title("Types Report", 1)
                          .generalBlock()
                          .gap()
                          .title("Types Information", 2)
                          .table(kTypesQuery)
                          .take());
    reports.push_back(ReportBuilder("Time and Size by Host and Type",
                                    "Shows elements download statistics grouped by host and type.")
                          .title("Time and Size by Host and Type", 1)
                          .generalBlock()
                          .gap()
                          .title("Time and Size by Host and Type", 2)
                          .table(kHostTypeQuery)
                          .take());
    reports.push_back(
        ReportBuilder("Detailed Report", "Shows full download statistics on page elements.")
            .title("Detailed Report", 1)
            .generalBlock()
            .gap()
            .title("Web Page Elements Details", 2)
            .table(kDetailedQuery)
            .take());
    return reports;
}

}  // namespace report
