#include "persist/SettingsMap.h"

#include "persist/SettingsBag.h"

namespace persist {
namespace {

struct IntDefault {
    std::string_view name;
    std::int32_t value;
};

// Display mode "Details" of the statistics and report choice lists, as its command number.
constexpr std::int32_t kDetailsMode = 59411;

// The view panes: docking position, pin state, size, activity and selection of each.
constexpr IntDefault kViewSettingsInts[] = {
    {"SiteTabLocation", 2},
    {"SiteTabPin", 1},
    {"SiteTabXSize", 200},
    {"SiteTabYSize", 200},
    {"SiteTabActive", 1},
    {"SiteTabSelection", 1},
    {"StatTabLocation", 0},
    {"StatTabPin", 0},
    {"StatTabXSize", 200},
    {"StatTabYSize", 200},
    {"StatTabActive", 1},
    {"StatTabSelection", 1},
    {"StatTabView1", kDetailsMode},
    {"ReportTabLocation", 0},
    {"ReportStatTabPin", 0},
    {"ReportTabXSize", 400},
    {"ReportTabYSize", 200},
    {"ReportTabActive", 1},
    {"ReportTabSelection", 2},
    {"ReportTabView1", kDetailsMode},
    {"SourceTabLocation", 0},
    {"SourceStatTabPin", 1},
    {"SourceTabXSize", 200},
    {"SourceTabYSize", 200},
    {"SourceTabActive", 1},
    {"SourceTabSplitSize", 30},
    {"WaterfallRows", 0},  // the Waterfall view: one row per element (0) or per lane (1)
    {"FirstTime", 1},
};

std::string numbered(int n, std::string_view suffix) {
    return std::to_string(n) + std::string(suffix);
}

}  // namespace

std::string toolTipValueName(int hint) {
    return std::to_string(hint);
}

std::string columnVisibleName(int column) {
    return numbered(column, "_visible");
}

std::string columnSizeName(int column) {
    return numbered(column, "_size");
}

std::string columnOrderName(int position) {
    return numbered(position, "_order");
}

std::string recentValueName(int index) {
    return "MRU" + std::to_string(index);
}

void enterViewSettingsDefaults(SettingsBag& bag) {
    for (const auto& [name, value] : kViewSettingsInts) bag.setInt(name, value);
    bag.setString("LastOpenFileLocation", "");
}

}  // namespace persist
