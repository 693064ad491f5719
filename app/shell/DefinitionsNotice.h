#pragma once

#include <QString>

#include <optional>
#include <string>

namespace app {

// What the user hears of a report definitions file that exists but could not be read: the
// cause, what it held as far as it could be read, and where a copy of it is kept (the file
// itself is replaced by the built-ins when the program ends). Keeps that copy as
// "<file>.damaged". None when the file is missing, empty or reads whole. Read it before the
// definitions are loaded.
std::optional<QString> reportDefinitionsNotice(const std::string& path);

}  // namespace app
