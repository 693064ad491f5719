#pragma once

#include <string>
#include <string_view>

namespace cli {

// The analysis text of a page (HTML) as terminal text: "<BR>" and "<HR>" become line breaks,
// every other tag goes, the common entities are decoded, and control characters other than the
// line break become spaces, so a page's title can never reach the terminal as an escape.
std::string plainText(std::string_view html);

}  // namespace cli
