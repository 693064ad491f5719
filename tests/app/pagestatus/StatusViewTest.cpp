// The Page Status view in the real main window: the demo's home analysed in it, its progress
// seen while the slow image loads, then its figures; an element that failed reloaded from it.
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

#include <algorithm>
#include <atomic>
#include <set>

#include "app/pagestatus/CStatusDlg.h"
#include "app/pagestatus/PageStatusModel.h"
#include "app/pagestatus/StatusRegistration.h"
#include "app/widgets/CChoiceBar.h"
#include "app/widgets/CElementListCtrl.h"
#include "app/widgets/ElementListModel.h"
#include "app/widgets/ItemRoles.h"
#include "app/widgets/PropertyListCtrl.h"
#include "app/widgets/WebEngineSetup.h"
#include "engine/schedule/PageState.h"
#include "tests/app/ProgramFixture.h"
#include "tests/support/TestServer.h"

using app::CommandId;
using report::PageStatusColumn;

namespace {

QString cell(const app::CStatusDlg& view, PageStatusColumn column, int role = Qt::DisplayRole) {
    const app::PageStatusModel& model = view.statusModel();
    return model.index(0, static_cast<int>(column)).data(role).toString();
}

app::CStatusDlg& showStatusView(apptest::Program& program) {
    program.window().runCommand(CommandId::ViewPageAnalysis);
    return *dynamic_cast<app::CStatusDlg*>(program.mainView().view(app::statusKey()));
}

// The row of the element whose address ends with `suffix` (-1: none).
int rowEndingWith(const app::ElementListModel& model, const std::string& suffix) {
    for (int row = 0; row < model.rowCount(); ++row) {
        if (model.figures(row)->item->address().urlText.ends_with(suffix)) return row;
    }
    return -1;
}

}  // namespace

class StatusViewTest : public QObject {
    Q_OBJECT

private slots:
    void theDemosHomeWhileItLoadsAndAfter() {
        apptest::ProgramHome home;
        apptest::Program program({"pagelyst", "--demo"});
        QVERIFY(program.started);
        app::CStatusDlg& view = showStatusView(program);
        QCOMPARE(program.mainView().activeView(), app::statusKey());
        app::CChoiceBar& bar = program.mainView().selectionBar();
        QCOMPARE(bar.title(app::statusKey()), QStringLiteral("Web Item Status"));
        QCOMPARE(cell(view, PageStatusColumn::Page), QStringLiteral("No Page"));
        QCOMPARE(cell(view, PageStatusColumn::Status), QString());

        // The view's own menu, the shared actions behind its renamed entries.
        QStringList entries;
        for (QAction* menu : program.window().menuBar()->actions()) {
            if (menu->text() != "&Actions") continue;
            for (QAction* entry : menu->menu()->actions()) {
                if (!entry->isSeparator()) entries << entry->text();
            }
        }
        QCOMPARE(entries, (QStringList{"Analy&ze", "Reloa&d Selected", "St&op", "&Go to Source",
                                       "&Show Details...", "Open in Bro&wser", "S&ave As..."}));

        std::set<int> percents;
        QStringList headers;
        connect(&view.statusModel(), &QAbstractItemModel::dataChanged, this, [&] {
            const QVariant progress = view.statusModel()
                                          .index(0, static_cast<int>(PageStatusColumn::Status))
                                          .data(app::role::kProgress);
            if (progress.isValid()) percents.insert(progress.toInt());
            if (headers.isEmpty() || headers.back() != bar.title(app::statusKey()))
                headers << bar.title(app::statusKey());
        });
        QVERIFY(program.analyze(program.app().demoAddress()));
        QCOMPARE(program.mainView().activeView(), app::statusKey());
        const auto page = program.mainView().currentPage();
        QVERIFY(page);
        const QString address = QString::fromStdString(page->address().urlText);
        QVERIFY2(std::any_of(percents.begin(), percents.end(),
                             [](int percent) { return percent > 0 && percent < 100; }),
                 "no percentage between 0 and 100 was shown");
        QVERIFY(headers.contains("Downloading: '" + address + "'..."));

        // Settled (the demo's home has a broken image): the texts, the figures of the
        // connection the views show, no bar.
        QCOMPARE(page->state(), engine::PageState::ChildError);
        QCOMPARE(bar.title(app::statusKey()), "Child Download Failed: '" + address + "'.");
        QCOMPARE(cell(view, PageStatusColumn::Page), address);
        QCOMPARE(cell(view, PageStatusColumn::Status), QStringLiteral("Child Error"));
        QVERIFY(view.statusModel()
                    .index(0, static_cast<int>(PageStatusColumn::Status))
                    .data(app::role::kProgress)
                    .isNull());
        const QString elements = QStringLiteral("%1 (%1)").arg(page->finishedCount());
        QCOMPARE(cell(view, PageStatusColumn::Elements), elements);
        const QString measured = cell(view, PageStatusColumn::Time);
        program.mainView().setConnection(10);
        QVERIFY(cell(view, PageStatusColumn::Time) != measured);
        QCOMPARE(view.elementList()->elementModel()->rowCount(),
                 static_cast<int>(page->finishedCount()));

        // The slow image chosen: its information below, Go to Source in the Analysis view.
        const app::ElementListModel& model = *view.elementList()->elementModel();
        const int slow = rowEndingWith(model, "/images/slow.gif");
        QVERIFY(slow > 0);
        QVERIFY(view.elementList()->selectItem(model.figures(slow)->item.get()));
        QCOMPARE(view.informationList()->model()->index(0, 0).data().toString(),
                 QStringLiteral("Web Item Information:"));
        program.window().updateCommands();
        QVERIFY(program.window().action(CommandId::AnalyzePageSource)->isEnabled());
        QVERIFY(!program.window().action(CommandId::Stop)->isEnabled());
        program.window().runCommand(CommandId::AnalyzePageSource);
        QVERIFY(program.mainView().activeView() != app::statusKey());
        QCOMPARE(program.mainView().selectedElement(), model.figures(slow)->item);
    }

