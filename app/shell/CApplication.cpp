#include "app/shell/CApplication.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QTimer>
#include <QUrl>

#include "app/shell/CAboutDlg.h"
#include "app/shell/CAddressBar.h"
#include "app/shell/CMainFrame.h"
#include "app/shell/CTipDlg.h"
#include "app/shell/ContextHelp.h"
#include "app/shell/DefinitionsNotice.h"
#include "app/shell/ScenarioCommands.h"
#include "app/widgets/FocusFrameStyle.h"
#include "app/widgets/MessageBoxes.h"
#include "app/widgets/OpenInBrowser.h"
#include "persist/DocumentFolders.h"
#include "persist/DocumentType.h"
#include "persist/SettingsMap.h"
#include "persist/SettingsStore.h"
#include "persist/TipReader.h"

namespace app {

namespace {
// The caption of the application object's own message boxes.
constexpr const char* kShortName = "ZORV";
}  // namespace

CApplication::Options CApplication::parseCommandLine(const QStringList& arguments) {
    Options options;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QLatin1String("--demo")) {
            options.demo = true;
        } else if (argument.startsWith(QLatin1Char('-'))) {
            options.error = QStringLiteral("unknown option %1").arg(argument);
        } else if (options.scenario.isEmpty()) {
            options.scenario = argument;
        } else {
            options.error = QStringLiteral("more than one file named");
        }
    }
    return options;
}

CApplication::CApplication(ViewTable views, SettingsOpener settings, DemoStarter demo,
                           ObjectExplorerOpener explorer)
    : views_(std::move(views)),
      settings_(std::move(settings)),
      demo_(std::move(demo)),
      explorer_(std::move(explorer)),
      damagedSettings_(settingsStoreNotice()),
      context_(std::make_unique<AppContext>()),
      hints_(hintStore_) {
    connect(&status_, &IdleStatus::pushRequested, this, &CApplication::pushStatus);
}

CApplication::~CApplication() {
    exitInstance();
    // A closed window is deleted later by the event loop; one that is still waiting for that,
    // or still open, goes now, while the site tree and engine it refers to exist.
    for (const QPointer<CMainFrame>& frame : frames_) delete frame.data();
}

void CApplication::record(const QString& step) {
    log_ << step;
}

bool CApplication::start(const QStringList& arguments) {
    started_ = true;
    ContextHelp::install();  // F1 and the Help buttons of every dialog
    showKeyboardFocusEverywhere();
    status_.setText(QString::fromLatin1(IdleStatus::kReady));
    record(QStringLiteral("1 idle status text \"Ready\""));
    record(QStringLiteral("2 component library and common controls: no counterpart"));
    record(QStringLiteral("3 accelerators: the main frame's actions"));
    persist::setRoot(persist::kCompanyName, persist::kProductName);
    record(QStringLiteral("4 company and product names"));
    persist::DocumentFolders::createAll();
    record(QStringLiteral("5 document folders"));
    record(QStringLiteral("6 scenario extension and filter"));
    registerFileType();
    const std::string data = persist::DocumentFolders::data();
    const std::string statisticsFile = data + query::StatisticsCatalog::kFileName;
    std::string unread;
    context_->statistics().load(statisticsFile, &unread);
    const std::optional<QString> damagedStatistics =
        statisticsDefinitionsNotice(statisticsFile, unread);
    record(QStringLiteral("8 statistics definitions"));
    const std::string reportsFile = data + report::ReportManager::kFileName;
    const std::optional<QString> damagedReports = reportDefinitionsNotice(reportsFile);
    context_->reports().load(reportsFile);
    record(QStringLiteral("9 report definitions"));
    const Options options = parseCommandLine(arguments);
    record(QStringLiteral("10 command line"));
    record(QStringLiteral("11 framework profile location: dropped"));
    if (!options.scenario.isEmpty()) record(QStringLiteral("12 file to open"));

    CMainFrame* window = createWindow();
    if (!window) return false;
    record(QStringLiteral("13 main window"));
    window->show();
    window->repaint();
    record(QStringLiteral("14 view menus, window list, shown"));
    if (!options.error.isEmpty()) {
        MessageBoxes::warning(
            window, QString::fromLatin1(kShortName),
            QStringLiteral("pagelyst [FILE.wsa] [--demo]: %1").arg(options.error));
    }
    if (damagedSettings_) {
        MessageBoxes::warning(window, QString::fromLatin1(MessageBoxes::kProductTitle),
                              *damagedSettings_);
    }
    for (const std::optional<QString>& notice : {damagedStatistics, damagedReports}) {
        if (notice)
            MessageBoxes::warning(window, QString::fromLatin1(MessageBoxes::kProductTitle),
                                  *notice);
    }
    if (!options.scenario.isEmpty()) {
        ScenarioCommands::load(window, *context_, options.scenario);
        documentChanged();
        record(QStringLiteral("15 scenario loaded"));
    }
    if (options.demo && demo_) window->setAddressBarText(demo_());
    if (persist::setting::kTipStartUp.get() != 0) {
        // Once the window is up and start() has returned; the dialog does not hold the loop.
        QTimer::singleShot(0, window, [this, window] { showTipDialog(*window); });
        record(QStringLiteral("16 tip of the day"));
    } else {
        record(QStringLiteral("16 tip of the day: off"));
    }
    record(QStringLiteral("17 started"));
    return true;
}

