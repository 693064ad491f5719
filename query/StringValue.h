#pragma once

#include "query/QueryValue.h"

#include <string>

namespace query {

// Text cells and text literals (one form for both). Comparison ignores letter case; the
// arithmetic operations always fail, with messages of their own.
class StringValue final : public QueryValue {
public:
    explicit StringValue(std::string text) : text_(std::move(text)) {}

    const std::string& text() const { return text_; }

    // The sign of a comparison of the two texts with letters taken as lower case, otherwise
    // by byte value.
    int compare(const QueryValue& other) const override;
    // Whether the literal's text occurs in this text, ignoring case. There are no wildcards:
    // "%", "_" and "*" match only themselves.
    bool like(const QueryValue& literal) const override;
    void addSum(const QueryValue& other) override;
    void takeMax(const QueryValue& other) override;
    void takeMin(const QueryValue& other) override;
    void addAverage(const QueryValue& other) override;
    // Nothing to finish, so an AVG over a single text cell shows that text.
    void finishAverage() override {}
    std::string toText() const override { return text_; }
    std::unique_ptr<QueryValue> parse(std::string_view text) const override;
    std::unique_ptr<QueryValue> startAccumulator() const override;
    int alignment() const override { return 0; }
    ValueKind kind() const override { return ValueKind::String; }

private:
    std::string text_;
};

}  // namespace query
