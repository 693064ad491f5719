// Starts the real program on the bundled demo site, crawls it with Auto on and saves what a
// user sees along the way as PNG files: "pagelyst-screenshots OUT_DIR". Run it under a display
// server with a window manager (scripts/screenshots.sh does).
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPalette>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <functional>

#include "app/analysis/CAnalysisDlg.h"
#include "app/analysis/CFindDialog.h"
#include "app/analysis/CObjectDetailsDlg.h"
#include "app/analysis/CPageDetailsDlg.h"
#include "app/analysis/SourceTextView.h"
#include "app/main/PagelystApp.h"
#include "app/reports/CNewReportPropertyPage1.h"
#include "app/reports/CNewReportPropertySheet.h"
#include "app/reports/CReportContentDlg.h"
#include "app/reports/CReportDlg.h"
#include "app/reports/CStyleEditorDlg.h"
#include "app/settings/CFilterConditionDlg.h"
#include "app/settings/CSettingsSheet.h"
#include "app/shell/AppContext.h"
#include "app/shell/CAboutDlg.h"
#include "app/shell/CApplication.h"
#include "app/shell/CMainFrame.h"
#include "app/shell/CTipDlg.h"
#include "app/shell/MainView.h"
#include "app/sitetree/CSiteTreeDlg.h"
#include "app/statistics/CNewStatPP1.h"
#include "app/statistics/CNewStatPP2.h"
#include "app/statistics/CNewStatPS.h"
#include "app/statistics/CStatisticsDlg.h"
#include "app/waterfall/CWaterfallDlg.h"
#include "app/waterfall/WaterfallCanvas.h"
#include "app/widgets/CElementListCtrl.h"
#include "app/widgets/CTabPane.h"
#include "app/widgets/ElementListModel.h"
#include "app/widgets/HintManager.h"
#include "app/widgets/QueryEdit.h"
#include "app/widgets/WebEngineSetup.h"
#include "engine/crawl/SiteTree.h"
#include "engine/schedule/PageState.h"
#include "persist/SettingsMap.h"
#include "query/ElementTable.h"
#include "query/StatisticsView.h"
#include "report/ReportOutput.h"

namespace {

// Lets the event loop run for the given time.
void settle(int ms) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
}

// Runs the event loop until the condition holds for a quiet second, or the time runs out.
bool waitFor(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    qint64 heldSince = -1;
    while (clock.elapsed() < timeoutMs) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
        if (!done()) {
            heldSince = -1;
        } else if (heldSince < 0) {
            heldSince = clock.elapsed();
        } else if (clock.elapsed() - heldSince > 1000) {
            return true;
        }
    }
    return false;
}

// A key as the keyboard gives it, to the control that has the focus.
void pressKey(Qt::Key key) {
    QWidget* focused = QApplication::focusWidget();
    if (!focused) return;
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(focused, &press);
    QApplication::sendEvent(focused, &release);
    settle(100);
}

bool shoot(const QDir& out, const QString& name) {
    settle(400);
    const QString path = out.filePath(name);
    const bool saved = QGuiApplication::primaryScreen()->grabWindow(0).save(path);
    std::printf("%s %s\n", saved ? "saved" : "FAILED", qPrintable(path));
    return saved;
}

