#include "query/QueryTable.h"

#include <utility>

namespace query {

QueryTable::QueryTable(std::vector<std::string> columnNames)
    : columnNames_(std::move(columnNames)) {}

QueryRow& QueryTable::appendRow() {
    return rows_.emplace_back(columnNames_.size());
}

void QueryTable::removeRowsFrom(std::size_t first) {
    if (first < rows_.size())
        rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(first), rows_.end());
}

void QueryTable::reorderRows(const std::vector<std::size_t>& order) {
    std::vector<QueryRow> sorted;
    sorted.reserve(rows_.size());
    for (std::size_t position : order) sorted.push_back(std::move(rows_.at(position)));
    rows_ = std::move(sorted);
}

}  // namespace query
