#pragma once

#include <QAbstractTableModel>

#include "report/PageStatusColumns.h"

namespace app {

// The page status list's one row: the core's texts in its six columns, and the Status cell's
// percentage (role::kProgress) while the page downloads, for the progress delegate to draw.
class PageStatusModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit PageStatusModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Restates the row; only the cells that changed are announced.
    void setRow(report::PageStatusRow row);
    const report::PageStatusRow& row() const { return row_; }

private:
    report::PageStatusRow row_ = report::pageStatusRow(std::nullopt);
};

}  // namespace app
