#pragma once

#include <QMainWindow>

#include <array>

#include "app/shell/Commands.h"
#include "app/shell/MainView.h"
#include "app/shell/SettingsOpener.h"
#include "app/shell/ViewRegistration.h"

class QAction;
class QMenu;
class QTimer;
class QToolBar;

namespace app {

class CMyListCtrl;

class AppContext;
class CAddressBar;
class CApplication;
class IdleStatus;
class StatusPane;

// A main window: tool bar, address bar, the views container and the status bar with its three
// panes, the menus of the active view and one action per command. Commands go to the address
// bar (Cut, Copy, Paste, Undo while it has the focus), else to the active view, then to this
// window, then to the application.
class CMainFrame : public QMainWindow {
    Q_OBJECT

public:
    CMainFrame(CApplication& application, AppContext& context, IdleStatus& status,
               const ViewTable& views, SettingsOpener settings);
    ~CMainFrame() override;

    MainView& mainView() const { return *mainView_; }
    CAddressBar& addressBar() const { return *addressBar_; }
    QAction* action(CommandId id) const { return actions_[static_cast<std::size_t>(id)]; }
    QToolBar* toolBar() const { return toolBar_; }
    StatusPane* statusPane(int index) const;

    QString addressBarText() const;
    void setAddressBarText(const QString& text);

    // Runs the enable rules at the next idle moment; several requests make one update.
    void scheduleCommandUpdate();
    // Runs them now.
    void updateCommands();
    CommandState commandState() const;
    // Whether the command is enabled now: the active view's rule for its own commands, else
    // the window's (a command that no registered view carries is disabled).
    bool commandOn(CommandId id, const CommandState& state) const;

    // Carries out a command as the user's choice of it would.
    void runCommand(CommandId id);
    // Shows the idle status text and the page count (the application calls it when idle).
    void showIdleStatus(const QString& text);
    void refreshPageCount();
    void updateTitle();

    // The "Settings" sheet, on the "Customize" page for `customize` when given; confirmed, its
    // settings reach the engine and the crawl, and every window colours its pages again.
    void openSettings(CMyListCtrl* customize = nullptr);

    // The placement and bar visibility, written to "Main Window".
    void savePlacement() const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void makeActions();
    void makeToolBar();
    void makeStatusBar();
    void rebuildMenus();
    void renameEntries(QMenu& menu, const std::vector<std::pair<CommandId, QString>>& texts);
    void restorePlacement();
    bool runOwnCommand(CommandId id);
    void analyze();
    void toggleBar(QWidget* bar, CommandId id);
    void moveFocus(int step);
    void scopeShortcuts();
    bool checkable(CommandId id) const;

    CApplication& application_;
    AppContext& context_;
    IdleStatus& status_;
    SettingsOpener settings_;
    std::array<QAction*, kCommandCount> actions_{};
    QToolBar* toolBar_ = nullptr;
    CAddressBar* addressBar_ = nullptr;
    MainView* mainView_ = nullptr;
    std::array<StatusPane*, 3> panes_{};
    QTimer* commandUpdate_;
    QTimer* idle_;
};

}  // namespace app
