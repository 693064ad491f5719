#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "persist/Setting.h"

namespace persist {

class SettingsBag;

// Every section of the settings root. The owner of each section decides when it reads and
// writes; the names, types and defaults here bind all of them.
namespace section {
inline constexpr std::string_view kViewSettings = "ViewSettings";
inline constexpr std::string_view kMainWindow = "Main Window";
inline constexpr std::string_view kToolTips = "Main Window\\ToolTips";
inline constexpr std::string_view kTip = "Tip";
inline constexpr std::string_view kAutoLoad = "Settings\\AutoLoad";
inline constexpr std::string_view kOperation = "Settings\\Operation";
inline constexpr std::string_view kConnection = "Settings\\Connection";
inline constexpr std::string_view kFilters = "Settings\\Filters";
inline constexpr std::string_view kAddressMru = "AddrMRU";
inline constexpr std::string_view kPageDetails = "PageDetails";
inline constexpr std::string_view kSourceList = "SourceList";
inline constexpr std::string_view kElementDetails = "ElementDetails";
inline constexpr std::string_view kRecent = "Recent";
}  // namespace section

namespace setting {
// The crawl limits. "Enabled" is written as set, but loading always turns the toggle on.
inline constexpr IntSetting kPageLimit{section::kAutoLoad, "PageLimit", 150};
inline constexpr IntSetting kLevelLimit{section::kAutoLoad, "LevelLimit", 5};
inline constexpr IntSetting kAutoLoadEnabled{section::kAutoLoad, "Enabled", 1};

// The operation settings: crawl scope 0, 1 or 2; ShowOrig is on for any value but 0.
inline constexpr IntSetting kAutoCheck{section::kOperation, "AutoCheck", 1};
inline constexpr IntSetting kShowOrig{section::kOperation, "ShowOrig", 0};

// The connection settings; the password is stored as typed.
inline constexpr IntSetting kAuthentication{section::kConnection, "Authentication", 0};
inline constexpr TextSetting kName{section::kConnection, "Name"};
inline constexpr TextSetting kPassword{section::kConnection, "Password"};
inline constexpr IntSetting kProxy{section::kConnection, "Proxy", 0};
inline constexpr TextSetting kProxyServer{section::kConnection, "ProxyServer"};
inline constexpr IntSetting kProxyPort{section::kConnection, "ProxyPort", 0};

// The tip of the day.
inline constexpr IntSetting kTipStartUp{section::kTip, "StartUp", 1};
inline constexpr IntSetting kTipFilePos{section::kTip, "FilePos", 0};
inline constexpr TextSetting kTipTimeStamp{section::kTip, "TimeStamp"};

// Bar visibility of the main window (0 hides the bar at start).
inline constexpr IntSetting kToolBarVisible{section::kMainWindow, "toolbarvisible", 1};
inline constexpr IntSetting kAddressBarVisible{section::kMainWindow, "addressbarvisible", 1};
inline constexpr IntSetting kStatusVisible{section::kMainWindow, "statusvisible", 1};
}  // namespace setting

// The window placement values of "Main Window", in the order they are read back; reading stops
// at the first missing one.
inline constexpr std::array<std::string_view, 10> kPlacementNames = {
    "flags",
    "ptMaxPosition.x",
    "ptMaxPosition.y",
    "ptMinPosition.x",
    "ptMinPosition.y",
    "rcNormalPosition.left",
    "rcNormalPosition.right",
    "rcNormalPosition.top",
    "rcNormalPosition.bottom",
    "showCmd",
};

// "Main Window\ToolTips" holds one value per hint, named by the hint number in decimal; a hint
// is offered while its value has bit 2 set.
inline constexpr std::int32_t kToolTipDefault = 3;
std::string toolTipValueName(int hint);

// A list's column layout section: "<column>_visible", "<column>_size" for every column,
// "<position>_order" for every display position, then "sort" and "direct".
std::string columnVisibleName(int column);
std::string columnSizeName(int column);
std::string columnOrderName(int position);
inline constexpr std::string_view kSortColumnName = "sort";
inline constexpr std::string_view kSortDirectionName = "direct";

// "Recent": the recent items written at exit, "MRU<n>".
std::string recentValueName(int index);

// Enters every value name of "ViewSettings" with its default: the view container does this
// before loading the section, so a missing value keeps its default.
void enterViewSettingsDefaults(SettingsBag& bag);

}  // namespace persist
