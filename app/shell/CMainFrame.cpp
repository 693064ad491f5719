#include "app/shell/CMainFrame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include "app/settings/CSettingsSheet.h"
#include "app/shell/AppContext.h"
#include "app/shell/CAddressBar.h"
#include "app/shell/CApplication.h"
#include "app/shell/COpenURLDlg.h"
#include "app/shell/IdleStatus.h"
#include "app/shell/MessageBoxes.h"
#include "app/shell/ScenarioCommands.h"
#include "app/widgets/CTabPane.h"
#include "app/widgets/Icons.h"
#include "app/widgets/StatusPane.h"
#include "persist/WindowPlacement.h"

namespace app {

namespace {

constexpr int kIdleRefreshMs = 250;
constexpr int kPagesPaneWidth = 50;
constexpr int kConnectionPaneWidth = 100;

struct ToolButton {
    CommandId id;
    IconId image;
    const char* caption;
};

// The tool bar, left to right; a separator where the id is Exit (which has no button).
constexpr ToolButton kToolBar[] = {
    {CommandId::AnalyzeAll, IconId::AnalyzeAll, "Analyze All"},
    {CommandId::AnalyzeSelected, IconId::AnalyzeSelected, "Analyze"},
    {CommandId::Stop, IconId::Stop, "Stop"},
    {CommandId::Exit, IconId::Program, nullptr},
    {CommandId::Auto, IconId::Auto, "Auto"},
    {CommandId::Exit, IconId::Program, nullptr},
    {CommandId::OpenScenario, IconId::Open, "Open"},
    {CommandId::SaveScenario, IconId::Save, "Save"},
    {CommandId::Exit, IconId::Program, nullptr},
    {CommandId::RemoveSelected, IconId::Remove, "Remove"},
    {CommandId::ShowDetails, IconId::Details, "Details"},
    {CommandId::Exit, IconId::Program, nullptr},
    {CommandId::Settings, IconId::Settings, "Settings"},
};

bool checkable(CommandId id) {
    switch (id) {
        case CommandId::Auto:
        case CommandId::ToggleToolBar:
        case CommandId::ToggleAddressBar:
        case CommandId::ToggleStatusBar:
        case CommandId::ViewSiteTree:
        case CommandId::ViewPageAnalysis:
        case CommandId::ViewAnalysis:
        case CommandId::ViewStatistics:
        case CommandId::ViewReports:
            return true;
        default:
            return false;
    }
}

int viewOf(CommandId id) {
    switch (id) {
        case CommandId::ViewSiteTree:
            return view::kSiteTree;
        case CommandId::ViewPageAnalysis:
            return view::kPageStatus;
        case CommandId::ViewAnalysis:
            return view::kAnalysis;
        case CommandId::ViewStatistics:
            return view::kStatistics;
        case CommandId::ViewReports:
            return view::kReports;
        default:
            return -1;
    }
}

persist::WindowPlacement::Rect rectOf(const QRect& r) {
    return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

}  // namespace

CMainFrame::CMainFrame(CApplication& application, AppContext& context, IdleStatus& status,
                       const ViewFactories& factories)
    : application_(application),
      context_(context),
      status_(status),
      commandUpdate_(new QTimer(this)),
      idle_(new QTimer(this)) {
    setWindowIcon(icon(IconId::Program));
    makeActions();
    makeToolBar();
    addressBar_ = new CAddressBar(context_, action(CommandId::Analyze), this);
    addToolBarBreak();
    addToolBar(addressBar_);
    makeStatusBar();
    mainView_ = new MainView(*this, context_, status_, factories);
    setCentralWidget(mainView_);
    rebuildMenus();
    restorePlacement();

    commandUpdate_->setSingleShot(true);
    commandUpdate_->setInterval(0);
    connect(commandUpdate_, &QTimer::timeout, this, &CMainFrame::updateCommands);
    // While a download runs the status text and the commands follow it even without input.
    idle_->setInterval(kIdleRefreshMs);
    connect(idle_, &QTimer::timeout, this, [this] {
        if (isActiveWindow() || status_.pushPending()) showIdleStatus(status_.text());
        updateCommands();
    });
    connect(addressBar_, &CAddressBar::textChanged, this, &CMainFrame::scheduleCommandUpdate);
    connect(mainView_, &MainView::activeViewChanged, this, [this] { rebuildMenus(); });
    connect(mainView_, &MainView::connectionChanged, this, [this](int index) {
        const auto& name = engine::kConnectionSpeeds[static_cast<std::size_t>(index)].name;
        panes_[2]->setText(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
    });
    updateTitle();
    updateCommands();
}

CMainFrame::~CMainFrame() = default;

void CMainFrame::makeActions() {
    for (const CommandEntry& entry : commandTable()) {
        auto* made = new QAction(QString::fromLatin1(entry.menuText), this);
        made->setShortcuts(commandKeys(entry.id));
        made->setStatusTip(app::statusTip(entry.id));
        made->setToolTip(app::toolTip(entry.id));
        made->setCheckable(checkable(entry.id));
        // Window-wide keys: the shortcuts work whichever menu the active view shows.
        made->setShortcutContext(Qt::WindowShortcut);
        addAction(made);
        const CommandId id = entry.id;
        connect(made, &QAction::triggered, this, [this, id] { runCommand(id); });
        actions_[static_cast<std::size_t>(id)] = made;
    }
    action(CommandId::Analyze)->setIcon(icon(IconId::Analyze));
    action(CommandId::Analyze)->setIconText(tr("Analyze"));
}

void CMainFrame::makeToolBar() {
    toolBar_ = addToolBar(tr("Toolbar"));
    toolBar_->setObjectName(QStringLiteral("toolBar"));
    toolBar_->setMovable(false);
    toolBar_->setIconSize(QSize(24, 24));
    toolBar_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    for (const ToolButton& button : kToolBar) {
        if (button.caption == nullptr) {
            toolBar_->addSeparator();
            continue;
        }
        QAction* command = action(button.id);
        command->setIcon(icon(button.image));
        command->setIconText(QString::fromLatin1(button.caption));
        toolBar_->addAction(command);
    }
}

void CMainFrame::makeStatusBar() {
    const char* initial[] = {IdleStatus::kReady, "N/A", "Real line"};
    const int widths[] = {0, kPagesPaneWidth, kConnectionPaneWidth};
    for (int i = 0; i < 3; ++i) {
        panes_[i] =
            new StatusPane(QString::fromLatin1(initial[i]),
                           i == 0 ? StatusPane::Fit::Stretch : StatusPane::Fit::Text, widths[i]);
        panes_[i]->setContentsMargins(4, 0, 4, 0);
        if (i == 0) {
            statusBar()->addWidget(panes_[i], 1);
        } else {
            panes_[i]->setAlignment(Qt::AlignCenter);
            statusBar()->addPermanentWidget(panes_[i]);
        }
    }
}

StatusPane* CMainFrame::statusPane(int index) const {
    return index >= 0 && index < 3 ? panes_[static_cast<std::size_t>(index)] : nullptr;
}

void CMainFrame::rebuildMenus() {
    QMenuBar* bar = menuBar();
    bar->clear();
    const auto add = [this](QMenu* menu, std::initializer_list<CommandId> ids) {
        for (CommandId id : ids) {
            id == CommandId::NewWindow ? (void)menu->addSeparator()
                                       : (void)menu->addAction(action(id));
        }
    };
    // NewWindow has no menu entry: in these lists it stands for a separator.
    constexpr CommandId sep = CommandId::NewWindow;
    add(bar->addMenu(tr("&File")),
        {CommandId::OpenUrl, sep, CommandId::OpenScenario, CommandId::SaveScenario, sep,
         CommandId::Export, CommandId::Print, sep, CommandId::Exit});
    add(bar->addMenu(tr("&Edit")),
        {CommandId::Undo, sep, CommandId::Cut, CommandId::Copy, CommandId::Paste});
    add(bar->addMenu(tr("&View")),
        {CommandId::ToggleToolBar, CommandId::ToggleAddressBar, CommandId::ToggleStatusBar,
         CommandId::ToggleSelectionBar, sep, CommandId::ViewSiteTree, CommandId::ViewPageAnalysis,
         CommandId::ViewAnalysis, CommandId::ViewStatistics, CommandId::ViewReports, sep,
         CommandId::Settings});
    if (AppView* active = mainView_->activeAppView(); active && !active->menuTitle().isEmpty()) {
        QMenu* menu = bar->addMenu(active->menuTitle());
        for (CommandId id : active->menuCommands()) {
            id == sep ? (void)menu->addSeparator() : (void)menu->addAction(action(id));
        }
    }
    add(bar->addMenu(tr("&Help")),
        {CommandId::HelpContents, CommandId::TipOfTheDay, sep, CommandId::About});
}

QString CMainFrame::addressBarText() const {
    return addressBar_ ? addressBar_->text() : QString();
}

void CMainFrame::setAddressBarText(const QString& text) {
    addressBar_->setText(text);
}

void CMainFrame::scheduleCommandUpdate() {
    if (!commandUpdate_->isActive()) commandUpdate_->start();
}

CommandState CMainFrame::commandState() const {
    CommandState state;
    engine::SiteTree& tree = context_.tree();
    state.downloadRunning = context_.downloadRunning();
    state.stopRequested = context_.manager().stopRequested();
    state.activeView = mainView_->activeView();
    state.addressBarEmpty = addressBarText().trimmed().isEmpty();
    state.treeEmpty = tree.empty();
    // A walk over the whole tree, and only Analyze All reads it, which no running download
    // enables: a crawl of thousands of pages does not pay for it at every update.
    if (!state.downloadRunning)
        state.treeHasPageToLoad = tree.empty() ? !state.addressBarEmpty : tree.hasPageToLoad();
    const auto page = mainView_->currentPage();
    state.currentPage = page != nullptr;
    state.currentPageLoaded = page && engine::SiteTree::fullyLoaded(*page);
    if (AppView* active = mainView_->activeAppView()) active->fillCommandState(state);
    return state;
}

void CMainFrame::updateCommands() {
    const CommandState state = commandState();
    for (const CommandEntry& entry : commandTable()) {
        action(entry.id)->setEnabled(commandEnabled(entry.id, state));
        if (const int key = viewOf(entry.id); key >= 0)
            action(entry.id)->setChecked(key == state.activeView);
    }
    action(CommandId::Auto)->setChecked(context_.tree().crawlController().enabled);
    action(CommandId::ToggleToolBar)->setChecked(!toolBar_->isHidden());
    action(CommandId::ToggleAddressBar)->setChecked(!addressBar_->isHidden());
    action(CommandId::ToggleStatusBar)->setChecked(!statusBar()->isHidden());
    refreshPageCount();
    if (state.downloadRunning && !idle_->isActive()) idle_->start();
    if (!state.downloadRunning && idle_->isActive()) idle_->stop();
}

void CMainFrame::refreshPageCount() {
    const std::size_t count = context_.tree().pageCount();
    panes_[1]->setText(count == 0   ? tr("No pages")
                       : count == 1 ? tr("1 page")
                                    : tr("%1 pages").arg(count));
}

void CMainFrame::showIdleStatus(const QString& text) {
    panes_[0]->setText(text);
    refreshPageCount();
}

void CMainFrame::updateTitle() {
    const QString path = QString::fromStdString(context_.document().path());
    const QString product = QString::fromLatin1(MessageBoxes::kProductTitle);
    setWindowTitle(path.isEmpty() ? product : QFileInfo(path).fileName() + " - " + product);
}

void CMainFrame::openSettings(CMyListCtrl* customize) {
    std::vector<CMyListCtrl*> lists;
    for (AppView* view : mainView_->views()) {
        for (CMyListCtrl* list : view->customisableLists()) lists.push_back(list);
    }
    CSettingsSheet sheet(context_.manager().settings(), context_.conditions(), lists, this);
    if (customize) sheet.showCustomize(customize);
    if (sheet.exec() != QDialog::Accepted) return;
    context_.manager().setSettings(sheet.engineSettings());
    context_.applyCrawlSettings();
    emit context_.conditionsChanged();
}

void CMainFrame::runCommand(CommandId id) {
    const bool editing = id == CommandId::Cut || id == CommandId::Copy || id == CommandId::Paste ||
                         id == CommandId::Undo;
    if (editing && addressBar_->hasEditFocus()) {
        if (id == CommandId::Cut) addressBar_->cut();
        if (id == CommandId::Copy) addressBar_->copy();
        if (id == CommandId::Paste) addressBar_->paste();
        if (id == CommandId::Undo) addressBar_->undo();
        return;
    }
    if (!commandEnabled(id, commandState())) return;
    if (id == CommandId::Analyze) {
        analyze();
    } else if (AppView* active = mainView_->activeAppView(); active && active->runCommand(id)) {
        // carried out by the view
    } else if (!runOwnCommand(id)) {
        application_.runCommand(id, *this);
    }
    scheduleCommandUpdate();
}

void CMainFrame::analyze() {
    const QString text = addressBarText().trimmed();
    if (text.isEmpty()) return;
    context_.addRecentAddress(addressBarText());
    setAddressBarText(addressBarText());
    if (AppView* active = mainView_->activeAppView()) active->runCommand(CommandId::Analyze);
}

bool CMainFrame::runOwnCommand(CommandId id) {
    if (const int key = viewOf(id); key >= 0) {
        mainView_->selectView(key);
        return true;
    }
    switch (id) {
        case CommandId::OpenUrl: {
            COpenURLDlg dialog(context_.recentAddresses(), this);
            if (dialog.exec() == QDialog::Accepted && !dialog.address().trimmed().isEmpty()) {
                setAddressBarText(dialog.address());
                runCommand(CommandId::Analyze);
            }
            return true;
        }
        case CommandId::Settings:
            openSettings();
            return true;
        case CommandId::OpenScenario:
            ScenarioCommands::open(this, context_);
            application_.documentChanged();
            return true;
        case CommandId::SaveScenario:
            ScenarioCommands::save(this, context_);
            application_.documentChanged();
            return true;
        case CommandId::Exit:
            close();
            return true;
        case CommandId::ToggleToolBar:
            toggleBar(toolBar_, id);
            return true;
        case CommandId::ToggleAddressBar:
            toggleBar(addressBar_, id);
            return true;
        case CommandId::ToggleStatusBar:
            toggleBar(statusBar(), id);
            return true;
        case CommandId::ToggleSelectionBar:
            if (AppView* active = mainView_->activeAppView(); active && active->tabPane()) {
                active->tabPane()->togglePinned();
            }
            return true;
        case CommandId::FocusAddressBar:
            addressBar_->box()->setFocus(Qt::ShortcutFocusReason);
            return true;
        case CommandId::NextPane:
            moveFocus(1);
            return true;
        case CommandId::PreviousPane:
            moveFocus(-1);
            return true;
        case CommandId::Auto: {
            engine::CrawlController& crawl = context_.tree().crawlController();
            crawl.enabled = !crawl.enabled;
            return true;
        }
        default:
            return false;
    }
}

void CMainFrame::toggleBar(QWidget* bar, CommandId id) {
    bar->setVisible(bar->isHidden());
    action(id)->setChecked(!bar->isHidden());
}

void CMainFrame::moveFocus(int step) {
    AppView* active = mainView_->activeAppView();
    if (!active) return;
    std::vector<QWidget*> panes = active->focusPanes();
    std::erase_if(panes, [](QWidget* pane) { return !pane->isVisible(); });
    if (panes.empty()) return;
    const auto count = static_cast<int>(panes.size());
    int current = -1;
    for (int i = 0; i < count; ++i) {
        QWidget* focus = QApplication::focusWidget();
        if (focus && (focus == panes[static_cast<std::size_t>(i)] ||
                      panes[static_cast<std::size_t>(i)]->isAncestorOf(focus))) {
            current = i;
        }
    }
    const int next = current < 0 ? 0 : (current + step + count) % count;
    panes[static_cast<std::size_t>(next)]->setFocus(Qt::TabFocusReason);
}

void CMainFrame::restorePlacement() {
    persist::WindowPlacement current;
    current.normalPosition = rectOf(geometry());
    const QRect work = screen() ? screen()->availableGeometry() : QRect(0, 0, 1024, 768);
    const persist::WindowPlacement placement =
        persist::restoreWindowPlacement(current, work.width(), work.height());
    const auto& r = placement.normalPosition;
    setGeometry(QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1)));
    const persist::BarVisibility bars = persist::readBarVisibility();
    toolBar_->setVisible(bars.toolBar);
    addressBar_->setVisible(bars.addressBar);
    statusBar()->setVisible(bars.statusBar);
}

void CMainFrame::savePlacement() const {
    persist::WindowPlacement placement;
    placement.flags = 0;
    placement.showCmd = isMinimized()   ? persist::kShowMinimised
                        : isMaximized() ? persist::kShowMaximised
                                        : persist::kShowNormal;
    placement.normalPosition =
        rectOf(isMaximized() || isMinimized() ? normalGeometry() : geometry());
    persist::BarVisibility bars;
    bars.toolBar = !toolBar_->isHidden();
    bars.addressBar = !addressBar_->isHidden();
    bars.statusBar = !statusBar()->isHidden();
    persist::saveWindowPlacement(placement, bars);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (!mainView_->closeQuery()) {
        event->ignore();
        return;
    }
    savePlacement();
    event->accept();
    application_.windowClosed(this);
}

}  // namespace app
