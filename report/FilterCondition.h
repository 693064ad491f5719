#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace report {

// A colour as the settings store keeps it: red in the low byte, then green, then blue.
using ColorRef = std::uint32_t;

constexpr ColorRef rgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return ColorRef{red} | ColorRef{green} << 8 | ColorRef{blue} << 16;
}

struct NamedColor {
    std::string_view name;
    ColorRef color;
};

// The light colours a page row can be highlighted with; index 33 stands for "Custom".
inline constexpr int kCustomColorIndex = 33;
extern const std::array<NamedColor, 33> kNamedColors;

// A user's rule: the browse (or download) time of a page on one connection type exceeds a
// number of seconds.
struct FilterCondition {
    // Values of `timeType`.
    static constexpr std::int32_t kBrowseTime = 0;
    static constexpr std::int32_t kDownloadTime = 1;  // as is any value but kBrowseTime

    std::int32_t id = 0;  // position in the list, renumbered from 0 when the list is saved
    std::string name;
    bool enabled = true;
    std::int32_t connectionType = 0;  // connection index 0 to 10
    std::int32_t timeType = kBrowseTime;
    std::int32_t threshold = 0;   // seconds
    std::int32_t colorIndex = 0;  // into kNamedColors
    ColorRef customColor = 0;     // used instead of the named colour when not 0

    bool isDownloadTime() const { return timeType != kBrowseTime; }

    bool operator==(const FilterCondition&) const = default;
};

// "Browsing on 56K takes more than 8 sec."
std::string generatedName(const FilterCondition& condition);
// The custom colour when set, else the named colour (white for an index outside the table).
ColorRef colorOf(const FilterCondition& condition);

}  // namespace report
