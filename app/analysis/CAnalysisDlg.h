#pragma once

#include <QWidget>

#include <functional>
#include <memory>
#include <string>

#include "app/shell/AppView.h"
#include "engine/items/SaveElement.h"
#include "report/FilterConditionList.h"

class QSplitter;

namespace engine {
class ItemRegistry;
class PageEntry;
class WebItem;
}  // namespace engine

namespace app {

class CElementListCtrl;
class CTabPane;
class ElementPreview;
class ElementPropertiesModel;
class PropertyListCtrl;
class SourceTextView;
class ViewHost;

// The Analysis view: the current page's elements in the "Select Element..." pane, and beside
// it the page's source with the selected element's tag selected, the element itself in the
// preview and its "General:" details. It answers the other views' "show the source" and "show
// the details" moves.
class CAnalysisDlg : public QWidget, public AppView {
    Q_OBJECT

public:
    using DownloadRunning = std::function<bool()>;

    CAnalysisDlg(ViewHost& host, const report::FilterConditionList& conditions,
                 engine::SaveElement& saver, DownloadRunning downloadRunning);
    ~CAnalysisDlg() override;

    QWidget* widget() override { return this; }
    CTabPane* tabPane() override { return pane_; }
    void fillCommandState(CommandState& state) const override;
    bool runCommand(CommandId id) override;
    std::optional<bool> commandChecked(CommandId id) const override;
    void engineMessage(const engine::EngineMessage& message) override;
    void engineBatchHandled() override;
    void runEnded() override;
    void connectionChanged(int index) override;
    void currentPageChanged() override;
    void conditionsChanged() override;
    void forgetPage(const engine::PageEntry* page) override;
    void answerMove(ViewMove move, const ViewTarget& target) override;
    void saveState() override;
    std::vector<CMyListCtrl*> customisableLists() override;
    std::vector<QWidget*> focusPanes() override;

    CElementListCtrl* elementList() const { return list_; }
    SourceTextView* sourceView() const { return source_; }
    ElementPreview* preview() const { return preview_; }
    PropertyListCtrl* generalList() const { return generalList_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void elementChosen(const std::shared_ptr<engine::WebItem>& item);
    void showPageNow();
    void showSourceOf(const std::shared_ptr<engine::WebItem>& item);
    void markInSource(const std::shared_ptr<engine::WebItem>& item);
    void refreshLive();
    void showDetails(const ViewTarget& target);
    void restoreSplit();
    void storeSplit();
    std::shared_ptr<engine::WebItem> selectedItem() const;

    ViewHost& host_;
    const report::FilterConditionList& conditions_;
    engine::SaveElement& saver_;
    DownloadRunning downloadRunning_;
    CElementListCtrl* list_;
    SourceTextView* source_;
    ElementPreview* preview_;
    ElementPropertiesModel* general_;
    PropertyListCtrl* generalList_;
    QSplitter* split_;
    QSplitter* lower_;
    CTabPane* pane_;
    // The document the source view shows, and the body it was made from (a reload replaces it).
    std::shared_ptr<engine::WebItem> shownDocument_;
    std::shared_ptr<const std::string> shownBody_;
    bool pageDirty_ = true;  // the page changed while the view was hidden
    bool progressed_ = false;
};

}  // namespace app