// The Analysis view with the demo's slow image selected, its two details dialogs and the
// source view's find dialog.
bool shootAnalysis(const QDir& out, app::CMainFrame& window, app::AppContext& context) {
    window.runCommand(app::CommandId::ViewSiteTree);
    auto* siteTree = dynamic_cast<app::CSiteTreeDlg*>(window.mainView().activeAppView());
    if (siteTree) siteTree->selectNode(context.tree().displayOrder().front());
    window.updateCommands();
    window.runCommand(app::CommandId::AnalyzePageSource);
    auto* view = dynamic_cast<app::CAnalysisDlg*>(window.mainView().activeAppView());
    if (!view) return false;
    const app::ElementListModel& model = *view->elementList()->elementModel();
    for (int row = 0; row < model.rowCount(); ++row) {
        const auto& item = model.figures(row)->item;
        if (item->address().urlText.ends_with("/images/slow.gif"))
            view->elementList()->selectItem(item.get());
    }
    settle(1500);  // the preview's first document
    bool ok = shoot(out, QStringLiteral("08-analysis.png"));
    {
        app::CObjectDetailsDlg element(window.mainView().currentPage(),
                                       view->elementList()->currentItem(),
                                       window.mainView().connectionIndex(), &window);
        element.show();
        ok = shoot(out, QStringLiteral("09-element-information.png")) && ok;
    }
    {
        app::CPageDetailsDlg page(window.mainView().currentPage(),
                                  window.mainView().connectionIndex(), context.conditions(),
                                  &window);
        page.show();
        ok = shoot(out, QStringLiteral("10-page-information.png")) && ok;
        page.setExpanded(true);
        ok = shoot(out, QStringLiteral("11-page-information-more.png")) && ok;
    }
    view->sourceView()->showFindDialog();
    ok = shoot(out, QStringLiteral("12-find.png")) && ok;
    view->sourceView()->findDialog()->close();
    return ok;
}

// The Statistics view over the home page, showing the sizes by resource type.
bool shootStatistics(const QDir& out, app::CMainFrame& window, app::AppContext& context) {
    window.runCommand(app::CommandId::ViewSiteTree);
    auto* siteTree = dynamic_cast<app::CSiteTreeDlg*>(window.mainView().activeAppView());
    if (siteTree) siteTree->selectNode(context.tree().displayOrder().front());
    window.runCommand(app::CommandId::ViewStatistics);
    auto* view = dynamic_cast<app::CStatisticsDlg*>(window.mainView().activeAppView());
    if (!view) return false;
    // The pane opens collapsed to its tab by default; open it to show the definitions too.
    if (view->tabPane()) view->tabPane()->setPinned(true);
    if (const auto chosen = context.statistics().findByTitle("Size By Type"))
        view->chooseDefinition(chosen->id);
    bool ok = shoot(out, QStringLiteral("13-statistics.png"));
    {
        app::CNewStatPS wizard(context.statistics(), &window);
        wizard.show();
        wizard.titlePage()->titleField()->setText(QStringLiteral("Slowest elements"));
        ok = shoot(out, QStringLiteral("14-new-statistics-1.png")) && ok;
        wizard.next();
        wizard.queryPage()->queryField()->setPlainText(
            QStringLiteral("SELECT URL, Time, Size WHERE Time > 100 ORDER BY Time DESC"));
        ok = shoot(out, QStringLiteral("15-new-statistics-2.png")) && ok;
    }
    const std::string wrong = "SELECT Host, Sum(Size) GROUP BY Nothing";
    QMessageBox error(QMessageBox::Critical, QString::fromLatin1(query::kQueryErrorCaption),
                      QString::fromStdString(query::validateQuery(wrong).value_or("")),
                      QMessageBox::Ok, &window);
    error.show();
    ok = shoot(out, QStringLiteral("16-query-error.png")) && ok;
    return ok;
}

