// The whole first job in the real main window, on the bundled demo site: analyse, crawl with
// Auto on, compare the tree with what the command line reported for the same site (the shared
// demo run), stop a slow run, save the scenario and open it again.
#include <QAction>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <QUrl>

#include "app/main/PagelystApp.h"
#include "app/shell/CApplication.h"
#include "app/shell/CMainFrame.h"
#include "app/shell/MainView.h"
#include "app/shell/ScenarioCommands.h"
#include "app/sitetree/CSiteTreeDlg.h"
#include "app/sitetree/SiteTreeModel.h"
#include "engine/crawl/SiteTree.h"
#include "engine/items/WebItem.h"
#include "query/DisplayFormats.h"
#include "report/SiteColumns.h"
#include "tests/app/AppTestSupport.h"

using app::CommandId;

namespace {

// The model's row texts of the columns compared, by the page's path. The class is left out: it
// grades measured element times too, which two runs never share exactly.
struct RowTexts {
    QString state, size, elements;
    bool operator==(const RowTexts&) const = default;
};
using Rows = std::map<QString, RowTexts>;

int column(std::uint32_t id) {
    for (int c = 0; c < 19; ++c) {
        if (app::SiteTreeModel::columnId(c) == id) return c;
    }
    return -1;
}

void collect(const QAbstractItemModel& model, const QModelIndex& parent, Rows& rows) {
    static const int status = column(report::kColumnStatus), size = column(report::kColumnSize),
                     elements = column(report::kColumnElements);
    for (int row = 0; row < model.rowCount(parent); ++row) {
        const QModelIndex first = model.index(row, 0, parent);
        const auto text = [&](int c) { return model.index(row, c, parent).data().toString(); };
        rows[QUrl(first.data().toString()).path()] = {text(status), text(size), text(elements)};
        collect(model, first, rows);
    }
}

// The same columns from `pagelyst-cli demo --json` in the shared demo run.
Rows commandLineRows() {
    QFile json(QStringLiteral(PAGELYST_DEMO_RUN_DIR "/demo.json"));
    if (!json.open(QIODevice::ReadOnly)) return {};
    const QJsonObject document = QJsonDocument::fromJson(json.readAll()).object();
    Rows rows;
    for (const auto& value : document.value("pages").toArray()) {
        const QJsonObject page = value.toObject();
        const bool loaded = page.value("stateValue").toInt() & (4 | 8 | 16);
        const auto bytes = static_cast<std::int32_t>(page.value("size").toDouble());
        rows[QUrl(page.value("address").toString()).path()] = {
            page.value("state").toString(),
            loaded ? QString::fromStdString(query::formatSize(bytes)) : QString(),
            loaded ? QString::number(page.value("elements").toInt()) : QString()};
    }
    return rows;
}

}  // namespace

class DesktopDemoTest : public QObject {
    Q_OBJECT

private slots:
    void crawlMatchesTheCommandLineAndSurvivesSaveAndOpen() {
        apptest::ProgramHome home;
        app::PagelystApp program;
        QVERIFY(program.application().start({"pagelyst", "--demo"}));
        app::CMainFrame& window = *program.application().mainWindow();
        app::AppContext& context = program.application().context();
        QCOMPARE(window.addressBarText(), program.demoAddress());
        QVERIFY(window.action(CommandId::Auto)->isChecked());

        {
            apptest::RunWatcher run(context);
            window.runCommand(CommandId::Analyze);
            QVERIFY(run.waitForEnd());
        }
        window.updateCommands();
        QVERIFY(window.action(CommandId::AnalyzeAll)->isEnabled());
        apptest::RunWatcher crawl(context);
        window.runCommand(CommandId::AnalyzeAll);
        QVERIFY(crawl.waitForEnd());

        auto* view = dynamic_cast<app::CSiteTreeDlg*>(window.mainView().activeAppView());
        QVERIFY(view);
        view->model()->flush();
        Rows shown;
        collect(*view->model(), {}, shown);
        const Rows expected = commandLineRows();
        QVERIFY(!expected.empty());
        for (const auto& [path, row] : expected) {
            QVERIFY2(shown.count(path), qPrintable(path));
            QCOMPARE(shown[path].state, row.state);
            QCOMPARE(shown[path].size, row.size);
            QCOMPARE(shown[path].elements, row.elements);
        }
        QCOMPARE(shown.size(), expected.size());

        // Saved and opened again: the same addresses in the same shape, every page "Ready" and
        // checked. With Auto on, a page that is neither loaded, checked nor a parent (the
        // partner page outside the scope) is not written.
        const QString file = home.file("demo.wsa");
        QVERIFY(app::ScenarioCommands::saveTo(&window, context, file));
        const auto before = context.tree().displayOrder();
        std::vector<std::pair<std::string, int>> shape;
        for (const auto* node : before) {
            if (node->checked() || !node->children.empty()) {
                shape.emplace_back(node->page->address().urlText, node->depth);
            }
        }
        QCOMPARE(shape.size(), before.size() - 1);
        QVERIFY(app::ScenarioCommands::load(&window, context, file));
        std::vector<std::pair<std::string, int>> reopened;
        for (const auto* node : context.tree().displayOrder()) {
            reopened.emplace_back(node->page->address().urlText, node->depth);
            QCOMPARE(node->page->state(), engine::PageState::Ready);
            if (context.tree().inScope(*node)) QVERIFY(node->checked());
        }
        QCOMPARE(reopened, shape);
        window.close();
    }

    // Stop while the demo's slow element is still being served ends the run, and that element
    // never completes.
    void stopDuringTheSlowElementEndsTheRun() {
        apptest::ProgramHome home;
        app::PagelystApp program;
        QVERIFY(program.application().start({"pagelyst", "--demo"}));
        app::CMainFrame& window = *program.application().mainWindow();
        app::AppContext& context = program.application().context();
        apptest::RunWatcher run(context);
        window.runCommand(CommandId::Analyze);
        QVERIFY(QTest::qWaitFor([&] {
            const auto item = slowElement(context);
            return item && item->phase() != engine::LoadPhase::Ready;
        }));
        window.updateCommands();
        QVERIFY(window.action(CommandId::Stop)->isEnabled());
        window.runCommand(CommandId::Stop);
        QVERIFY(run.waitForEnd());
        QVERIFY(slowElement(context)->phase() != engine::LoadPhase::Completed);
        window.updateCommands();
        QVERIFY(!window.action(CommandId::Stop)->isEnabled());
        window.close();
    }

private:
    // The demo page's slow image, once the page has found it.
    static std::shared_ptr<engine::WebItem> slowElement(app::AppContext& context) {
        const auto order = context.tree().displayOrder();
        if (order.empty()) return nullptr;
        for (const auto& figures : order.front()->page->figures(0).items) {
            if (figures.item->address().urlText.ends_with("/images/slow.gif")) return figures.item;
        }
        return nullptr;
    }
};

QTEST_MAIN(DesktopDemoTest)
#include "DesktopDemoTest.moc"
