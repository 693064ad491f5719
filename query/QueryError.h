#pragma once

#include <exception>
#include <string>

namespace query {

// The single error type of the query language: parsing, condition tests and aggregates all
// raise it, and every caller shows what() to the user. Messages are printf-style templates
// filled with the offending text; the result is cut to 511 characters so that a huge statement
// cannot produce a huge message box.
class QueryError : public std::exception {
public:
    static constexpr std::size_t kMaxLength = 511;

    // Formats `pattern` like printf. A "%s" argument stops at its first zero byte.
    explicit QueryError(const char* pattern, ...) __attribute__((format(printf, 2, 3)));

    const char* what() const noexcept override { return message_.c_str(); }
    const std::string& message() const noexcept { return message_; }

private:
    std::string message_;
};

}  // namespace query
