// The real program in one process: its start and end in order, the views container's rules,
// the notifications' status texts, the close query and what a restart restores.
#include <QCheckBox>
#include <QComboBox>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>

#include <memory>

#include "app/main/PagelystApp.h"
#include "app/shell/CAddressBar.h"
#include "app/shell/CApplication.h"
#include "app/shell/CMainFrame.h"
#include "app/shell/MainView.h"
#include "app/sitetree/CSiteTreeDlg.h"
#include "app/sitetree/SiteTreeModel.h"
#include "app/widgets/CBalloon.h"
#include "app/widgets/HintManager.h"
#include "app/widgets/StatusPane.h"
#include "engine/schedule/PageEntry.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/TestServer.h"

using app::CMainFrame;
using app::CommandId;
using engine::EngineMessage;
using engine::MessageId;

namespace {

// One started program over a private home.
struct Program {
    explicit Program(QStringList arguments = {QStringLiteral("pagelyst")}) {
        started = app.application().start(arguments);
    }
    CMainFrame& window() { return *app.application().mainWindow(); }
    app::AppContext& context() { return app.application().context(); }
    QString status() { return window().statusPane(0)->text(); }
    // Hands the message over as the engine would and lets the idle text reach the bar.
    void deliver(EngineMessage message) {
        context().adapter().post(std::move(message));
        context().adapter().deliver();
        QTest::qWait(kIdleWaitMs);
    }
    static constexpr int kIdleWaitMs = 300;

    app::PagelystApp app;
    bool started = false;
};

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void startsAndEndsInOrder() {
        apptest::ProgramHome home;
        QStringList log;
        {
            Program program;
            QVERIFY(program.started);
            QCOMPARE(program.status(), QStringLiteral("Ready"));
            program.window().close();
            log = program.app.application().log();
        }
        QStringList numbers;
        for (const QString& step : log) numbers << step.section(QLatin1Char(' '), 0, 0);
        QCOMPARE(numbers,
                 (QStringList{"1",  "2",      "3",      "4",     "5",     "6",     "7",
                              "8",  "9",      "10",     "11",    "13",    "14",    "16",
                              "17", "close:", "close:", "exit:", "exit:", "exit:", "exit:"}));
        QVERIFY(log.last().endsWith(QStringLiteral("downloads stopped")));
    }

    void commandLineNamesAScenarioOrRefusesJunk() {
        const auto options = app::CApplication::parseCommandLine({"pagelyst", "site.wsa"});
        QCOMPARE(options.scenario, QStringLiteral("site.wsa"));
        QVERIFY(options.error.isEmpty());
        QVERIFY(!app::CApplication::parseCommandLine({"pagelyst", "--bogus"}).error.isEmpty());
        QVERIFY(app::CApplication::parseCommandLine({"pagelyst", "--demo"}).demo);
    }

    // Choosing the connection shown again changes nothing; another one names itself in the
    // third status pane.
    void connectionChangeOnlyOnANewIndex() {
        apptest::ProgramHome home;
        Program program;
        app::MainView& view = program.window().mainView();
        QSignalSpy changed(&view, &app::MainView::connectionChanged);
        view.setConnection(view.connectionIndex());
        QCOMPARE(changed.count(), 0);
        view.setConnection(3);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(view.connectionIndex(), 3);
        QCOMPARE(program.window().statusPane(2)->text(), QStringLiteral("512K Cable/DSL"));
        view.setConnection(3);
        QCOMPARE(changed.count(), 1);
    }

    // Only a view that exists can be selected; its command is checked while it is active.
    void selectViewKeepsToBuiltViews() {
        apptest::ProgramHome home;
        Program program;
        app::MainView& view = program.window().mainView();
        view.selectView(app::view::kStatistics);
        QCOMPARE(view.activeView(), app::view::kSiteTree);
        QVERIFY(program.window().action(CommandId::ViewSiteTree)->isChecked());
        QVERIFY(!program.window().action(CommandId::ViewStatistics)->isEnabled());
    }

    void notificationsSetTheStatusText() {
        apptest::ProgramHome home;
        Program program;
        auto page =
            engine::PageEntry::create(program.context().manager(), "http://127.0.0.1:9/a.html");
        program.deliver(EngineMessage::workState(false));
        QCOMPARE(program.status(), QStringLiteral("Starting download..."));
        program.deliver(EngineMessage::pageJob(false, page));
        QCOMPARE(program.status(), QStringLiteral("Downloading http://127.0.0.1:9/a.html..."));
        program.deliver(EngineMessage::pageJob(true, page));
        QCOMPARE(program.status(), QStringLiteral("Finished http://127.0.0.1:9/a.html."));
        program.deliver(EngineMessage::duplicatePage(page, true));
        QCOMPARE(program.status(), QStringLiteral("Duplicate page removed."));
        program.deliver(EngineMessage::workState(true));
        QCOMPARE(program.status(), QStringLiteral("Finished download."));
    }

