#pragma once

#include <QAbstractListModel>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace report {
class ReportManager;
}

namespace app {

// The style editor's "Styles" list: "Default" (id 0) first, then every stored set in ascending
// id; each row carries its set's id (kIdRole). Read from the manager again on reload().
class StyleListModel : public QAbstractListModel {
    Q_OBJECT

public:
    static constexpr int kIdRole = Qt::UserRole;

    explicit StyleListModel(const report::ReportManager& reports, QObject* parent = nullptr);

    // Reads the sets again: after one was added or deleted.
    void reload();
    // The row of the set; -1 when the list has none with this id.
    int rowOf(std::int32_t id) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    const report::ReportManager& reports_;
    std::vector<std::pair<std::int32_t, std::string>> rows_;
};

}  // namespace app
