#pragma once

#include <QAbstractTableModel>

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/figures/PageFigures.h"

namespace engine {
class PageEntry;
}

namespace app {

// The current page's items as the element list shows them: one row per item in the page's
// order (its document first), one column per element column in the core's order, the core's
// texts, raw values for sorting and numbers aligned right.
// refresh() restates the rows in place and appends items the page gained, so that a selection
// and the scroll position survive a page's progress; a page whose items changed otherwise (a
// new load) is reset. User-interface thread only.
class ElementListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit ElementListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The element column identifier shown in a model column, and back (-1 for none).
    static std::uint32_t columnId(int column);
    static int columnOf(std::uint32_t id);

    const std::shared_ptr<engine::PageEntry>& page() const { return page_; }
    void setPage(std::shared_ptr<engine::PageEntry> page);
    int connection() const { return connection_; }
    void setConnection(int index);
    // Whether a download runs anywhere in the program: Time and Speed are then the items' own
    // values so far and "% Time" is empty.
    bool live() const { return live_; }
    void setLive(bool live);
    // The page's items progressed: their figures are read again.
    void refresh();

    const engine::ItemFigures* figures(int row) const;
    int rowOf(const engine::WebItem* item) const;

private:
    std::vector<engine::ItemFigures> currentFigures() const;

    std::shared_ptr<engine::PageEntry> page_;
    int connection_ = 0;
    bool live_ = false;
    std::vector<engine::ItemFigures> rows_;
};

}  // namespace app
