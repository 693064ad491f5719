#pragma once

#include "query/QueryValue.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace query {

// Literal syntax shared by the numeric kinds.
// Leading white space, an optional sign, then decimal digits up to the first other character;
// no digits give 0 and values beyond int32 saturate.
std::int32_t parseInteger(std::string_view text);
// The standard text-to-double conversion of the longest valid prefix; no number gives 0.
double parseDouble(std::string_view text);

// What distinguishes one numeric kind from another; see the traits below.
//   Number: int32 kinds add with 32-bit wrap-around and average by unsigned division,
//           double kinds add and divide in double precision.
//   parse:  the literal syntax.  toText: the display format.

struct IntegerTraits {
    using Number = std::int32_t;
    static constexpr ValueKind kKind = ValueKind::Integer;
    static Number parse(std::string_view text) { return parseInteger(text); }
    static std::string toText(Number n);
};

struct TimeTraits {
    using Number = std::int32_t;  // milliseconds
    static constexpr ValueKind kKind = ValueKind::Time;
    static Number parse(std::string_view text) { return parseInteger(text); }
    static std::string toText(Number n);
};

struct SizeTraits {
    using Number = std::int32_t;  // bytes
    static constexpr ValueKind kKind = ValueKind::Size;
    static Number parse(std::string_view text) { return parseInteger(text); }
    static std::string toText(Number n);
};

struct SpeedTraits {
    using Number = double;  // bytes per second
    static constexpr ValueKind kKind = ValueKind::Speed;
    static Number parse(std::string_view text) { return parseDouble(text); }
    static std::string toText(Number n);
};

struct PercentTraits {
    using Number = double;  // a fraction: 0.25 is 25 %
    static constexpr ValueKind kKind = ValueKind::Percent;
    // Written in percent: "10" is 0.10.
    static Number parse(std::string_view text) { return parseDouble(text) * 0.01; }
    static std::string toText(Number n);
};

// The number and average count that both forms of a numeric kind hold.
template <typename Traits>
class NumericValue : public QueryValue {
public:
    using Number = typename Traits::Number;

    Number number() const { return number_; }
    unsigned counter() const { return counter_; }

    std::string toText() const override { return Traits::toText(number_); }
    std::unique_ptr<QueryValue> parse(std::string_view text) const override;
    int alignment() const override { return 2; }
    ValueKind kind() const override { return Traits::kKind; }

protected:
    NumericValue(Number number, unsigned counter) : number_(number), counter_(counter) {}

    Number number_;
    unsigned counter_;
};

// The column form: every table cell and every accumulator. Supports every operation but like().
template <typename Traits>
class ColumnValue final : public NumericValue<Traits> {
public:
    using Number = typename Traits::Number;

    explicit ColumnValue(Number number, unsigned counter = 0)
        : NumericValue<Traits>(number, counter) {}

    int compare(const QueryValue& other) const override;
    bool like(const QueryValue& literal) const override;
    void addSum(const QueryValue& other) override;
    void takeMax(const QueryValue& other) override;
    void takeMin(const QueryValue& other) override;
    void addAverage(const QueryValue& other) override;
    void finishAverage() override;
    std::unique_ptr<QueryValue> startAccumulator() const override;
    // Count's step: one more row, with the same 32-bit wrap-around as addSum.
    void increment();
};

// The literal form: the right-hand side of a condition. It can be shown, parsed and copied;
// every other operation raises the general message of that operation.
template <typename Traits>
class LiteralValue final : public NumericValue<Traits> {
public:
    using Number = typename Traits::Number;

    explicit LiteralValue(Number number) : NumericValue<Traits>(number, 0) {}

    int compare(const QueryValue& other) const override;
    bool like(const QueryValue& literal) const override;
    void addSum(const QueryValue& other) override;
    void takeMax(const QueryValue& other) override;
    void takeMin(const QueryValue& other) override;
    void addAverage(const QueryValue& other) override;
    void finishAverage() override;
    std::unique_ptr<QueryValue> startAccumulator() const override;
};

using IntegerValue = ColumnValue<IntegerTraits>;
using TimeValue = ColumnValue<TimeTraits>;
using SizeValue = ColumnValue<SizeTraits>;
using SpeedValue = ColumnValue<SpeedTraits>;
using PercentValue = ColumnValue<PercentTraits>;

using IntegerLiteral = LiteralValue<IntegerTraits>;
using TimeLiteral = LiteralValue<TimeTraits>;
using SizeLiteral = LiteralValue<SizeTraits>;
using SpeedLiteral = LiteralValue<SpeedTraits>;
using PercentLiteral = LiteralValue<PercentTraits>;

extern template class NumericValue<IntegerTraits>;
extern template class NumericValue<TimeTraits>;
extern template class NumericValue<SizeTraits>;
extern template class NumericValue<SpeedTraits>;
extern template class NumericValue<PercentTraits>;
extern template class ColumnValue<IntegerTraits>;
extern template class ColumnValue<TimeTraits>;
extern template class ColumnValue<SizeTraits>;
extern template class ColumnValue<SpeedTraits>;
extern template class ColumnValue<PercentTraits>;
extern template class LiteralValue<IntegerTraits>;
extern template class LiteralValue<TimeTraits>;
extern template class LiteralValue<SizeTraits>;
extern template class LiteralValue<SpeedTraits>;
extern template class LiteralValue<PercentTraits>;

}  // namespace query
