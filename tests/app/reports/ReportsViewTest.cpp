// The Reports view: its list and menu over the report manager, the context menu with every
// answer, what it shows without a page, and in the real window the demo site's reports, a
// report designed in the wizard that survives a restart, export byte for byte as the core and
// the command line write it, the PDF export, a hostile page and a damaged definitions file.
#include <QAbstractButton>
#include <QAbstractItemModelTester>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <QWizard>

#include <set>

#include "app/reports/CNewReportPropertyPage1.h"
#include "app/reports/CNewReportPropertySheet.h"
#include "app/reports/CReportDlg.h"
#include "app/reports/CReportListCtrl.h"
#include "app/reports/ReportListModel.h"
#include "app/reports/ReportsRegistration.h"
#include "app/shell/AppContext.h"
#include "app/widgets/CMoreHtmlView.h"
#include "app/widgets/CTabPane.h"
#include "app/widgets/FileDialogs.h"
#include "app/widgets/HintTexts.h"
#include "app/widgets/HtmlViewPage.h"
#include "app/widgets/WebEngineSetup.h"
#include "engine/crawl/SiteTree.h"
#include "persist/DocumentFolders.h"
#include "report/FieldItem.h"
#include "report/HtmlTextItem.h"
#include "report/PageReportSource.h"
#include "report/ReportOutput.h"
#include "report/TableItem.h"
#include "report/TitleItem.h"
#include "tests/app/CommandStates.h"
#include "tests/app/FakeViewHost.h"
#include "tests/app/ProgramFixture.h"
#include "tests/support/TestServer.h"

using app::CommandId;
using app::CReportDlg;
using Button = QMessageBox::StandardButton;

namespace {

constexpr int kLoadTimeoutMs = 30000;

// A view over its own report manager (the built-ins) and an empty site tree, shown, with
// editors that do what the test says.
struct Bench {
    explicit Bench(int storedMode = app::CChoiceListCtrl::Details, int storedSelection = 2) {
        reports.createBuiltInReports();
        reports.createBuiltInStyles();
        host.bag.setInt("ReportTabView1", storedMode);
        host.bag.setInt("ReportTabSelection", storedSelection);
        app::ReportSources sources{context.tree(), context.conditions(), [] { return false; }};
        app::ReportEditors editors{[this](QWidget*, report::ReportManager& r) {
                                       return create ? create(r) : std::nullopt;
                                   },
                                   [this](QWidget*, report::ReportManager& r, std::int32_t id) {
                                       return modify && modify(r, id);
                                   },
                                   [this](QWidget*, report::ReportManager&, std::int32_t style) {
                                       styleEditorOpenedOn = style;
                                   }};
        view = std::make_unique<CReportDlg>(host, reports, std::move(sources), std::move(editors));
        view->resize(900, 500);
        view->show();
        apptest::flushEvents();
    }

    const app::ReportListModel& model() const { return *view->reportList()->reportModel(); }
    // "id|name|description" per row.
    QStringList rows() const {
        QStringList out;
        for (int row = 0; row < model().rowCount(); ++row) {
            out << model().index(row, 0).data(app::ReportListModel::kIdRole).toString() + "|" +
                       model().index(row, 0).data().toString() + "|" +
                       model().index(row, 1).data().toString();
        }
        return out;
    }
    // The entries the view adds to its menu: "command=name" and a "*" when checked.
    QStringList menu() const {
        QMenu menu;
        view->fillMenu(menu);
        QStringList entries;
        for (QAction* action : menu.actions()) {
            entries << QString::number(action->data().toInt()) + "=" + action->text() +
                           (action->isChecked() ? "*" : "");
        }
        return entries;
    }
    static QAction* entry(QMenu& menu, const QString& text) {
        for (QAction* action : menu.actions()) {
            if (action->text() == text) return action;
            if (action->menu())
                if (QAction* inner = entry(*action->menu(), text)) return inner;
        }
        return nullptr;
    }
    // The context menu's entries on a row as "text" or "text (off)", the default one marked.
    QStringList contextEntries(std::int32_t id) {
        if (!view->reportList()->select(id)) return {"no row " + QString::number(id)};
        const auto menu = view->makeContextMenu();
        QStringList out;
        for (QAction* action : menu->actions()) {
            if (action->isSeparator()) continue;
            out << action->text() + (action->isEnabled() ? "" : " (off)") +
                       (menu->defaultAction() == action ? " (default)" : "");
        }
        return out;
    }
    void runContext(std::int32_t id, const QString& text) {
        QVERIFY(view->reportList()->select(id));
        const auto menu = view->makeContextMenu();
        QAction* action = entry(*menu, text);
        QVERIFY(action);
        action->trigger();
        apptest::flushEvents();
    }

