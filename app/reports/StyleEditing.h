#pragma once

#include <cstdint>

class QWidget;

namespace report {
class ReportManager;
}

namespace app {

// Runs the "Style Editor" modally with the set `styleId` preselected ("Default" when there is
// none). Changes reach the manager as they are made. Neither class edits nor deleted sets move
// the manager's change stamp, so a caller that shows a rendered report renders it again.
void editStyles(QWidget* parent, report::ReportManager& reports, std::int32_t styleId);

}  // namespace app
