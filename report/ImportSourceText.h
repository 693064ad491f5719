#pragma once

#include <string>
#include <string_view>

namespace report {

// "Imported from capture.har": where an imported page's measurements came from, as the page
// details and the analysis reports show it (measured pages show nothing in its place).
inline std::string importedFromText(std::string_view source) {
    return "Imported from " + std::string(source);
}

}  // namespace report
