#include "engine/url/AcceptPattern.h"

#include "engine/base/AsciiText.h"

namespace engine {
namespace {

// Greedy matching that backtracks only to the last "*": linear in practice, never exponential.
bool wildcardMatch(std::string_view pattern, std::string_view text) {
    std::size_t p = 0, t = 0;
    std::size_t star = std::string_view::npos, resume = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = t;
        } else if (p < pattern.size() && toLower(pattern[p]) == toLower(text[t])) {
            ++p;
            ++t;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            t = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

}  // namespace

bool acceptsContentType(std::string_view pattern, std::string_view contentType) {
    if (wildcardMatch(pattern, contentType)) return true;
    return equalIgnoringCase(pattern, kAcceptApplication) &&
           equalIgnoringCase(contentType, "text/javascript");
}

}  // namespace engine
