#include "report/FilterCondition.h"

#include <cstdio>

#include "engine/figures/ConnectionSpeed.h"

namespace report {

const std::array<NamedColor, 33> kNamedColors{{
    {"AliceBlue", rgb(0xF0, 0xF8, 0xFF)},      {"AntiqueWhite", rgb(0xFA, 0xEB, 0xD7)},
    {"Aquamarine", rgb(0x7F, 0xFF, 0xD4)},     {"Azure", rgb(0xF0, 0xFF, 0xFF)},
    {"Beige", rgb(0xF5, 0xF5, 0xDC)},          {"Bisque", rgb(0xFF, 0xE4, 0xC4)},
    {"BlanchedAlmond", rgb(0xFF, 0xEB, 0xCD)}, {"Cornsilk", rgb(0xFF, 0xF8, 0xDC)},
    {"FloralWhite", rgb(0xFF, 0xFA, 0xF0)},    {"Gainsboro", rgb(0xDC, 0xDC, 0xDC)},
    {"Honeydew", rgb(0xF0, 0xFF, 0xF0)},       {"Ivory", rgb(0xFF, 0xFF, 0xF0)},
    {"Khaki", rgb(0xF0, 0xE6, 0x8C)},          {"Lavender", rgb(0xE6, 0xE6, 0xFA)},
    {"LavenderBlush", rgb(0xFF, 0xF0, 0xF5)},  {"LemonChiffon", rgb(0xFF, 0xFA, 0xCD)},
    {"LightCyan", rgb(0xE0, 0xFF, 0xFF)},      {"LightGrey", rgb(0xD3, 0xD3, 0xD3)},
    {"LightSteelBlue", rgb(0xB0, 0xC4, 0xDE)}, {"LightYellow", rgb(0xFF, 0xFF, 0xE0)},
    {"Linen", rgb(0xFA, 0xF0, 0xE6)},          {"MintCream", rgb(0xF5, 0xFF, 0xFA)},
    {"MistyRose", rgb(0xFF, 0xE4, 0xE1)},      {"Moccasin", rgb(0xFF, 0xE4, 0xB5)},
    {"NavajoWhite", rgb(0xFF, 0xDE, 0xAD)},    {"OldLace", rgb(0xFD, 0xF5, 0xE6)},
    {"PaleGoldenrod", rgb(0xEE, 0xE8, 0xAA)},  {"PapayaWhip", rgb(0xFF, 0xEF, 0xD5)},
    {"Seashell", rgb(0xFF, 0xF5, 0xEE)},       {"Silver", rgb(0xC0, 0xC0, 0xC0)},
    {"Snow", rgb(0xFF, 0xFA, 0xFA)},           {"Thistle", rgb(0xD8, 0xBF, 0xD8)},
    {"WhiteSmoke", rgb(0xF5, 0xF5, 0xF5)},
}};

std::string generatedName(const FilterCondition& condition) {
    const std::string_view connection =
        engine::isConnectionIndex(condition.connectionType)
            ? engine::kConnectionSpeeds[static_cast<std::size_t>(condition.connectionType)].name
            : std::string_view("Unknown");
    char text[128];
    std::snprintf(text, sizeof text, "%s on %.*s takes more than %d sec.",
                  condition.isDownloadTime() ? "Download" : "Browsing",
                  static_cast<int>(connection.size()), connection.data(), condition.threshold);
    return text;
}

ColorRef colorOf(const FilterCondition& condition) {
    if (condition.customColor != 0) return condition.customColor;
    if (condition.colorIndex < 0 || condition.colorIndex >= static_cast<int>(kNamedColors.size()))
        return rgb(0xFF, 0xFF, 0xFF);
    return kNamedColors[static_cast<std::size_t>(condition.colorIndex)].color;
}

}  // namespace report
