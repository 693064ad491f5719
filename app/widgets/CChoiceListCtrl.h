#pragma once

#include <QStackedWidget>

#include <cstdint>
#include <functional>
#include <optional>

class QAbstractItemModel;
class QAbstractItemView;
class QListView;
class QMenu;
class QTreeView;

namespace app {

// A choice list of a view's side pane (statistics types, report types) in one of three display
// modes over one model and one selection. Each row carries its entry's id at kIdRole. The modes'
// numbers are the ones the pane's "...View1" setting stores.
class CChoiceListCtrl : public QStackedWidget {
    Q_OBJECT

public:
    enum Mode { Icons = 150, List = 59410, Details = 59411 };
    static constexpr int kIdRole = Qt::UserRole;

    explicit CChoiceListCtrl(QAbstractItemModel* model, QWidget* parent = nullptr);

    // The selected row's id; none without a selection.
    std::optional<std::int32_t> selectedId() const;
    // Selects the entry's row without announcing it; false when no row carries the id.
    bool select(std::int32_t id);

    Mode mode() const { return mode_; }
    // An unknown number keeps the details.
    void setMode(int mode);

    QAbstractItemView* shownView() const;
    // Appends the context menu's "&View" entry: "&Icons", "&List" and "Det&ails", the current
    // mode checked; choosing one switches the list and tells `chosen` the new mode.
    void addViewMenu(QMenu& menu, std::function<void(int mode)> chosen);
    QTreeView* detailsView() const { return details_; }

signals:
    // The user moved the selection to a row.
    void chosen(std::int32_t id);
    // A double click or Enter on a row.
    void activated(std::int32_t id);
    void contextMenuWanted(const QPoint& globalPos);

protected:
    // Refills the model in `fill`, keeping the selected entry and announcing nothing.
    template <typename Fill>
    void refillKeepingSelection(Fill fill) {
        const std::optional<std::int32_t> kept = selectedId();
        filling_ = true;
        fill();
        if (kept) select(*kept);
        filling_ = false;
    }

private:
    std::int32_t idAt(const QModelIndex& index) const;
    int rowOf(std::int32_t id) const;

    QAbstractItemModel* model_;
    QListView* list_;
    QTreeView* details_;
    Mode mode_ = Details;
    bool filling_ = false;
};

}  // namespace app