    // "Abort page download?": No and Cancel keep the window and the run; Yes stops the run,
    // waits for it while the window keeps serving events, and closes.
    void closeQueryAnswers() {
        apptest::ProgramHome home;
        support::TestServer server;
        Program program;
        apptest::Answers answers({QMessageBox::No, QMessageBox::Cancel, QMessageBox::Yes});
        QPointer<CMainFrame> window = &program.window();
        window->setAddressBarText(QString::fromStdString(server.url("/content?wait=20000")));
        window->runCommand(CommandId::Analyze);
        QVERIFY(QTest::qWaitFor([&] { return program.context().downloadRunning(); }));
        window->close();
        QVERIFY(window && window->isVisible());
        window->close();
        QVERIFY(window && program.context().downloadRunning());
        window->close();
        QVERIFY(QTest::qWaitFor([&] { return window.isNull(); }, 5000));
        QVERIFY(!program.context().downloadRunning());
        QCOMPARE(answers.asked, QStringList(3, QStringLiteral("Abort page download?")));
    }

    // A second window shows the same site tree and hears the same notifications; closing the
    // first leaves the program running in the second.
    void newWindowSharesTheTree() {
        apptest::ProgramHome home;
        support::TestServer server;
        Program program;
        program.window().runCommand(CommandId::NewWindow);
        QCOMPARE(program.app.application().windows().size(), std::size_t{2});
        CMainFrame* second = program.app.application().windows().back();
        auto* secondView = dynamic_cast<app::CSiteTreeDlg*>(second->mainView().activeAppView());
        QVERIFY(secondView);
        apptest::RunWatcher run(program.context());
        program.window().setAddressBarText(QString::fromStdString(server.url("/content?body=x")));
        program.window().runCommand(CommandId::Analyze);
        QVERIFY(run.waitForEnd());
        secondView->model()->flush();
        QCOMPARE(secondView->model()->rowCount(), 1);
        QCOMPARE(secondView->model()->index(0, 2).data().toString(), QStringLiteral("Finished"));
        program.window().close();
        QVERIFY(QTest::qWaitFor([&] { return program.app.application().windows().size() == 1; }));
        QVERIFY(
            program.app.application().log().contains(QStringLiteral("close: next main window")));
        second->close();
    }

    // The end of a run raises the hint for the current page's outcome; a hint closed with "Do
    // not show this again" is never raised again, in this run or the next.
    void runEndRaisesTheOutcomeHint() {
        apptest::ProgramHome home;
        support::TestServer server;
        {
            Program program;
            app::HintManager& hints = program.app.application().hints();
            apptest::RunWatcher run(program.context());
            program.window().setAddressBarText(
                QString::fromStdString(server.url("/content?body=x")));
            program.window().runCommand(CommandId::Analyze);
            QVERIFY(run.waitForEnd());
            QVERIFY(
                QTest::qWaitFor([&] { return hints.shownHint() == app::MainView::kHintFinished; }));
            QVERIFY(hints.balloon());
            hints.balloon()->findChild<QCheckBox*>()->setChecked(true);
            hints.dismiss();
            QVERIFY(!hints.showHint(app::MainView::kHintFinished));
            program.window().close();
        }
        Program again;
        QCOMPARE(again.app.application().hints().hintState(app::MainView::kHintFinished), 0);
        again.window().close();
    }

    // What one run stored comes back in the next: the recent addresses, the view settings and
    // the window's placement.
    void restartRestoresWhatWasStored() {
        apptest::ProgramHome home;
        const QRect placed(40, 50, 900, 640);
        {
            Program first;
            first.context().addRecentAddress(QStringLiteral("http://127.0.0.1:9/kept.html"));
            first.window().setGeometry(placed);
            first.window().mainView().activeAppView()->tabPane()->setPinned(false);
            first.window().setAddressBarText(QStringLiteral("http://127.0.0.1:9/last.html"));
            first.window().close();
        }
        Program second;
        QComboBox* box = second.window().addressBar().box();
        QVERIFY(box->findText(QStringLiteral("http://127.0.0.1:9/kept.html")) >= 0);
        QCOMPARE(second.window().addressBarText(), QStringLiteral("http://127.0.0.1:9/last.html"));
        QVERIFY(!second.window().mainView().activeAppView()->tabPane()->pinned());
        QCOMPARE(second.window().geometry().size(), placed.size());
        second.window().close();
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
