#pragma once

#include <cstdint>
#include <functional>
#include <optional>

class QWidget;

namespace query {
class StatisticsCatalog;
}

namespace report {
class ReportManager;
}

namespace app {

// Opens the style editor over `parent` with the set `styleId` preselected and returns when it
// closes; the sets may have been added or deleted meanwhile.
using StyleEditorOpener = std::function<void(QWidget* parent, std::int32_t styleId)>;

// The "Create New Report" wizard. On Finish the new report is added to `reports`; returns its
// id, none when the wizard was cancelled.
std::optional<std::int32_t> newReport(QWidget* parent, report::ReportManager& reports,
                                      const query::StatisticsCatalog& statistics,
                                      const StyleEditorOpener& editStyles);

// The content editor of the stored report `id` as a dialog, working on a copy. On OK the copy
// replaces the report under the same id (so it keeps its place). Returns whether it did; false
// for an id that names no stored report.
bool modifyReport(QWidget* parent, report::ReportManager& reports,
                  const query::StatisticsCatalog& statistics, std::int32_t id,
                  const StyleEditorOpener& editStyles);

}  // namespace app
