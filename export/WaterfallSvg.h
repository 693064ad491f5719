#pragma once

#include <string>

#include "report/WaterfallDrawing.h"

// A waterfall picture as a standalone SVG 1.1 file: every shape of the drawing in its order,
// colours inline, no style sheet, script, image or link, so the file shows the same wherever it
// is opened. Every text is made drawable and escaped, so an element's name from a hostile page
// stays text. Each bar's area carries its tip as a <title>, which viewers show on hover.
namespace exporting {

std::string waterfallSvg(const report::WaterfallDrawing& drawing);

// Writes waterfallSvg(drawing) to `path` through saveText (a failed write keeps any earlier
// file). False with `error` set on failure.
bool writeWaterfallSvg(const std::string& path, const report::WaterfallDrawing& drawing,
                       std::string& error);

}  // namespace exporting
