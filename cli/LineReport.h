#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "cli/Pages.h"
#include "engine/figures/LineModel.h"
#include "engine/figures/NetworkLine.h"

namespace cli {

// Each page of the JSON document gains "line": {"name", "down", "up", "rtt", "load",
// "render"} (bits per second, milliseconds), the page's measurement restated for `line` by
// engine::modelLine with the browser's `cost` (then also "commit" and "request" when not 0).
// The document's "pages" are `pages` without the empty entries, in order.
void addLineFigures(nlohmann::json& document, const Pages& pages, const engine::NetworkLine& line,
                    const engine::BrowserCost& cost = {});

// The table of the pages restated for `line`: per page its load and render time, then the
// current page's elements as the modelled browser fetched them.
std::string lineTable(const Pages& pages, const engine::NetworkLine& line,
                      const engine::BrowserCost& cost = {});

// Writes the current page's waterfall on `line` as SVG; an error message when it cannot.
std::optional<std::string> writeLineWaterfall(const std::string& path, const Pages& pages,
                                              const engine::NetworkLine& line,
                                              const engine::BrowserCost& cost = {});

}  // namespace cli
