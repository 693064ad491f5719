#pragma once

#include <string>
#include <string_view>

// Text on its way into a picture (the waterfall's labels and tips): element addresses come from
// hostile pages, so they are made drawable first, and the layout measures them without a font.
namespace report {

// Valid UTF-8 without control characters: every byte that does not start a well-formed UTF-8
// sequence (overlong forms and surrogates included), every C0 and C1 control but the line feed,
// DEL, and the non-characters U+FFFE and U+FFFF become U+FFFD. Keeps `keepNewlines` line feeds.
std::string drawableText(std::string_view text, bool keepNewlines = false);

// An estimate of the width of drawable text at `fontSize` pixels in a common sans-serif face,
// rather wide than narrow so that what the layout places does not collide.
double textWidth(std::string_view text, double fontSize, bool bold = false);

// The text, or as much of its start as fits `maxWidth` followed by "…" (nothing when not even
// that fits).
std::string elide(std::string_view text, double maxWidth, double fontSize, bool bold = false);

}  // namespace report
