#include "report/DrawingText.h"

#include <cstdint>

namespace report {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";
constexpr std::string_view kEllipsis = "\xE2\x80\xA6";

// The length of the well-formed UTF-8 sequence at `i` and its code point; 0 when there is none.
std::size_t sequenceAt(std::string_view text, std::size_t i, char32_t& code) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    if (lead < 0x80) {
        code = lead;
        return 1;
    }
    std::size_t length = 0;
    char32_t minimum = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, code = lead & 0x1F, minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, code = lead & 0x0F, minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, code = lead & 0x07, minimum = 0x10000;
    } else {
        return 0;
    }
    if (i + length > text.size()) return 0;
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
        code = (code << 6) | (byte(i + k) & 0x3F);
    }
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    if (code < minimum || code > 0x10FFFF || surrogate) return 0;
    return length;
}

bool drawable(char32_t code, bool keepNewlines) {
    if (code == '\n') return keepNewlines;
    if (code < 0x20 || (code >= 0x7F && code <= 0x9F)) return false;
    return code != 0xFFFE && code != 0xFFFF;
}

// Widths in em of a sans-serif face, by character class.
double advance(char32_t code) {
    if (code == ' ') return 0.32;
    if (code < 0x80) {
        const char c = static_cast<char>(code);
        if (std::string_view("iljtfrI.,:;'!|()[]").find(c) != std::string_view::npos) return 0.38;
        if (std::string_view("mwMW@%").find(c) != std::string_view::npos) return 0.95;
        if (c >= 'A' && c <= 'Z') return 0.72;
        return 0.62;
    }
    return 1.0;  // other scripts and symbols: a full em
}

}  // namespace

std::string drawableText(std::string_view text, bool keepNewlines) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        char32_t code = 0;
        const std::size_t length = sequenceAt(text, i, code);
        if (length == 0 || !drawable(code, keepNewlines)) {
            out += kReplacement;
            i += length == 0 ? 1 : length;
        } else {
            out.append(text.substr(i, length));
            i += length;
        }
    }
    return out;
}

double textWidth(std::string_view text, double fontSize, bool bold) {
    double em = 0;
    for (std::size_t i = 0; i < text.size();) {
        char32_t code = 0;
        const std::size_t length = sequenceAt(text, i, code);
        em += length == 0 ? 1.0 : advance(code);
        i += length == 0 ? 1 : length;
    }
    return em * fontSize * (bold ? 1.08 : 1.0);
}

std::string elide(std::string_view text, double maxWidth, double fontSize, bool bold) {
    if (textWidth(text, fontSize, bold) <= maxWidth) return std::string(text);
    const double room = maxWidth - textWidth(kEllipsis, fontSize, bold);
    if (room < 0) return "";
    double used = 0;
    std::size_t cut = 0;
    for (std::size_t i = 0; i < text.size();) {
        char32_t code = 0;
        std::size_t length = sequenceAt(text, i, code);
        const double width = (length == 0 ? 1.0 : advance(code)) * fontSize * (bold ? 1.08 : 1.0);
        if (length == 0) length = 1;
        if (used + width > room) break;
        used += width;
        i += length;
        cut = i;
    }
    return std::string(text.substr(0, cut)) + std::string(kEllipsis);
}

}  // namespace report
