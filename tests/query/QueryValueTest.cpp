// The six value kinds: literal syntax, comparison, arithmetic and every failure message.
#include "query/NumericValue.h"
#include "query/QueryError.h"
#include "query/StringValue.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace query {
namespace {

using Make = std::function<std::unique_ptr<QueryValue>()>;

template <typename Value, typename Arg>
Make value(Arg arg) {
    return [arg] { return std::make_unique<Value>(arg); };
}

enum class Operation { Compare, Like, Sum, Max, Min, AddAverage, FinishAverage };

void apply(Operation op, QueryValue& receiver, const QueryValue& argument) {
    switch (op) {
        case Operation::Compare:
            receiver.compare(argument);
            break;
        case Operation::Like:
            receiver.like(argument);
            break;
        case Operation::Sum:
            receiver.addSum(argument);
            break;
        case Operation::Max:
            receiver.takeMax(argument);
            break;
        case Operation::Min:
            receiver.takeMin(argument);
            break;
        case Operation::AddAverage:
            receiver.addAverage(argument);
            break;
        case Operation::FinishAverage:
            receiver.finishAverage();
            break;
    }
}

struct FailureCase {
    std::string name;
    Make receiver;
    Operation operation;
    Make argument;
    std::string message;
};

struct GeneralMessage {
    Operation operation;
    std::string name;
    std::string message;
};

const std::vector<GeneralMessage> kGeneralMessages = {
    {Operation::Compare, "Compare", "Can't compare on this type."},
    {Operation::Like, "Like", "Can't 'LIKE' compare on this type."},
    {Operation::Sum, "Sum", "Can't 'SUM' on this type."},
    {Operation::Max, "Max", "Can't 'MAX' on this type."},
    {Operation::Min, "Min", "Can't 'MIN' on this type."},
    {Operation::AddAverage, "AddAverage", "Can't 'AVG' on this type."},
    {Operation::FinishAverage, "FinishAverage", "Can't 'AVG' on this type."},
};

std::vector<FailureCase> failureCases() {
    const std::vector<std::pair<std::string, Make>> literals = {
        {"Integer", value<IntegerLiteral>(1)},   {"Time", value<TimeLiteral>(1)},
        {"Size", value<SizeLiteral>(1)},         {"Speed", value<SpeedLiteral>(1.0)},
        {"Percent", value<PercentLiteral>(0.1)},
    };
    const std::vector<std::pair<std::string, Make>> columns = {
        {"Integer", value<IntegerValue>(1)},   {"Time", value<TimeValue>(1)},
        {"Size", value<SizeValue>(1)},         {"Speed", value<SpeedValue>(1.0)},
        {"Percent", value<PercentValue>(0.1)},
    };
    std::vector<FailureCase> cases;
    // A literal never receives an operation; if it did, each raises its general message.
    for (std::size_t k = 0; k < literals.size(); ++k)
        for (const GeneralMessage& m : kGeneralMessages)
            cases.push_back({literals[k].first + "Literal" + m.name, literals[k].second,
                             m.operation, columns[k].second, m.message});
    for (const auto& [name, make] : columns)
        cases.push_back({name + "ColumnLike", make, Operation::Like, make,
                         "Can't 'LIKE' compare on this type."});
    const Make text = value<StringValue>("a");
    cases.push_back({"StringSum", text, Operation::Sum, text,
                     "Can't perform 'SUM' operation on 'string' type."});
    cases.push_back({"StringMax", text, Operation::Max, text,
                     "Can't perform 'MAX' operation on string' type."});
    cases.push_back({"StringMin", text, Operation::Min, text,
                     "Can't perform 'MIN' operation on 'string' type."});
    cases.push_back({"StringAverage", text, Operation::AddAverage, text,
                     "Can't perform 'AVG' operation on 'string' type."});
    // Two kinds never combine: the operation fails with its own message.
    const Make time = value<TimeValue>(5);
    for (const GeneralMessage& m : kGeneralMessages)
        if (m.operation != Operation::Like && m.operation != Operation::FinishAverage)
            cases.push_back({"TimeWith" + m.name + "OfSize", time, m.operation, value<SizeValue>(5),
                             m.message});
    cases.push_back({"StringWithNumber", text, Operation::Compare, value<IntegerValue>(1),
                     "Can't compare on this type."});
    cases.push_back({"StringLikeNumber", text, Operation::Like, value<IntegerValue>(1),
                     "Can't 'LIKE' compare on this type."});
    return cases;
}

void PrintTo(const FailureCase& c, std::ostream* out) {
    *out << c.name;
}

class QueryValueFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(QueryValueFailure, RaisesExactMessageAndKeepsValue) {
    const FailureCase& c = GetParam();
    const std::unique_ptr<QueryValue> receiver = c.receiver();
    const std::unique_ptr<QueryValue> argument = c.argument();
    const std::string before = receiver->toText();
    try {
        apply(c.operation, *receiver, *argument);
        FAIL() << "no error";
    } catch (const QueryError& error) {
        EXPECT_EQ(error.what(), c.message);
    }
    EXPECT_EQ(receiver->toText(), before);
}

INSTANTIATE_TEST_SUITE_P(Operations, QueryValueFailure, ::testing::ValuesIn(failureCases()),
                         [](const auto& info) { return info.param.name; });

TEST(QueryValue, IntegerLiteralSyntax) {
    const TimeValue cell(0);
    const auto parsed = [&](const char* text) {
        return static_cast<const TimeLiteral&>(*cell.parse(text)).number();
    };
    EXPECT_EQ(parsed("1.5"), 1);
    EXPECT_EQ(parsed("abc"), 0);
    EXPECT_EQ(parsed(""), 0);
    EXPECT_EQ(parsed(" \t-12x"), -12);
    EXPECT_EQ(parsed("+7"), 7);
    EXPECT_EQ(parsed("- 7"), 0);
    EXPECT_EQ(parsed("99999999999"), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(parsed("-99999999999"), std::numeric_limits<std::int32_t>::min());
}

TEST(QueryValue, DoubleLiteralSyntax) {
    const SpeedValue speed(0);
    const auto parsed = [&](const char* text) {
        return static_cast<const SpeedLiteral&>(*speed.parse(text)).number();
    };
    EXPECT_EQ(parsed("1.5e3"), 1500.0);
    EXPECT_EQ(parsed(" 2.5kb"), 2.5);
    EXPECT_EQ(parsed("abc"), 0.0);
    // Percent literals are written in percent.
    const PercentValue cell(0.122);
    EXPECT_EQ(cell.compare(*cell.parse("12.2")), 0);
    EXPECT_EQ(static_cast<const PercentLiteral&>(*cell.parse("10")).number(), 0.10);
}

TEST(QueryValue, TextComparesIgnoringCase) {
    const auto compare = [](const char* a, const char* b) {
        return StringValue(a).compare(StringValue(b));
    };
    EXPECT_EQ(compare("Example.COM", "example.com"), 0);
    EXPECT_EQ(compare("a", "B"), -1);
    EXPECT_EQ(compare("b", "A"), 1);
    EXPECT_EQ(compare("ab", "A"), 1);
    EXPECT_EQ(compare("_", "A"), -1);  // "A" is taken as "a", which follows "_"
    EXPECT_EQ(compare("\xe9", "z"), 1);
}

TEST(QueryValue, LikeIsASubstringTestWithoutWildcards) {
    const StringValue cell("image/gif");
    EXPECT_TRUE(cell.like(StringValue("IMAGE")));
    EXPECT_TRUE(cell.like(StringValue("e/g")));
    EXPECT_FALSE(cell.like(StringValue("%gif%")));
    EXPECT_FALSE(cell.like(StringValue("image_gif")));
    EXPECT_TRUE(StringValue("50%_off").like(StringValue("%_")));
}

TEST(QueryValue, EvaluateTriesOnlyTheSetBits) {
    const SizeValue size(1000);
    const SizeLiteral same(1000), more(2000);
    EXPECT_TRUE(size.evaluate(kLess | kEqual, same, false));
    EXPECT_TRUE(size.evaluate(kLess | kEqual, more, false));
    EXPECT_FALSE(size.evaluate(kGreater, same, false));
    EXPECT_TRUE(size.evaluate(kGreater, same, true));
    EXPECT_FALSE(size.evaluate(kEqual, same, true));
    EXPECT_THROW(size.evaluate(kLike, same, false), QueryError);
    EXPECT_TRUE(StringValue("image/gif").evaluate(kLike, StringValue("gif"), false));
}

TEST(QueryValue, NaNIsNeitherBeforeNorAfter) {
    EXPECT_EQ(SpeedValue(std::nan("")).compare(SpeedLiteral(1)), 0);
    EXPECT_EQ(SpeedValue(1).compare(SpeedLiteral(std::nan(""))), 0);
}

TEST(QueryValue, ArithmeticStaysIn32Bits) {
    IntegerValue sum(std::numeric_limits<std::int32_t>::max());
    sum.addSum(IntegerValue(1));
    EXPECT_EQ(sum.number(), std::numeric_limits<std::int32_t>::min());
    // Averages of the 32-bit kinds divide the sum as an unsigned number.
    auto average = TimeValue(-10).startAccumulator();
    average->addAverage(TimeValue(0));
    average->finishAverage();
    EXPECT_EQ(static_cast<TimeValue&>(*average).number(), 2147483643);
    average->finishAverage();  // the count was reset: nothing changes
    EXPECT_EQ(static_cast<TimeValue&>(*average).number(), 2147483643);
}

TEST(QueryValue, AccumulatorsKeepTheirForm) {
    const auto literal = TimeLiteral(4).startAccumulator();
    EXPECT_THROW(literal->compare(TimeValue(4)), QueryError);
    const auto column = TimeValue(4).startAccumulator();
    EXPECT_EQ(column->compare(TimeValue(4)), 0);
    EXPECT_EQ(static_cast<TimeValue&>(*column).counter(), 1u);
}

TEST(QueryValue, NumbersAlignRightAndTextLeft) {
    EXPECT_EQ(SizeLiteral(10).alignment(), 2);
    EXPECT_EQ(PercentValue(1).alignment(), 2);
    EXPECT_EQ(StringValue("x").alignment(), 0);
}

}  // namespace
}  // namespace query
