#pragma once

#include <QMetaType>

#include "report/SiteColumns.h"

// A cell's raw value travels through the item models as the core's own type.
Q_DECLARE_METATYPE(report::SiteSortValue)

namespace app::role {

// The roles every list model of the program gives beside Qt's own.
// The cell's raw value (a report::SiteSortValue): what the lists sort by, never the text.
inline constexpr int kRawValue = Qt::UserRole;
// A running transfer's progress in percent (0 to 100) for the progress delegate; none when the
// cell shows no progress.
inline constexpr int kProgress = Qt::UserRole + 1;

}  // namespace app::role
