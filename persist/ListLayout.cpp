#include "persist/ListLayout.h"

#include <optional>
#include <string>

#include "persist/SettingsMap.h"
#include "persist/SettingsStore.h"
#include "platform/RegistryNode.h"

namespace persist {
namespace {

platform::RegistryData intValue(std::string name, std::int32_t number) {
    return {std::move(name), platform::RegistryType::Int, number, {}};
}

// The stored display order, or nothing when none is stored or it is damaged. A damaged order is
// dropped whole rather than repaired: taking part of it could hide a column or show one twice.
std::optional<std::vector<std::int32_t>> readOrder(std::string_view section,
                                                   std::int32_t columnCount) {
    std::vector<std::int32_t> order;
    std::vector<bool> seen(static_cast<std::size_t>(columnCount), false);
    for (std::int32_t position = 0; position < columnCount; ++position) {
        const auto column = readIntValue(section, columnOrderName(position));
        if (!column) break;
        if (*column < 0 || *column >= columnCount) return std::nullopt;
        const auto index = static_cast<std::size_t>(*column);
        if (seen[index]) return std::nullopt;
        seen[index] = true;
        order.push_back(*column);
    }
    if (order.empty()) return std::nullopt;
    return order;
}

}  // namespace

std::vector<std::int32_t> ListLayout::completeOrder() const {
    std::vector<bool> placed(columns.size(), false);
    std::vector<std::int32_t> result;
    result.reserve(columns.size());
    for (const std::int32_t column : order) {
        if (column < 0 || static_cast<std::size_t>(column) >= columns.size()) continue;
        if (placed[static_cast<std::size_t>(column)]) continue;
        placed[static_cast<std::size_t>(column)] = true;
        result.push_back(column);
    }
    for (std::size_t column = 0; column < columns.size(); ++column) {
        if (!placed[column]) result.push_back(static_cast<std::int32_t>(column));
    }
    return result;
}

bool saveListLayout(std::string_view section, const ListLayout& layout) {
    std::vector<platform::RegistryData> values;
    values.reserve(2 * layout.columns.size() + layout.order.size() + 2);
    for (std::size_t i = 0; i < layout.columns.size(); ++i) {
        const int column = static_cast<int>(i);
        values.push_back(intValue(columnVisibleName(column), layout.columns[i].visible ? 1 : 0));
        values.push_back(intValue(columnSizeName(column), layout.columns[i].size));
    }
    for (std::size_t position = 0; position < layout.order.size(); ++position)
        values.push_back(
            intValue(columnOrderName(static_cast<int>(position)), layout.order[position]));
    values.push_back(intValue(std::string(kSortColumnName), layout.sortColumn));
    values.push_back(intValue(std::string(kSortDirectionName), layout.sortDirection));
    return replaceSection(section, values);
}

ListLayout loadListLayout(std::string_view section, const ListLayout& defaults) {
    ListLayout layout = defaults;
    const auto columnCount = static_cast<std::int32_t>(layout.columns.size());
    for (std::int32_t column = 0; column < columnCount; ++column) {
        ColumnLayout& entry = layout.columns[static_cast<std::size_t>(column)];
        if (const auto visible = readIntValue(section, columnVisibleName(column)))
            entry.visible = *visible != 0;
        if (const auto size = readIntValue(section, columnSizeName(column))) entry.size = *size;
    }
    if (auto order = readOrder(section, columnCount)) layout.order = std::move(*order);
    const auto sort = readIntValue(section, kSortColumnName);
    if (sort && *sort >= kNoSortColumn && *sort < columnCount) {
        layout.sortColumn = *sort;
        if (const auto direction = readIntValue(section, kSortDirectionName))
            layout.sortDirection = *direction;
    }
    return layout;
}

}  // namespace persist
