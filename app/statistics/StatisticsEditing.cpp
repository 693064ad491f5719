#include "app/statistics/StatisticsEditing.h"

#include <optional>

#include "app/statistics/CNewStatPS.h"
#include "app/statistics/CNewStatisticsDlg.h"
#include "query/StatisticsCatalog.h"

namespace app {

bool newStatistics(QWidget* parent, query::StatisticsCatalog& catalog) {
    CNewStatPS wizard(catalog, parent);
    if (wizard.exec() != QDialog::Accepted) return false;
    return catalog.add(wizard.title(), wizard.query()) != 0;
}

bool editStatistics(QWidget* parent, query::StatisticsCatalog& catalog, std::int32_t id) {
    const std::optional<query::StatisticsDefinition> definition = catalog.find(id);
    if (!definition) return false;
    CNewStatisticsDlg dialog(*definition, parent);
    if (dialog.exec() != QDialog::Accepted) return false;
    catalog.modify(id, dialog.title(), dialog.query());
    return true;
}

}  // namespace app
