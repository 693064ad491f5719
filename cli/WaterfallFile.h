#pragma once

#include <optional>
#include <string>

#include "cli/Pages.h"

namespace cli {

// Writes the waterfall of the run's current page (currentPage) at connection index `connection`
// as SVG to `path`, one row per element, its tips with the "Actual Speed" figures. A run without
// pages draws an empty waterfall. The message to print when the file cannot be written.
std::optional<std::string> writeWaterfall(const std::string& path, const Pages& pages,
                                          int connection);

}  // namespace cli
