// The real program in one process: its start and end in order, the views container's rules,
// the notifications' status texts, the close query and what a restart restores.
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>

#include <memory>

#include "app/main/PagelystApp.h"
#include "app/shell/CAddressBar.h"
#include "app/shell/CApplication.h"
#include "app/shell/CMainFrame.h"
#include "app/shell/MainView.h"
#include "app/shell/ScenarioCommands.h"
#include "app/sitetree/CSiteTreeDlg.h"
#include "app/sitetree/SiteTreeModel.h"
#include "app/widgets/CBalloon.h"
#include "app/widgets/CTabPane.h"
#include "app/widgets/FileDialogs.h"
#include "app/widgets/HintManager.h"
#include "app/widgets/StatusPane.h"
#include "engine/schedule/PageEntry.h"
#include "tests/app/AppTestSupport.h"
#include "tests/app/ProgramFixture.h"
#include "tests/support/TestServer.h"

using app::CMainFrame;
using app::CommandId;
using engine::EngineMessage;
using engine::MessageId;

namespace {

// The started program, with the status bar's text and a hand to deliver notifications.
struct Program : apptest::Program {
    using apptest::Program::Program;
    QString status() { return window().statusPane(0)->text(); }
    // Hands the message over as the engine would and lets the idle text reach the bar.
    void deliver(EngineMessage message) {
        context().adapter().post(std::move(message));
        context().adapter().deliver();
        apptest::flushEvents();  // the idle moment that pushes the text to the bar
    }
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
            log = program.application().log();
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

    // Only a registered view can be selected; its command is checked while it is active.
    void selectViewKeepsToRegisteredViews() {
        apptest::ProgramHome home;
        Program program;
        app::MainView& view = program.window().mainView();
        const int first = view.activeView();
        view.selectView(99);
        QCOMPARE(view.activeView(), first);
        QVERIFY(program.window().action(CommandId::ViewSiteTree)->isChecked());
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
        QCOMPARE(program.application().windows().size(), std::size_t{2});
        CMainFrame* second = program.application().windows().back();
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
        QVERIFY(QTest::qWaitFor([&] { return program.application().windows().size() == 1; }));
        QVERIFY(program.application().log().contains(QStringLiteral("close: next main window")));
        second->close();
    }

    // A second window shares the engine as it stands: the Auto toggle and settings the first
    // window changed stay as they are.
    void newWindowKeepsTheSharedSettings() {
        apptest::ProgramHome home;
        Program program;
        program.window().runCommand(CommandId::Auto);
        engine::EngineSettings changed = program.context().manager().settings();
        changed.limits.pageLimit = 7;
        changed.operation.showOrig = !changed.operation.showOrig;
        program.context().manager().setSettings(changed);
        program.window().runCommand(CommandId::NewWindow);
        CMainFrame* second = program.application().windows().back();
        QVERIFY(!program.context().tree().crawlController().enabled);
        second->updateCommands();
        QVERIFY(!second->action(CommandId::Auto)->isChecked());
        QCOMPARE(program.context().manager().settings(), changed);
        second->close();
    }

    // The scenario commands through their dialogs (answered here): a file that is no scenario
    // and a place that cannot be written are told in words; a file named at start is loaded
    // after the window shows.
    void scenarioFailuresAreToldInWords() {
        apptest::ProgramHome home;
        const QString junk = home.file(QStringLiteral("junk.wsa"));
        QFile file(junk);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("not a scenario") > 0);
        file.close();
        Program program;
        apptest::Answers answers;
        QString chosen = junk;
        app::setPathChooser([&chosen](const QString&) { return chosen; });
        program.window().runCommand(CommandId::OpenScenario);
        QCOMPARE(answers.asked, QStringList{"Invalid file format."});
        QVERIFY(program.context().tree().empty());
        chosen = home.file(QStringLiteral("no/such/folder/site.wsa"));
        program.window().runCommand(CommandId::SaveScenario);
        QCOMPARE(answers.asked.size(), 2);
        QVERIFY2(answers.asked.last().startsWith(
                     QStringLiteral("The scenario could not be saved to %1: No such file or "
                                    "directory.")
                         .arg(chosen)),
                 qPrintable(answers.asked.last()));
        app::setPathChooser({});
    }
    void scenarioNamedAtStartIsLoaded_data() {
        QTest::addColumn<bool>("valid");
        QTest::newRow("a scenario") << true;
        QTest::newRow("not a scenario") << false;
    }
    void scenarioNamedAtStartIsLoaded() {
        QFETCH(bool, valid);
        apptest::ProgramHome home;
        const QString path = home.file(QStringLiteral("start.wsa"));
        {
            Program first;
            first.context().tree().addPage("http://127.0.0.1:9/kept.html", nullptr);
            QVERIFY(app::ScenarioCommands::saveTo(&first.window(), first.context(), path));
            first.window().close();
        }
        if (!valid) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write("x") == 1);
        }
        apptest::Answers answers;
        Program program({QStringLiteral("pagelyst"), path});
        QVERIFY(program.started);
        QCOMPARE(program.context().tree().pageCount(), valid ? std::size_t{1} : std::size_t{0});
        QCOMPARE(answers.asked, valid ? QStringList{} : QStringList{"Invalid file format."});
        QVERIFY(program.application().log().contains(QStringLiteral("15 scenario loaded")));
        program.window().close();
    }

    // The end of a run raises the hint for the current page's outcome; a hint closed with "Do
    // not show this again" is never raised again, in this run or the next.
    void runEndRaisesTheOutcomeHint() {
        apptest::ProgramHome home;
        support::TestServer server;
        {
            Program program;
            app::HintManager& hints = program.application().hints();
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
        QCOMPARE(again.application().hints().hintState(app::MainView::kHintFinished), 0);
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
