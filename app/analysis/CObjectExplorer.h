#pragma once

#include <QDialog>

class QTreeWidget;

namespace engine {
class ItemRegistry;
}

namespace app {

// "Object Explorer": for diagnosis, one row per node of the item tree with the node's and its
// item's identities, the item's address, its depth and its size. The rows are a snapshot taken
// under the registry's lock; "Refresh" takes another. The registry must outlive the dialog.
// User-interface thread only.
class CObjectExplorer : public QDialog {
    Q_OBJECT

public:
    explicit CObjectExplorer(const engine::ItemRegistry& registry, QWidget* parent = nullptr);

    void refresh();

    QTreeWidget* list() const { return list_; }

private:
    const engine::ItemRegistry& registry_;
    QTreeWidget* list_;
};

}  // namespace app
