#pragma once

#include <QStackedWidget>

#include <cstdint>
#include <optional>

#include "query/StatisticsLists.h"

class QAbstractItemView;
class QListView;
class QTreeView;

namespace app {

class DefinitionListModel;

// The choice list of statistics definitions in the view's side pane, in one of three display
// modes. The modes' numbers are the ones "StatTabView1" stores.
class CStatListCtrl : public QStackedWidget {
    Q_OBJECT

public:
    enum Mode { Icons = 150, List = 59410, Details = 59411 };

    explicit CStatListCtrl(QWidget* parent = nullptr);

    // Fills the rows again when the catalogue changed since the last fill, keeping the selected
    // definition; true when it did.
    bool refill(const query::StatisticsCatalog& catalog);

    // The selected row's id (0 for "New..."); none without a selection.
    std::optional<std::int32_t> selectedId() const;
    // Selects the definition's row without announcing it; false when no row carries the id.
    bool select(std::int32_t id);

    Mode mode() const { return mode_; }
    // An unknown number keeps the details.
    void setMode(int mode);

    DefinitionListModel* definitionModel() const { return model_; }
    QAbstractItemView* shownView() const;

signals:
    // The user moved the selection to a row.
    void chosen(std::int32_t id);
    // A double click or Enter on a row.
    void activated(std::int32_t id);
    void contextMenuWanted(const QPoint& globalPos);

private:
    std::int32_t idAt(const QModelIndex& index) const;

    DefinitionListModel* model_;
    QListView* list_;
    QTreeView* details_;
    query::CatalogWatch watch_;
    Mode mode_ = Details;
    bool filling_ = false;
};

}  // namespace app
