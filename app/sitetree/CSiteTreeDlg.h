#pragma once

#include <QWidget>

#include <vector>

#include "app/shell/AppView.h"
#include "engine/crawl/SiteNode.h"
#include "engine/crawl/SiteTree.h"
#include "engine/items/SaveElement.h"
#include "report/FilterConditionList.h"

class QLabel;
class QSortFilterProxyModel;
class QStackedWidget;
class QTreeView;

namespace app {

class CTabPane;
class PagePropertiesModel;
class PropertyListCtrl;
class SiteTreeModel;
class ViewHost;

// The Site Tree view: the pages of the site tree as a sortable tree list with check marks, and
// the "Details" pane with the current page's information. The user chooses the current page
// here; the view carries the site tree's commands and refreshes its rows as pages progress.
class CSiteTreeDlg : public QWidget, public AppView {
    Q_OBJECT

public:
    CSiteTreeDlg(ViewHost& host, engine::SiteTree& tree,
                 const report::FilterConditionList& conditions, engine::SaveElement& saver);
    ~CSiteTreeDlg() override;

    QWidget* widget() override { return this; }
    CTabPane* tabPane() override { return pane_; }
    void fillCommandState(CommandState& state) const override;
    bool runCommand(CommandId id) override;
    void engineMessage(const engine::EngineMessage& message) override;
    void engineBatchHandled() override;
    void connectionChanged(int index) override;
    void currentPageChanged() override;
    void conditionsChanged() override;
    void forgetPage(const engine::PageEntry* page) override;
    std::vector<QWidget*> focusPanes() override;
    std::vector<CMyListCtrl*> customisableLists() override;
    std::vector<std::pair<CommandId, QWidget*>> localShortcuts() override;
    QWidget* hintAnchor(int hint) override;
    void saveState() override;

    QTreeView* treeView() const { return tree_; }
    SiteTreeModel* model() const { return model_; }
    PagePropertiesModel* details() const { return details_; }
    CMyListCtrl* detailsList() const;
    std::vector<engine::SiteNode*> selectedNodes() const;
    void selectNode(const engine::SiteNode* node);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void currentChanged();
    void sizeColumns();
    void analyzeTyped();
    void removeSelected();
    void removeAll();
    void openInBrowser();
    void saveSelected();
    void copyAddresses();
    void showDetails();
    engine::SiteNode* singleSelection() const;

    ViewHost& host_;
    engine::SiteTree& siteTree_;
    engine::SaveElement& saver_;
    SiteTreeModel* model_;
    QSortFilterProxyModel* sorted_;
    QTreeView* tree_;
    PagePropertiesModel* details_;
    PropertyListCtrl* detailsList_;
    QLabel* noPage_;
    QStackedWidget* detailsStack_;
    CTabPane* pane_;
    bool detailsDirty_ = false;
    bool columnsSized_ = false;
};

}  // namespace app
