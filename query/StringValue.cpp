#include "query/StringValue.h"

#include "query/QueryError.h"
#include "query/TextCase.h"

namespace query {
namespace {

// Text of `other`, which must be text too: a text cell is never compared with a number.
const std::string& textOf(const QueryValue& other, const char* message) {
    if (other.kind() != ValueKind::String) throw QueryError("%s", message);
    return static_cast<const StringValue&>(other).text();
}

}  // namespace

int StringValue::compare(const QueryValue& other) const {
    return compareIgnoringCase(text_, textOf(other, "Can't compare on this type."));
}

bool StringValue::like(const QueryValue& literal) const {
    const std::string& pattern = textOf(literal, "Can't 'LIKE' compare on this type.");
    return toLower(text_).find(toLower(pattern)) != std::string::npos;
}

void StringValue::addSum(const QueryValue&) {
    throw QueryError("Can't perform 'SUM' operation on 'string' type.");
}

void StringValue::takeMax(const QueryValue&) {
    // The missing apostrophe is part of the message users know.
    throw QueryError("Can't perform 'MAX' operation on string' type.");
}

void StringValue::takeMin(const QueryValue&) {
    throw QueryError("Can't perform 'MIN' operation on 'string' type.");
}

void StringValue::addAverage(const QueryValue&) {
    throw QueryError("Can't perform 'AVG' operation on 'string' type.");
}

std::unique_ptr<QueryValue> StringValue::parse(std::string_view text) const {
    return std::make_unique<StringValue>(std::string(text));
}

std::unique_ptr<QueryValue> StringValue::startAccumulator() const {
    return std::make_unique<StringValue>(text_);
}

}  // namespace query
