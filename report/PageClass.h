#pragma once

#include <cstdint>
#include <string>

namespace report {

// A page's grade from 1 (best) to 6 (worst); 0 means there was nothing to judge.
using PageClass = std::int32_t;

inline constexpr PageClass kClassUnknown = 0;
inline constexpr PageClass kClassPerfect = 1;
inline constexpr PageClass kClassCritical = 6;

// "Perfect"; "Unknown" for 0 and any value outside 1 to 6.
std::string plainName(PageClass value);
// The name inside a coloured FONT tag, as the analysis texts show it.
std::string coloredName(PageClass value);

}  // namespace report
