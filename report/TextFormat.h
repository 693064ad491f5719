#pragma once

#include <string>

namespace report {

// printf into a string of whatever length the result needs; the report texts are built from
// fixed format strings this way.
std::string format(const char* pattern, ...) __attribute__((format(printf, 1, 2)));

}  // namespace report
