#include "report/HtmlEscape.h"

namespace report {
namespace {

std::string escape(std::string_view text, bool ampersand) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
            case '&':
                out += ampersand ? "&amp;" : "&";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

}  // namespace

std::string escapeHtml(std::string_view text) {
    return escape(text, true);
}

std::string escapeHtmlKeepingEntities(std::string_view text) {
    return escape(text, false);
}

}  // namespace report
