#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <variant>

#include "engine/figures/ConnectionSpeed.h"
#include "engine/schedule/PageEntry.h"

// The columns of the site tree and the texts of its cells, kept here so that every front end
// shows a page the same way. A column is identified by a single bit; the list layout stores
// these numbers.
namespace report {

inline constexpr std::uint32_t kColumnUrl = 1;
inline constexpr std::uint32_t kColumnTitle = 2;
inline constexpr std::uint32_t kColumnStatus = 4;
inline constexpr std::uint32_t kColumnSize = 8;
inline constexpr std::uint32_t kColumnElements = 16;
// The connection selected in the views.
inline constexpr std::uint32_t kColumnTime = 32;
inline constexpr std::uint32_t kColumnSpeed = 64;
// One column per connection index: 128 for index 0 ("Actual Speed") up to 131072 for index 10.
inline constexpr std::uint32_t kColumnFirstConnection = 128;
inline constexpr std::uint32_t kColumnClass = 262144;

inline constexpr std::size_t kSiteColumnCount = 7 + engine::kConnectionCount + 1;

// Every column identifier in display order: URL to Speed, the eleven connections, Class.
const std::array<std::uint32_t, kSiteColumnCount>& siteColumns();

// The column of a connection index (0 to 10); 0 for any other index.
std::uint32_t connectionColumn(int connectionIndex);

// "URL", ..., a connection's name, "Class"; "Unknown" for any other identifier.
std::string columnHeader(std::uint32_t column);
// The default width in percent of the list's width; 0 for an unknown identifier.
int columnWidth(std::uint32_t column);

// The value a list sorts a site tree cell by, never its text: none for an empty cell, a whole
// number for sizes (bytes), element counts, times (milliseconds), states (the PageState bit) and
// classes (the page class 0 to 6), a double for speeds (bytes per second), the text for URL and
// Title.
using SiteSortValue = std::variant<std::monostate, std::int64_t, double, std::string>;

// One cell of the site tree: what it shows and what it sorts by.
struct SiteCell {
    std::string text;
    SiteSortValue sortValue;

    bool operator==(const SiteCell&) const = default;
};

// Building blocks of any list's cells: a text sorted as text (none when empty), a text sorted by
// a number, and a measurement brought into the display formats' signed 32-bit range.
SiteCell textCell(std::string text);
SiteCell numberCell(std::string text, std::int64_t value);
std::int32_t clampedToInt32(std::uint32_t value);

// The page's cell in the column. `connectionIndex` is the connection index the views show,
// used by Time and Speed; an index outside 0 to 10 reads as 0. Cells with nothing to show in the
// page's state are empty, with no sort value. A Time or connection cell sorts by the download
// time of a loaded page, by the time taken so far while the page is in process. Takes the page's
// figures (and the figures lock) for the time and speed columns of a loaded page.
SiteCell siteCell(engine::PageEntry& page, std::uint32_t column, int connectionIndex);

// The text of siteCell().
std::string cellText(engine::PageEntry& page, std::uint32_t column, int connectionIndex);

// The order of two sort values of one column: -1, 0 or +1. Empty cells come first, numbers
// compare by value, texts byte by byte with ASCII letters folded.
int compareSortValues(const SiteSortValue& a, const SiteSortValue& b);

// The connection selector's caption for a connection index; for an index outside 0 to 10 (no
// single connection applies) the caption for the currently selected one.
std::string connectionSelectorText(int index);

}  // namespace report
