#pragma once

#include <QIcon>

namespace app {

// The program's pictures, drawn at any size so that they stay crisp on every screen: the tool
// bar's buttons, the selection bar's view images and the program's own icon.
enum class IconId {
    Analyze,
    AnalyzeAll,
    AnalyzeSelected,
    Stop,
    Auto,
    Open,
    Save,
    Remove,
    Details,
    Settings,
    SiteTree,
    Analysis,
    Statistics,
    Reports,
    Waterfall,
    PageStatus,
    Program,
};

QIcon icon(IconId id);

}  // namespace app
