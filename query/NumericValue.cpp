#include "query/NumericValue.h"

#include "engine/base/AsciiText.h"
#include "query/DisplayFormats.h"
#include "query/QueryError.h"

#include <locale.h>

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace query {
namespace {

constexpr const char* kCompareMessage = "Can't compare on this type.";
constexpr const char* kLikeMessage = "Can't 'LIKE' compare on this type.";
constexpr const char* kSumMessage = "Can't 'SUM' on this type.";
constexpr const char* kMaxMessage = "Can't 'MAX' on this type.";
constexpr const char* kMinMessage = "Can't 'MIN' on this type.";
constexpr const char* kAverageMessage = "Can't 'AVG' on this type.";

[[noreturn]] void fail(const char* message) {
    throw QueryError("%s", message);
}

// Sums wrap around in 32 bits, as the stored numbers are 32-bit.
std::int32_t add(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}
double add(double a, double b) {
    return a + b;
}

// Averages of the 32-bit kinds divide as unsigned numbers, so a negative sum averages to a large
// positive number; saved statistics were computed this way.
std::int32_t divide(std::int32_t sum, unsigned count) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(sum) / count);
}
double divide(double sum, unsigned count) {
    return sum / count;
}

template <typename Number>
int sign(Number a, Number b) {
    if (a > b) return 1;
    if (a < b) return -1;
    return 0;  // also for NaN, which is neither
}

// The number of `other` when it is of the same kind as the receiver; values of two different
// kinds cannot be combined, and the operation fails with its own message.
template <typename Traits>
typename Traits::Number numberOf(const QueryValue& other, const char* message) {
    if (other.kind() != Traits::kKind) fail(message);
    return static_cast<const NumericValue<Traits>&>(other).number();
}

}  // namespace

std::int32_t parseInteger(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && engine::isAsciiSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    std::int64_t magnitude = 0;
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        magnitude = std::min(magnitude * 10 + (text[i] - '0'), kLimit);
    if (negative) return static_cast<std::int32_t>(-magnitude);
    return static_cast<std::int32_t>(std::min(magnitude, kLimit - 1));
}

double parseDouble(std::string_view text) {
    // The "C" locale keeps "." the decimal point whatever locale the program runs in.
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t{});
    const std::string copy(text);
    return strtod_l(copy.c_str(), nullptr, cLocale);
}

std::string IntegerTraits::toText(Number n) {
    return formatInteger(n);
}
std::string TimeTraits::toText(Number n) {
    return formatTime(n);
}
std::string SizeTraits::toText(Number n) {
    return formatSize(n);
}
std::string SpeedTraits::toText(Number n) {
    return formatSpeed(n);
}
std::string PercentTraits::toText(Number n) {
    return formatPercent(n);
}

template <typename Traits>
std::unique_ptr<QueryValue> NumericValue<Traits>::parse(std::string_view text) const {
    return std::make_unique<LiteralValue<Traits>>(Traits::parse(text));
}

template <typename Traits>
int ColumnValue<Traits>::compare(const QueryValue& other) const {
    return sign(this->number_, numberOf<Traits>(other, kCompareMessage));
}

template <typename Traits>
bool ColumnValue<Traits>::like(const QueryValue&) const {
    fail(kLikeMessage);
}

template <typename Traits>
void ColumnValue<Traits>::addSum(const QueryValue& other) {
    this->number_ = add(this->number_, numberOf<Traits>(other, kSumMessage));
}

template <typename Traits>
void ColumnValue<Traits>::takeMax(const QueryValue& other) {
    const Number n = numberOf<Traits>(other, kMaxMessage);
    if (sign(this->number_, n) < 0) this->number_ = n;
}

template <typename Traits>
void ColumnValue<Traits>::takeMin(const QueryValue& other) {
    const Number n = numberOf<Traits>(other, kMinMessage);
    if (sign(this->number_, n) > 0) this->number_ = n;
}

template <typename Traits>
void ColumnValue<Traits>::addAverage(const QueryValue& other) {
    this->number_ = add(this->number_, numberOf<Traits>(other, kAverageMessage));
    ++this->counter_;
}

template <typename Traits>
void ColumnValue<Traits>::finishAverage() {
    if (this->counter_ == 0) return;
    this->number_ = divide(this->number_, this->counter_);
    this->counter_ = 0;
}

template <typename Traits>
std::unique_ptr<QueryValue> ColumnValue<Traits>::startAccumulator() const {
    return std::make_unique<ColumnValue>(this->number_, 1);
}

template <typename Traits>
void ColumnValue<Traits>::increment() {
    this->number_ = add(this->number_, Number{1});
}

template <typename Traits>
int LiteralValue<Traits>::compare(const QueryValue&) const {
    fail(kCompareMessage);
}

template <typename Traits>
bool LiteralValue<Traits>::like(const QueryValue&) const {
    fail(kLikeMessage);
}

template <typename Traits>
void LiteralValue<Traits>::addSum(const QueryValue&) {
    fail(kSumMessage);
}

template <typename Traits>
void LiteralValue<Traits>::takeMax(const QueryValue&) {
    fail(kMaxMessage);
}

template <typename Traits>
void LiteralValue<Traits>::takeMin(const QueryValue&) {
    fail(kMinMessage);
}

template <typename Traits>
void LiteralValue<Traits>::addAverage(const QueryValue&) {
    fail(kAverageMessage);
}

template <typename Traits>
void LiteralValue<Traits>::finishAverage() {
    fail(kAverageMessage);
}

template <typename Traits>
std::unique_ptr<QueryValue> LiteralValue<Traits>::startAccumulator() const {
    return std::make_unique<LiteralValue>(this->number_);
}

template class NumericValue<IntegerTraits>;
template class NumericValue<TimeTraits>;
template class NumericValue<SizeTraits>;
template class NumericValue<SpeedTraits>;
template class NumericValue<PercentTraits>;
template class ColumnValue<IntegerTraits>;
template class ColumnValue<TimeTraits>;
template class ColumnValue<SizeTraits>;
template class ColumnValue<SpeedTraits>;
template class ColumnValue<PercentTraits>;
template class LiteralValue<IntegerTraits>;
template class LiteralValue<TimeTraits>;
template class LiteralValue<SizeTraits>;
template class LiteralValue<SpeedTraits>;
template class LiteralValue<PercentTraits>;

}  // namespace query
