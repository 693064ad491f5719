#include "engine/html/HtmlTag.h"

#include <array>

namespace engine {

namespace {

// Index i holds the name of id i + 1.
constexpr std::array<std::string_view, 22> kNames = {
    "UNKNOWN",  "BR",     "BODYTEXT", "HTML",   "BODY",   "TITLE",    "A",    "IMG",
    "TR",       "TD",     "TABLE",    "CENTER", "HEAD",   "DOCUMENT", "LINK", "META",
    "!DOCTYPE", "OPTION", "AREA",     "INPUT",  "SCRIPT", "BASE",
};

}  // namespace

HtmlTag htmlTagOf(std::string_view upperName) {
    // "UNKNOWN", "BODYTEXT" and "DOCUMENT" are names of the tree, not of the document: a tag
    // written with one of them is an unknown tag like any other.
    for (std::size_t i = 0; i < kNames.size(); ++i) {
        if (kNames[i] != upperName) continue;
        const auto tag = static_cast<HtmlTag>(i + 1);
        if (tag == HtmlTag::kBodyText || tag == HtmlTag::kDocument) return HtmlTag::kUnknown;
        return tag;
    }
    return HtmlTag::kUnknown;
}

std::string_view htmlTagName(HtmlTag tag) {
    const auto id = static_cast<std::int32_t>(tag);
    if (id < 1 || id > static_cast<std::int32_t>(kNames.size())) return kNames[0];
    return kNames[static_cast<std::size_t>(id - 1)];
}

bool htmlTagHasContent(HtmlTag tag) {
    switch (tag) {
        case HtmlTag::kImg:
        case HtmlTag::kBase:
        case HtmlTag::kBr:
        case HtmlTag::kLink:
        case HtmlTag::kMeta:
        case HtmlTag::kArea:
        case HtmlTag::kInput:
        case HtmlTag::kDoctype:
            return false;
        default:
            return true;
    }
}

}  // namespace engine
