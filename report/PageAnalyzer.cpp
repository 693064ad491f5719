#include "report/PageAnalyzer.h"

#include "engine/figures/ConnectionSpeed.h"
#include "engine/html/ScanFlags.h"
#include "query/DisplayFormats.h"
#include "report/AnalysisHint.h"
#include "report/AnalysisTable.h"
#include "report/HtmlEscape.h"
#include "report/ImportSourceText.h"
#include "report/TextFormat.h"

namespace report {
namespace {

constexpr const char* kGeneralStyle =
    "<BODY><style>.lmtitle{font-size:16;font-weight:bold;color:black;font-family:Arial;}.lmtable{"
    "width:100%;border:solid black 1.5pt;cellspacing:0;cellpadding:0;border-collapse:collapse;}.h_"
    "header_row{font-size:10;font-weight:bold;font-family:Verdana;background:#FFFECB}.h_odd_row{"
    "font-size:10;font-family:Verdana;background:white}.h_even_row{font-size:10;font-family:"
    "Verdana;background:#F5F5F5}.h_col{border-top:none;border-left:none;border-bottom:solid black "
    "1.0pt;border-right:solid black 1.0pt;}.v_row{font-size:10;font-family:Verdana;}.v_header_odd_"
    "row_col{font-weight:bold;border-top:none;border-left:none;border-bottom:solid black "
    "1.0pt;border-right:solid black 1.0pt;background:#FFFECB;width=30%}.v_header_even_row_col{"
    "font-weight:bold;border-top:none;border-left:none;border-bottom:solid black "
    "1.0pt;border-right:solid black 1.0pt;background:#FFFEAF;width=30%}.v_header_odd_row_col2{"
    "font-weight:bold;border-top:none;border-left:none;border-bottom:solid black "
    "1.5pt;border-right:solid black 1.0pt;background:#FFFECB;width=30%}.v_header_even_row_col2{"
    "font-weight:bold;border-top:none;border-left:none;border-bottom:solid black "
    "1.5pt;border-right:solid black 1.0pt;background:#FFFEAF;width=30%}.v_odd_row_col{border-top:"
    "none;border-left:none;border-bottom:solid black 1.0pt;border-right:solid black "
    "1.0pt;background:#F5F5F5}.v_even_row_col{border-top:none;border-left:none;border-bottom:solid "
    "black 1.0pt;border-right:solid black 1.0pt;background:white}.lmfield_name{font-size:14;font-"
    "weight:bold;color:black;font-family:Arial;}</style>";

constexpr const char* kConsolidatedStyle =
    "<BODY><style>.lmtitle{font-size:16;font-weight:bold;color:black;font-family:Verdana;}."
    "lmclass{font-size:12;color:black;font-family:Verdana;}.lmfield_name{font-size:14;font-weight:"
    "bold;color:black;font-family:Verdana;}.lmtable{width:100%;border:solid black "
    "1.3pt;cellspacing:0;cellpadding:0;border-collapse:collapse;}.table_header_row{font-size:10;"
    "font-weight:bold;font-family:Verdana;background:#FFFECB}.table_row{font-size:10;font-family:"
    "Verdana;background:white}.table_col{border-top:none;border-left:none;border-bottom:solid "
    "black 1.0pt;border-right:solid black 1.0pt;}.table_analysis_row{font-size:10;font-family:"
    "Verdana;background:white}.table_value{font-size:10;font-family:Verdana;color:black}</style>";

std::string title(const char* text) {
    return std::string("<CENTER> <P class=lmtitle>") + text + "</P></CENTER>";
}
std::string label(const std::string& text) {
    return "<div class=lmfield_name>" + text + "</div>";
}

void row(AnalysisTable& table, const std::string& name, const std::string& value) {
    table.newRow();
    table.cell(name);
    table.cell(value);
}

std::string basicInformation(const AnalysisPage& page) {
    AnalysisTable table(AnalysisTable::Mode::Vertical);
    table.cell("URL:");
    table.cell(escapeHtml(page.address));
    if (!page.importSource.empty())
        row(table, "Source:", escapeHtml(importedFromText(page.importSource)));
    row(table, "Title:", escapeHtmlKeepingEntities(page.title));
    row(table, "Class:", plainName(page.storedClass));
    for (const std::string& condition : page.matchedConditions) row(table, "Condition:", condition);
    row(table, "Size:", query::formatSize(static_cast<std::int32_t>(page.size)));
    row(table, "Speed (Actual Speed):", query::formatSpeed(page.speed[0]));
    row(table, "Time (Actual Speed):",
        query::formatTimeLong(static_cast<std::int32_t>(page.downloadTime[0])));
    row(table, "Elements:", query::formatInteger(page.itemCount));
    row(table, "Status:", escapeHtml(page.stateText));
    return table.write();
}

std::string downloadInformation(const AnalysisPage& page) {
    AnalysisTable table(AnalysisTable::Mode::Vertical);
    table.headerCell("Connection Type");
    table.headerCell("Download Time");
    table.headerCell("Browse Time");
    for (int k = 0; k < engine::kConnectionCount; ++k) {
        row(table, std::string(engine::kConnectionSpeeds[static_cast<std::size_t>(k)].name),
            query::formatTimeLong(static_cast<std::int32_t>(page.downloadTime[k])));
        table.cell(query::formatTimeLong(static_cast<std::int32_t>(page.browseTime[k])));
    }
    return table.write();
}

std::string analysisInformation(const AnalysisPage& page) {
    AnalysisTable table(AnalysisTable::Mode::Vertical);
    bool first = true;
    for (const AnalysisHint* hint : AnalysisHint::all()) {
        if (!first) table.newRow();
        first = false;
        std::string text;
        const PageClass c = hint->evaluate(page, text);
        table.cell(hint->title());
        table.cell("&nbsp&nbsp&nbsp" + plainName(c) + "&nbsp&nbsp&nbsp");
        table.cell(text);
    }
    return table.write();
}

std::string elementsInformation(const AnalysisPage& page) {
    AnalysisTable table(AnalysisTable::Mode::Horizontal);
    for (const char* header : {"URL", "Resource Type", "Time", "Size", "% Time"})
        table.headerCell(header);
    for (const AnalysisItem& item : page.items) {
        table.newRow();
        table.cell(escapeHtml(item.urlText));
        table.cell(escapeHtml(item.contentType));
        table.cell(query::formatTime(static_cast<std::int32_t>(item.totalTime)));
        table.cell(query::formatSize(static_cast<std::int32_t>(item.size)));
        table.cell(query::formatPercent(item.percentOfTime));
    }
    return table.write();
}

std::string textRow(const std::string& text) {
    return "<table> <tr class=table_analysis_row> <TD>&nbsp&nbsp&nbsp&nbsp</TD><td>" + text +
           "</td></TR></table>";
}

std::string pageBlock(const AnalysisPage& page) {
    const std::string address = escapeHtml(page.address);
    std::string out = label("URL: <a href=\"" + address + "\">" + address + "</a>");
    if (!page.importSource.empty())
        out += label("Source: " + escapeHtml(importedFromText(page.importSource)));
    std::string analysis = page.storedText;
    const std::string marker = "Description:</B><BR>";
    if (const auto at = analysis.find(marker); at != std::string::npos)
        analysis.erase(0, at + marker.size());
    out += label("Analysis Result:") + textRow(analysis);
    if (!page.matchedConditions.empty())
        out += label("Filter Result:") + textRow(page.matchedConditions.front());
    if (page.pageState() != engine::PageState::Finished) return out;

    const std::string basic = format(
        "<TABLE class=lmtable><TR class=table_header_row><TD class=table_col>Size</"
        "TD><TD class=table_col>Elements</TD><TD class=table_col>Time</TD><TD "
        "class=table_col>Speed</TD><TD class=table_col>Class</TD></TR><TR "
        "class=table_row><TD class=table_col>%s</TD><TD class=table_col>%d</TD><TD "
        "class=table_col>%s</TD><TD class=table_col>%s</TD><TD "
        "class=table_col>%s</TD></TR></TABLE>",
        query::formatSize(static_cast<std::int32_t>(page.size)).c_str(), page.itemCount,
        query::formatTime(static_cast<std::int32_t>(page.downloadTime[0])).c_str(),
        query::formatSpeed(page.speed[0]).c_str(), plainName(page.storedClass).c_str());
    out += label("Basic Information:") + basic + label("Download Information:");
    out +=
        "<TABLE class=lmtable><TR class=table_header_row><TD class=table_col>Actual Speed</TD><TD "
        "class=table_col>LAN 10mb</TD><TD class=table_col>T1</TD><TD class=table_col>512K "
        "Cable/DSN</TD><TD class=table_col>256K Cable/DSN</TD><TD class=table_col>ISDN "
        "128K</TD><TD class=table_col>ISDN 64K</TD><TD class=table_col>56K</TD><TD "
        "class=table_col>33.6K</TD><TD class=table_col>28.8K</TD><TD "
        "class=table_col>14.4K</TD></TR><TR class=table_row>";
    for (int k = 0; k < engine::kConnectionCount; ++k)
        out += "<TD class=table_col>" +
               query::formatTime(static_cast<std::int32_t>(page.pageTime[k])) + "</TD>";
    return out + "</TR></TABLE>";
}

}  // namespace

bool PageAnalyzer::isAnalysable(const AnalysisPage& page) {
    using engine::PageState;
    const PageState state = page.pageState();
    const bool settled =
        state == PageState::Finished || state == PageState::Error || state == PageState::ChildError;
    return settled && page.hasRootItem && (page.scanFlags & engine::kScanElements) != 0;
}

AnalysisResult PageAnalyzer::analyzePage(const AnalysisPage& page) {
    if (!isAnalysable(page)) return {kClassUnknown, kNotLoaded};
    std::string result = kNotLoaded;
    PageClass worst = kClassUnknown;
    for (const AnalysisHint* hint : AnalysisHint::all()) {
        std::string text;
        const PageClass c = hint->evaluate(page, text);
        if (const auto advice = hint->advice(); c > 3 && advice)
            text += "<BR><b>Hint: </b>" + *advice;
        if (c > worst) {
            worst = c;
            result = text;
        } else if (c == worst) {
            result += "<HR>" + text;
        }
    }
    if (worst == kClassUnknown) return {kClassUnknown, result};
    return {worst, "<B> Page Class: " + coloredName(worst) + "</B><HR>" + result};
}

std::string PageAnalyzer::generalReport(const AnalysisPage& page) {
    std::string out = kGeneralStyle;
    out += title("General Web Page Analysis Report");
    out += label("Basic Information:") + basicInformation(page);
    out += label("<BR>Download Information:") + downloadInformation(page);
    out += label("<BR>Analysis Information:") + analysisInformation(page);
    out += label("<BR>Page Elements Information (Actual Speed):") + elementsInformation(page);
    return out + "</BODY>";
}

std::string PageAnalyzer::consolidatedReport(const std::vector<AnalysisPage>& pages) {
    std::string out = kConsolidatedStyle;
    out += title("Consolidated Site Analysis Report");
    for (PageClass c = kClassCritical; c >= kClassPerfect; --c) {
        bool any = false;
        for (const AnalysisPage& page : pages) {
            if (!isAnalysable(page) || page.storedClass != c) continue;
            if (!any)
                out +=
                    "<div style='border:none;border-bottom:solid windowtext 1.0pt;padding:0in "
                    "0in 1.0pt 0in'><CENTER><b>Class: " +
                    coloredName(c) + "</b></CENTER></div>";
            any = true;
            out += pageBlock(page) + "<BR>";
        }
        if (any) out += "<BR>";
    }
    return out + "</BODY>";
}

std::string PageAnalyzer::analysisReport(int which, bool downloadsRunning,
                                         const AnalysisPage* current,
                                         const std::vector<AnalysisPage>& pages) {
    if (downloadsRunning) return "Report Not Available";
    if (which == 0) return consolidatedReport(pages);
    if (which == 1 && current && isAnalysable(*current)) return generalReport(*current);
    return "Report not available";
}

}  // namespace report
