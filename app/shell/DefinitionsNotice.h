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
// A folder or an unreadable file in the definitions file's place is told too: the program can
// neither read nor save its definitions there.
std::optional<QString> reportDefinitionsNotice(const std::string& path);

// What the user hears of a statistics definitions file that exists but could not be read
// (`cause`, the reader's message, is not empty): the built-in statistics are used, and a copy
// is kept as "<file>.damaged" (the file itself is replaced when the program ends). A folder or
// an unreadable file in its place is told too. None when the file is missing or empty, or read.
std::optional<QString> statisticsDefinitionsNotice(const std::string& path,
                                                   const std::string& cause);

// What the user hears of a settings store that exists but cannot be used: a damaged one (the
// store moves it aside to "<file>.damaged-N" at its first read, and the defaults apply), or a
// folder or unreadable file in its place (the defaults apply and no change can be kept). None
// when the store is missing, empty or reads whole. Read it before the first setting is read.
std::optional<QString> settingsStoreNotice();

}  // namespace app
