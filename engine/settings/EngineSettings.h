#pragma once

#include "engine/settings/ConnectionSettings.h"
#include "engine/settings/CrawlLimits.h"
#include "engine/settings/OperationSettings.h"

namespace engine {

// The three records that configure the download engine, as a download run's owner holds them.
struct EngineSettings {
    OperationSettings operation;
    ConnectionSettings connection;
    CrawlLimits limits;

    bool operator==(const EngineSettings&) const = default;
};

// Reads the operation settings, then the connection settings ("Settings\Connection"), then the
// crawl limits ("Settings\AutoLoad") from the current user's settings. A value that cannot be
// read (missing, of the wrong type, or a stored -1) leaves its field at the default; texts are
// cut to 255 characters. ShowOrig and Authentication are on for any stored number but 0; a
// Proxy or AutoCheck outside 0 to 2 is taken as missing; Enabled is always on after loading.
// Never fails: an unreadable store gives the defaults.
EngineSettings loadSettings();

// Writes every value of the three records, numbers as 32-bit values (flags as 0 or 1) and texts
// as strings, creating the keys when they are missing; Enabled is written as set. False when a
// write failed.
bool saveSettings(const EngineSettings& settings);

}  // namespace engine
