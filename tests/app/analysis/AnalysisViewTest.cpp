// The Analysis view in the real main window: the demo site's slow image chosen in the element
// list, found in the source and the preview, its details and a change of connection; a hostile
// page shown in every pane without a script running or a request leaving the program.
#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTimer>

#include <atomic>

#include "app/analysis/AnalysisRegistration.h"
#include "app/analysis/CAnalysisDlg.h"
#include "app/analysis/CObjectDetailsDlg.h"
#include "app/analysis/ElementPreview.h"
#include "app/analysis/SourceTextView.h"
#include "app/widgets/CElementListCtrl.h"
#include "app/widgets/ElementListModel.h"
#include "app/widgets/HtmlViewPage.h"
#include "app/widgets/PropertyListCtrl.h"
#include "app/widgets/WebEngineSetup.h"
#include "engine/crawl/SiteTree.h"
#include "report/ElementColumns.h"
#include "tests/app/ProgramFixture.h"
#include "tests/support/TestServer.h"

using app::CommandId;

namespace {

// The rows of a property list as "property=value" texts.
QStringList rowsOf(const QAbstractItemModel& model) {
    QStringList rows;
    for (int row = 0; row < model.rowCount(); ++row)
        rows << model.index(row, 0).data().toString() + "=" + model.index(row, 1).data().toString();
    return rows;
}

// Runs `action`, which opens a modal dialog of type D, and hands the dialog to `inspect`
// before closing it.
template <typename D, typename Action, typename Inspect>
bool whileModal(Action action, Inspect inspect) {
    bool seen = false;
    QTimer::singleShot(0, [&] {
        if (auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget())) {
            seen = true;
            inspect(*dialog);
            dialog->reject();
        }
    });
    action();
    return seen;
}

}  // namespace

class AnalysisViewTest : public QObject {
    Q_OBJECT

private slots:
    void theDemosSlowImageInEveryPane() {
        apptest::ProgramHome home;
        apptest::Program program({"pagelyst", "--demo"});
        QVERIFY(program.started);
        QVERIFY(program.analyze(program.app().demoAddress()));
        program.siteTree().selectNode(program.context().tree().displayOrder().front());
        program.window().updateCommands();
        QVERIFY(program.window().action(CommandId::AnalyzePageSource)->isEnabled());
        program.window().runCommand(CommandId::AnalyzePageSource);
        QCOMPARE(program.mainView().activeView(), app::analysisKey());
        auto& view = *dynamic_cast<app::CAnalysisDlg*>(program.mainView().activeAppView());

        // The source view's entries join the one Edit menu; Word Wrap shows its state.
        QStringList titles;
        QMenu* edit = nullptr;
        for (QAction* entry : program.window().menuBar()->actions()) {
            titles << entry->text();
            if (entry->text() == "&Edit") edit = entry->menu();
        }
        QCOMPARE(titles.count("&Edit"), 1);
        QVERIFY(edit->actions().contains(program.window().action(CommandId::Find)));
        QVERIFY(edit->actions().contains(program.window().action(CommandId::WordWrap)));
        program.window().runCommand(CommandId::WordWrap);
        QVERIFY(view.sourceView()->wordWrap());
        program.window().updateCommands();
        QVERIFY(program.window().action(CommandId::WordWrap)->isChecked());

        const app::ElementListModel& model = *view.elementList()->elementModel();
        int slow = -1;
        for (int row = 0; row < model.rowCount(); ++row) {
            if (model.figures(row)->item->address().urlText.ends_with("/images/slow.gif"))
                slow = row;
        }
        QVERIFY(slow > 0);
        const engine::ItemFigures chosen = *model.figures(slow);
        QVERIFY(view.elementList()->selectItem(chosen.item.get()));
        QCOMPARE(program.mainView().selectedElement(), chosen.item);

        // The source selects the image's tag, from its byte position (the demo page is ASCII).
        const auto root = model.figures(0)->item->body();
        QCOMPARE(view.sourceView()->selectionStart(), static_cast<int>(chosen.position));
        QVERIFY(view.sourceView()->selectedText().startsWith("<img"));
        QVERIFY(view.sourceView()->selectedText().contains("slow.gif"));
        QCOMPARE(view.sourceView()->text().size(), static_cast<qsizetype>(root->size()));

        // The preview shows the image from its temporary copy, byte for byte.
        const QString shown = view.preview()->shownFile();
        QVERIFY(shown.contains("lmdata"));
        QFile copy(shown);
        QVERIFY(copy.open(QIODevice::ReadOnly));
        QCOMPARE(copy.readAll().toStdString(), *chosen.item->body());
        QVERIFY(rowsOf(*view.generalList()->model()).contains("General:="));

        // Show Details: the element's figures at the connection the views show.
        program.window().updateCommands();
        QVERIFY(program.window().action(CommandId::ShowDetails)->isEnabled());
        const QString time =
            QString::fromStdString(report::elementCell(chosen, report::kElementTime, false).text);
        QVERIFY(whileModal<app::CObjectDetailsDlg>(
            [&] { program.window().runCommand(CommandId::ShowDetails); },
            [&](app::CObjectDetailsDlg& dialog) {
                const QStringList rows = rowsOf(*dialog.propertyList()->model());
                QVERIFY2(rows.contains("Statistics (Actual Speed):="), qPrintable(rows.join('|')));
                QVERIFY2(rows.contains("Time=" + time), qPrintable(rows.join('|')));
            }));

        // Another connection restates the list, and the image stays selected.
        const int timeColumn = app::ElementListModel::columnOf(report::kElementTime);
        const QString before = model.index(slow, timeColumn).data().toString();
        program.mainView().setConnection(10);
        QCOMPARE(view.elementList()->currentItem(), chosen.item);
        QVERIFY(model.index(slow, timeColumn).data().toString() != before);
        QCOMPARE(view.sourceView()->selectionStart(), static_cast<int>(chosen.position));
    }

