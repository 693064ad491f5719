#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace query {

// The kind of a value decides its storage, literal syntax and display text. Operations that
// combine two values only accept a value of the receiver's own kind.
enum class ValueKind { Integer, Time, Size, Speed, Percent, String };

// Bits of a condition's operator: "<=" is kLess | kEqual, "<>" is kEqual negated.
enum OperatorFlag : int { kEqual = 1, kLess = 2, kGreater = 4, kLike = 8 };

// One typed cell of a QueryTable. Numeric kinds come in a column form (table cells and
// accumulators) and a literal form (the right-hand side of a condition, made by parse()); the
// literal form is only ever the argument of an operation, and raises when it receives one.
// Every failure raises QueryError with the message of its operation and leaves the value as it
// was.
class QueryValue {
public:
    virtual ~QueryValue() = default;

    // -1, 0 or +1: this before, equal to or after `other`.
    virtual int compare(const QueryValue& other) const = 0;
    // The condition test: matches when a set bit of `operatorFlags` holds, tried in the order
    // equal, less, greater, like, so a bit that is not set never runs its operation. `negate`
    // inverts the outcome.
    bool evaluate(int operatorFlags, const QueryValue& literal, bool negate) const;
    virtual bool like(const QueryValue& literal) const = 0;
    virtual void addSum(const QueryValue& other) = 0;
    virtual void takeMax(const QueryValue& other) = 0;
    virtual void takeMin(const QueryValue& other) = 0;
    // Adds `other` and counts it; finishAverage() divides by the count and resets it.
    virtual void addAverage(const QueryValue& other) = 0;
    virtual void finishAverage() = 0;
    virtual std::string toText() const = 0;
    // A new literal of this kind made from statement text; never fails.
    virtual std::unique_ptr<QueryValue> parse(std::string_view text) const = 0;
    // A copy of this value in the same form whose average count is 1, so that the first value
    // of a group counts towards an average.
    virtual std::unique_ptr<QueryValue> startAccumulator() const = 0;
    // 0 for text (shown left-aligned), 2 for numbers (shown right-aligned).
    virtual int alignment() const = 0;
    virtual ValueKind kind() const = 0;

protected:
    QueryValue() = default;
    QueryValue(const QueryValue&) = default;
    QueryValue& operator=(const QueryValue&) = default;
};

}  // namespace query
