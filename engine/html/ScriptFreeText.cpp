#include "engine/html/ScriptFreeText.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "engine/html/HtmlParser.h"

namespace engine {

std::string withoutScripts(std::string_view html) {
    const HtmlDocument document = HtmlParser::parse(html);
    // A SCRIPT node has no children, so the cuts never nest; sorting keeps the copy below a
    // single forward pass whatever order the walk meets them in.
    std::vector<std::pair<std::uint32_t, std::uint32_t>> cuts;
    document.root().visitChildrenFirst([&](const HtmlNode& node) {
        if (node.tag() == HtmlTag::kScript) cuts.emplace_back(node.start(), node.end());
    });
    std::sort(cuts.begin(), cuts.end());

    std::string text;
    text.reserve(html.size());
    std::size_t kept = 0;  // everything before this offset has been copied or cut
    for (const auto& [start, end] : cuts) {
        if (start > kept) text.append(html.substr(kept, start - kept));
        kept = std::max<std::size_t>(kept, end);
    }
    // Bytes past what a 32-bit position reaches were not parsed: they are kept as they are.
    if (kept < html.size()) text.append(html.substr(kept));
    return text;
}

}  // namespace engine
