#include "query/Aggregate.h"

#include "query/NumericValue.h"

#include <array>

namespace query {
namespace {

// No function: a new copy of each row's value, so the last row of a group wins.
class PlainAggregate final : public Aggregate {
public:
    constexpr PlainAggregate() : Aggregate("") {}

protected:
    std::unique_ptr<QueryValue> combine(std::unique_ptr<QueryValue>,
                                        const QueryValue& value) const override {
        return value.startAccumulator();
    }
};

class SumAggregate final : public Aggregate {
public:
    constexpr SumAggregate() : Aggregate("sum") {}

protected:
    std::unique_ptr<QueryValue> combine(std::unique_ptr<QueryValue> accumulator,
                                        const QueryValue& value) const override {
        accumulator->addSum(value);
        return accumulator;
    }
};

class MinAggregate final : public Aggregate {
public:
    constexpr MinAggregate() : Aggregate("min") {}

protected:
    std::unique_ptr<QueryValue> combine(std::unique_ptr<QueryValue> accumulator,
                                        const QueryValue& value) const override {
        accumulator->takeMin(value);
        return accumulator;
    }
};

class MaxAggregate final : public Aggregate {
public:
    constexpr MaxAggregate() : Aggregate("max") {}

protected:
    std::unique_ptr<QueryValue> combine(std::unique_ptr<QueryValue> accumulator,
                                        const QueryValue& value) const override {
        accumulator->takeMax(value);
        return accumulator;
    }
};

class AverageAggregate final : public Aggregate {
public:
    constexpr AverageAggregate() : Aggregate("avg") {}

    void finish(QueryValue& accumulator) const override { accumulator.finishAverage(); }

protected:
    std::unique_ptr<QueryValue> combine(std::unique_ptr<QueryValue> accumulator,
                                        const QueryValue& value) const override {
        accumulator->addAverage(value);
        return accumulator;
    }
};

// Counts rows, whatever the column holds; the result is always an integer.
class CountAggregate final : public Aggregate {
public:
    constexpr CountAggregate() : Aggregate("count") {}

    // A count's average counter is 0, so finishing leaves it unchanged.
    void finish(QueryValue& accumulator) const override { accumulator.finishAverage(); }

protected:
    std::unique_ptr<QueryValue> start(const QueryValue&) const override {
        return std::make_unique<IntegerValue>(1);
    }
    std::unique_ptr<QueryValue> combine(std::unique_ptr<QueryValue> accumulator,
                                        const QueryValue&) const override {
        // Only start() makes a count's accumulator, so it is always an IntegerValue.
        static_cast<IntegerValue&>(*accumulator).increment();
        return accumulator;
    }
    bool countsAbsentValues() const override { return true; }
};

// Constant-initialised, so that lookups from other static initialisers are safe.
constinit const PlainAggregate kPlain;
constinit const SumAggregate kSum;
constinit const MinAggregate kMin;
constinit const MaxAggregate kMax;
constinit const AverageAggregate kAverage;
constinit const CountAggregate kCount;

const std::array<const Aggregate*, 6> kRegistry = {&kPlain, &kSum,     &kMin,
                                                   &kMax,   &kAverage, &kCount};

}  // namespace

const Aggregate* Aggregate::find(std::string_view name) {
    for (const Aggregate* aggregate : kRegistry)
        if (aggregate->name() == name) return aggregate;
    return nullptr;
}

const Aggregate& Aggregate::plain() {
    return kPlain;
}
const Aggregate& Aggregate::count() {
    return kCount;
}

std::unique_ptr<QueryValue> Aggregate::accumulate(std::unique_ptr<QueryValue> accumulator,
                                                  const QueryValue* value) const {
    if (value == nullptr) {
        if (!countsAbsentValues()) return accumulator;
        // Count never looks at the value, so any stand-in will do.
        static const IntegerValue kNothing(0);
        value = &kNothing;
    }
    if (!accumulator) return start(*value);
    return combine(std::move(accumulator), *value);
}

void Aggregate::finish(QueryValue&) const {}

std::unique_ptr<QueryValue> Aggregate::start(const QueryValue& value) const {
    return value.startAccumulator();
}

}  // namespace query
