#include "query/DelimitedText.h"

#include "query/QueryValue.h"

namespace query {
namespace {

bool looksLikeFormula(const std::string& text) {
    if (text.empty()) return false;
    switch (text.front()) {
        case '=':
        case '+':
        case '-':
        case '@':
        case '\t':
        case '\r':
            return true;
        default:
            return false;
    }
}

void appendField(std::string& out, const std::string& text, const std::string& quote) {
    out += quote;
    if (looksLikeFormula(text)) out += '\'';
    if (quote.empty()) {
        out += text;
    } else {
        for (std::size_t at = 0; at < text.size();) {
            const std::size_t next = text.find(quote, at);
            out.append(text, at, next == std::string::npos ? std::string::npos : next - at);
            if (next == std::string::npos) break;
            out += quote + quote;
            at = next + quote.size();
        }
    }
    out += quote;
}

}  // namespace

std::string writeDelimitedText(const QueryTable& table, const std::string& separator,
                               const std::string& quote) {
    std::string out;
    for (std::size_t c = 0; c < table.columnCount(); ++c) {
        if (c > 0) out += separator;
        appendField(out, table.columnName(c), quote);
    }
    out += "\r\n";
    for (const QueryRow& row : table) {
        for (std::size_t c = 0; c < table.columnCount(); ++c) {
            if (c > 0) out += separator;
            const QueryValue* cell = row.cell(c);
            appendField(out, cell ? cell->toText() : std::string(), quote);
        }
        out += "\r\n";
    }
    return out;
}

}  // namespace query
