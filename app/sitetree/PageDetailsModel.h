#pragma once

#include <QAbstractTableModel>

#include <memory>
#include <vector>

#include "engine/schedule/PageEntry.h"
#include "report/FilterConditionList.h"
#include "report/PageInformation.h"

namespace app {

// The current page's information rows in two columns, "Property" and "Value": group captions
// in bold across the row, a matching condition on its highlight colour. Rebuilt when the page,
// its state or the connection changes (a few rows, so a reset is cheap).
class PageDetailsModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit PageDetailsModel(const report::FilterConditionList& conditions,
                              QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Shows the page for the connection; none empties the list.
    void show(std::shared_ptr<engine::PageEntry> page, int connection);
    void refresh();
    const std::shared_ptr<engine::PageEntry>& page() const { return page_; }
    const std::vector<report::InformationRow>& rows() const { return rows_; }

private:
    const report::FilterConditionList& conditions_;
    std::shared_ptr<engine::PageEntry> page_;
    int connection_ = 0;
    std::vector<report::InformationRow> rows_;
};

}  // namespace app
