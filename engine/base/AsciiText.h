#pragma once

#include <string>
#include <string_view>

namespace engine {

// Letter case and blanks of single-byte text, independent of the program's locale: only "A" to
// "Z" have a lower case (and "a" to "z" an upper one), so addresses, tags, headers, statements
// and cell texts compare the same everywhere. The one set of these helpers in the core.

char toLower(char c);
char toUpper(char c);
std::string toLower(std::string_view text);
std::string toUpper(std::string_view text);

// -1, 0 or +1, comparing byte by byte with "A" to "Z" taken as "a" to "z" and other bytes by
// their unsigned value; a text that is a prefix of the other comes first.
int compareIgnoringCase(std::string_view a, std::string_view b);
bool equalIgnoringCase(std::string_view a, std::string_view b);
bool startsWithIgnoringCase(std::string_view text, std::string_view prefix);

// Space, tab, line feed, vertical tab, form feed and carriage return.
bool isAsciiSpace(char c);
// Without the ASCII spaces at either end: typed text, header values, registry keys.
std::string_view trimmed(std::string_view text);
// Without every byte up to 0x20 (controls and space) at either end, as browsers strip an
// address before they split it.
std::string_view trimmedControls(std::string_view text);

}  // namespace engine