    void reloadingAFailedElement() {
        apptest::ProgramHome home;
        support::TestServer server;
        std::atomic<int> asked{0};
        server.get("/", [](const httplib::Request&, httplib::Response& response) {
            response.set_content("<html><img src=\"/flaky.gif\"></html>", "text/html");
        });
        server.get("/flaky.gif", [&asked](const httplib::Request&, httplib::Response& response) {
            if (asked++ == 0) {
                response.status = 503;
                return;
            }
            response.set_content(std::string("GIF89a", 6), "image/gif");
        });
        apptest::Program program;
        QVERIFY(program.started);
        app::CStatusDlg& view = showStatusView(program);
        QVERIFY(program.analyze(QString::fromStdString(server.url("/"))));
        const auto page = program.mainView().currentPage();
        QCOMPARE(page->state(), engine::PageState::ChildError);
        QCOMPARE(cell(view, PageStatusColumn::Status), QStringLiteral("Child Error"));

        const app::ElementListModel& model = *view.elementList()->elementModel();
        const int flaky = rowEndingWith(model, "/flaky.gif");
        QVERIFY(flaky > 0);
        QVERIFY(view.elementList()->selectItem(model.figures(flaky)->item.get()));
        program.window().updateCommands();
        QVERIFY(program.window().action(CommandId::AnalyzeSelected)->isEnabled());
        QVERIFY(program.run(QString(), CommandId::AnalyzeSelected));
        QCOMPARE(asked.load(), 2);

        const int reloaded = rowEndingWith(model, "/flaky.gif");
        QVERIFY(reloaded > 0);
        QCOMPARE(model.figures(reloaded)->item->phase(), engine::LoadPhase::Completed);
        QVERIFY(QTest::qWaitFor([&] { return page->state() == engine::PageState::Finished; }));
        QVERIFY(QTest::qWaitFor(
            [&] { return cell(view, PageStatusColumn::Status) == QStringLiteral("Finished"); }));
        QCOMPARE(program.mainView().selectionBar().title(app::statusKey()),
                 "Finished Download: '" + QString::fromStdString(page->address().urlText) + "'.");
    }
};

int main(int argc, char** argv) {
    app::prepareWebEngine();
    QApplication qt(argc, argv);
    StatusViewTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "StatusViewTest.moc"
