// The Waterfall view: its registration and rule, the core's drawing painted as it is, the tips,
// choosing bars with the mouse and the keys, the connection and the rows, export as SVG and PNG
// byte for byte and size for size; in the real window File > Import HAR of a recording the
// command line made and of a file that is no HAR.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHelpEvent>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMenu>
#include <QProcess>
#include <QTest>
#include <QToolTip>

#include <cmath>
#include <set>

#include "app/shell/AppContext.h"
#include "app/shell/ViewHost.h"
#include "app/waterfall/CWaterfallDlg.h"
#include "app/waterfall/WaterfallCanvas.h"
#include "app/waterfall/WaterfallPainting.h"
#include "app/waterfall/WaterfallRegistration.h"
#include "app/widgets/FileDialogs.h"
#include "engine/crawl/SiteTree.h"
#include "engine/figures/ConnectionSpeed.h"
#include "engine/figures/LineModel.h"
#include "engine/figures/NetworkLine.h"
#include "export/HarImport.h"
#include "export/HarWriter.h"
#include "export/WaterfallSvg.h"
#include "persist/SettingsBag.h"
#include "tests/app/CommandStates.h"
#include "tests/app/ProgramFixture.h"

using app::CommandId;
using app::CWaterfallDlg;
using report::WaterfallRows;

namespace {

// The window side for the view alone: the page, the connection, the stored values and the
// element the view selected.
class Host final : public app::ViewHost {
public:
    std::shared_ptr<engine::PageEntry> currentPage() const override { return page; }
    void setCurrentPage(std::shared_ptr<engine::PageEntry> p) override { page = std::move(p); }
    std::shared_ptr<engine::WebItem> selectedElement() const override { return element; }
    void setSelectedElement(std::shared_ptr<engine::WebItem> e) override { element = std::move(e); }
    int connectionIndex() const override { return connection; }
    QString addressBarText() const override { return {}; }
    void setStatusText(const QString&) override {}
    void commandStateChanged() override {}
    void selectView(int) override {}
    void customizeList(app::CMyListCtrl&) override {}
    void raiseHint(int, const QPoint&) override {}
    persist::SettingsBag& viewSettings() override { return bag; }
    void menuChanged() override {}
    bool requestMove(app::ViewMove, const app::ViewTarget&) override { return false; }

    std::shared_ptr<engine::PageEntry> page;
    std::shared_ptr<engine::WebItem> element;
    int connection = 0;
    persist::SettingsBag bag;
};

std::string fixture(const char* name) {
    return std::string(PAGELYST_HAR_FIXTURES) + "/" + name;
}

// The core's SVG of a page at a connection, laid out as the view lays it out.
std::string coreSvg(engine::PageEntry& page, int connection,
                    const report::WaterfallLayout& layout) {
    const engine::Waterfall actual = engine::waterfallOf(page.figures(engine::kActualSpeed));
    return exporting::waterfallSvg(
        report::drawWaterfall(engine::waterfallOf(page.figures(connection)), layout, &actual));
}

QPoint centreOf(const report::Box& box) {
    return QPoint(static_cast<int>(box.x + box.width / 2),
                  static_cast<int>(box.y + box.height / 2));
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// The view alone over a browser's recording of a page with connects, waits and failures.
struct Bench {
    explicit Bench(int storedRows = 0) {
        host.bag.setInt(CWaterfallDlg::kRowsSetting, storedRows);
        const exporting::HarImport imported =
            exporting::importHar(context.tree(), fixture("chrome-page.har"));
        if (!imported.nodes.empty()) host.page = imported.nodes.front()->page;
        view = std::make_unique<CWaterfallDlg>(host);
        view->resize(1000, 600);
        view->show();
        apptest::flushEvents();
    }
    app::WaterfallCanvas& canvas() const { return *view->canvas(); }
    const std::vector<report::BarHit>& hits() const { return canvas().drawing().hits; }
    std::shared_ptr<engine::WebItem> itemOf(int hit) const {
        const auto figures = host.page->figures(host.connection);
        return figures.items[static_cast<std::size_t>(hits()[static_cast<std::size_t>(hit)].item)]
            .item;
    }
    std::string shownSvg() const { return exporting::waterfallSvg(canvas().drawing()); }

    apptest::ProgramHome home;
    app::AppContext context;
    Host host;
    std::unique_ptr<CWaterfallDlg> view;
};

}  // namespace

class WaterfallViewTest : public QObject {
    Q_OBJECT

private slots:
    void registration() {
        const app::ViewRegistration view = app::waterfallView();
        QCOMPARE(view.key, 4);
        QCOMPARE(view.showCommand, CommandId::ViewWaterfall);
        QCOMPARE(view.shortName, QString("Waterfall"));
        QCOMPARE(view.title, QString("Page Waterfall"));
        QVERIFY(view.description.startsWith("This view shows "));
        QCOMPARE(view.image, app::IconId::Waterfall);
        QCOMPARE(view.menuTitle, QString("&Waterfall"));
        QCOMPARE(view.menu, (std::vector<app::MenuItem>{CommandId::Export, app::kSeparator}));
    }

