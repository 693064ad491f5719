#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "engine/figures/PageFigures.h"
#include "report/SiteColumns.h"

// The columns of a page's element list and the texts of its cells, kept here so that the
// desktop's element list and the command line's element table show an item the same way. A
// column is identified by a single bit; the list layout stores these numbers.
namespace report {

inline constexpr std::uint32_t kElementName = 1;
inline constexpr std::uint32_t kElementHost = 2;
inline constexpr std::uint32_t kElementProtocol = 4;
inline constexpr std::uint32_t kElementType = 8;
inline constexpr std::uint32_t kElementStatus = 16;
inline constexpr std::uint32_t kElementSize = 32;
inline constexpr std::uint32_t kElementTime = 64;
inline constexpr std::uint32_t kElementSpeed = 128;
inline constexpr std::uint32_t kElementConnectTime = 256;
inline constexpr std::uint32_t kElementSendTime = 512;
inline constexpr std::uint32_t kElementReceiveTime = 1024;
inline constexpr std::uint32_t kElementWaitTime = 2048;
inline constexpr std::uint32_t kElementPercentTime = 4096;

inline constexpr std::size_t kElementColumnCount = 13;

// Every column identifier in display order, "Element" to "% Time".
const std::array<std::uint32_t, kElementColumnCount>& elementColumns();

// "Element", "Host", ..., "% Time"; empty for any other identifier.
std::string elementColumnHeader(std::uint32_t column);

// Whether the column shows a number (sorted by value, aligned right).
bool isNumericElementColumn(std::uint32_t column);

// One item's cell in the column, from its figures for the connection the list shows. `live`
// while a download runs anywhere in the program: Time and Speed then come from the item itself
// (its measured record once it stands Ready, Completed or Error, else the time its stopwatches
// show so far and the bytes received over that time), and "% Time" is empty. Texts sort as
// texts, sizes and times by whole numbers, speeds and shares by doubles.
SiteCell elementCell(const engine::ItemFigures& item, std::uint32_t column, bool live);

// An item with no record yet (still loading, or failed before a response) takes its host and
// path from the address it was created for, so a row never shows an empty name.
engine::ItemFigures withAddress(engine::ItemFigures figures, const engine::WebItem& item);

}  // namespace report
