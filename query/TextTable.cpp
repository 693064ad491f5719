#include "query/TextTable.h"

#include <algorithm>
#include <utility>

namespace query {

namespace {

std::size_t displayWidth(std::string_view text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

}  // namespace

std::string printableText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x20 || byte == 0x7F) {
            out += ' ';
        } else if (byte == 0xC2 && i + 1 < text.size() &&
                   static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                   static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
            out += ' ';
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

TextTable::TextTable(const std::vector<std::string>& titles,
                     std::vector<ColumnAlignment> alignments)
    : alignments_(std::move(alignments)), columns_(titles.size()) {
    alignments_.resize(columns_, ColumnAlignment::Left);
    add(titles);
}

void TextTable::add(const std::vector<std::string>& row) {
    std::vector<std::string> cells(columns_);
    for (std::size_t c = 0; c < columns_ && c < row.size(); ++c) cells[c] = printableText(row[c]);
    rows_.push_back(std::move(cells));
}

std::string TextTable::text() const {
    std::vector<std::size_t> widths(columns_, 0);
    for (const auto& row : rows_)
        for (std::size_t c = 0; c < columns_; ++c)
            widths[c] = std::max(widths[c], displayWidth(row[c]));
    std::string out;
    for (const auto& row : rows_) {
        std::string line;
        for (std::size_t c = 0; c < columns_; ++c) {
            if (c > 0) line += "  ";
            const std::string padding(widths[c] - displayWidth(row[c]), ' ');
            const bool right = alignments_[c] == ColumnAlignment::Right;
            if (right) line += padding;
            line += row[c];
            if (!right) line += padding;
        }
        line.erase(line.find_last_not_of(' ') + 1);
        out += line;
        out += '\n';
    }
    return out;
}

}  // namespace query
