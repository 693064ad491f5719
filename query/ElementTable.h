#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "query/QueryTable.h"

namespace engine {
class PageEntry;
}

namespace query {

// The nineteen columns every statistic and report query runs over: one row per item of the
// current page for the selected connection index.
inline constexpr std::array<std::string_view, 19> kElementColumns{
    "ID",
    "URL",
    "Host",
    "Element",
    "Protocol",
    "Type",
    "Time",
    "Size",
    "TimeWithChildren",
    "SizeWithChildren",
    "Speed",
    "PercentOfSize",
    "PercentOfTime",
    "PercentOfSizeWithChildren",
    "PercentOfTimeWithChildren",
    "BaseURL",
    "ConnectTime",
    "SendTime",
    "ReceiveTime",
};

// The page's items in pre-order (the page's document first), IDs from 1, values for connection
// `connectionIndex` (0 to 10). Once the page has settled, its page-wide figures for the index
// (subtree sums and shares) are computed first; before that each item contributes its own record
// only.
QueryTablePtr buildElementTable(engine::PageEntry& page, int connectionIndex);

// The one-row table statements are validated against: a value of every kind in every column.
const QueryTable& testTable();

// Runs the statement over the test table. Nothing when it passed, otherwise the text to show:
// "Query Error.\n\nQuery: \n'<statement>'.\n\nDescription:\n<message>".
std::optional<std::string> validateQuery(std::string_view statement);

}  // namespace query
