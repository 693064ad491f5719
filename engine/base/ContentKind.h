#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace engine {

// The classification of a response's content type.
enum class ContentKind : std::int32_t {
    Unknown = 0,
    Html = 1,             // text/html
    Gif = 2,              // image/gif
    Jpeg = 3,             // image/jpeg
    ProgressiveJpeg = 4,  // image/pjpeg
    XBitmap = 5,          // image/x-xbitmap
    Script = 6,           // application/x-javascript, text/javascript
    Flash = 7,            // application/x-shockwave-flash
    OctetStream = 8,      // application/octet-stream
    Css = 9,              // text/css
};

// The four groups the views sort elements into.
enum class DisplayKind : std::int32_t { Document = 0, Script = 1, Image = 2, Flash = 3 };

// A content type header value as the item keeps it: parameters cut at the first ";", surrounding
// blanks removed, lower case ("Text/HTML; charset=utf-8" gives "text/html").
std::string normalizeContentType(std::string_view headerValue);

// The kind of a content type; parameters and case do not matter. Unlisted types are Unknown.
ContentKind classify(std::string_view contentType);

// The first content type listed for the kind ("application/x-javascript" for Script), or
// "Unknown" for a kind without one.
std::string_view kindName(ContentKind kind);

// Documents, scripts, flash movies and images; an unlisted type counts as an image when its text
// contains "image", else as a flash movie.
DisplayKind displayKind(ContentKind kind, std::string_view contentType);

}  // namespace engine
