#include "report/TableItem.h"

#include <vector>

#include "query/QueryEngine.h"
#include "report/HtmlEscape.h"

namespace report {
namespace {

const char* alignmentWord(const query::QueryValue* value) {
    switch (value ? value->alignment() : 0) {
        case 1:
            return "center";
        case 2:
            return "right";
        default:
            return "left";
    }
}

// Each column's alignment follows its value in the first data row, for the header too.
std::vector<const char*> columnAlignments(const query::QueryTable& result) {
    std::vector<const char*> words(result.columnCount(), "left");
    if (result.rowCount() == 0) return words;
    for (std::size_t i = 0; i < words.size(); ++i) words[i] = alignmentWord(result.row(0).cell(i));
    return words;
}

std::string cell(const char* align, const char* cssClass, const std::string& text) {
    return std::string("\t\t<TD align=") + align + " class=\"" + cssClass + "\">" + text +
           "</TD>\n";
}

}  // namespace

std::string TableItem::render(const query::QueryTable* elements) const {
    const query::QueryTablePtr result = elements ? query::runQuery(query_, *elements) : nullptr;
    if (!result) return "No data";
    const std::vector<const char*> align = columnAlignments(*result);

    std::string html = "<TABLE class=\"table_format\">\n\t<TR class=\"table_header_row\">\n";
    for (std::size_t i = 0; i < align.size(); ++i)
        html += cell(align[i], "table_header", result->columnName(i));
    html += "\t</TR>\n";
    for (std::size_t r = 0; r < result->rowCount(); ++r) {
        // Row numbers start at 1, and odd-numbered rows take the "even" class.
        html +=
            r % 2 == 0 ? "\t<TR class=\"table_even_row\">\n" : "\t<TR class=\"table_odd_row\">\n";
        const query::QueryRow& row = result->row(r);
        for (std::size_t i = 0; i < align.size(); ++i) {
            const query::QueryValue* value = row.cell(i);
            html += cell(align[i], "table_value", value ? escapeHtml(value->toText()) : "");
        }
        html += "\t</TR>\n";
    }
    return html + "</TABLE>\n";
}

std::unique_ptr<ReportItem> TableItem::clone() const {
    return std::make_unique<TableItem>(*this);
}

void TableItem::serialize(bool storing, xlib::Archive& archive) {
    xlib::serializeString(query_, storing, archive);
}

}  // namespace report