    void enableRules_data() {
        std::set<std::string> withPage;
        for (const auto& named : apptest::commandStates())
            if (named.state.currentPage) withPage.insert(named.name);
        QVERIFY(!withPage.empty() && withPage.size() < apptest::commandStates().size());
        apptest::addRuleRows({{CommandId::Export, withPage}});
    }
    void enableRules() {
        QFETCH(int, command);
        QFETCH(int, state);
        QFETCH(bool, enabled);
        static const app::ViewRegistration view = app::waterfallView();
        const app::ViewCommand* rule = view.command(static_cast<CommandId>(command));
        QVERIFY(rule);
        QCOMPARE(rule->enabled(apptest::commandStates()[static_cast<std::size_t>(state)].state),
                 enabled);
    }

    // What the widget shows is the core's drawing at its width, and a connect bar is painted
    // in the connect colour where the drawing puts it.
    void paintsTheCoresDrawing() {
        Bench bench;
        QVERIFY(bench.host.page);
        const report::WaterfallLayout layout = bench.canvas().layout();
        QCOMPARE(layout.width, static_cast<double>(bench.view->canvas()->parentWidget()->width()));
        QCOMPARE(bench.shownSvg(), coreSvg(*bench.host.page, 0, layout));
        const QImage shown = bench.canvas().grab().toImage();
        int connects = 0;
        for (const report::Shape& shape : bench.canvas().drawing().shapes) {
            const auto* rect = std::get_if<report::RectShape>(&shape);
            if (!rect || rect->fill != report::Paint::Connect || rect->box.width < 3) continue;
            ++connects;
            QCOMPARE(shown.pixelColor(centreOf(rect->box)),
                     app::qtColourOf(report::Paint::Connect));
        }
        QVERIFY(connects > 0);
        QCOMPARE(bench.canvas().accessibleName(), QString("Waterfall"));
        QVERIFY(bench.canvas().accessibleDescription().startsWith("Download time "));
    }

    // The drawing is made again for a new width, and not for a paint or a selection.
    void theDrawingIsKeptUntilTheWidthChanges() {
        Bench bench;
        const int builds = bench.canvas().builds();
        bench.canvas().repaint();
        bench.host.element = bench.itemOf(1);
        bench.view->selectedElementChanged();
        QCOMPARE(bench.canvas().builds(), builds);
        bench.view->resize(1300, 600);
        apptest::flushEvents();
        QCOMPARE(bench.canvas().builds(), builds + 1);
        QCOMPARE(bench.canvas().layout().width,
                 static_cast<double>(bench.canvas().parentWidget()->width()));
    }

    void hoverShowsTheBarsTip() {
        Bench bench;
        QVERIFY(bench.hits().size() > 2);
        const report::BarHit& bar = bench.hits()[2];
        const QPoint at = centreOf(bar.box);
        QHelpEvent help(QEvent::ToolTip, at, bench.canvas().mapToGlobal(at));
        QApplication::sendEvent(&bench.canvas(), &help);
        QCOMPARE(QToolTip::text(), QString::fromStdString(bar.tip));
        QVERIFY(QToolTip::text().contains("Actual Speed"));
        QCOMPARE(bench.canvas().tipAt(QPoint(1, 1)), QString());
    }

