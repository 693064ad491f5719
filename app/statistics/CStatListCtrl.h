#pragma once

#include <cstdint>

#include "app/widgets/CChoiceListCtrl.h"
#include "query/StatisticsLists.h"

namespace app {

class DefinitionListModel;

// The choice list of statistics definitions in the view's side pane: "New..." (id 0) and every
// definition with its query.
class CStatListCtrl : public CChoiceListCtrl {
    Q_OBJECT

public:
    explicit CStatListCtrl(QWidget* parent = nullptr);

    // Fills the rows again when the catalogue changed since the last fill, keeping the selected
    // definition; true when it did.
    bool refill(const query::StatisticsCatalog& catalog);

    DefinitionListModel* definitionModel() const { return model_; }

private:
    CStatListCtrl(DefinitionListModel* model, QWidget* parent);

    DefinitionListModel* model_;
    query::CatalogWatch watch_;
};

}  // namespace app
