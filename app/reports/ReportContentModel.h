#pragma once

#include <QAbstractTableModel>

#include <memory>

namespace report {
class Report;
class ReportItem;
class ReportManager;
}  // namespace report

namespace app {

// The content editor's rows over a report the editor owns: "General:", "Name", "Style",
// "Report Items:", then one row per item (its kind and what it shows). Columns "Field" and
// "Value". The name's and the style's values are edited in place (the style as its id); items
// change only through the operations below, which keep the rows in step.
class ReportContentModel : public QAbstractTableModel {
    Q_OBJECT

public:
    static constexpr int kGeneralRow = 0;
    static constexpr int kNameRow = 1;
    static constexpr int kStyleRow = 2;
    static constexpr int kItemsRow = 3;
    static constexpr int kFirstItemRow = 4;
    static constexpr int kFieldColumn = 0;
    static constexpr int kValueColumn = 1;

    // The style names come from `reports`; the model shows no rows until a report is set.
    explicit ReportContentModel(const report::ReportManager& reports, QObject* parent = nullptr);

    // The report stays the caller's; null shows no rows.
    void setReport(report::Report* report);
    report::Report* report() const { return report_; }

    static bool isHeading(int row) { return row == kGeneralRow || row == kItemsRow; }
    // The item a row shows; null for the fixed rows.
    report::ReportItem* itemAt(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Appends the item to the report; returns its row (-1 for no item).
    int appendItem(std::unique_ptr<report::ReportItem> item);
    // Removes and deletes the item of an item row.
    void removeItem(int row);
    // Exchanges the items of two item rows.
    void swapItems(int a, int b);
    // The item of the row was edited.
    void itemChanged(int row);
    // The style sets may have changed: the style's name is read again.
    void stylesChanged();

private:
    QVariant display(int row, int column) const;
    void rowChanged(int row);

    const report::ReportManager& reports_;
    report::Report* report_ = nullptr;
};

}  // namespace app
