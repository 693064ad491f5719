#include "engine/base/ContentKind.h"

#include <array>
#include <utility>

namespace engine {
namespace {

// In registration order: the first type of each kind is its name.
constexpr std::array<std::pair<std::string_view, ContentKind>, 10> kTypes{{
    {"text/html", ContentKind::Html},
    {"image/gif", ContentKind::Gif},
    {"image/jpeg", ContentKind::Jpeg},
    {"image/pjpeg", ContentKind::ProgressiveJpeg},
    {"image/x-xbitmap", ContentKind::XBitmap},
    {"application/x-javascript", ContentKind::Script},
    {"text/javascript", ContentKind::Script},
    {"application/x-shockwave-flash", ContentKind::Flash},
    {"application/octet-stream", ContentKind::OctetStream},
    {"text/css", ContentKind::Css},
}};

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

std::string normalizeContentType(std::string_view headerValue) {
    std::string_view type = headerValue.substr(0, headerValue.find(';'));
    while (!type.empty() && isBlank(type.front())) type.remove_prefix(1);
    while (!type.empty() && isBlank(type.back())) type.remove_suffix(1);
    std::string result(type);
    for (char& c : result) c = lower(c);
    return result;
}

ContentKind classify(std::string_view contentType) {
    const std::string type = normalizeContentType(contentType);
    for (const auto& [name, kind] : kTypes)
        if (type == name) return kind;
    return ContentKind::Unknown;
}

std::string_view kindName(ContentKind kind) {
    for (const auto& [name, k] : kTypes)
        if (k == kind) return name;
    return "Unknown";
}

DisplayKind displayKind(ContentKind kind, std::string_view contentType) {
    switch (kind) {
        case ContentKind::Html:
            return DisplayKind::Document;
        case ContentKind::Gif:
        case ContentKind::Jpeg:
        case ContentKind::ProgressiveJpeg:
        case ContentKind::XBitmap:
            return DisplayKind::Image;
        case ContentKind::Script:
            return DisplayKind::Script;
        case ContentKind::Flash:
            return DisplayKind::Flash;
        default:
            return contentType.find("image") != std::string_view::npos ? DisplayKind::Image
                                                                       : DisplayKind::Flash;
    }
}

}  // namespace engine
