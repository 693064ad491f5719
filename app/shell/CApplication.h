#pragma once

#include <QDialog>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "app/shell/AppContext.h"
#include "app/shell/Commands.h"
#include "app/shell/IdleStatus.h"
#include "app/shell/MainView.h"
#include "app/shell/SettingsOpener.h"
#include "app/shell/ViewRegistration.h"
#include "app/widgets/HintManager.h"
#include "app/widgets/HintStateStore.h"
#include "app/widgets/HintTexts.h"

namespace app {

class CMainFrame;

// The application object: starts the program in its fixed order, keeps the list of main
// windows (several may share the one site tree and engine), carries out the commands no window
// or view carries out, pushes the idle status text to the active window, and shuts down in
// order when the last window has closed. Every step of the start and of the end is written to a
// log, in the order it ran, numbered as the start-up order numbers it.
class CApplication : public QObject {
    Q_OBJECT

public:
    // The command line: "pagelyst [FILE.wsa] [--demo]".
    struct Options {
        QString scenario;
        bool demo = false;
        QString error;  // a usage error; empty when the line was understood
    };
    static Options parseCommandLine(const QStringList& arguments);

    // Serves the bundled demo site for the run and returns its address.
    using DemoStarter = std::function<QString()>;
    // Opens the diagnostic list of the web item objects the program holds.
    using ObjectExplorerOpener = std::function<void(QWidget* parent, AppContext& context)>;

    // `views` in the order of the selection bar; `settings` opens the settings sheet (none: the
    // Settings command is disabled), `explorer` the Object Explorer (none: disabled).
    CApplication(ViewTable views, SettingsOpener settings = {}, DemoStarter demo = {},
                 ObjectExplorerOpener explorer = {});
    ~CApplication() override;

    // Start-up, steps 1 to 17. False when the program must end (no main window).
    bool start(const QStringList& arguments);

    AppContext& context() { return *context_; }
    IdleStatus& status() { return status_; }
    const std::vector<CMainFrame*>& windows() const { return windows_; }
    CMainFrame* mainWindow() const { return windows_.empty() ? nullptr : windows_.front(); }
    const QStringList& log() const { return log_; }
    HintManager& hints() { return hints_; }
    bool hasObjectExplorer() const { return static_cast<bool>(explorer_); }

    // The hint offered on the address box while the pointer rests on it.
    static constexpr int kHintAddressBox = hint::kAddressBox;

    // New Window: another main window over the same site tree.
    CMainFrame* createWindow();
    // A command that neither the active view nor the window carried out.
    void runCommand(CommandId id, CMainFrame& from);
    // The site tree was replaced or saved: every window's title follows.
    void documentChanged();
    // A main window closed (its close query said yes); the last one ends the program.
    void windowClosed(CMainFrame* window);

    // Where the help pages are: "<program folder>/../share/pagelyst/help/index.html".
    static QString helpIndexPath();
    // Where the tips are: "<program folder>/../share/pagelyst/tips.txt".
    static QString tipsPath();

    // Tip of the Day, window-modal over `from` without holding the event loop; a dialog already
    // open comes to the front instead.
    void showTipDialog(CMainFrame& from);
    QDialog* tipDialog() const { return tipDialog_; }

private:
    void record(const QString& step);
    void pushStatus();
    void exitInstance();
    void registerFileType();

    ViewTable views_;
    SettingsOpener settings_;
    DemoStarter demo_;
    ObjectExplorerOpener explorer_;
    IdleStatus status_;
    // Taken before the context exists: its first read of a setting moves a damaged store aside.
    std::optional<QString> damagedSettings_;
    std::unique_ptr<AppContext> context_;
    SettingsHintStore hintStore_;
    HintManager hints_;
    std::vector<CMainFrame*> windows_;          // open, the main window first
    std::vector<QPointer<CMainFrame>> frames_;  // every window made, until Qt deletes it
    QPointer<QDialog> tipDialog_;
    QStringList log_;
    bool started_ = false;
    bool exited_ = false;
};

}  // namespace app
