#pragma once

#include "query/QueryValue.h"

#include <memory>
#include <string_view>

namespace query {

// How a select item folds the cells of the rows that fall into one result row. There are six
// stateless objects that live for the whole program: the plain one (no function: the last row
// wins), sum, min, max, avg and count. The parser finds them by name.
class Aggregate {
public:
    virtual ~Aggregate() = default;

    // The registered aggregate named `name` (lower case; "" is the plain one), or nullptr.
    static const Aggregate* find(std::string_view name);
    static const Aggregate& plain();
    static const Aggregate& count();

    std::string_view name() const { return name_; }

    // Folds `value` into `accumulator` and returns the new accumulator: start(value) when there
    // is none yet, otherwise combine(). An absent value (nullptr) leaves the accumulator as it
    // is, except for count, which counts rows whatever they hold. Raises QueryError when the
    // value's kind does not support the function.
    std::unique_ptr<QueryValue> accumulate(std::unique_ptr<QueryValue> accumulator,
                                           const QueryValue* value) const;
    // Completes an accumulator in place once every row has been folded in.
    virtual void finish(QueryValue& accumulator) const;

protected:
    constexpr explicit Aggregate(std::string_view name) : name_(name) {}

    virtual std::unique_ptr<QueryValue> start(const QueryValue& value) const;
    virtual std::unique_ptr<QueryValue> combine(std::unique_ptr<QueryValue> accumulator,
                                                const QueryValue& value) const = 0;
    virtual bool countsAbsentValues() const { return false; }

private:
    std::string_view name_;
};

}  // namespace query
