#pragma once

#include "query/QueryStatement.h"
#include "query/QueryTable.h"

#include <cstdint>
#include <string_view>

namespace query {

// The column `name` stands for: the first column whose name equals it ignoring case; failing
// that, a name made only of decimal digits (the empty name too, which is 0) is a column number
// when it is below the column count. -1 when neither applies.
std::int32_t resolveColumn(const QueryTable& table, std::string_view name);

// Turns statement text into a QueryStatement for one source table. The parser cuts text rather
// than tokenising it: clauses at keyword texts, lists at commas, conditions at " and " and
// " or "; docs/query-language.md describes the rules. Column names are resolved against
// `source`, and a condition's literal takes the kind of the column's cell in its first row, so
// the statement must run over this same table. Every failure raises QueryError.
QueryStatement parseStatement(std::string_view statement, const QueryTable& source);

// Raised, with the statement as passed in, for a select, group-by or order-by list that ends
// with a comma: its empty last entry has no meaning.
inline constexpr const char* kListEndsWithCommaMessage =
    "List ends with a comma in statement: '%s'.";

}  // namespace query