    apptest::ProgramHome home;
    app::AppContext context;
    apptest::FakeViewHost host;
    report::ReportManager reports;
    std::function<std::optional<std::int32_t>(report::ReportManager&)> create;
    std::function<bool(report::ReportManager&, std::int32_t)> modify;
    std::optional<std::int32_t> styleEditorOpenedOn;
    std::unique_ptr<CReportDlg> view;
};

CReportDlg& reportsOf(apptest::Program& program) {
    return *dynamic_cast<CReportDlg*>(program.mainView().view(app::reportsKey()));
}

// Analyses the address, makes its page current and shows the Reports view.
void showPage(apptest::Program& program, const QString& address) {
    QVERIFY(program.analyze(address));
    program.siteTree().selectNode(program.context().tree().displayOrder().front());
    program.window().runCommand(CommandId::ViewReports);
    QCOMPARE(program.mainView().activeView(), app::reportsKey());
    apptest::flushEvents();
}

// What the view's document shows, once it has shown what it was last given.
QString shownText(app::CHtmlView& view) {
    if (!QTest::qWaitFor([&] { return view.isCreated() && !view.isLoading(); }, kLoadTimeoutMs))
        return "<still loading>";
    QString text;
    bool done = false;
    view.page()->toPlainText([&](const QString& shown) {
        text = shown;
        done = true;
    });
    return QTest::qWaitFor([&] { return done; }, kLoadTimeoutMs) ? text : "<timeout>";
}

// The core's export text for the program's current page and connection.
std::string coreExport(apptest::Program& program, std::int32_t id) {
    std::vector<std::shared_ptr<engine::PageEntry>> pages;
    for (const engine::SiteNode* node : program.context().tree().displayOrder())
        pages.push_back(node->page);
    const report::PageReportSource source(program.mainView().currentPage(), pages,
                                          program.mainView().connectionIndex(), false,
                                          &program.context().conditions());
    return report::exportText(program.context().reports(), id, source);
}

// The lines of an export with every number blanked, in a fixed order: two measurements of one
// page differ only in their figures, and rows ordered by time may change places.
QStringList withoutFigures(const QByteArray& bytes) {
    QString text = QString::fromUtf8(bytes);
    text.replace(QRegularExpression("[0-9]+([.,:][0-9]+)*"), "#");
    QStringList lines = text.split('\n');
    lines.sort();
    return lines;
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

std::int32_t reportNamed(apptest::Program& program, const std::string& name) {
    for (const auto& [id, stored] : program.context().reports().reports())
        if (stored.name() == name) return id;
    return 0;
}

}  // namespace

class ReportsViewTest : public QObject {
    Q_OBJECT

private slots:
    void registration() {
        const app::ViewRegistration view = app::reportsView();
        QCOMPARE(view.key, 3);
        QCOMPARE(view.showCommand, CommandId::ViewReports);
        QCOMPARE(view.shortName, QString("Reports"));
        QCOMPARE(view.title, QString("Web Site Reports"));
        QCOMPARE(view.description, QString("This view shows various reports for web site pages."));
        QCOMPARE(view.menuTitle, QString("&Report"));
        QCOMPARE(view.menu, (std::vector<app::MenuItem>{CommandId::NewReport, CommandId::EditStyles,
                                                        app::kSeparator}));
        QCOMPARE(QString(view.pane->pin), QString("ReportStatTabPin"));
        QCOMPARE(QString(view.pane->width), QString("ReportTabXSize"));
    }

