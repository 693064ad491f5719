#include "engine/base/ContentKind.h"

#include <array>
#include <utility>

#include "engine/base/AsciiText.h"

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

}  // namespace

std::string normalizeContentType(std::string_view headerValue) {
    return toLower(trimmed(headerValue.substr(0, headerValue.find(';'))));
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
