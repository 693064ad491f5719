#include "query/QueryEngine.h"

#include "query/QueryError.h"
#include "query/QueryParser.h"

#include <numeric>
#include <vector>

namespace query {
namespace {

std::size_t index(std::int32_t i) {
    return static_cast<std::size_t>(i);
}

// compare() with room for absent cells: absent equals absent and comes before any value.
int compareCells(const QueryValue* a, const QueryValue* b) {
    if (a == nullptr || b == nullptr) return (a != nullptr) - (b != nullptr);
    return a->compare(*b);
}

// A stable top-down merge sort of positions: `before(x, y)` says x must precede y; a row only
// overtakes an earlier one when it must, so equal rows keep their order. Written out rather
// than std::stable_sort because compare() may throw and need not be a strict weak order
// (NaN speeds), and neither may break the sort.
template <typename Before>
void mergeSort(std::vector<std::size_t>& items, std::vector<std::size_t>& scratch,
               std::size_t begin, std::size_t end, const Before& before) {
    if (end - begin < 2) return;
    const std::size_t middle = begin + (end - begin) / 2;
    mergeSort(items, scratch, begin, middle, before);
    mergeSort(items, scratch, middle, end, before);
    std::size_t left = begin, right = middle, out = begin;
    while (left < middle && right < end)
        scratch[out++] = before(items[right], items[left]) ? items[right++] : items[left++];
    while (left < middle) scratch[out++] = items[left++];
    while (right < end) scratch[out++] = items[right++];
    std::copy(scratch.begin() + static_cast<std::ptrdiff_t>(begin),
              scratch.begin() + static_cast<std::ptrdiff_t>(end),
              items.begin() + static_cast<std::ptrdiff_t>(begin));
}

}  // namespace

QueryTablePtr QueryEngine::run(std::string_view statement, const QueryTable& source) {
    result_.reset();
    statement_ = QueryStatement();
    return execute(parseStatement(statement, source), source);
}

QueryTablePtr QueryEngine::execute(QueryStatement statement, const QueryTable& source) {
    result_.reset();
    statement_ = std::move(statement);
    QueryTablePtr result = createResult(source);
    for (const QueryRow& row : source) {
        if (!passes(row)) continue;
        fold(resultRowFor(*result, row), row);
    }
    finish(*result);
    sort(*result);
    if (statement_.topCount > 0) result->removeRowsFrom(index(statement_.topCount));
    result_ = result;
    return result;
}

QueryTablePtr QueryEngine::createResult(const QueryTable& source) const {
    std::vector<std::string> titles;
    for (const SelectItem& item : statement_.selectItems) {
        if (!item.alias.empty())
            titles.push_back(item.alias);
        else if (item.aggregate == &Aggregate::count())
            titles.emplace_back("Count");
        else
            titles.push_back(source.columnName(index(item.sourceColumn)));
    }
    return std::make_shared<QueryTable>(std::move(titles));
}

bool QueryEngine::passes(const QueryRow& row) const {
    bool value = true;
    // No short cut: a failing test in a later condition is raised even when the outcome is
    // already decided.
    for (const Condition& condition : statement_.conditions) {
        const QueryValue* cell = row.cell(index(condition.sourceColumn));
        // An absent cell matches nothing, whatever the operator.
        const bool test =
            cell != nullptr && condition.literal &&
            cell->evaluate(condition.operatorFlags, *condition.literal, condition.negate);
        switch (condition.connector) {
            case Connector::And:
                value = value && test;
                break;
            case Connector::Or:
                value = value || test;
                break;
            default:
                throw QueryError("Unknown condition type.");
        }
    }
    return value;
}

QueryRow& QueryEngine::resultRowFor(QueryTable& result, const QueryRow& row) const {
    if (!statement_.groupKeys.empty()) {
        // Linear search: a page has tens to hundreds of elements, too few for an index.
        for (std::size_t r = 0; r < result.rowCount(); ++r) {
            const QueryRow& candidate = result.row(r);
            bool same = true;
            for (const GroupKey& key : statement_.groupKeys) {
                if (compareCells(candidate.cell(index(key.position)),
                                 row.cell(index(key.sourceColumn))) != 0) {
                    same = false;
                    break;
                }
            }
            if (same) return result.row(r);
        }
    } else if (statement_.wholeTable && result.rowCount() > 0) {
        return result.row(0);
    }
    return result.appendRow();
}

void QueryEngine::fold(QueryRow& target, const QueryRow& row) const {
    for (const SelectItem& item : statement_.selectItems) {
        const std::size_t position = index(item.position);
        target.setCell(position, item.aggregate->accumulate(target.takeCell(position),
                                                            row.cell(index(item.sourceColumn))));
    }
}

void QueryEngine::finish(QueryTable& result) const {
    for (std::size_t r = 0; r < result.rowCount(); ++r) {
        QueryRow& row = result.row(r);
        for (const SelectItem& item : statement_.selectItems)
            if (QueryValue* cell = row.mutableCell(index(item.position)))
                item.aggregate->finish(*cell);
    }
}

void QueryEngine::sort(QueryTable& result) const {
    if (statement_.sortKeys.empty()) return;
    std::vector<std::size_t> order(result.rowCount());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::vector<std::size_t> scratch(order.size());
    const auto before = [&](std::size_t x, std::size_t y) {
        for (const SortKey& key : statement_.sortKeys) {
            const std::size_t position = index(key.position);
            const int c = compareCells(result.row(x).cell(position), result.row(y).cell(position));
            if (c != 0) return c == key.direction;
        }
        return false;
    };
    mergeSort(order, scratch, 0, order.size(), before);
    result.reorderRows(order);
}

QueryTablePtr runQuery(std::string_view statement, const QueryTable& source) {
    QueryEngine engine;
    return engine.run(statement, source);
}

}  // namespace query
