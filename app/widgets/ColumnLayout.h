#pragma once

#include <optional>
#include <vector>

namespace app {

// One header column as the proportional layout sees it, in display order.
struct ProportionalColumn {
    int percent = 0;        // share of the client width
    int minimumPixels = 0;  // never narrower than this
};

// The proportional layout of a list's header columns: each column takes its share of the
// client width. When the shares add up to a little more than 100 (100 < S < 105) the excess is
// taken evenly from every column and the last one is narrowed to close the gap. Unless forced,
// nothing is laid out when the shares clearly no longer describe the whole list (S <= 94 or
// S >= 106): the user has sized the columns by hand. The first column is also at least
// firstColumnMinimum wide. Widths in whole pixels, in the order given.
std::optional<std::vector<int>> proportionalWidths(const std::vector<ProportionalColumn>& columns,
                                                   int clientWidth, int firstColumnMinimum,
                                                   bool forced);

}  // namespace app
