#include "cli/HintText.h"

#include <array>
#include <cctype>
#include <utility>

#include "engine/base/AsciiText.h"
#include "query/TextTable.h"

namespace cli {

namespace {

// A tag that breaks the line: "<br", "<hr", "</p", "<p" followed by the end of the name.
bool breaksLine(std::string_view tag) {
    for (const std::string_view name :
         {"<br", "<hr", "<p", "</p", "<h1", "<h2", "<h3", "</h1", "</h2", "</h3", "<li", "</tr"}) {
        if (engine::startsWithIgnoringCase(tag, name)) {
            const std::size_t end = name.size();
            if (end == tag.size() || !std::isalnum(static_cast<unsigned char>(tag[end]))) {
                return true;
            }
        }
    }
    return false;
}

constexpr std::array<std::pair<std::string_view, std::string_view>, 7> kEntities{{
    {"&amp;", "&"},
    {"&lt;", "<"},
    {"&gt;", ">"},
    {"&quot;", "\""},
    {"&#39;", "'"},
    {"&#x27;", "'"},
    {"&nbsp;", " "},
}};

}  // namespace

std::string plainText(std::string_view html) {
    std::string text;
    std::size_t i = 0;
    while (i < html.size()) {
        const char c = html[i];
        if (c == '<') {
            const std::size_t close = html.find('>', i);
            const std::string_view tag = html.substr(
                i, close == std::string_view::npos ? std::string_view::npos : close - i);
            if (breaksLine(tag) && !text.empty() && text.back() != '\n') text += '\n';
            if (close == std::string_view::npos) break;
            i = close + 1;
            continue;
        }
        if (c == '&') {
            bool decoded = false;
            for (const auto& [entity, value] : kEntities) {
                if (engine::startsWithIgnoringCase(html.substr(i), entity)) {
                    text += value;
                    i += entity.size();
                    decoded = true;
                    break;
                }
            }
            if (decoded) continue;
        }
        text += c;
        ++i;
    }
    // Line by line, so that the line breaks stay and nothing else reaches the terminal raw.
    std::string out;
    std::size_t start = 0;
    for (std::size_t end = text.find('\n'); end != std::string::npos;
         end = text.find('\n', start)) {
        out += query::printableText(std::string_view(text).substr(start, end - start)) + '\n';
        start = end + 1;
    }
    return out + query::printableText(std::string_view(text).substr(start));
}

}  // namespace cli
