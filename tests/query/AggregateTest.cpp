// The six aggregates folding a list of cells: the finished display text or the exact error.
#include "query/Aggregate.h"
#include "query/NumericValue.h"
#include "query/QueryError.h"
#include "query/StringValue.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace query {
namespace {

using Cells = std::function<std::vector<std::unique_ptr<QueryValue>>()>;

template <typename Value, typename... Args>
Cells cells(Args... args) {
    return [=] {
        std::vector<std::unique_ptr<QueryValue>> list;
        (list.push_back(std::make_unique<Value>(args)), ...);
        return list;
    };
}

struct FoldCase {
    std::string name;
    std::string aggregate;
    Cells values;
    std::string expected;  // the finished accumulator's text, or the error message
};

const std::vector<FoldCase> kCases = {
    {"SumSizes", "sum", cells<SizeValue>(10, 20, 31), "61 b"},
    {"AverageSizesTruncates", "avg", cells<SizeValue>(10, 20, 31), "20 b"},
    {"AverageOfOne", "avg", cells<TimeValue>(233), "0:00.233"},
    {"AverageTimes", "avg", cells<TimeValue>(100, 200, 400), "0:00.233"},
    {"AveragePercents", "avg", cells<PercentValue>(0.1, 0.2), "15.00%"},
    {"Min", "min", cells<SpeedValue>(3.0, 1.5, 2.0), "1.50 b/s"},
    {"Max", "max", cells<IntegerValue>(3, 9, 2), "9"},
    {"PlainLastWins", "", cells<StringValue>("a", "b", "C"), "C"},
    {"CountText", "count", cells<StringValue>("a", "b", "c"), "3"},
    {"CountOne", "count", cells<SizeValue>(5000), "1"},
    {"SumOneTextCopies", "sum", cells<StringValue>("a"), "a"},
    {"SumTwoTexts", "sum", cells<StringValue>("a", "b"),
     "Can't perform 'SUM' operation on 'string' type."},
    {"MaxTwoTexts", "max", cells<StringValue>("a", "b"),
     "Can't perform 'MAX' operation on string' type."},
    {"AverageTwoTexts", "avg", cells<StringValue>("a", "b"),
     "Can't perform 'AVG' operation on 'string' type."},
};

class AggregateTest : public ::testing::TestWithParam<FoldCase> {};

TEST_P(AggregateTest, FoldsOrFailsExactly) {
    const FoldCase& c = GetParam();
    const Aggregate* aggregate = Aggregate::find(c.aggregate);
    ASSERT_NE(aggregate, nullptr);
    try {
        std::unique_ptr<QueryValue> accumulator;
        for (const auto& value : c.values())
            accumulator = aggregate->accumulate(std::move(accumulator), value.get());
        aggregate->finish(*accumulator);
        EXPECT_EQ(accumulator->toText(), c.expected);
    } catch (const QueryError& error) {
        EXPECT_EQ(error.what(), c.expected);
    }
}

INSTANTIATE_TEST_SUITE_P(Folds, AggregateTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return info.param.name; });

TEST(Aggregate, RegisteredByLowerCaseName) {
    for (const char* name : {"", "sum", "min", "max", "avg", "count"}) {
        ASSERT_NE(Aggregate::find(name), nullptr) << name;
        EXPECT_EQ(Aggregate::find(name)->name(), name);
    }
    EXPECT_EQ(Aggregate::find("Sum"), nullptr);
    EXPECT_EQ(Aggregate::find("count "), nullptr);
    EXPECT_EQ(Aggregate::find("average"), nullptr);
}

TEST(Aggregate, AccumulatorIsACopy) {
    const SizeValue cell(10);
    auto accumulator = Aggregate::find("sum")->accumulate(nullptr, &cell);
    accumulator = Aggregate::find("sum")->accumulate(std::move(accumulator), &cell);
    EXPECT_EQ(accumulator->toText(), "20 b");
    EXPECT_EQ(cell.number(), 10);
}

}  // namespace
}  // namespace query