// The Reports view with the site analysis, the "Create New Report" wizard's two pages, the
// content editor of a stored report, the style editor and the PDF export of a report.
bool shootReports(const QDir& out, app::CMainFrame& window, app::AppContext& context) {
    window.runCommand(app::CommandId::ViewSiteTree);
    auto* siteTree = dynamic_cast<app::CSiteTreeDlg*>(window.mainView().activeAppView());
    if (siteTree) siteTree->selectNode(context.tree().displayOrder().front());
    window.runCommand(app::CommandId::ViewReports);
    auto* view = dynamic_cast<app::CReportDlg*>(window.mainView().activeAppView());
    if (!view) return false;
    if (view->tabPane()) view->tabPane()->setPinned(true);
    view->chooseReport(report::kConsolidatedReportId);
    settle(1500);  // the report's document
    bool ok = shoot(out, QStringLiteral("20-reports-site-analysis.png"));
    report::ReportManager& reports = context.reports();
    const app::StyleEditorOpener noStyles = [](QWidget*, std::int32_t) {};
    {
        app::CNewReportPropertySheet wizard(reports, context.statistics(), noStyles, &window);
        wizard.show();
        wizard.firstPage()->nameField()->setText(QStringLiteral("Images and hosts"));
        ok = shoot(out, QStringLiteral("21-new-report-1.png")) && ok;
        wizard.next();
        ok = shoot(out, QStringLiteral("22-new-report-2.png")) && ok;
    }
    std::int32_t general = 0;
    for (const auto& [id, stored] : reports.reports())
        if (stored.name() == "General") general = id;
    if (const report::Report* stored = reports.findReport(general)) {
        report::Report copy = stored->clone();
        app::CReportContentDlg editor(copy, reports, context.statistics(), noStyles, &window);
        editor.show();
        ok = shoot(out, QStringLiteral("23-report-content.png")) && ok;
    }
    {
        app::CStyleEditorDlg styles(reports, 2, &window);
        styles.show();
        ok = shoot(out, QStringLiteral("24-style-editor.png")) && ok;
        // Tabbed onto its first button, which is also the default one: the keyboard's focus.
        styles.activateWindow();
        settle(300);
        for (int step = 0; step < 8 && !qobject_cast<QPushButton*>(QApplication::focusWidget());
             ++step)
            pressKey(Qt::Key_Tab);
        ok = shoot(out, QStringLiteral("35-keyboard-focus.png")) && ok;
    }
    // The General report as a PDF, its first page turned into a picture (poppler's pdftoppm).
    view->chooseReport(general);
    settle(1000);
    const QString pdf = out.filePath(QStringLiteral("25-report.pdf"));
    bool written = false;
    QObject::connect(view, &app::CReportDlg::pdfExported,
                     [&](const QString&, bool done) { written = done; });
    view->exportPdfTo(pdf);
    waitFor([&] { return written; }, 30000);
    const int converted = QProcess::execute(
        QStringLiteral("pdftoppm"),
        {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("80"), QStringLiteral("-f"),
         QStringLiteral("1"), QStringLiteral("-l"), QStringLiteral("1"),
         QStringLiteral("-singlefile"), pdf, out.filePath(QStringLiteral("25-report-pdf"))});
    std::printf("%s %s\n", written && converted == 0 ? "saved" : "FAILED",
                qPrintable(out.filePath(QStringLiteral("25-report-pdf.png"))));
    return ok && written && converted == 0;
}

// The Waterfall view of the demo's home page on "Actual Speed", T1 and 56K, one row per element
// and then one per lane; the connection goes back to "Actual Speed" after.
bool shootWaterfall(const QDir& out, app::CMainFrame& window, app::AppContext& context) {
    window.runCommand(app::CommandId::ViewSiteTree);
    auto* siteTree = dynamic_cast<app::CSiteTreeDlg*>(window.mainView().activeAppView());
    if (siteTree) siteTree->selectNode(context.tree().displayOrder().front());
    window.runCommand(app::CommandId::ViewWaterfall);
    auto* view = dynamic_cast<app::CWaterfallDlg*>(window.mainView().activeAppView());
    if (!view) return false;
    struct Shot {
        int connection;
        const char* name;
    };
    bool ok = true;
    for (const report::WaterfallRows rows :
         {report::WaterfallRows::Elements, report::WaterfallRows::Lanes}) {
        const bool lanes = rows == report::WaterfallRows::Lanes;
        view->setRows(rows);
        for (const Shot shot :
             {Shot{0, lanes ? "29-waterfall-lanes-actual.png" : "26-waterfall-actual.png"},
              Shot{2, lanes ? "30-waterfall-lanes-t1.png" : "27-waterfall-t1.png"},
              Shot{7, lanes ? "31-waterfall-lanes-56k.png" : "28-waterfall-56k.png"}}) {
            window.mainView().setConnection(shot.connection);
            ok = shoot(out, QString::fromLatin1(shot.name)) && ok;
        }
    }
    view->setRows(report::WaterfallRows::Elements);
    window.mainView().setConnection(0);
    // Today's lines, modelled from the same measurement.
    for (const auto& [line, name] : {std::pair{"Slow 4G", "32-waterfall-slow-4g.png"},
                                     std::pair{"Fibre", "33-waterfall-fibre.png"}}) {
        ok = view->chooseLine(QString::fromLatin1(line)) && ok;
        ok = shoot(out, QString::fromLatin1(name)) && ok;
    }
    view->chooseLine(QStringLiteral("Connection Type"));
    // With the keyboard in the waterfall: the first bar marked, then the third chosen with Down.
    view->canvas()->setFocus(Qt::TabFocusReason);
    ok = shoot(out, QStringLiteral("36-waterfall-keyboard.png")) && ok;
    for (int i = 0; i < 3; ++i) pressKey(Qt::Key_Down);
    ok = shoot(out, QStringLiteral("37-waterfall-keyboard-chosen.png")) && ok;
    return ok;
}
}  // namespace

