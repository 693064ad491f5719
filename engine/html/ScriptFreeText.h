#pragma once

#include <string>
#include <string_view>

namespace engine {

// The text of a downloaded document as its parsed tag tree gives it back without scripts: every
// SCRIPT element the parser sees (start tag through closing tag, or to the end of the document
// when it is not closed) is cut out and every other byte is kept as it was. What the parser does
// not see as a SCRIPT element stays, so a script inside a comment or inside an attribute value
// is kept as text. The result is never longer than `html`, and parsing it again finds no SCRIPT
// element. Never fails; time and memory grow linearly with the size of `html`.
std::string withoutScripts(std::string_view html);

}  // namespace engine
