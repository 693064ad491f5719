#include "query/StatementText.h"

#include "query/QueryError.h"
#include "query/TextCase.h"

#include <algorithm>
#include <array>

namespace query {
namespace {

constexpr std::size_t kMinimumLength = 7;

// Indexed by Clause; each keyword includes its trailing blank.
constexpr std::array<std::string_view, 4> kKeywords = {"select ", "where ", "group by ",
                                                       "order by "};

// Replaces every occurrence of `from`, scanning left to right and continuing after each
// replacement. Returns whether anything was replaced.
bool replaceAll(std::string& text, std::string_view from, std::string_view to) {
    std::string result;
    std::size_t done = 0;
    bool replaced = false;
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, done)) {
        result.append(text, done, at - done).append(to);
        done = at + from.size();
        replaced = true;
    }
    if (!replaced) return false;
    text = result.append(text, done, std::string::npos);
    return true;
}

}  // namespace

std::string StatementText::normalise(std::string_view statement) {
    const std::size_t first = statement.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    std::string text(statement.substr(first, statement.find_last_not_of(' ') - first + 1));
    while (replaceAll(text, "  ", " ")) {
    }
    constexpr std::pair<std::string_view, std::string_view> kTightened[] = {
        {", ", ","}, {" ,", ","}, {"( ", "("}, {" )", ")"}, {" >", ">"},
        {"> ", ">"}, {"< ", "<"}, {" <", "<"}, {" =", "="}, {"= ", "="},
    };
    for (const auto& [from, to] : kTightened) replaceAll(text, from, to);
    std::erase_if(text, [](char c) { return c == '\r' || c == '\n'; });
    return text;
}

StatementText::StatementText(std::string_view statement)
    : written_(normalise(statement)), lower_(toLower(written_)) {
    if (written_.size() < kMinimumLength)
        throw QueryError("Statement is invalid: '%s'.", std::string(statement).c_str());
}

std::string_view StatementText::writtenAt(std::string_view lowerPart) const {
    const auto offset = static_cast<std::size_t>(lowerPart.data() - lower_.data());
    return std::string_view(written_).substr(offset, lowerPart.size());
}

std::string_view StatementText::clause(Clause which) const {
    const std::string_view text(lower_);
    const std::string_view keyword = kKeywords[static_cast<std::size_t>(which)];
    const std::size_t found = text.find(keyword);
    if (found == std::string_view::npos) return {};
    const std::size_t start = found + keyword.size();
    std::size_t next = std::string_view::npos;
    for (std::string_view other : kKeywords) next = std::min(next, text.find(other, start));
    if (next == std::string_view::npos) return text.substr(start);
    // The character before the next keyword (its separating blank) is not part of the clause.
    if (next <= start + 1) return text.substr(start, 0);
    return text.substr(start, next - 1 - start);
}

ListEntries splitList(std::string_view list) {
    ListEntries result;
    std::size_t position = 0;
    for (;;) {
        const std::size_t comma = list.find(',', position);
        if (comma == std::string_view::npos || comma == position) {
            result.entries.push_back(list.substr(position));
            return result;
        }
        result.entries.push_back(list.substr(position, comma - position));
        position = comma + 1;
        if (position == list.size()) {
            result.endsWithComma = true;
            return result;
        }
    }
}

std::vector<ConditionText> splitConditions(std::string_view where) {
    constexpr std::string_view kAnd = " and ";
    constexpr std::string_view kOr = " or ";
    std::vector<ConditionText> conditions;
    bool joinedByOr = false;
    std::size_t position = 0;
    for (;;) {
        const std::size_t andAt = where.find(kAnd, position);
        const std::size_t orAt = where.find(kOr, position);
        const std::size_t at = std::min(andAt, orAt);
        if (at == std::string_view::npos) {
            conditions.push_back({where.substr(position), joinedByOr});
            return conditions;
        }
        conditions.push_back({where.substr(position, at - position), joinedByOr});
        joinedByOr = at == orAt;
        position = at + (joinedByOr ? kOr.size() : kAnd.size());
    }
}

}  // namespace query
