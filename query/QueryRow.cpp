#include "query/QueryRow.h"

namespace query {

const QueryValue* QueryRow::cell(std::size_t index) const {
    return index < cells_.size() ? cells_[index].get() : nullptr;
}

QueryValue* QueryRow::mutableCell(std::size_t index) {
    return index < cells_.size() ? cells_[index].get() : nullptr;
}

void QueryRow::setCell(std::size_t index, std::unique_ptr<QueryValue> value) {
    if (index < cells_.size()) cells_[index] = std::move(value);
}

std::unique_ptr<QueryValue> QueryRow::takeCell(std::size_t index) {
    if (index >= cells_.size()) return nullptr;
    return std::move(cells_[index]);
}

}  // namespace query
