#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The time scale of a waterfall: from 0 to a round end in steps a reader can add up at a glance.
namespace report {

struct TimeAxis {
    std::uint64_t step = 1;  // milliseconds between ticks: 1, 2 or 5 × 10^n ms, or a round
                             // number of seconds, minutes, hours or days
    std::uint64_t end = 1;   // the last tick: the first multiple of step at or above the span

    // 0, step, 2 × step, ... end.
    std::vector<std::uint64_t> ticks() const;
};

// The axis for `span` milliseconds with at most `maxIntervals` steps between 0 and its end (at
// least one): the smallest step that fits.
TimeAxis niceAxis(std::uint64_t span, int maxIntervals);

// A tick's text in the unit its step is counted in: "0", "250 ms", "1.5 s", "30 s", "2 min",
// "5 h", "2 d". Below a second, steps under a second show milliseconds; from a second on,
// seconds with the decimals the value has.
std::string tickLabel(std::uint64_t milliseconds, std::uint64_t step);

}  // namespace report
