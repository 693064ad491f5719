#pragma once

#include "query/Aggregate.h"
#include "query/QueryValue.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace query {

// One entry of the select list; its position is also its column in the result table.
struct SelectItem {
    std::int32_t position = 0;
    std::int32_t sourceColumn = 0;
    const Aggregate* aggregate = &Aggregate::plain();
    std::string expression;  // as written, lower case, without the alias: "sum(size)"
    std::string alias;       // in its letter case as written; empty when none was given
};

// How a condition joins the result of all conditions before it.
enum class Connector : std::int32_t { And = 0, Or = 1 };

// One test of the where clause: the row's cell in sourceColumn against the literal.
struct Condition {
    std::int32_t sourceColumn = 0;
    std::unique_ptr<QueryValue> literal;  // literal form, of the column's kind
    std::int32_t operatorFlags = 0;       // OperatorFlag bits
    bool negate = false;
    Connector connector = Connector::And;
};

// A grouping column and the select item that shows it.
struct GroupKey {
    std::int32_t sourceColumn = 0;
    std::int32_t position = 0;
};

// The direction is the compare() result that puts a row first.
struct SortKey {
    static constexpr std::int32_t kAscending = -1;
    static constexpr std::int32_t kDescending = 1;

    std::int32_t position = 0;
    std::int32_t direction = kAscending;
};

// A parsed statement, ready to run over the table it was parsed against.
struct QueryStatement {
    std::vector<SelectItem> selectItems;
    std::vector<Condition> conditions;
    std::vector<GroupKey> groupKeys;  // ordered by source column, each column once
    std::vector<SortKey> sortKeys;
    std::int32_t topCount = 0;  // 0: no TOP
    // No group keys and every select item aggregates: the whole table makes one result row.
    bool wholeTable = false;

    // A line per part, for debugging and tests, e.g.
    //   item 1: column 7 sum "sum(size)" as "Total"
    //   condition: and column 5 flags 8 "image"
    std::string describe() const;
};

}  // namespace query
