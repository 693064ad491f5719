#pragma once
// The real program in the test's process: the application object with every registered view
// (and any the test adds), started with a command line, torn down with its windows. Suites
// that use it link app_main. Make an apptest::ProgramHome first so its settings stay private.

#include <QPointer>
#include <QString>
#include <QStringList>

#include "app/main/PagelystApp.h"
#include "app/shell/CApplication.h"
#include "app/shell/CMainFrame.h"
#include "app/shell/MainView.h"
#include "app/sitetree/CSiteTreeDlg.h"
#include "app/sitetree/SiteTreeModel.h"
#include "app/sitetree/SiteTreeRegistration.h"
#include "tests/app/AppTestSupport.h"

namespace apptest {

class Program {
public:
    explicit Program(QStringList arguments = {QStringLiteral("pagelyst")},
                     app::ViewTable moreViews = {})
        : app_(std::move(moreViews)) {
        started = app_.application().start(arguments);
    }
    ~Program() {
        for (app::CMainFrame* open : app_.application().windows()) open->close();
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    app::PagelystApp& app() { return app_; }
    app::CApplication& application() { return app_.application(); }
    app::CMainFrame& window() { return *app_.application().mainWindow(); }
    app::AppContext& context() { return app_.application().context(); }
    app::MainView& mainView() { return window().mainView(); }
    // The main window's Site Tree view (the first view of the selection bar).
    app::CSiteTreeDlg& siteTree() {
        return *dynamic_cast<app::CSiteTreeDlg*>(mainView().view(app::siteTreeKey()));
    }

    // Types the address into the bar, runs Analyze and waits for the run (and any crawl) to end;
    // the tree's rows are refreshed then.
    bool analyze(const QString& address) { return run(address, app::CommandId::Analyze); }
    // Runs a command that starts a run and waits for its end.
    bool run(const QString& address, app::CommandId command) {
        RunWatcher watcher(context());
        if (!address.isNull()) window().setAddressBarText(address);
        window().updateCommands();
        window().runCommand(command);
        const bool ended = watcher.waitForEnd();
        siteTree().model()->flush();
        window().updateCommands();
        return ended;
    }

    bool started = false;

private:
    app::PagelystApp app_;
};

}  // namespace apptest
