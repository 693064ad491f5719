#pragma once

#include <string>
#include <string_view>
#include <vector>

// Aligned plain-text tables for a terminal: the command line's site and element tables and the
// statistics results share one layout.
namespace query {

enum class ColumnAlignment { Left, Right };

// Control characters (C0, DEL, and C1 written as UTF-8) become one space each, so text that
// came from a server can neither break a line nor start a terminal escape sequence.
std::string printableText(std::string_view text);

// Rows of cells under a header: columns two spaces apart, padded to the widest cell in
// characters (UTF-8 continuation bytes take no column), no blanks at line ends, every line
// ended by "\n". Cells are made printable; a short row is filled with empty cells.
class TextTable {
public:
    TextTable(const std::vector<std::string>& titles, std::vector<ColumnAlignment> alignments);
    void add(const std::vector<std::string>& row);
    std::string text() const;

private:
    std::vector<ColumnAlignment> alignments_;  // one per column; missing ones are Left
    std::vector<std::vector<std::string>> rows_;
    std::size_t columns_;
};

}  // namespace query
