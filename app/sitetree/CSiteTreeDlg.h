#pragma once

#include <QWidget>

#include <vector>

#include "app/shell/AppView.h"
#include "engine/crawl/SiteNode.h"

class QLabel;
class QSortFilterProxyModel;
class QStackedWidget;
class QTreeView;

namespace app {

class CTabPane;
class MainView;
class PageDetailsModel;
class SiteTreeModel;

// The Site Tree view: the pages of the site tree as a sortable tree list with check marks, and
// the "Details" pane with the current page's information. It carries the site tree's commands
// and turns the page notifications into row refreshes.
class CSiteTreeDlg : public QWidget, public AppView {
    Q_OBJECT

public:
    explicit CSiteTreeDlg(MainView& host);
    ~CSiteTreeDlg() override;

    QWidget* widget() override { return this; }
    CTabPane* tabPane() override { return pane_; }
    QString menuTitle() const override;
    std::vector<CommandId> menuCommands() const override;
    void fillCommandState(CommandState& state) const override;
    bool runCommand(CommandId id) override;
    bool engineMessage(const engine::EngineMessage& message) override;
    void engineBatchHandled() override;
    void connectionChanged(int index) override;
    void forgetPage(const engine::PageEntry* page) override;
    std::vector<QWidget*> focusPanes() override;
    std::vector<CMyListCtrl*> customisableLists() override;
    void saveState() override;

    QTreeView* treeView() const { return tree_; }
    SiteTreeModel* model() const { return model_; }
    PageDetailsModel* details() const { return details_; }
    QWidget* detailsPane() const;
    std::vector<engine::SiteNode*> selectedNodes() const;
    void selectNode(const engine::SiteNode* node);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void currentChanged();
    void showDetails();
    void layoutDetails();
    void sizeColumns();
    void analyzeTyped();
    void removeSelected();
    void removeAll();
    void openInBrowser();
    void saveSelected();
    void copyAddresses();
    engine::SiteNode* singleSelection() const;

    MainView& host_;
    SiteTreeModel* model_;
    QSortFilterProxyModel* sorted_;
    QTreeView* tree_;
    PageDetailsModel* details_;
    CMyListCtrl* detailsList_;
    QLabel* noPage_;
    QStackedWidget* detailsStack_;
    CTabPane* pane_;
    bool detailsDirty_ = false;
    bool columnsSized_ = false;
};

}  // namespace app
