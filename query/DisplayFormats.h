#pragma once

#include <cstdint>
#include <string>

// The only way a measurement becomes text: every view, report and export uses these, so a value
// reads the same everywhere. "kb" is 1024 bytes. None of them keeps state.
namespace query {

// "m:ss.mmm"; there is no hour field, so one hour is "60:00.000".
std::string formatTime(std::int32_t milliseconds);
// formatTime followed by the rounded whole seconds: "0:03.500 (4 sec)".
std::string formatTimeLong(std::int32_t milliseconds);
// "1023 b" up to 1023 bytes, then "1.00 kb".
std::string formatSize(std::int32_t bytes);
// "1023.99 b/s" below 1024 (tested on the unrounded value), then "1.00 kb/s".
std::string formatSpeed(double bytesPerSecond);
// A fraction as a percentage with two decimals: 0.0254 gives "2.54%".
std::string formatPercent(double share);
std::string formatInteger(std::int32_t value);

}  // namespace query
