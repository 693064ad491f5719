#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "engine/schedule/PageEntry.h"

// The page status list (one row: the current page) and the status text of a page, kept here so
// that every front end reports a download the same way.
namespace report {

inline constexpr std::size_t kPageStatusColumnCount = 6;
inline constexpr int kPageStatusMinimumWidth = 50;  // pixels, every column

enum class PageStatusColumn { Page, Status, Elements, Size, Time, Speed };

// "Page", "Status", "Elements", "Size", "Time", "Speed".
const char* pageStatusHeader(PageStatusColumn column);
// The default width in percent of the list's width.
int pageStatusWidth(PageStatusColumn column);

// What the row shows of a page, read from it at one moment.
struct PageStatusFacts {
    std::string address;
    std::uint32_t state = 0;  // a PageState value
    std::uint32_t finished = 0;
    std::uint32_t expected = 0;
    std::uint32_t pageSize = 0;
    bool downloadRunning = false;  // anywhere in the program
    std::uint32_t elapsedMs = 0;   // of the page's own download
    std::uint32_t downloadTime = 0;
    double speed = 0;
};

// Reads the facts of a page for a connection index (0 to 10). Takes the figures lock.
PageStatusFacts pageStatusFacts(engine::PageEntry& page, int connectionIndex, bool downloadRunning);

// The row's texts in column order, and the Status cell's percentage while the page downloads
// (none otherwise: the cell shows its text).
struct PageStatusRow {
    std::array<std::string, kPageStatusColumnCount> texts;
    std::optional<int> progress;

    const std::string& text(PageStatusColumn column) const {
        return texts[static_cast<std::size_t>(column)];
    }
};

// The row of a page; no page gives "No Page" in the Page cell and nothing else.
PageStatusRow pageStatusRow(const std::optional<PageStatusFacts>& page);

// The page's status text by its state ("Downloading: '%s'..." and so on); empty for any value
// that is not a single state.
std::string pageStatusText(std::uint32_t state, const std::string& address);
// The header of a view that reports on a page: its status text, "Web Item Status" for none.
std::string pageStatusHeaderText(const engine::PageEntry* page);
// A header is replaced only when the new text differs other than by the case of its letters.
bool headerTextChanged(const std::string& shown, const std::string& next);

}  // namespace report
