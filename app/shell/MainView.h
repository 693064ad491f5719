#pragma once

#include <QString>
#include <QWidget>

#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "app/shell/AppContext.h"
#include "app/shell/AppView.h"
#include "app/shell/ViewHost.h"
#include "app/shell/ViewRegistration.h"
#include "app/widgets/HintTexts.h"
#include "persist/SettingsBag.h"

class QComboBox;

namespace app {

class CChoiceBar;
class CMainFrame;
class IdleStatus;

// The main window's client area: the selection bar with every registered view, the connection
// type selector, the current page and element, the view settings, and the handling of the
// engine's notifications: every view hears each one after the site tree, then this container
// sets the status texts, ends the run (or lets the crawl start its next level) and raises the
// outcome's hint. It is the views' host: they reach the window only through ViewHost.
class MainView : public QWidget, public ViewHost, private AppContext::Listener {
    Q_OBJECT

public:
    // The hints raised after a run.
    static constexpr int kHintFinished = hint::kFinished;
    static constexpr int kHintChildErrors = hint::kChildErrors;
    static constexpr int kHintFailed = hint::kFailed;
    using HintRaiser = std::function<void(int hint, const QPoint& globalPoint)>;

    MainView(CMainFrame& frame, AppContext& context, IdleStatus& status, const ViewTable& table);
    ~MainView() override;

    AppContext& context() { return context_; }

    // Makes the view with this key the active one; a key without a view and the active view's
    // key are ignored.
    void selectView(int key) override;
    void setHeaderText(int key, const QString& text) override;
    int activeView() const { return active_; }
    AppView* view(int key) const;
    AppView* activeAppView() const { return view(active_); }
    // Every view this container made, in the order of the selection bar.
    std::vector<AppView*> views() const;
    CChoiceBar& selectionBar() const { return *bar_; }

    const ViewTable& table() const { return table_; }
    const ViewRegistration* registration(int key) const;
    const ViewRegistration* activeRegistration() const { return registration(active_); }
    // The view that the command shows, when one is registered.
    const ViewRegistration* shownBy(CommandId id) const;
    // Whether a registered view lists the command among its own.
    bool carriedByAView(CommandId id) const;

    // The connection index every view shows; choosing the current one again changes nothing.
    int connectionIndex() const override { return connection_; }
    void setConnection(int index);

    std::shared_ptr<engine::PageEntry> currentPage() const override { return currentPage_; }
    void setCurrentPage(std::shared_ptr<engine::PageEntry> page) override;
    std::shared_ptr<engine::WebItem> selectedElement() const override { return element_; }
    void setSelectedElement(std::shared_ptr<engine::WebItem> element) override;

    QString addressBarText() const override;
    void setStatusText(const QString& text) override;
    void commandStateChanged() override;
    void customizeList(CMyListCtrl& list) override;
    void raiseHint(int hint, const QPoint& globalPoint) override;
    persist::SettingsBag& viewSettings() override { return settings_; }
    bool requestMove(ViewMove move, const ViewTarget& target) override;
    void menuChanged() override;

    void setHintRaiser(HintRaiser raiser) { raiseHint_ = std::move(raiser); }

    // The close query: asks "Abort page download?" while a download runs (Yes stops it and
    // waits with the event loop running), then stores the view settings. False when the user
    // refused the close.
    bool closeQuery();

signals:
    void currentPageChanged();
    void activeViewChanged(int key);
    void viewMenuChanged();
    void connectionChanged(int index);

private:
    void engineMessage(const engine::EngineMessage& message) override;
    void engineBatchHandled() override;
    void runFinished();
    void raiseRunHint();
    void restorePane(const ViewRegistration& entry, AppView& made);
    void storePanes();

    CMainFrame& frame_;
    AppContext& context_;
    IdleStatus& status_;
    const ViewTable& table_;
    CChoiceBar* bar_;
    QComboBox* connectionBox_;
    persist::SettingsBag settings_;
    std::map<int, std::unique_ptr<AppView>> views_;
    std::shared_ptr<engine::PageEntry> currentPage_;
    std::shared_ptr<engine::WebItem> element_;
    HintRaiser raiseHint_;
    int active_ = -1;
    bool menuPosted_ = false;
    int connection_ = 0;
};

}  // namespace app