    void aHostilePageRunsNoScriptAndSendsNothing() {
        apptest::ProgramHome home;
        support::TestServer server;
        std::atomic<int> afterwards{0};
        // Every script would rename the document and call the server by its full address.
        const std::string origin = server.url("");
        const std::string ran = "document.title='ran';fetch('" + origin + "/ran')";
        const std::string hostile =
            "<html><head><title><script>" + ran +
            "</script>T</title>"
            "<meta http-equiv=\"refresh\" content=\"0; url=" +
            origin +
            "/refreshed\">"
            "<script>" +
            ran +
            "</script></head>"
            "<body onload=\"" +
            ran + "\"><a href='\"><script>" + ran +
            "</script>'>x</a>"
            "<img src=\"http://192.0.2.1/remote.gif\"><img src=\"/local.gif\">"
            "<img src=\"" +
            origin +
            "/ran-image.gif\"><script src=\"/s.js\"></script>"
            "</body></html>";
        server.get("/", [hostile](const httplib::Request&, httplib::Response& response) {
            response.set_content(hostile, "text/html");
        });
        server.get("/local.gif", [](const httplib::Request&, httplib::Response& response) {
            response.set_content(std::string("GIF89a", 6), "image/gif");
        });
        server.get("/s.js", [](const httplib::Request&, httplib::Response& response) {
            response.set_content("document.title='ran'", "application/javascript");
        });
        server.get(R"(/(ran.*|refreshed))",
                   [&](const httplib::Request&, httplib::Response&) { ++afterwards; });

        apptest::Program program;
        QVERIFY(program.started);
        QVERIFY(program.analyze(QString::fromStdString(server.url("/"))));
        // The measurement itself fetched the page's own image ("/ran-image.gif" among them).
        afterwards = 0;
        const std::size_t measured = server.requests().size();
        program.siteTree().selectNode(program.context().tree().displayOrder().front());
        program.window().runCommand(CommandId::AnalyzePageSource);
        auto& view = *dynamic_cast<app::CAnalysisDlg*>(program.mainView().activeAppView());
        const app::ElementListModel& model = *view.elementList()->elementModel();
        QVERIFY(model.rowCount() >= 3);
        for (int row = 0; row < model.rowCount(); ++row) {
            view.elementList()->selectItem(model.figures(row)->item.get());
            QVERIFY(QTest::qWaitFor([&] { return !view.preview()->isLoading(); }, 20000));
            QTest::qWait(200);  // time for a refresh or a script to act, were one to run
            QVERIFY(view.preview()->page()->title() != "ran");
        }
        QCOMPARE(afterwards.load(), 0);
        QCOMPARE(server.requests().size(), measured);
    }
};

int main(int argc, char** argv) {
    app::prepareWebEngine();
    QApplication qt(argc, argv);
    AnalysisViewTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "AnalysisViewTest.moc"