void CApplication::registerFileType() {
    const std::string program = QCoreApplication::applicationFilePath().toStdString();
    if (persist::DocumentType::registerDocumentType(program)) {
        record(QStringLiteral("7 file type registered"));
        return;
    }
    record(QStringLiteral("7 file type not registered"));
    // No window exists yet: the box has no owner.
    MessageBoxes::show(nullptr,
                       {QMessageBox::Warning, QString::fromLatin1(kShortName),
                        QStringLiteral("Failed to register document type."), QMessageBox::Ok});
}

CMainFrame* CApplication::createWindow() {
    auto* window = new CMainFrame(*this, *context_, status_, views_, settings_);
    window->setAttribute(Qt::WA_DeleteOnClose);
    windows_.push_back(window);
    frames_.push_back(window);
    // The address box's hint and the views' own are offered in the first window; every window
    // raises the hints of a finished run where its own views are.
    if (windows_.size() == 1) {
        hints_.registerHint(kHintAddressBox, window->addressBar().box());
        for (AppView* view : window->mainView().views()) {
            for (const auto& [hint, widget] : view->ownHints()) hints_.registerHint(hint, widget);
        }
    }
    window->mainView().setHintRaiser(
        [this](int hint, const QPoint& point) { hints_.showHint(hint, point); });
    if (windows_.size() > 1) window->show();
    return window;
}

void CApplication::pushStatus() {
    CMainFrame* target = nullptr;
    for (CMainFrame* window : windows_) {
        if (window->isActiveWindow()) target = window;
    }
    if (!target) target = mainWindow();
    if (target) target->showIdleStatus(status_.take());
}

void CApplication::documentChanged() {
    for (CMainFrame* window : windows_) window->updateTitle();
}

QString CApplication::helpIndexPath() {
    return QDir::cleanPath(QCoreApplication::applicationDirPath() +
                           QStringLiteral("/../share/pagelyst/help/index.html"));
}

QString CApplication::tipsPath() {
    return QDir::cleanPath(QCoreApplication::applicationDirPath() +
                           QStringLiteral("/../share/pagelyst/") +
                           QString::fromLatin1(persist::TipReader::kFileName.data(),
                                               persist::TipReader::kFileName.size()));
}

void CApplication::showTipDialog(CMainFrame& from) {
    // One at a time: two readers would each store their own place in the file.
    if (tipDialog_) {
        tipDialog_->raise();
        tipDialog_->activateWindow();
        return;
    }
    auto* dialog = new CTipDlg(tipsPath(), &from);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    tipDialog_ = dialog;
    dialog->open();
}

void CApplication::runCommand(CommandId id, CMainFrame& from) {
    switch (id) {
        case CommandId::NewWindow:
            createWindow();
            break;
        case CommandId::ObjectExplorer:
            if (explorer_) explorer_(&from, *context_);
            break;
        case CommandId::TipOfTheDay:
            showTipDialog(from);
            break;
        case CommandId::About: {
            CAboutDlg about(&from);
            about.exec();
            break;
        }
        case CommandId::HelpContents: {
            const QString path = helpIndexPath();
            if (!QFileInfo::exists(path)) {
                MessageBoxes::error(&from, QString::fromLatin1(MessageBoxes::kProductTitle),
                                    tr("The help file %1 is missing.").arg(path));
            } else {
                openInBrowser(&from, QUrl::fromLocalFile(path).toString().toStdString());
            }
            break;
        }
        default:
            break;
    }
}

void CApplication::windowClosed(CMainFrame* window) {
    record(QStringLiteral("close: close query, view settings"));
    const bool wasMain = window == mainWindow();
    std::erase(windows_, window);
    if (wasMain && !windows_.empty()) record(QStringLiteral("close: next main window"));
    record(QStringLiteral("close: window placement"));
    if (windows_.empty()) exitInstance();
}

void CApplication::exitInstance() {
    if (exited_ || !started_) return;
    exited_ = true;
    const std::string data = persist::DocumentFolders::data();
    context_->statistics().save(data + query::StatisticsCatalog::kFileName);
    record(QStringLiteral("exit: statistics definitions saved"));
    context_->reports().save(data + report::ReportManager::kFileName);
    record(QStringLiteral("exit: report definitions saved"));
    // Nothing of the program adds to the recent items, so the section is written empty.
    persist::deleteSection(persist::section::kRecent);
    record(QStringLiteral("exit: recent items"));
    context_->shutDown();
    record(QStringLiteral("exit: downloads stopped"));
}

}  // namespace app
