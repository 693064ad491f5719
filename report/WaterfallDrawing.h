#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "engine/figures/Waterfall.h"

// The picture of a page's waterfall as plain shapes in pixels, so that every front end draws
// the same thing: the SVG export writes the shapes one by one, the desktop view paints them and
// asks the hit areas what lies under the mouse. Nothing here knows a toolkit; the coordinates
// are final (origin top left, y downwards) and shapes are in painting order.
namespace report {

// What a shape is painted with. colourOf gives the colour; the desktop view and the SVG use the
// same table.
enum class Paint : std::uint8_t {
    Background,
    Text,
    MutedText,    // headers, lane numbers, tick labels
    Grid,         // the ticks' vertical lines
    RowStripe,    // every other row, for the eye
    FailedRow,    // a failed element's row (or, by lanes, its span): red
    RedirectRow,  // a redirected element's row (or span): yellow
    Connect,      // orange
    Send,         // grey
    Wait,         // green
    Receive,      // blue
    EmptyBar,     // an element that took no time at this connection
    BrowseLine,   // the browse time, and the mark over the bars that hold it up
    DownloadLine  // the download time
};

// "#rrggbb".
std::string_view colourOf(Paint paint);
// A short name for the paint ("connect", "failed-row"), used as a class name in the SVG.
std::string_view nameOf(Paint paint);

struct Box {
    double x = 0, y = 0, width = 0, height = 0;
    bool contains(double px, double py) const {
        return px >= x && px < x + width && py >= y && py < y + height;
    }
};

struct RectShape {
    Box box;
    Paint fill = Paint::Background;
};

struct LineShape {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    Paint stroke = Paint::Grid;
    double width = 1;
};

enum class TextAnchor : std::uint8_t { Start, Middle, End };

// One line of text; `x` is where the anchor lies, `y` the baseline. The text is drawable UTF-8
// (DrawingText.h) and, measured by textWidth, fits in `maxWidth` pixels: a front end whose font
// runs wider may elide it to that width.
struct TextShape {
    double x = 0, y = 0;
    std::string text;
    TextAnchor anchor = TextAnchor::Start;
    Paint colour = Paint::Text;
    bool bold = false;
    double maxWidth = 0;
};

using Shape = std::variant<RectShape, LineShape, TextShape>;

// The area of one bar (the height of its row, at least a few pixels wide) and what it shows.
struct BarHit {
    Box box;
    int row = 0;   // index in Waterfall::rows
    int item = 0;  // index in PageFigures::items: the element to select in the other views
    // Its figures at this connection and at "Actual Speed", one line each ("\n" between).
    std::string tip;
};

enum class WaterfallRows : std::uint8_t {
    Elements,  // one row per element, in the simulation's order
    Lanes      // one row per connection of the four-lane browser
};

struct WaterfallLayout {
    WaterfallRows rows = WaterfallRows::Elements;
    double width = 1000;    // pixels; raised when too narrow for the columns
    double fontSize = 12;   // pixels
    double rowHeight = 20;  // pixels
    bool heading = true;    // a first line with the connection's name and the page's address
};

struct WaterfallDrawing {
    double width = 0, height = 0;
    double fontSize = 12;  // of every text; sans-serif
    std::vector<Shape> shapes;
    // In row order. By lanes, where bars narrower than a hit's least width lie side by side,
    // a later bar's area covers part of the one before.
    std::vector<BarHit> hits;

    // The index in `hits` of the bar at the point (the later one where two cover it), or -1.
    int hitAt(double x, double y) const;
};

// The picture of `waterfall`. `actual`, the same page's waterfall at "Actual Speed", adds its
// figures to the tips (none: the tips show this connection only).
WaterfallDrawing drawWaterfall(const engine::Waterfall& waterfall, const WaterfallLayout& layout,
                               const engine::Waterfall* actual = nullptr);

}  // namespace report
