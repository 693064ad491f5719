#include "persist/WindowPlacement.h"

#include <array>
#include <string_view>

#include "persist/SettingsMap.h"
#include "persist/SettingsStore.h"

namespace persist {
namespace {

// The fields of a placement in the order of kPlacementNames.
std::array<std::int32_t*, kPlacementNames.size()> fieldsInStoreOrder(WindowPlacement& p) {
    return {&p.flags,
            &p.maxPosition.x,
            &p.maxPosition.y,
            &p.minPosition.x,
            &p.minPosition.y,
            &p.normalPosition.left,
            &p.normalPosition.right,
            &p.normalPosition.top,
            &p.normalPosition.bottom,
            &p.showCmd};
}

bool writeBar(const IntSetting& setting, bool visible) {
    return setting.set(visible ? 1 : 0);
}

bool isShownUnlessZero(const IntSetting& setting) {
    return readIntValue(setting.section, setting.name) != 0;
}

}  // namespace

bool saveWindowPlacement(const WindowPlacement& placement, const BarVisibility& bars) {
    WindowPlacement copy = placement;
    const auto fields = fieldsInStoreOrder(copy);
    bool ok = true;
    for (std::size_t i = 0; i < fields.size(); ++i)
        ok = writeIntValue(section::kMainWindow, kPlacementNames[i], *fields[i]) && ok;
    ok = writeBar(setting::kToolBarVisible, bars.toolBar) && ok;
    ok = writeBar(setting::kAddressBarVisible, bars.addressBar) && ok;
    ok = writeBar(setting::kStatusVisible, bars.statusBar) && ok;
    return ok;
}

std::optional<WindowPlacement> readSavedPlacement() {
    WindowPlacement placement;
    const auto fields = fieldsInStoreOrder(placement);
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const auto stored = readIntValue(section::kMainWindow, kPlacementNames[i]);
        if (!stored) return std::nullopt;
        *fields[i] = *stored;
    }
    return placement;
}

WindowPlacement defaultPlacement(WindowPlacement current, std::int32_t workWidth,
                                 std::int32_t workHeight) {
    current.flags = 0;
    current.showCmd = kShowRestore;
    current.minPosition = {kDefaultMinimisedX, kDefaultMinimisedY};
    const std::int32_t left = (workWidth - kDefaultWindowWidth) / 2;
    const std::int32_t top = (workHeight - kDefaultWindowHeight) / 2;
    current.normalPosition = {left, top, workWidth - left, workHeight - top};
    return current;
}

WindowPlacement restoreWindowPlacement(const WindowPlacement& current, std::int32_t workWidth,
                                       std::int32_t workHeight) {
    auto placement = readSavedPlacement();
    if (!placement) return defaultPlacement(current, workWidth, workHeight);
    placement->flags = 0;
    switch (placement->showCmd) {
        case kShowHidden:
        case kShowMinimised:
        case kShowMinimisedInactive:
        case kShowMaximised:
            placement->showCmd = kShowRestore;
            break;
        default:
            break;
    }
    return *placement;
}

BarVisibility readBarVisibility() {
    return {isShownUnlessZero(setting::kToolBarVisible),
            isShownUnlessZero(setting::kAddressBarVisible),
            isShownUnlessZero(setting::kStatusVisible)};
}

}  // namespace persist
