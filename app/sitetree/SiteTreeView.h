#pragma once

#include <QTreeView>

namespace app {

// The site tree's list. A crawl changes hundreds of rows a second among thousands shown; the
// stock update finds each changed cell's place by searching the shown rows, once per column,
// which is what kept the window busy. Rows here are of one height and never edited, so a changed
// row range needs only the rectangle from its first row to its last.
class SiteTreeView : public QTreeView {
    Q_OBJECT

public:
    explicit SiteTreeView(QWidget* parent = nullptr);

protected:
    void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                     const QList<int>& roles) override;
};

}  // namespace app