    void enableRules_data() {
        std::set<std::string> withPage;
        std::set<std::string> all;
        for (const auto& named : apptest::commandStates()) {
            all.insert(named.name);
            if (named.state.currentPage) withPage.insert(named.name);
        }
        QVERIFY(!withPage.empty() && withPage != all);
        apptest::addRuleRows({{CommandId::NewReport, all},
                              {CommandId::EditStyles, all},
                              {CommandId::Export, withPage},
                              {CommandId::Print, withPage},
                              {CommandId::ExportPdf, withPage}});
    }
    void enableRules() {
        QFETCH(int, command);
        QFETCH(int, state);
        QFETCH(bool, enabled);
        static const app::ViewRegistration view = app::reportsView();
        const app::ViewCommand* rule = view.command(static_cast<CommandId>(command));
        QVERIFY(rule);
        QCOMPARE(rule->enabled(apptest::commandStates()[static_cast<std::size_t>(state)].state),
                 enabled);
    }

    void listRowsPerModeAndRefreshRule() {
        Bench bench;
        QAbstractItemModelTester tester(bench.view->reportList()->reportModel(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        const QStringList rows = bench.rows();
        QCOMPARE(rows.size(), 3 + 7);
        QCOMPARE(rows[0], QString("0|New...|Create new report."));
        QCOMPARE(rows[1], QString("1|Consolidated Site Tree Report|Shows consolidated analysis "
                                  "report for all analyzed pages."));
        QCOMPARE(rows[2], QString("2|Web Page Analysis Report|Shows general analysis report for "
                                  "current web page."));
        const report::Report& first = bench.reports.reports().begin()->second;
        QCOMPARE(rows[3], QString("101|%1|%2")
                              .arg(QString::fromStdString(first.name()),
                                   QString::fromStdString(first.description())));
        QCOMPARE(bench.view->reportList()->selectedId(), 2);

        // Rows are made again only when the manager changed.
        QSignalSpy resets(bench.view->reportList()->reportModel(), &QAbstractItemModel::modelReset);
        bench.view->refreshReports();
        QCOMPARE(resets.count(), 0);
        bench.reports.removeReport(103);
        bench.view->refreshReports();
        QCOMPARE(resets.count(), 1);
        QCOMPARE(bench.rows().size(), 9);
        QCOMPARE(bench.view->reportList()->selectedId(), 2);  // the selection stays

        // The analysis choice lists only the two analysis reports.
        bench.view->reportList()->setListMode(report::ReportListMode::AnalysisOnly);
        QVERIFY(bench.view->reportList()->refill(bench.reports));
        QCOMPARE(bench.rows().size(), 2);
        QVERIFY(bench.rows()[0].startsWith("1|"));
    }

    void menuNumbersAndCheckMark() {
        Bench bench;
        QStringList menu = bench.menu();
        QCOMPARE(menu.size(), 2 + 7);
        QCOMPARE(menu[0], QString("3000=Consolidated Site Tree Report"));
        QCOMPARE(menu[1], QString("3001=Web Page Analysis Report*"));
        for (int at = 2; at < menu.size(); ++at)
            QVERIFY(menu[at].startsWith(QString::number(3000 + at) + "="));
        bench.view->chooseReport(105);
        menu = bench.menu();
        QCOMPARE(menu.filter("*").size(), 1);
        QVERIFY(menu[6].endsWith("*"));  // 101 102 103 104 105
        QCOMPARE(bench.view->reportList()->selectedId(), 105);
        QCOMPARE(bench.host.bag.getInt("ReportTabSelection"), 105);

        // Choosing an entry shows its report; a name's "&" stays a character.
        report::Report amp("A&B", "", 0);
        const std::int32_t id = bench.reports.addReport(std::move(amp));
        QMenu shown;
        bench.view->fillMenu(shown);
        QVERIFY(Bench::entry(shown, "A&&B"));
        Bench::entry(shown, "Consolidated Site Tree Report")->trigger();
        QCOMPARE(bench.view->selectedId(), 1);
        QVERIFY(id > 107);
        QTRY_VERIFY(bench.host.menuRebuilds > 0);
    }

    void contextMenuRulesAndDelete() {
        Bench bench;
        const QStringList analysis = {"&Modify... (off) (default)", "&New...", "&Export...",
                                      "&Delete (off)", "&View"};
        QCOMPARE(bench.contextEntries(0), analysis);
        QCOMPARE(bench.contextEntries(1), analysis);
        QCOMPARE(bench.contextEntries(2), analysis);
        QCOMPARE(bench.contextEntries(105), (QStringList{"&Modify... (default)", "&New...",
                                                         "&Export...", "&Delete", "&View"}));

        const QString name = QString::fromStdString(bench.reports.findReport(105)->name());
        bench.view->chooseReport(105);
        for (const Button answer : {Button::No, Button::Cancel}) {
            apptest::Answers answers({answer});
            bench.runContext(105, "&Delete");
            QCOMPARE(answers.asked, QStringList{"Delete report: '" + name + "'?"});
            QCOMPARE(answers.boxes.front().caption, QString("Confirm"));
            QCOMPARE(answers.boxes.front().icon, QMessageBox::Question);
            QCOMPARE(answers.boxes.front().buttons,
                     QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            QVERIFY(bench.reports.findReport(105));
        }
        apptest::Answers answers({Button::Yes});
        bench.runContext(105, "&Delete");
        QVERIFY(!bench.reports.findReport(105));
        QVERIFY(!bench.rows().join(";").contains("105|"));
        // The shown report went: the page analysis takes its place.
        QCOMPARE(bench.view->selectedId(), 2);
        QCOMPARE(bench.view->reportList()->selectedId(), 2);
    }

    void modifyNewAndStylesReachTheirEditors() {
        Bench bench;
        std::vector<std::int32_t> modified;
        bench.modify = [&](report::ReportManager& reports, std::int32_t id) {
            modified.push_back(id);
            reports.findReport(id);  // as the editor would, through replaceReport
            report::Report copy = reports.findReport(id)->clone();
            copy.setName("Changed");
            reports.replaceReport(id, std::move(copy));
            return true;
        };
        bench.runContext(104, "&Modify...");
        QCOMPARE(modified, std::vector<std::int32_t>{104});
        QVERIFY(bench.rows().contains(QString("104|Changed|")));
        bench.runContext(2, "&Modify...");  // disabled: an analysis report has no content
        QCOMPARE(modified.size(), std::size_t{1});

        // "New..." activated runs the wizard; its report is selected and shown.
        bench.create = [](report::ReportManager& reports) {
            return std::optional<std::int32_t>(reports.addReport(report::Report("Mine", "d", 2)));
        };
        emit bench.view->reportList()->activated(0);
        apptest::flushEvents();
        QCOMPARE(QString::fromStdString(bench.reports.findReport(bench.view->selectedId())->name()),
                 QString("Mine"));
        QCOMPARE(bench.view->reportList()->selectedId(), bench.view->selectedId());
        // A cancelled wizard changes nothing.
        bench.create = [](report::ReportManager&) { return std::optional<std::int32_t>(); };
        const std::int32_t before = bench.view->selectedId();
        QVERIFY(bench.view->runCommand(CommandId::NewReport));
        QCOMPARE(bench.view->selectedId(), before);

        // The style editor opens on the selected report's style set ("Default" for the
        // analysis reports).
        QVERIFY(bench.view->runCommand(CommandId::EditStyles));
        QCOMPARE(bench.styleEditorOpenedOn, 2);
        bench.view->chooseReport(1);
        QVERIFY(bench.view->runCommand(CommandId::EditStyles));
        QCOMPARE(bench.styleEditorOpenedOn, 0);
    }

    void storedValuesModesAndEscape() {
        {
            Bench bench(app::CChoiceListCtrl::Icons, 106);
            QCOMPARE(bench.view->reportList()->mode(), app::CChoiceListCtrl::Icons);
            QCOMPARE(bench.view->selectedId(), 106);
            bench.runContext(106, "Det&ails");
            QCOMPARE(bench.host.bag.getInt("ReportTabView1"), 59411);
            bench.runContext(106, "&List");
            QCOMPARE(bench.view->reportList()->mode(), app::CChoiceListCtrl::List);
            QCOMPARE(bench.host.bag.getInt("ReportTabView1"), 59410);
            QCOMPARE(bench.view->reportList()->selectedId(), 106);  // one selection in every mode
        }
        Bench bench(12345, 999);  // stored values that name nothing
        QCOMPARE(bench.view->reportList()->mode(), app::CChoiceListCtrl::Details);
        QCOMPARE(bench.view->selectedId(), 2);

        bench.view->reportList()->shownView()->setFocus();
        QTest::keyClick(bench.view->reportList()->shownView(), Qt::Key_Escape);
        QVERIFY(bench.view->htmlView()->isAncestorOf(QApplication::focusWidget()) ||
                QApplication::focusWidget() == bench.view->htmlView());

        // Hint 6 belongs to the pane's "Report Type..." tab.
        const auto hints = bench.view->ownHints();
        QCOMPARE(hints.size(), std::size_t{1});
        QCOMPARE(hints.front().first, app::hint::kReportType);
        auto* strip = qobject_cast<QTabBar*>(hints.front().second);
        QVERIFY(strip);
        QCOMPARE(strip->tabText(0), QString("Report Type..."));
    }

    void withoutAPageAndWithAFailingTable() {
        Bench bench;
        bench.view->chooseReport(104);
        QCOMPARE(bench.view->content(), QString(report::kReportNotAvailable));
        report::Report broken("Broken", "", 0);
        broken.append(std::make_unique<report::TableItem>("SELECT Nothing FROM"));
        const std::int32_t id = bench.reports.addReport(std::move(broken));
        bench.view->refreshReports();
        bench.view->chooseReport(id);
        QCOMPARE(bench.view->content(), QString(report::kReportNotAvailable));  // no page yet
        QVERIFY(
            QTest::qWaitFor([&] { return !bench.view->htmlView()->isLoading(); }, kLoadTimeoutMs));
    }

    void theDemosReportsInTheWindow() {
        apptest::ProgramHome home;
        apptest::Program program({"pagelyst", "--demo"});
        QVERIFY(program.started);
        showPage(program, program.app().demoAddress());
        CReportDlg& view = reportsOf(program);
        const std::string address = program.app().demoAddress().toStdString();
        std::vector<std::int32_t> ids{report::kConsolidatedReportId, report::kPageAnalysisReportId};
        for (const auto& [id, stored] : program.context().reports().reports()) ids.push_back(id);
        QCOMPARE(ids.size(), std::size_t{9});
        for (const std::int32_t id : ids) {
            view.chooseReport(id);
            const QString html = view.content();
            QVERIFY2(!html.contains("Report not available."), qPrintable(QString::number(id)));
            // Data of the page: a value cell, or the page's address in an analysis report.
            const bool data = id < 100 ? html.contains(QString::fromStdString(address))
                                       : html.contains("class=\"table_value\"") ||
                                             (html.contains("field_value_format\">") &&
                                              !html.contains("field_value_format\">N/A"));
            QVERIFY2(data, qPrintable(QString::number(id) + ": " + html.left(400)));
            const QString shown = shownText(*view.htmlView());
            QVERIFY2(shown.size() > 40, qPrintable(QString::number(id) + ": " + shown));
        }

        // The window's menu lists every report, the shown one checked.
        view.chooseReport(103);
        apptest::flushEvents();
        QMenu* menu = nullptr;
        for (QAction* entry : program.window().menuBar()->actions())
            if (entry->text() == "&Report") menu = entry->menu();
        QVERIFY(menu);
        QVERIFY(menu->actions().contains(program.window().action(CommandId::NewReport)));
        QVERIFY(menu->actions().contains(program.window().action(CommandId::EditStyles)));
        int entries = 0;
        for (QAction* action : menu->actions()) {
            if (action->data().toInt() < 3000) continue;
            ++entries;
            QCOMPARE(action->isChecked(), action->data() == 3004);
        }
        QCOMPARE(entries, 9);
        program.window().updateCommands();
        for (const CommandId id : {CommandId::Export, CommandId::Print, CommandId::ExportPdf})
            QVERIFY(program.window().action(id)->isEnabled());

        // Another connection restates the figures the report shows.
        view.chooseReport(reportNamed(program, "General"));
        const QString actual = view.content();
        program.mainView().setConnection(9);
        apptest::flushEvents();
        QVERIFY(view.content() != actual);
        QCOMPARE(view.content().toStdString(),
                 report::contentForView(
                     program.context().reports(), view.selectedId(),
                     report::PageReportSource(program.mainView().currentPage(), {}, 9, false,
                                              &program.context().conditions())));
    }

    void aReportDesignedInTheWizardShowsAndSurvivesARestart() {
        apptest::ProgramHome home;
        std::int32_t id = 0;
        {
            apptest::Program program({"pagelyst", "--demo"});
            showPage(program, program.app().demoAddress());
            // Written in the wizard as a user does: name, template, style, Next, Finish.
            bool filled = false;
            QTimer::singleShot(0, [&] {
                auto* wizard =
                    qobject_cast<app::CNewReportPropertySheet*>(QApplication::activeModalWidget());
                if (!wizard) return;
                app::CNewReportPropertyPage1& first = *wizard->firstPage();
                first.nameField()->setText("Mine & yours");
                first.basedOnBox()->setCurrentIndex(first.basedOnBox()->findText("Compact"));
                first.styleBox()->setCurrentIndex(first.styleBox()->findText("Gray"));
                first.descriptionField()->setText("Made in the wizard");
                wizard->next();
                wizard->button(QWizard::FinishButton)->click();
                filled = true;
            });
            program.window().updateCommands();
            program.window().runCommand(CommandId::NewReport);
            QVERIFY(filled);
            id = reportNamed(program, "Mine & yours");
            QVERIFY(id > 107);
            CReportDlg& view = reportsOf(program);
            QCOMPARE(view.selectedId(), id);
            QVERIFY(view.content().contains("Compact Report"));
            QVERIFY(shownText(*view.htmlView()).contains("Compact Report"));
        }
        apptest::Program again({"pagelyst"});
        const report::Report* kept = again.context().reports().findReport(id);
        QVERIFY(kept);
        QCOMPARE(kept->name(), std::string("Mine & yours"));
        QCOMPARE(kept->description(), std::string("Made in the wizard"));
        QCOMPARE(again.context().reports().styleName(kept->styleId()), std::string("Gray"));
        QCOMPARE(reportsOf(again).selectedId(), id);  // the stored choice
    }

    void exportWritesWhatTheCoreAndTheCommandLineWrite() {
        apptest::ProgramHome home;
        apptest::Program program({"pagelyst", "--demo"});
        // A report of every kind of item whose rows do not depend on the measured times, stored
        // where the command line reads the definitions.
        report::Report sizes("Sizes", "", 2);
        sizes.append(std::make_unique<report::TitleItem>("Sizes", 1));
        sizes.append(std::make_unique<report::FieldItem>("Elements:", "select Count(URL)"));
        sizes.append(std::make_unique<report::HtmlTextItem>("<HR>"));
        sizes.append(std::make_unique<report::TableItem>("SELECT URL, Size, Type order by URL"));
        const std::int32_t own = program.context().reports().addReport(std::move(sizes));
        QVERIFY(program.context().reports().save(persist::DocumentFolders::data() +
                                                 report::ReportManager::kFileName));
        showPage(program, program.app().demoAddress());
        CReportDlg& view = reportsOf(program);
        view.refreshReports();
        for (const std::int32_t id :
             {report::kPageAnalysisReportId, reportNamed(program, "General"), own}) {
            view.chooseReport(id);
            const QString path = home.file(QString("export-%1.html").arg(id));
            QString caption;
            app::setPathChooser([&](const QString& c) {
                caption = c;
                return path;
            });
            program.window().updateCommands();
            program.window().runCommand(CommandId::Export);
            app::setPathChooser({});
            QCOMPARE(caption, QString("Export"));
            const QByteArray written = fileBytes(path);
            QCOMPARE(written.toStdString(), coreExport(program, id));
            QVERIFY(written.contains("\r\n"));
        }

        const QString cliPath = home.file("cli.html");
        QProcess cli;
        cli.start(PAGELYST_CLI, {"analyze", program.app().demoAddress(), "--report",
                                 QString::number(own), "--html", cliPath});
        QVERIFY(cli.waitForFinished(120000));
        // 3: the demo page holds a failing element on purpose; the file is written.
        QVERIFY2(cli.exitCode() == 0 || cli.exitCode() == 3,
                 cli.readAllStandardError().constData());
        const QByteArray fromView = fileBytes(home.file(QString("export-%1.html").arg(own)));
        QVERIFY(fromView.contains("logo.gif"));
        QCOMPARE(withoutFigures(fileBytes(cliPath)), withoutFigures(fromView));

        // A file that cannot be replaced (a folder holds its name) is left as it was, and the
        // user is told.
        const QString blocked = home.file("blocked.html");
        QVERIFY(QDir().mkpath(blocked + "/inside"));
        apptest::Answers answers;
        app::setPathChooser([&](const QString&) { return blocked; });
        program.window().runCommand(CommandId::Export);
        app::setPathChooser({});
        QCOMPARE(answers.asked.size(), 1);
        QVERIFY2(answers.asked.front().startsWith("Error exporting data.\n\n") &&
                     answers.asked.front().contains(blocked),
                 qPrintable(answers.asked.front()));
        QVERIFY(QFileInfo(blocked + "/inside").isDir());
    }

    void pdfExportShowsTheReport() {
        apptest::ProgramHome home;
        apptest::Program program({"pagelyst", "--demo"});
        showPage(program, program.app().demoAddress());
        CReportDlg& view = reportsOf(program);
        view.chooseReport(reportNamed(program, "General"));
        const QString path = home.file("report.pdf");
        QSignalSpy exported(&view, &CReportDlg::pdfExported);
        app::setPathChooser([&](const QString&) { return path; });
        program.window().updateCommands();
        program.window().runCommand(CommandId::ExportPdf);
        app::setPathChooser({});
        QVERIFY(exported.wait(kLoadTimeoutMs) || exported.count() == 1);
        QCOMPARE(exported.at(0).at(1).toBool(), true);
        QVERIFY(fileBytes(path).startsWith("%PDF"));
        QCOMPARE(QDir(home.path()).entryList({".pdf-*"}, QDir::Files | QDir::Hidden),
                 QStringList{});

        // The first page, as a picture, holds the report: dark text on its white.
        const QString picture = home.file("page");
        QProcess convert;
        convert.start("pdftoppm",
                      {"-png", "-r", "60", "-f", "1", "-l", "1", "-singlefile", path, picture});
        QVERIFY2(convert.waitForFinished(60000) && convert.exitCode() == 0,
                 "pdftoppm (poppler-utils) turns the PDF into a picture");
        const QImage page(picture + ".png");
        QVERIFY(!page.isNull());
        int dark = 0;
        for (int y = 0; y < page.height(); y += 2)
            for (int x = 0; x < page.width(); x += 2) dark += qGray(page.pixel(x, y)) < 128;
        QVERIFY2(dark > 200, qPrintable(QString::number(dark)));
        if (const QByteArray keep = qgetenv("PAGELYST_PDF_PICTURE"); !keep.isEmpty()) {
            QFile::remove(keep);
            QFile::copy(picture + ".png", keep);
        }
    }

    void aHostileReportRunsNoScriptAndSendsNothing() {
        apptest::ProgramHome home;
        support::TestServer server;
        const std::string origin = server.url("");
        const std::string ran = "document.title='ran';fetch('" + origin + "/ran')";
        const std::string hostile = "<html><head><title><script>" + ran +
                                    "</script>T</title></head><body>"
                                    "<img src=\"/a'b<script>" +
                                    ran +
                                    "</script>.gif\">"
                                    "<img src=\"http://192.0.2.1/remote.gif\">"
                                    "<img src=\"" +
                                    origin +
                                    "/ran-image.gif\">"
                                    "<a href=\"/x\"><script>" +
                                    ran + "</script></a></body></html>";
        server.get("/", [hostile](const httplib::Request&, httplib::Response& response) {
            response.set_content(hostile, "text/html");
        });
        server.get("/.*\\.gif", [](const httplib::Request&, httplib::Response& response) {
            response.set_content(std::string(64, 'x'), "image/gif");
        });
        apptest::Program program({"pagelyst"});
        report::Report mine("Addresses", "", 0);
        mine.append(std::make_unique<report::TableItem>("SELECT URL, Element"));
        const std::int32_t own = program.context().reports().addReport(std::move(mine));
        showPage(program, QString::fromStdString(server.url("/")));
        const std::size_t measured = server.requests().size();
        CReportDlg& view = reportsOf(program);
        view.refreshReports();
        std::vector<std::int32_t> ids{1, 2, own};
        for (const auto& [id, stored] : program.context().reports().reports()) ids.push_back(id);
        for (const std::int32_t id : ids) {
            view.chooseReport(id);
            QVERIFY(!shownText(*view.htmlView()).isEmpty());
            QTest::qWait(100);  // time for a script to act, were one to run
            QVERIFY2(view.htmlView()->page()->title() != "ran", qPrintable(QString::number(id)));
        }
        QCOMPARE(server.requests().size(), measured);
    }

    void aDamagedDefinitionsFileIsToldWithWhatItHeld() {
        apptest::ProgramHome home;
        {
            apptest::Program first;  // makes the folders and writes the built-ins at exit
        }
        const QString path = QString::fromStdString(persist::DocumentFolders::data() +
                                                    report::ReportManager::kFileName);
        {
            apptest::Answers answers;
            apptest::Program intact;
            apptest::flushEvents();
            QCOMPARE(answers.asked, QStringList{});
        }
        QByteArray bytes = fileBytes(path);
        bytes.chop(5);  // the last style set is cut short
        QFile damaged(path);
        QVERIFY(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
        damaged.write(bytes);
        damaged.close();
        apptest::Answers answers;
        apptest::Program program;
        QCOMPARE(answers.asked.size(), 1);
        const QString told = answers.asked.front();
        QVERIFY2(told.contains(path) && told.contains("'Detailed Report'") &&
                     told.contains(path + ".damaged"),
                 qPrintable(told));
        QCOMPARE(fileBytes(path + ".damaged"), bytes);
        QCOMPARE(program.context().reports().reports().size(), std::size_t{7});
    }
};

int main(int argc, char** argv) {
    app::prepareWebEngine();
    QApplication qt(argc, argv);
    ReportsViewTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "ReportsViewTest.moc"
