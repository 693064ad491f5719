#pragma once

#include <optional>
#include <string>
#include <vector>

// A report definitions file that could not be read is replaced by the built-ins when the
// program ends. Before that, the user hears what it held, as far as it could be read.
namespace report {

struct DamagedDefinitions {
    std::string cause;                 // the reader's message ("Unsupported file version", ...)
    std::vector<std::string> reports;  // names of the reports read before the damage
    std::vector<std::string> styles;   // names of the style sets read before the damage
};

// None when the file is missing, empty (it held nothing) or reads whole.
std::optional<DamagedDefinitions> inspectDefinitions(const std::string& path);

}  // namespace report
