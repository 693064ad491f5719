#pragma once

#include <string>

#include "engine/figures/Waterfall.h"

// The words of the waterfall picture: what a row is called and what its tip says.
namespace report {

// The element's file name with its query ("logo.gif", "search?q=1"), the last folder for an
// address that ends in "/" ("docs/"), the host for a site's root ("example.com/"); followed by
// " · host" when the element lives on another host than `pageHost`. Drawable (DrawingText.h).
std::string rowLabel(const engine::WaterfallRow& row, const std::string& pageHost);

// The lines of a bar's tip, "\n" between them: the address; the lane and the span at the
// waterfall's connection; its phases; size, status, redirection and error; and, given the same
// row at "Actual Speed" (`actual`), the measured phases; and when the measurement began the
// transfer. Drawable, line feeds kept.
std::string rowTip(const engine::WaterfallRow& row, int connectionIndex,
                   const engine::WaterfallRow* actual);

}  // namespace report