// The Page Status view analysing the demo's home: while the slow image loads, and after.
bool shootPageStatus(const QDir& out, app::CMainFrame& window, app::AppContext& context,
                     const QString& address) {
    window.runCommand(app::CommandId::ViewPageAnalysis);
    window.setAddressBarText(address);
    window.updateCommands();
    window.runCommand(app::CommandId::Analyze);
    const auto loading = [&] {
        const auto page = window.mainView().currentPage();
        return page && page->state() == engine::PageState::InProcess && page->finishedCount() > 1;
    };
    QElapsedTimer clock;
    clock.start();
    while (!loading() && clock.elapsed() < 20000) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
    // No settling: the picture is taken while the download runs.
    settle(150);
    const QString loadingPath = out.filePath(QStringLiteral("18-page-status-loading.png"));
    bool ok = QGuiApplication::primaryScreen()->grabWindow(0).save(loadingPath);
    std::printf("%s %s\n", ok ? "saved" : "FAILED", qPrintable(loadingPath));
    waitFor([&] { return !context.downloadRunning(); }, 60000);
    return shoot(out, QStringLiteral("19-page-status.png")) && ok;
}

namespace {

// The palette a desktop's dark theme hands to the program, for the pictures that show the
// views follow it.
void useDarkPalette(QApplication& qt) {
    qt.setStyle(QStringLiteral("Fusion"));
    QPalette dark;
    const QColor window(45, 45, 48), base(30, 30, 32), text(230, 230, 230), mid(90, 90, 96);
    dark.setColor(QPalette::Window, window);
    dark.setColor(QPalette::WindowText, text);
    dark.setColor(QPalette::Base, base);
    dark.setColor(QPalette::AlternateBase, window);
    dark.setColor(QPalette::ToolTipBase, window);
    dark.setColor(QPalette::ToolTipText, text);
    dark.setColor(QPalette::PlaceholderText, QColor(150, 150, 150));
    dark.setColor(QPalette::Text, text);
    dark.setColor(QPalette::Button, window);
    dark.setColor(QPalette::ButtonText, text);
    dark.setColor(QPalette::BrightText, Qt::red);
    dark.setColor(QPalette::Mid, mid);
    dark.setColor(QPalette::Dark, QColor(20, 20, 22));
    dark.setColor(QPalette::Light, QColor(70, 70, 76));
    dark.setColor(QPalette::Link, QColor(110, 170, 255));
    dark.setColor(QPalette::Highlight, QColor(42, 110, 200));
    dark.setColor(QPalette::HighlightedText, Qt::white);
    dark.setColor(QPalette::Disabled, QPalette::Text, QColor(120, 120, 120));
    dark.setColor(QPalette::Disabled, QPalette::WindowText, QColor(120, 120, 120));
    dark.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(120, 120, 120));
    QApplication::setPalette(dark);
}

}  // namespace

