#pragma once

#include "query/QueryStatement.h"
#include "query/QueryTable.h"

#include <string_view>

namespace query {

// Runs one statement over one source table and keeps the statement and its result. Rows are
// filtered by the conditions (strictly left to right, every condition evaluated), folded into
// result rows (one per source row, one per group, or one for the whole table), finished,
// sorted by a stable merge sort and cut to the TOP count. Used by one thread at a time; the
// source table is only read.
class QueryEngine {
public:
    // Parses `statement` against `source` and executes it. Raises QueryError; the result is
    // then empty.
    QueryTablePtr run(std::string_view statement, const QueryTable& source);
    // Executes a statement that was parsed against `source`.
    QueryTablePtr execute(QueryStatement statement, const QueryTable& source);

    const QueryStatement& statement() const { return statement_; }
    const QueryTablePtr& result() const { return result_; }

private:
    QueryTablePtr createResult(const QueryTable& source) const;
    bool passes(const QueryRow& row) const;
    QueryRow& resultRowFor(QueryTable& result, const QueryRow& row) const;
    void fold(QueryRow& target, const QueryRow& row) const;
    void finish(QueryTable& result) const;
    void sort(QueryTable& result) const;

    QueryStatement statement_;
    QueryTablePtr result_;
};

// The one entry point of the language: the result of `statement` over `source`, or QueryError.
QueryTablePtr runQuery(std::string_view statement, const QueryTable& source);

}  // namespace query