    // A click chooses the bar's element for the other views; Up and Down move along the bars
    // and stop at the ends; an element chosen elsewhere is outlined.
    void clicksAndKeysSelectTheElement() {
        Bench bench;
        const int last = static_cast<int>(bench.hits().size()) - 1;
        QTest::mouseClick(&bench.canvas(), Qt::LeftButton, {}, centreOf(bench.hits()[1].box));
        QCOMPARE(bench.canvas().selectedHit(), 1);
        QCOMPARE(bench.host.element, bench.itemOf(1));
        for (const auto& [key, expected] : std::vector<std::pair<Qt::Key, int>>{
                 {Qt::Key_Down, 2}, {Qt::Key_Up, 1}, {Qt::Key_Up, 0}, {Qt::Key_Up, 0}}) {
            QTest::keyClick(&bench.canvas(), key);
            QCOMPARE(bench.canvas().selectedHit(), expected);
            QCOMPARE(bench.host.element, bench.itemOf(expected));
        }
        bench.host.element = bench.itemOf(last);
        bench.view->selectedElementChanged();
        QCOMPARE(bench.canvas().selectedHit(), last);
        bench.host.element = nullptr;
        bench.view->selectedElementChanged();
        QCOMPARE(bench.canvas().selectedHit(), -1);
    }

