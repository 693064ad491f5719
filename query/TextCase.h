#pragma once

#include <string>
#include <string_view>

// Letter case of single-byte text, independent of the program's locale: only "A" to "Z" have a
// lower case, so statements and cell texts compare the same everywhere.
namespace query {

char toLower(char c);
std::string toLower(std::string_view text);
// -1, 0 or +1, comparing byte by byte with "A" to "Z" taken as "a" to "z" and other bytes by
// their unsigned value; a text that is a prefix of the other comes first.
int compareIgnoringCase(std::string_view a, std::string_view b);
bool equalIgnoringCase(std::string_view a, std::string_view b);

}  // namespace query
