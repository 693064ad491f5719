#pragma once

#include <cstdint>
#include <string_view>

namespace engine {

// The tag names the scanner knows, numbered by their place in the registration list. The numbers
// are part of the tree's contract (the analysis tables and the script-free copy of a document
// test them), so they never change; a name outside the list is `kUnknown`.
enum class HtmlTag : std::int32_t {
    kUnknown = 1,
    kBr = 2,
    kBodyText = 3,  // text between tags
    kHtml = 4,
    kBody = 5,
    kTitle = 6,
    kA = 7,
    kImg = 8,
    kTr = 9,
    kTd = 10,
    kTable = 11,
    kCenter = 12,
    kHead = 13,
    kDocument = 14,  // the root of every tree
    kLink = 15,
    kMeta = 16,
    kDoctype = 17,
    kOption = 18,
    kArea = 19,
    kInput = 20,
    kScript = 21,
    kBase = 22,
};

// The id of an upper-case tag name; `kUnknown` for names outside the list.
HtmlTag htmlTagOf(std::string_view upperName);

// The registered upper-case name of a tag id ("UNKNOWN" for an id outside the list).
std::string_view htmlTagName(HtmlTag tag);

// False for the tags that never have content and end at their own ">".
bool htmlTagHasContent(HtmlTag tag);

}  // namespace engine
