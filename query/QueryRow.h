#pragma once

#include "query/QueryValue.h"

#include <cstddef>
#include <memory>
#include <vector>

namespace query {

// One row of a QueryTable: a fixed number of cells, each an owned value or absent.
class QueryRow {
public:
    explicit QueryRow(std::size_t cellCount) : cells_(cellCount) {}

    std::size_t cellCount() const { return cells_.size(); }
    // The cell at `index`, or nullptr when it is absent or `index` is out of range.
    const QueryValue* cell(std::size_t index) const;
    // Stores `value` at `index` (replacing what was there); an index at or beyond the cell count
    // is ignored, so a builder cannot widen a row.
    void setCell(std::size_t index, std::unique_ptr<QueryValue> value);
    // Hands the cell over to the caller and leaves it absent.
    std::unique_ptr<QueryValue> takeCell(std::size_t index);
    QueryValue* mutableCell(std::size_t index);

private:
    std::vector<std::unique_ptr<QueryValue>> cells_;
};

}  // namespace query
