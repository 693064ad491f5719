#pragma once

#include <string>
#include <vector>

namespace report {

// Builds the HTML tables of the general analysis report: a vertical table (a label cell, then
// value cells, per row) or a horizontal one (a header row, then data rows), with the row and
// cell classes of the report's style block. Cell texts are written unchanged: callers escape
// what came from the network.
class AnalysisTable {
public:
    enum class Mode { Vertical, Horizontal };

    // Starts the table with its first row.
    explicit AnalysisTable(Mode mode);

    void newRow();
    void cell(const std::string& text);
    void headerCell(const std::string& text);

    // One tag or text per line, CR LF line ends, each line indented by its depth in blanks.
    std::string write() const;

private:
    struct Cell {
        std::string cssClass, text;
    };
    struct Row {
        std::string cssClass;
        std::vector<Cell> cells;
    };

    bool odd() const { return rowCounter_ % 2 != 0; }
    void add(const std::string& text, bool header);

    Mode mode_;
    std::vector<Row> rows_;
    int rowCounter_ = 1;
    int cellCounter_ = 0;
};

}  // namespace report
