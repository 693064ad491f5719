#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/schedule/PageEntry.h"

// The default output of the command-line program: plain text tables for a terminal or a file.
// Columns are as wide as their widest cell (counted in UTF-8 characters) and two spaces apart;
// addresses are never cut, so a line is as long as it needs to be. Control characters in cells
// (titles and types come from servers) are shown as spaces, so a cell can neither break a line
// nor send a terminal an escape sequence.
namespace cli {

// The site tree: URL, Title, Status, Size, Elements, Time (download / browse) and Speed with the
// texts the site tree shows for `connectionIndex`, one row per page in the order given, each
// address indented by two spaces per level below its root page. Pages linked but not loaded are
// left out.
std::string siteTable(const std::vector<std::shared_ptr<engine::PageEntry>>& pages,
                      int connectionIndex);

// The page's items for `connectionIndex` in depth-first order, each address indented by two spaces
// per level: Status (the HTTP status code, else the transfer's error text, else the phase),
// Type, Size and the Connect, Send, Wait, Receive and Total times.
std::string elementTable(engine::PageEntry& page, int connectionIndex);

// A line naming the connection the times are for, the site table, then for each loaded page a
// blank line, its address and state, and its element table; the pages linked but not loaded
// are counted in one closing line (`crawl`: the run crawled, so a limit stopped it).
std::string tableReport(const std::vector<std::shared_ptr<engine::PageEntry>>& pages,
                        int connectionIndex, bool crawl = false);

}  // namespace cli
