#pragma once

#include <cstdint>
#include <string>

namespace query {

// A titled statement of the query language, listed in the statistics view.
struct StatisticsDefinition {
    std::int32_t id = 0;  // unique, 1 or above, never reused while the program runs
    std::string title;
    std::string query;

    bool operator==(const StatisticsDefinition&) const = default;
};

}  // namespace query