    void aConnectionChangeDrawsAgain_data() {
        QTest::addColumn<int>("connection");
        for (const int index : {2, 7, 0}) QTest::addRow("%d", index) << index;
    }
    void aConnectionChangeDrawsAgain() {
        QFETCH(int, connection);
        Bench bench;
        bench.host.connection = connection;
        bench.view->connectionChanged(connection);
        QCOMPARE(bench.shownSvg(), coreSvg(*bench.host.page, connection, bench.canvas().layout()));
        QCOMPARE(bench.canvas().waterfall().connectionIndex, connection);
        const std::string_view name =
            engine::kConnectionSpeeds[static_cast<std::size_t>(connection)].name;
        QVERIFY(bench.canvas().accessibleDescription().endsWith(
            QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()))));
    }

    // The rows switch from the tool bar or the menu, are stored, and a new view starts with
    // them; the drawing follows.
    void theRowsAreStored() {
        Bench bench;
        QMenu menu;
        bench.view->fillMenu(menu);
        QCOMPARE(menu.actions().size(), 2);
        QVERIFY(menu.actions()[0]->isChecked());
        menu.actions()[1]->trigger();
        QCOMPARE(bench.host.bag.getInt(CWaterfallDlg::kRowsSetting), 1);
        QCOMPARE(bench.canvas().layout().rows, WaterfallRows::Lanes);
        QCOMPARE(bench.shownSvg(), coreSvg(*bench.host.page, 0, bench.canvas().layout()));
        Bench again(1);
        QCOMPARE(again.canvas().layout().rows, WaterfallRows::Lanes);
        QVERIFY(again.view->rowsAction(WaterfallRows::Lanes)->isChecked());
        again.view->rowsAction(WaterfallRows::Elements)->trigger();
        QCOMPARE(again.host.bag.getInt(CWaterfallDlg::kRowsSetting), 0);
        QCOMPARE(again.canvas().layout().rows, WaterfallRows::Elements);
    }

    // The view's own line: a classic connection whatever the window shows, or one of today's
    // lines as the model has it, one row per element while the stored choice stays.
    void theLineSelectorDrawsAConnectionOrALineOfToday() {
        Bench bench(1);
        QVERIFY(bench.view->chooseLine("T1"));
        QCOMPARE(bench.canvas().waterfall().connectionIndex, 2);
        QCOMPARE(bench.canvas().layout().rows, WaterfallRows::Lanes);

        QVERIFY(bench.view->chooseLine("Slow 4G"));
        const engine::NetworkLine* line = nullptr;
        for (const engine::NetworkLine& named : engine::namedLines())
            if (named.name == "Slow 4G") line = &named;
        QVERIFY(line);
        const engine::LineFigures model =
            engine::modelLine(bench.host.page->figures(engine::kActualSpeed), *line);
        QCOMPARE(bench.canvas().waterfall().downloadTime, model.loadTime);
        QCOMPARE(bench.canvas().waterfall().browseTime, model.renderTime);
        QCOMPARE(bench.canvas().waterfall().rows.size(), model.waterfall.rows.size());
        QCOMPARE(bench.canvas().layout().rows, WaterfallRows::Elements);
        QVERIFY(!bench.view->rowsAction(WaterfallRows::Lanes)->isEnabled());
        QCOMPARE(bench.host.bag.getInt(CWaterfallDlg::kRowsSetting), 1);
        QVERIFY(bench.shownSvg().find(">Slow 4G: ") != std::string::npos);
        QVERIFY(bench.canvas().accessibleDescription().endsWith("Slow 4G"));

        QVERIFY(bench.view->chooseLine("Connection Type"));
        bench.host.connection = 7;
        bench.view->connectionChanged(7);
        QCOMPARE(bench.canvas().waterfall().connectionIndex, 7);
        QCOMPARE(bench.canvas().layout().rows, WaterfallRows::Lanes);
        QVERIFY(bench.view->rowsAction(WaterfallRows::Lanes)->isEnabled());
        QVERIFY(!bench.view->chooseLine("No such line"));
    }

    void exportWritesTheDrawing_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("rows");
        QTest::addRow("svg by elements") << "w.svg" << 0;
        QTest::addRow("svg by lanes") << "w.svg" << 1;
        QTest::addRow("png by elements") << "w.png" << 0;
        QTest::addRow("png by lanes, upper case") << "w.PNG" << 1;
    }
    void exportWritesTheDrawing() {
        QFETCH(QString, name);
        QFETCH(int, rows);
        Bench bench(rows);
        const QString path = QDir(bench.home.file("")).filePath(name);
        QString caption;
        app::setPathChooser([&](const QString& c) {
            caption = c;
            return path;
        });
        QVERIFY(bench.view->runCommand(CommandId::Export));
        app::setPathChooser({});
        QCOMPARE(caption, QString("Export"));
        const report::WaterfallLayout layout = bench.canvas().layout();
        if (name.endsWith(".svg")) {
            QCOMPARE(fileBytes(path).toStdString(), coreSvg(*bench.host.page, 0, layout));
        } else {
            const QImage image(path, "PNG");
            const report::WaterfallDrawing& drawing = bench.canvas().drawing();
            QCOMPARE(image.size(), QSize(static_cast<int>(std::ceil(drawing.width)),
                                         static_cast<int>(std::ceil(drawing.height))));
            QCOMPARE(image.pixelColor(0, 0), app::qtColourOf(report::Paint::Background));
        }
    }

    void aFailedExportIsTold_data() {
        QTest::addColumn<QString>("name");
        QTest::addRow("svg") << "blocked.svg";
        QTest::addRow("png") << "blocked.png";
    }
    void aFailedExportIsTold() {
        QFETCH(QString, name);
        Bench bench;
        const QString blocked = QDir(bench.home.file("")).filePath(name);
        QVERIFY(QDir().mkpath(blocked + "/inside"));
        apptest::Answers answers;
        app::setPathChooser([&](const QString&) { return blocked; });
        bench.view->runCommand(CommandId::Export);
        app::setPathChooser({});
        QCOMPARE(answers.asked, QStringList{"Error exporting data."});
        QCOMPARE(answers.boxes.front().caption, QString("Error"));
        QVERIFY(QFileInfo(blocked + "/inside").isDir());
    }

    // A recording of the demo home page made by the command line comes in as pages of the
    // tree; the first is current in the site tree and the Waterfall view draws it.
    void importHarAddsThePagesAndMakesTheFirstCurrent() {
        apptest::ProgramHome home;
        apptest::Program program({"pagelyst", "--demo"});
        QVERIFY(program.started);
        const QString har = home.file("demo.har");
        QProcess cli;
        cli.start(PAGELYST_CLI, {"analyze", program.app().demoAddress(), "--har", har});
        QVERIFY(cli.waitForFinished(120000));
        QVERIFY2(cli.exitCode() == 0 || cli.exitCode() == 3,
                 cli.readAllStandardError().constData());
        const std::size_t before = program.context().tree().displayOrder().size();
        program.window().updateCommands();
        QVERIFY(program.window().action(CommandId::ImportHar)->isEnabled());

        QString caption;
        app::setPathChooser([&](const QString& c) {
            caption = c;
            return har;
        });
        program.window().runCommand(CommandId::ImportHar);
        app::setPathChooser({});
        apptest::flushEvents();
        QCOMPARE(caption, QString("Import HAR"));
        const auto nodes = program.context().tree().displayOrder();
        QVERIFY(nodes.size() > before);
        const auto current = program.mainView().currentPage();
        QVERIFY(current);
        QCOMPARE(current, nodes[before]->page);
        QCOMPARE(program.siteTree().selectedNodes(), std::vector<engine::SiteNode*>{nodes[before]});
        QVERIFY2(program.application().status().text().startsWith("Imported 1 page with "),
                 qPrintable(program.application().status().text()));

        program.window().runCommand(CommandId::ViewWaterfall);
        QCOMPARE(program.mainView().activeView(), app::waterfallKey());
        apptest::flushEvents();
        auto& view = *dynamic_cast<CWaterfallDlg*>(program.mainView().view(app::waterfallKey()));
        QVERIFY(view.canvas()->waterfall().rows.size() > 1);
        QCOMPARE(view.canvas()->waterfall().downloadTime, current->figures(0).downloadTime);
    }

    // File > Export HAR writes every page of the tree; a place that cannot be written is told
    // with its cause and leaves no file.
    void theTreeIsExportedAsHarAndAFailedWriteIsTold() {
        apptest::ProgramHome home;
        apptest::Program program({"pagelyst", "--demo"});
        program.window().updateCommands();
        QVERIFY(!program.window().action(CommandId::ExportHar)->isEnabled());
        QVERIFY(program.analyze(program.app().demoAddress()));
        QVERIFY(program.window().action(CommandId::ExportHar)->isEnabled());

        const QString har = home.file("pages.har");
        app::setPathChooser([&](const QString&) { return har; });
        program.window().runCommand(CommandId::ExportHar);
        QFile file(har);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QJsonObject log =
            QJsonDocument::fromJson(file.readAll()).object().value("log").toObject();
        // Every page of the tree went in, as the command line writes them.
        std::vector<std::shared_ptr<engine::PageEntry>> pages;
        for (const auto* node : program.context().tree().displayOrder())
            pages.push_back(node->page);
        QVERIFY(pages.size() > 1);
        const auto expected = exporting::harDocument(pages)["log"];
        QCOMPARE(static_cast<std::size_t>(log.value("pages").toArray().size()),
                 expected["pages"].size());
        QCOMPARE(static_cast<std::size_t>(log.value("entries").toArray().size()),
                 expected["entries"].size());

        apptest::Answers answers;
        const QString nowhere = home.file("missing/pages.har");
        app::setPathChooser([&](const QString&) { return nowhere; });
        program.window().runCommand(CommandId::ExportHar);
        app::setPathChooser({});
        QCOMPARE(answers.asked.size(), 1);
        QVERIFY2(answers.asked.front().startsWith(QDir::toNativeSeparators(nowhere) +
                                                  " could not be written."),
                 qPrintable(answers.asked.front()));
        QVERIFY(!QFileInfo::exists(nowhere));
    }

    void aFileThatIsNoHarIsToldAndChangesNothing() {
        apptest::ProgramHome home;
        apptest::Program program({"pagelyst", "--demo"});
        const QString bad = home.file("bad.har");
        {
            QFile file(bad);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("this is not JSON");
        }
        const auto before = program.context().tree().displayOrder();
        const auto current = program.mainView().currentPage();
        apptest::Answers answers;
        app::setPathChooser([&](const QString&) { return bad; });
        program.window().runCommand(CommandId::ImportHar);
        app::setPathChooser({});
        QCOMPARE(answers.asked.size(), 1);
        QCOMPARE(answers.boxes.front().caption, QString("Error"));
        QVERIFY2(answers.asked.front().startsWith(QDir::toNativeSeparators(bad) +
                                                  " could not be imported."),
                 qPrintable(answers.asked.front()));
        QVERIFY2(answers.asked.front().contains("JSON"), qPrintable(answers.asked.front()));
        QCOMPARE(program.context().tree().displayOrder(), before);
        QCOMPARE(program.mainView().currentPage(), current);
    }
};

QTEST_MAIN(WaterfallViewTest)
#include "WaterfallViewTest.moc"
