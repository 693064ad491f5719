#include "app/statistics/CStatListCtrl.h"

#include <QTreeView>

#include "app/statistics/DefinitionListModel.h"

namespace app {

CStatListCtrl::CStatListCtrl(QWidget* parent) : CStatListCtrl(new DefinitionListModel, parent) {}

CStatListCtrl::CStatListCtrl(DefinitionListModel* model, QWidget* parent)
    : CChoiceListCtrl(model, parent), model_(model) {}

bool CStatListCtrl::refill(const query::StatisticsCatalog& catalog) {
    if (!watch_.needsRefill(catalog)) return false;
    refillKeepingSelection([&] {
        model_->setRows(query::definitionRows(catalog));
        // Titles in full; the query is beside them and in each row's tool tip.
        detailsView()->resizeColumnToContents(0);
    });
    return true;
}

}  // namespace app
