#include "engine/items/SaveElement.h"

#include "xlib/Exception.h"
#include "xlib/SaveStream.h"

namespace engine {
namespace {

std::string fixedFilter(std::string_view description, std::string_view pattern) {
    return std::string(description) + "|" + std::string(pattern) + "|All Files (*.*)|*.*||";
}

// The extension of the path's last segment; the query and folder names are not looked at, so
// "a.b/c" or "show.php?x.y" give no extension.
std::string pathExtension(std::string_view objectPath) {
    objectPath = objectPath.substr(0, objectPath.find('?'));
    const std::size_t slash = objectPath.rfind('/');
    if (slash != std::string_view::npos) objectPath.remove_prefix(slash + 1);
    const std::size_t dot = objectPath.rfind('.');
    if (dot == std::string_view::npos) return {};
    const std::string_view extension = objectPath.substr(dot + 1);
    if (extension.empty() || extension.size() >= 6) return {};
    return std::string(extension);
}

}  // namespace

SaveElement::DialogChoice SaveElement::choiceFor(ContentKind kind, std::string_view objectPath) {
    switch (kind) {
        case ContentKind::Html:
            return {"html", fixedFilter("HTML Files (*.html)", "*.html")};
        case ContentKind::Gif:
            return {"gif", fixedFilter("GIF Files (*.gif)", "*.gif")};
        case ContentKind::Jpeg:
            return {"jpg", fixedFilter("JPEG Files (*.jpg)", "*.jpg")};
        case ContentKind::ProgressiveJpeg:
            // The pattern has always been "*.jpg" here.
            return {"pjpg", fixedFilter("PJPEG Files (*.pjpg)", "*.jpg")};
        case ContentKind::XBitmap:
            return {"bmp", fixedFilter("Bitmap Files (*.bmp)", "*.bmp")};
        case ContentKind::Script:
            return {"js", fixedFilter("JavaScript Files (*.js)", "*.js")};
        case ContentKind::Flash:
            return {"swf", fixedFilter("Flash Application Files (*.swf)", "*.swf")};
        default:
            break;
    }
    const std::string extension = pathExtension(objectPath);
    if (extension.empty()) return {"", "All Files (*.*)|*.*||"};
    return {extension, fixedFilter(extension + " Files (*." + extension + ")", "*." + extension)};
}

bool SaveElement::save(const WebItem& item, const std::string& path) {
    const std::size_t slash = path.rfind('/');
    folder_ = slash == std::string::npos ? std::string() : path.substr(0, slash == 0 ? 1 : slash);
    const std::shared_ptr<const std::string> body = item.body();
    try {
        xlib::SaveStream out(path);
        if (!body->empty() && out.write(body->data(), body->size()) != body->size()) return false;
        out.commit();
        return true;
    } catch (const xlib::Exception&) {
        return false;
    }
}

}  // namespace engine
