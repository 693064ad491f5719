#pragma once

#include <QTreeView>

namespace app {

// A tree list of many rows of one height that change often (the site tree during a crawl: hundreds
// of rows a second among thousands shown). The stock update finds each changed cell's place by
// searching the shown rows, once per column, which kept the window busy. Rows here are never
// edited, so a changed row range needs only the rectangle from its first row to its last.
class UniformRowTreeView : public QTreeView {
    Q_OBJECT

public:
    explicit UniformRowTreeView(QWidget* parent = nullptr);

protected:
    void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                     const QList<int>& roles) override;
};

}  // namespace app