int main(int argc, char* argv[]) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    app::prepareWebEngine();
    QApplication qt(argc, argv);
    const bool dark = argc == 3 && std::strcmp(argv[2], "--dark") == 0;
    if (argc != 2 && !dark) {
        std::fprintf(stderr, "usage: pagelyst-screenshots OUT_DIR [--dark]\n");
        return 2;
    }
    if (dark) useDarkPalette(qt);
    QDir out(QString::fromLocal8Bit(argv[1]));
    if (!out.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "pagelyst-screenshots: cannot make %s\n", argv[1]);
        return 2;
    }
    // The tip of the day is photographed on its own below, not over the first pictures.
    persist::setting::kTipStartUp.set(0);
    app::PagelystApp program;
    if (!program.application().start({QStringLiteral("pagelyst"), QStringLiteral("--demo")}))
        return 1;
    app::CMainFrame& window = *program.application().mainWindow();
    window.resize(1200, 780);
    window.move(20, 20);
    app::AppContext& context = program.application().context();

    bool ok = shoot(out, QStringLiteral("01-start.png"));
    if (!window.action(app::CommandId::Auto)->isChecked()) window.runCommand(app::CommandId::Auto);
    window.runCommand(app::CommandId::Analyze);
    waitFor([&] { return !context.downloadRunning(); }, 60000);
    window.runCommand(app::CommandId::AnalyzeAll);
    const bool finished = waitFor([&] { return !context.downloadRunning(); }, 120000);
    std::printf("crawl %s, %zu pages\n", finished ? "finished" : "TIMED OUT",
                context.tree().pageCount());
    ok = shoot(out, QStringLiteral("02-site-tree-crawled.png")) && ok;

    window.runCommand(app::CommandId::ViewSiteTree);
    auto* siteTree = dynamic_cast<app::CSiteTreeDlg*>(window.mainView().activeAppView());
    const auto pages = context.tree().displayOrder();
    if (siteTree && pages.size() > 1) siteTree->selectNode(pages[1]);
    ok = shoot(out, QStringLiteral("03-details.png")) && ok;

    // The run's end raises its hint over the selection bar; show it again for the picture.
    program.application().hints().showHint(app::MainView::kHintChildErrors);
    settle(app::HintManager::kRaiseDelayMs + 200);
    ok = shoot(out, QStringLiteral("05-balloon.png")) && ok;
    program.application().hints().dismiss();

    ok = shootAnalysis(out, window, context) && ok;
    ok = shootStatistics(out, window, context) && ok;
    ok = shootReports(out, window, context) && ok;
    ok = shootWaterfall(out, window, context) && ok;
    ok = shootPageStatus(out, window, context, program.demoAddress()) && ok;

    {
        app::CAboutDlg about(&window);
        about.show();
        ok = shoot(out, QStringLiteral("04-about.png")) && ok;
    }
    {
        const auto lists =
            siteTree ? siteTree->customisableLists() : std::vector<app::CMyListCtrl*>{};
        app::CSettingsSheet sheet(context.manager().settings(), context.conditions(), lists,
                                  &window);
        sheet.resize(560, 460);
        sheet.show();
        for (int page = 0; page < sheet.pageCount(); ++page) {
            sheet.setCurrentPage(page);
            ok = shoot(out, QStringLiteral("06-settings-%1.png").arg(page + 1)) && ok;
        }
    }
    if (!context.conditions().conditions().empty()) {
        app::CFilterConditionDlg condition(context.conditions().conditions().front(), &window);
        condition.show();
        ok = shoot(out, QStringLiteral("07-condition.png")) && ok;
    }
    {
        app::CTipDlg tip(app::CApplication::tipsPath(), &window);
        tip.startUpBox()->setChecked(true);  // as a first start shows it; only Close stores it
        tip.show();
        ok = shoot(out, QStringLiteral("17-tip-of-the-day.png")) && ok;
    }
    window.close();
    settle(200);
    return ok && finished ? 0 : 1;
}
