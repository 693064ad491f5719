#include "report/AnalysisTable.h"

#include <algorithm>
#include <cctype>

namespace report {
namespace {

// An attribute value goes without quotes when it is all digits or a colour ("#FFFECB").
std::string attribute(const std::string& name, const std::string& value) {
    const bool digits = !value.empty() && std::all_of(value.begin(), value.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c)) != 0;
    });
    const bool color = value.size() > 1 && value.front() == '#';
    if (digits || color) return " " + name + "=" + value;
    return " " + name + "=\"" + value + "\"";
}

void line(std::string& out, int depth, const std::string& text) {
    out.append(static_cast<std::size_t>(depth), ' ');
    out += text;
    out += "\r\n";
}

}  // namespace

AnalysisTable::AnalysisTable(Mode mode) : mode_(mode) {
    rows_.push_back({mode == Mode::Vertical ? "v_row" : "h_header_row", {}});
}

void AnalysisTable::newRow() {
    cellCounter_ = 0;
    std::string cssClass = "v_row";
    if (mode_ == Mode::Horizontal) cssClass = odd() ? "h_odd_row" : "h_even_row";
    rows_.push_back({cssClass, {}});
    ++rowCounter_;
}

void AnalysisTable::cell(const std::string& text) {
    add(text, false);
}
void AnalysisTable::headerCell(const std::string& text) {
    add(text, true);
}

void AnalysisTable::add(const std::string& text, bool header) {
    std::string cssClass = "h_col";
    if (mode_ == Mode::Vertical) {
        const std::string parity = odd() ? "odd" : "even";
        if (header)
            cssClass = "v_header_" + parity + "_row_col2";
        else if (cellCounter_ == 0)
            cssClass = "v_header_" + parity + "_row_col";
        else
            cssClass = "v_" + parity + "_row_col";
    }
    rows_.back().cells.push_back({cssClass, text});
    ++cellCounter_;
}

std::string AnalysisTable::write() const {
    std::string out;
    line(out, 0, "<TABLE" + attribute("class", "lmtable") + ">");
    for (const Row& row : rows_) {
        line(out, 1, "<TR" + attribute("class", row.cssClass) + ">");
        for (const Cell& cell : row.cells) {
            line(out, 2, "<TD" + attribute("class", cell.cssClass) + ">");
            line(out, 3, cell.text);
            line(out, 2, "</TD>");
        }
        line(out, 1, "</TR>");
    }
    line(out, 0, "</TABLE>");
    return out;
}

}  // namespace report
