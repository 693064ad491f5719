#pragma once

#include <QAbstractTableModel>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace report {
class ReportManager;
class ReportStyle;
}  // namespace report

namespace app {

// The style editor's property list: one row per class of one style set in byte-wise name
// order, "Field" the class name, "Value" its declaration text. The values of a stored set are
// edited in place through the manager; those of "Default" are read-only (the built-in set is
// never saved, so an edit would be lost at exit) and shown greyed.
class StyleClassesModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { FieldColumn, ValueColumn };

    explicit StyleClassesModel(report::ReportManager& reports, QObject* parent = nullptr);

    // Lists the classes of the set; none empties the list.
    void show(std::optional<std::int32_t> styleId);
    const std::optional<std::int32_t>& styleId() const { return styleId_; }
    bool readOnly() const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Replaces the class's text in the manager; dataChanged follows a change.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

private:
    const report::ReportStyle& style() const;

    report::ReportManager& reports_;
    std::optional<std::int32_t> styleId_;
    std::vector<std::string> classNames_;
};

}  // namespace app
