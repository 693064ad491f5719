#pragma once

#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>

#include "app/shell/AppView.h"
#include "engine/items/SaveElement.h"

class QLabel;
class QSplitter;
class QTimer;

namespace engine {
class PageEntry;
class SiteTree;
class WebItem;
}  // namespace engine

namespace app {

class CElementListCtrl;
class ElementPropertiesModel;
class PageStatusModel;
class PropertyListCtrl;
class ViewHost;

// The Page Status view: how the current page's download is going. Its header in the selection
// bar is the page's status text; below it the one-row "Page Download Status" list (the Status
// cell a progress bar while the page downloads), the page's elements and the selected element's
// "Web Item Information:". An address analysed here becomes a single page of the site tree.
class CStatusDlg : public QWidget, public AppView {
    Q_OBJECT

public:
    using DownloadRunning = std::function<bool()>;
    using RecentAddress = std::function<void(const QString&)>;

    CStatusDlg(ViewHost& host, engine::SiteTree& tree, engine::SaveElement& saver,
               DownloadRunning downloadRunning, RecentAddress addRecent);
    ~CStatusDlg() override;

    QWidget* widget() override { return this; }
    void fillCommandState(CommandState& state) const override;
    bool runCommand(CommandId id) override;
    void engineMessage(const engine::EngineMessage& message) override;
    void engineBatchHandled() override;
    void runEnded() override;
    void connectionChanged(int index) override;
    void currentPageChanged() override;
    void forgetPage(const engine::PageEntry* page) override;
    void saveState() override;
    std::vector<CMyListCtrl*> customisableLists() override;
    std::vector<QWidget*> focusPanes() override;

    CMyListCtrl* statusList() const { return statusList_; }
    const PageStatusModel& statusModel() const { return *status_; }
    CElementListCtrl* elementList() const { return elements_; }
    PropertyListCtrl* informationList() const { return informationList_; }
    // The header text last given to the selection bar.
    const QString& headerText() const { return header_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void analyze();
    void reloadSelected();
    void elementChosen(const std::shared_ptr<engine::WebItem>& item);
    void showPage();
    void refresh();
    void showStatus();
    std::shared_ptr<engine::WebItem> selectedItem() const;

    ViewHost& host_;
    engine::SiteTree& tree_;
    engine::SaveElement& saver_;
    DownloadRunning downloadRunning_;
    RecentAddress addRecent_;
    PageStatusModel* status_;
    CMyListCtrl* statusList_;
    CElementListCtrl* elements_;
    ElementPropertiesModel* information_;
    PropertyListCtrl* informationList_;
    QSplitter* split_;
    QTimer* clock_;  // the Time cell counts while a download runs
    QString header_;
    bool pageDirty_ = true;  // the page changed while the view was hidden
    bool progressed_ = false;
};

}  // namespace app
