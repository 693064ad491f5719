#include "app/shell/CMainFrame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include <algorithm>
#include <utility>
#include <vector>

#include "app/shell/AppContext.h"
#include "app/shell/CAddressBar.h"
#include "app/shell/CApplication.h"
#include "app/shell/COpenURLDlg.h"
#include "app/shell/HarExportCommand.h"
#include "app/shell/HarImportCommand.h"
#include "app/shell/IdleStatus.h"
#include "app/shell/ScenarioCommands.h"
#include "app/widgets/CTabPane.h"
#include "app/widgets/Icons.h"
#include "app/widgets/MessageBoxes.h"
#include "app/widgets/StatusPane.h"
#include "engine/crawl/CrawlController.h"
#include "persist/WindowPlacement.h"

namespace app {

namespace {

constexpr int kIdleRefreshMs = 250;
constexpr int kPagesPaneWidth = 50;
constexpr int kConnectionPaneWidth = 100;

// The tool bar, left to right.
struct ToolButton {
    MenuItem id;
    IconId image;
    const char* caption;
};

constexpr ToolButton kSeparatorButton{kSeparator, IconId::Program, nullptr};
constexpr ToolButton kToolBar[] = {
    {CommandId::AnalyzeAll, IconId::AnalyzeAll, "Analyze All"},
    {CommandId::AnalyzeSelected, IconId::AnalyzeSelected, "Analyze"},
    {CommandId::Stop, IconId::Stop, "Stop"},
    kSeparatorButton,
    {CommandId::Auto, IconId::Auto, "Auto"},
    kSeparatorButton,
    {CommandId::OpenScenario, IconId::Open, "Open"},
    {CommandId::SaveScenario, IconId::Save, "Save"},
    kSeparatorButton,
    {CommandId::RemoveSelected, IconId::Remove, "Remove"},
    {CommandId::ShowDetails, IconId::Details, "Details"},
    kSeparatorButton,
    {CommandId::Settings, IconId::Settings, "Settings"},
};

persist::WindowPlacement::Rect rectOf(const QRect& r) {
    return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

}  // namespace

CMainFrame::CMainFrame(CApplication& application, AppContext& context, IdleStatus& status,
                       const ViewTable& views, SettingsOpener settings)
    : application_(application),
      context_(context),
      status_(status),
      settings_(std::move(settings)),
      commandUpdate_(new QTimer(this)),
      idle_(new QTimer(this)) {
    setWindowIcon(icon(IconId::Program));
    makeActions();
    makeToolBar();
    addressBar_ = new CAddressBar(context_, action(CommandId::Analyze), this);
    addToolBarBreak();
    addToolBar(addressBar_);
    makeStatusBar();
    mainView_ = new MainView(*this, context_, status_, views);
    setCentralWidget(mainView_);
    for (const CommandEntry& entry : commandTable())
        action(entry.id)->setCheckable(checkable(entry.id));
    scopeShortcuts();
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
    connect(mainView_, &MainView::viewMenuChanged, this, [this] { rebuildMenus(); });
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
        if (button.id == kSeparator) {
            toolBar_->addSeparator();
            continue;
        }
        QAction* command = action(*button.id);
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

bool CMainFrame::checkable(CommandId id) const {
    switch (id) {
        case CommandId::Auto:
        case CommandId::ToggleToolBar:
        case CommandId::ToggleAddressBar:
        case CommandId::ToggleStatusBar:
        case CommandId::WordWrap:
            return true;
        default:
            return mainView_->shownBy(id) != nullptr;
    }
}

void CMainFrame::scopeShortcuts() {
    for (AppView* view : mainView_->views()) {
        for (const auto& [id, scope] : view->localShortcuts()) {
            QAction* command = action(id);
            command->setShortcutContext(Qt::WidgetWithChildrenShortcut);
            removeAction(command);
            scope->addAction(command);
        }
    }
}

void CMainFrame::rebuildMenus() {
    QMenuBar* bar = menuBar();
    bar->clear();
    const auto add = [this](QMenu* menu, const std::vector<MenuItem>& items) {
        for (const MenuItem& item : items) {
            item ? (void)menu->addAction(action(*item)) : (void)menu->addSeparator();
        }
    };
    using C = CommandId;
    std::vector<std::pair<QString, std::vector<MenuItem>>> menus = {
        {tr("&File"),
         {C::OpenUrl, kSeparator, C::OpenScenario, C::ImportHar, C::ExportHar, C::SaveScenario,
          kSeparator, C::Export, C::Print, C::ExportPdf, kSeparator, C::Exit}},
        {tr("&Edit"), {C::Undo, kSeparator, C::Cut, C::Copy, C::Paste}},
        {tr("&View"),
         {C::ToggleToolBar, C::ToggleAddressBar, C::ToggleStatusBar, C::ToggleSelectionBar,
          kSeparator, C::ViewSiteTree, C::ViewPageAnalysis, C::ViewAnalysis, C::ViewStatistics,
          C::ViewReports, C::ViewWaterfall, kSeparator, C::Settings}},
    };
    // A view's menu named like one of the window's own extends it (the source view's entries
    // join Edit); any other comes between View and Help.
    if (const ViewRegistration* active = mainView_->activeRegistration();
        active && !active->menuTitle.isEmpty()) {
        const auto same = std::find_if(menus.begin(), menus.end(), [&](const auto& menu) {
            return menu.first == active->menuTitle;
        });
        if (same == menus.end()) {
            menus.emplace_back(active->menuTitle, active->menu);
        } else {
            same->second.push_back(kSeparator);
            same->second.insert(same->second.end(), active->menu.begin(), active->menu.end());
        }
    }
    menus.emplace_back(tr("&Help"),
                       std::vector<MenuItem>{C::HelpContents, C::TipOfTheDay, kSeparator,
                                             C::ObjectExplorer, kSeparator, C::About});
    AppView* active = mainView_->activeAppView();
    const ViewRegistration* registration = mainView_->activeRegistration();
    for (const auto& [title, items] : menus) {
        QMenu* menu = bar->addMenu(title);
        add(menu, items);
        if (active && registration && title == registration->menuTitle) {
            renameEntries(*menu, registration->menuTexts);
            active->fillMenu(*menu);
        }
    }
}

void CMainFrame::renameEntries(QMenu& menu,
                               const std::vector<std::pair<CommandId, QString>>& texts) {
    // The window's action keeps its own text (the tool bar shows it): the menu gets a stand-in
    // that follows its state and triggers it.
    for (const auto& [id, text] : texts) {
        QAction* command = action(id);
        if (!menu.actions().contains(command)) continue;
        auto* entry = new QAction(command->icon(), text, &menu);
        entry->setStatusTip(command->statusTip());
        entry->setEnabled(command->isEnabled());
        connect(command, &QAction::changed, entry,
                [entry, command] { entry->setEnabled(command->isEnabled()); });
        connect(entry, &QAction::triggered, command, &QAction::trigger);
        menu.insertAction(command, entry);
        menu.removeAction(command);
    }
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
    state.downloadRunning = context_.downloadRunning();
    state.stopRequested = context_.manager().stopRequested();
    state.addressBarEmpty = addressBarText().trimmed().isEmpty();
    state.treeEmpty = context_.tree().empty();
    const auto page = mainView_->currentPage();
    state.currentPage = page != nullptr;
    state.currentPageLoaded = page && engine::fullyLoaded(*page);
    for (const ViewRegistration& entry : mainView_->table()) {
        for (ViewMove move : entry.moves) state.moveAnswered[static_cast<std::size_t>(move)] = true;
    }
    if (AppView* active = mainView_->activeAppView()) active->fillCommandState(state);
    return state;
}

bool CMainFrame::commandOn(CommandId id, const CommandState& state) const {
    if (mainView_->shownBy(id)) return true;
    if (const ViewRegistration* active = mainView_->activeRegistration()) {
        if (const ViewCommand* own = active->command(id)) return own->enabled(state);
    }
    if (id == CommandId::Settings) return static_cast<bool>(settings_);
    if (id == CommandId::ObjectExplorer) return application_.hasObjectExplorer();
    return commandEnabled(id, state);
}

void CMainFrame::updateCommands() {
    const CommandState state = commandState();
    AppView* active = mainView_->activeAppView();
    for (const CommandEntry& entry : commandTable()) {
        action(entry.id)->setEnabled(commandOn(entry.id, state));
        if (const ViewRegistration* shown = mainView_->shownBy(entry.id))
            action(entry.id)->setChecked(shown->key == mainView_->activeView());
        else if (const auto checked = active ? active->commandChecked(entry.id) : std::nullopt)
            action(entry.id)->setChecked(*checked);
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
    if (!settings_) return;
    std::vector<CMyListCtrl*> lists;
    for (AppView* view : mainView_->views()) {
        for (CMyListCtrl* list : view->customisableLists()) lists.push_back(list);
    }
    // The sheet stores the crawl's Enabled value as the Auto toggle stands now.
    engine::EngineSettings current = context_.manager().settings();
    current.limits.enabled = context_.tree().crawlController().enabled;
    const auto confirmed = settings_(this, current, context_.conditions(), lists, customize);
    if (!confirmed) return;
    context_.manager().setSettings(*confirmed);
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
    if (!commandOn(id, commandState())) return;
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
    if (const ViewRegistration* shown = mainView_->shownBy(id)) {
        mainView_->selectView(shown->key);
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
        case CommandId::ImportHar:
            HarImportCommand::open(this, context_, *mainView_);
            return true;
        case CommandId::ExportHar:
            HarExportCommand::save(this, context_);
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
        case CommandId::Stop:
            context_.tree().stop();
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
