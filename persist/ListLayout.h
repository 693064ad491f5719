#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace persist {

// The sort column of a list that is not sorted.
inline constexpr std::int32_t kNoSortColumn = -1;

// One column of a list's layout, by column number.
struct ColumnLayout {
    bool visible = true;
    std::int32_t size = 0;  // width in pixels

    bool operator==(const ColumnLayout&) const = default;
};

// The layout of one customisable list as its section stores it.
struct ListLayout {
    std::vector<ColumnLayout> columns;  // indexed by column number
    // Column numbers in display order, each below columns.size() and none twice. May be shorter
    // than the column count; the columns it does not name follow (see completeOrder).
    std::vector<std::int32_t> order;
    std::int32_t sortColumn = kNoSortColumn;
    std::int32_t sortDirection = 0;

    // Every column number once: those of `order` first, then the others by number.
    std::vector<std::int32_t> completeOrder() const;

    bool operator==(const ListLayout&) const = default;
};

// Replaces the section whole, in one change of the store, by "<column>_visible" (1 or 0) and
// "<column>_size" for every column, "<position>_order" for every entry of the order, "sort" and
// "direct"; values of columns the list no longer has disappear with it. False when the store
// could not be written.
bool saveListLayout(std::string_view section, const ListLayout& layout);

// The stored layout of a list with defaults.columns.size() columns. Every missing value keeps
// the one of `defaults`:
// - a column's visible flag (non-zero is visible) and size, each on its own;
// - the order is read from position 0 while the value exists and the position is below the
//   column count, so a stored order with a gap is taken up to the gap; when nothing is read, or
//   an entry names no column or repeats one, the default order is kept whole;
// - "sort" is taken when it names a column or is kNoSortColumn, and only then "direct" if stored.
ListLayout loadListLayout(std::string_view section, const ListLayout& defaults);

}  // namespace persist
