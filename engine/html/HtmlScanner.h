#pragma once

#include <string>
#include <string_view>

#include "engine/html/ScanFlags.h"
#include "engine/items/ScanResult.h"
#include "engine/items/WebItem.h"
#include "engine/url/ParsedUrl.h"

namespace engine {

// The accept pattern a stylesheet LINK gives its element.
inline constexpr std::string_view kAcceptStyleSheet = "text/css";

// Scans a downloaded item: when its content kind is a document (text/html), parses its body and
// stores what `flags` asks for (element references, anchors, title) together with the base
// address and the flags, and returns true. Any other item gets empty lists and flags 0 and the
// result is false. The body is only read: its bytes are the same before and after. The caller
// holds the item's own lock (the page loader does, across download and scan).
bool scan(WebItem& item, ScanFlags flags);

// The references of a document whose own address is `address`, as scan() collects them; the
// result's title is `title` unless the document has a TITLE to take.
ScanResult scanDocument(std::string_view body, const ParsedUrl& address, ScanFlags flags,
                        std::string title = {});

// The accept pattern of an element referred to by a tag of that upper-case name.
std::string_view acceptPatternForTag(std::string_view upperTagName);

}  // namespace engine
