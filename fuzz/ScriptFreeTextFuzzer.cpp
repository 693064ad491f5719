// Takes the scripts out of arbitrary bytes as the element preview does with a document. Checks
// what the preview relies on: the result is the input with some ranges cut out (so never
// longer), parsing it again finds no SCRIPT element, and cutting again changes nothing.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "engine/html/HtmlParser.h"
#include "engine/html/ScriptFreeText.h"

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

// True when `part` is `whole` with zero or more bytes left out, order kept.
bool isSubsequence(std::string_view part, std::string_view whole) {
    std::size_t at = 0;
    for (const char c : whole) {
        if (at < part.size() && part[at] == c) ++at;
    }
    return at == part.size();
}

bool hasScript(const engine::HtmlDocument& document) {
    bool found = false;
    document.root().visitChildrenFirst([&](const engine::HtmlNode& node) {
        found = found || node.tag() == engine::HtmlTag::kScript;
    });
    return found;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view html(reinterpret_cast<const char*>(data), size);
    const std::string text = engine::withoutScripts(html);
    check(text.size() <= html.size());
    check(isSubsequence(text, html));
    check(!hasScript(engine::HtmlParser::parse(text)));
    check(engine::withoutScripts(text) == text);
    if (!hasScript(engine::HtmlParser::parse(html))) check(text == html);
    return 0;
}
