#include "query/QueryError.h"

#include <cstdarg>
#include <cstdio>

namespace query {

QueryError::QueryError(const char* pattern, ...) {
    char text[kMaxLength + 1];
    va_list args;
    va_start(args, pattern);
    std::vsnprintf(text, sizeof text, pattern, args);
    va_end(args);
    message_ = text;
}

}  // namespace query
