#pragma once

#include "query/QueryRow.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace query {

// A table of typed cells: the element table every statement runs over, and every result.
// The column names are fixed at creation. Tables are shared (QueryTablePtr); an empty pointer
// stands for "no result".
class QueryTable {
public:
    explicit QueryTable(std::vector<std::string> columnNames);

    std::size_t columnCount() const { return columnNames_.size(); }
    const std::string& columnName(std::size_t index) const { return columnNames_.at(index); }
    const std::vector<std::string>& columnNames() const { return columnNames_; }

    // A new last row with every cell absent. The reference stays valid until the next
    // appendRow(), sort or removal.
    QueryRow& appendRow();
    std::size_t rowCount() const { return rows_.size(); }
    const QueryRow& row(std::size_t index) const { return rows_.at(index); }
    QueryRow& row(std::size_t index) { return rows_.at(index); }
    // Removes the rows from position `first` to the end; nothing when there are fewer rows.
    void removeRowsFrom(std::size_t first);
    // Puts the rows in the order given by `order`, a permutation of the row positions.
    void reorderRows(const std::vector<std::size_t>& order);

    std::vector<QueryRow>::const_iterator begin() const { return rows_.begin(); }
    std::vector<QueryRow>::const_iterator end() const { return rows_.end(); }

private:
    std::vector<std::string> columnNames_;
    std::vector<QueryRow> rows_;
};

using QueryTablePtr = std::shared_ptr<QueryTable>;

}  // namespace query
