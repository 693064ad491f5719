#pragma once

#include <QString>
#include <QWidget>

#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "app/shell/AppContext.h"
#include "app/shell/AppView.h"
#include "app/widgets/CTabPane.h"
#include "persist/SettingsBag.h"

class QComboBox;

namespace app {

class CChoiceBar;
class CMainFrame;
class IdleStatus;
class MainView;

// How the program makes a view for a key of the selection bar.
struct ViewFactory {
    int key;
    std::function<std::unique_ptr<AppView>(MainView&)> make;
};
using ViewFactories = std::vector<ViewFactory>;

// The main window's client area: the selection bar with every view, the connection type
// selector, the current page, the view settings, and the handling of the engine's
// notifications that the views leave (status texts, the end of a run, hints).
class MainView : public QWidget, private AppContext::Listener {
    Q_OBJECT

public:
    // The views of the selection bar, in the order they are added.
    struct ViewInfo {
        int key;
        const char* shortName;
        const char* title;
        const char* description;
    };
    static const std::vector<ViewInfo>& viewTable();

    // The hints raised after a run.
    static constexpr int kHintFinished = 3;
    static constexpr int kHintChildErrors = 4;
    static constexpr int kHintFailed = 5;
    using HintRaiser = std::function<void(int hint, const QPoint& globalPoint)>;

    MainView(CMainFrame& frame, AppContext& context, IdleStatus& status,
             const ViewFactories& factories);
    ~MainView() override;

    AppContext& context() { return context_; }
    CMainFrame& frame() { return frame_; }
    persist::SettingsBag& viewSettings() { return settings_; }

    // Makes the view with this key the active one; an unknown key, a key without a view and
    // the active view's key are ignored.
    void selectView(int key);
    int activeView() const { return active_; }
    AppView* view(int key) const;
    AppView* activeAppView() const { return view(active_); }
    // Every view this container made, in key order.
    std::vector<AppView*> views() const;
    CChoiceBar& selectionBar() const { return *bar_; }

    // The connection index every view shows; choosing the current one again changes nothing.
    int connectionIndex() const { return connection_; }
    void setConnection(int index);

    // The page the views show, set by the Site Tree view.
    std::shared_ptr<engine::PageEntry> currentPage() const { return currentPage_; }
    void setCurrentPage(std::shared_ptr<engine::PageEntry> page);

    void setStatusText(const QString& text);
    void setHintRaiser(HintRaiser raiser) { raiseHint_ = std::move(raiser); }
    // The frame's address bar text; views read it for Analyze.
    QString addressBarText() const;
    // The enable rules should run again soon.
    void commandStateChanged();

    // The close query: asks "Abort page download?" while a download runs (Yes stops it and
    // waits with the event loop running), then stores the view settings. False when the user
    // refused the close.
    bool closeQuery();

signals:
    void currentPageChanged();
    void activeViewChanged(int key);
    void connectionChanged(int index);

private:
    struct PaneNames {
        const char* location;
        const char* pin;
        const char* width;
        const char* height;
        const char* active;
        const char* selection;
    };
    static const PaneNames* paneNames(int key);

    void engineMessage(const engine::EngineMessage& message) override;
    void engineBatchHandled() override;
    void runFinished();
    void raiseRunHint();
    void restorePane(int key, AppView& view);
    void storePanes();
    QString pageAddress(const engine::PageEntry& page) const;

    CMainFrame& frame_;
    AppContext& context_;
    IdleStatus& status_;
    CChoiceBar* bar_;
    QComboBox* connectionBox_;
    persist::SettingsBag settings_;
    std::map<int, std::unique_ptr<AppView>> views_;
    std::shared_ptr<engine::PageEntry> currentPage_;
    HintRaiser raiseHint_;
    int active_ = -1;
    int connection_ = 0;
};

}  // namespace app
