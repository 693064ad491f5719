#pragma once

#include <cstdint>
#include <optional>

namespace persist {

// The show states a placement record can hold, as the numbers the store keeps.
inline constexpr std::int32_t kShowHidden = 0;
inline constexpr std::int32_t kShowNormal = 1;
inline constexpr std::int32_t kShowMinimised = 2;
inline constexpr std::int32_t kShowMaximised = 3;
inline constexpr std::int32_t kShowMinimisedInactive = 6;
inline constexpr std::int32_t kShowRestore = 9;

// The size of the restored rectangle used when no complete placement is stored, and the
// minimised position that goes with it.
inline constexpr std::int32_t kDefaultWindowWidth = 870;
inline constexpr std::int32_t kDefaultWindowHeight = 570;
inline constexpr std::int32_t kDefaultMinimisedX = 500;
inline constexpr std::int32_t kDefaultMinimisedY = 345;

// The main window's placement record: the numbers the windowing system reports, unchanged.
struct WindowPlacement {
    struct Point {
        std::int32_t x = 0;
        std::int32_t y = 0;
        bool operator==(const Point&) const = default;
    };
    struct Rect {
        std::int32_t left = 0;
        std::int32_t top = 0;
        std::int32_t right = 0;
        std::int32_t bottom = 0;
        bool operator==(const Rect&) const = default;
    };

    std::int32_t flags = 0;
    std::int32_t showCmd = kShowNormal;
    Point minPosition;
    Point maxPosition;
    Rect normalPosition;

    bool operator==(const WindowPlacement&) const = default;
};

// Which of the main window's bars are shown.
struct BarVisibility {
    bool toolBar = true;
    bool addressBar = true;
    bool statusBar = true;

    bool operator==(const BarVisibility&) const = default;
};

// Writes the placement value by value and the three bar flags (1 shown, 0 hidden) into
// "Main Window". Other values and the sub-keys of the section stay. False when a write failed;
// the remaining values are written all the same.
bool saveWindowPlacement(const WindowPlacement& placement, const BarVisibility& bars);

// The stored placement exactly as stored, or nothing when any of its ten values is missing
// (reading stops at the first missing one, in the order of kPlacementNames).
std::optional<WindowPlacement> readSavedPlacement();

// The placement used when none is stored: `current` (the window's own placement) with flags 0,
// show state restore, the default minimised position and a 870 x 570 rectangle centred on a work
// area of workWidth x workHeight pixels: left = (workWidth - 870) / 2, right = workWidth - left,
// top and bottom alike. The division truncates, so an odd margin makes the rectangle one pixel
// larger (one smaller on a work area smaller than the window).
WindowPlacement defaultPlacement(WindowPlacement current, std::int32_t workWidth,
                                 std::int32_t workHeight);

// The placement the main window opens with: the stored one with flags 0 and any hidden,
// minimised or maximised state turned into restore, so the window always opens in its normal
// state at the saved rectangle; defaultPlacement when the store lacks any value.
WindowPlacement restoreWindowPlacement(const WindowPlacement& current, std::int32_t workWidth,
                                       std::int32_t workHeight);

// The bars to show at start: a bar is hidden only when its value exists and is 0.
BarVisibility readBarVisibility();

}  // namespace persist
