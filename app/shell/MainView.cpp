#include "app/shell/MainView.h"

#include <QApplication>
#include <QComboBox>
#include <QEventLoop>
#include <QTimer>
#include <QVBoxLayout>

#include "app/shell/CMainFrame.h"
#include "app/shell/IdleStatus.h"
#include "app/shell/MessageBoxes.h"
#include "app/widgets/CChoiceBar.h"
#include "app/widgets/Icons.h"
#include "engine/figures/ConnectionSpeed.h"
#include "persist/SettingsMap.h"
#include "report/SiteColumns.h"

namespace app {

namespace {

constexpr int kStopPollMs = 100;
constexpr int kHintInset = 10;

IconId imageOf(int key) {
    switch (key) {
        case view::kSiteTree:
            return IconId::SiteTree;
        case view::kAnalysis:
            return IconId::Analysis;
        case view::kStatistics:
            return IconId::Statistics;
        case view::kReports:
            return IconId::Reports;
        default:
            return IconId::PageStatus;
    }
}

}  // namespace

const std::vector<MainView::ViewInfo>& MainView::viewTable() {
    static const std::vector<ViewInfo> table{
        {view::kSiteTree, "Site Tree", "Web Site Tree",
         "This view shows web site tree and web page download details."},
        {view::kAnalysis, "Analysis", "Page Analysis",
         "This view shows current web page elements details and their location in HTML code."},
        {view::kReports, "Reports", "Web Site Reports",
         "This view shows various reports for web site pages."},
        {view::kStatistics, "Statistics", "Web Page Statistics",
         "This view shows various statistics layouts for web site pages."},
        {view::kPageStatus, "Page Analysis", "Web Item Status", ""},
    };
    return table;
}

const MainView::PaneNames* MainView::paneNames(int key) {
    static const PaneNames site{"SiteTabLocation", "SiteTabPin",    "SiteTabXSize",
                                "SiteTabYSize",    "SiteTabActive", "SiteTabSelection"};
    static const PaneNames stat{"StatTabLocation", "StatTabPin",    "StatTabXSize",
                                "StatTabYSize",    "StatTabActive", "StatTabSelection"};
    static const PaneNames reports{"ReportTabLocation", "ReportStatTabPin", "ReportTabXSize",
                                   "ReportTabYSize",    "ReportTabActive",  "ReportTabSelection"};
    static const PaneNames source{"SourceTabLocation", "SourceStatTabPin", "SourceTabXSize",
                                  "SourceTabYSize",    "SourceTabActive",  nullptr};
    switch (key) {
        case view::kSiteTree:
            return &site;
        case view::kStatistics:
            return &stat;
        case view::kReports:
            return &reports;
        case view::kAnalysis:
            return &source;
        default:
            return nullptr;
    }
}

MainView::MainView(CMainFrame& frame, AppContext& context, IdleStatus& status,
                   const ViewFactories& factories)
    : QWidget(&frame),
      frame_(frame),
      context_(context),
      status_(status),
      bar_(new CChoiceBar(this)),
      connectionBox_(new QComboBox) {
    // Every view setting with its default, then what the store holds; then the engine's
    // settings and the highlighting conditions.
    persist::enterViewSettingsDefaults(settings_);
    settings_.load(persist::section::kViewSettings);
    context_.loadSettings();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(bar_);
    for (const engine::ConnectionSpeed& speed : engine::kConnectionSpeeds) {
        connectionBox_->addItem(QString::fromLatin1(speed.name.data(), speed.name.size()));
    }
    connectionBox_->setToolTip(QString::fromStdString(report::connectionSelectorText(0)));
    bar_->setFooter(tr("Connection Type"), connectionBox_);
    connect(connectionBox_, &QComboBox::activated, this, &MainView::setConnection);

    for (const ViewInfo& info : viewTable()) {
        std::unique_ptr<AppView> made;
        for (const ViewFactory& factory : factories) {
            if (factory.key == info.key) made = factory.make(*this);
        }
        CChoiceBar::Entry entry{info.key,
                                QString::fromLatin1(info.shortName),
                                QString::fromLatin1(info.title),
                                QString::fromLatin1(info.description),
                                icon(imageOf(info.key)),
                                made ? made->widget() : nullptr,
                                info.key != view::kPageStatus};
        if (made) restorePane(info.key, *made);
        bar_->addEntry(entry);
        if (made) views_[info.key] = std::move(made);
    }
    connect(bar_, &CChoiceBar::viewRequested, this, &MainView::selectView);
    context_.addListener(this);
    selectView(view::kSiteTree);
}

MainView::~MainView() {
    context_.removeListener(this);
}

std::vector<AppView*> MainView::views() const {
    std::vector<AppView*> made;
    for (const auto& [key, view] : views_) made.push_back(view.get());
    return made;
}

AppView* MainView::view(int key) const {
    const auto it = views_.find(key);
    return it == views_.end() ? nullptr : it->second.get();
}

void MainView::restorePane(int key, AppView& made) {
    const PaneNames* names = paneNames(key);
    CTabPane* pane = made.tabPane();
    if (!names || !pane) return;
    CTabPane::State state;
    state.location = settings_.getInt(names->location);
    state.pinned = settings_.getInt(names->pin) != 0;
    state.width = settings_.getInt(names->width);
    state.height = settings_.getInt(names->height);
    state.active = settings_.getInt(names->active) != 0;
    if (names->selection) state.selection = settings_.getInt(names->selection);
    pane->setState(state);
}

void MainView::storePanes() {
    for (const auto& [key, made] : views_) {
        const PaneNames* names = paneNames(key);
        CTabPane* pane = made->tabPane();
        if (!names || !pane) continue;
        const CTabPane::State state = pane->state();
        settings_.setInt(names->location, state.location);
        settings_.setInt(names->pin, state.pinned ? 1 : 0);
        settings_.setInt(names->width, state.width);
        settings_.setInt(names->height, state.height);
        settings_.setInt(names->active, state.active ? 1 : 0);
        if (names->selection) settings_.setInt(names->selection, state.selection);
    }
    settings_.setString("LastOpenFileLocation", context_.document().path());
}

void MainView::selectView(int key) {
    if (key == active_ || !view(key)) return;
    AppView* next = view(key);
    if (!bar_->show(key)) return;
    active_ = key;
    next->widget()->setFocus();
    emit activeViewChanged(key);
    commandStateChanged();
}

void MainView::setConnection(int index) {
    if (index == connection_ || !engine::isConnectionIndex(index)) return;
    connection_ = index;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    for (const auto& [key, made] : views_) made->connectionChanged(index);
    connectionBox_->setCurrentIndex(index);
    emit connectionChanged(index);
    QApplication::restoreOverrideCursor();
}

void MainView::setCurrentPage(std::shared_ptr<engine::PageEntry> page) {
    if (page == currentPage_) return;
    currentPage_ = std::move(page);
    emit currentPageChanged();
    commandStateChanged();
}

void MainView::setStatusText(const QString& text) {
    status_.setText(text);
}

QString MainView::addressBarText() const {
    return frame_.addressBarText();
}

void MainView::commandStateChanged() {
    frame_.scheduleCommandUpdate();
}

QString MainView::pageAddress(const engine::PageEntry& page) const {
    const std::shared_ptr<engine::WebItem> root = page.rootItem();
    return QString::fromStdString(root ? root->address().urlText : page.address().urlText);
}

void MainView::engineMessage(const engine::EngineMessage& message) {
    if (AppView* site = view(view::kSiteTree); site && site->engineMessage(message)) return;
    switch (message.id) {
        case engine::MessageId::WorkState:
            if (message.value == engine::message::kWorkStarted) {
                setStatusText(tr("Starting download..."));
                bar_->startAnimation();
            } else {
                runFinished();
            }
            break;
        case engine::MessageId::PageJob:
            if (!message.page) break;
            setStatusText(message.value == engine::message::kPageJobStarts
                              ? tr("Downloading %1...").arg(pageAddress(*message.page))
                              : tr("Finished %1.").arg(pageAddress(*message.page)));
            break;
        case engine::MessageId::DuplicatePage:
            if (message.value == engine::message::kBeforeRemoval) {
                // Announced before the page goes, while its node still exists.
                for (const auto& [key, made] : views_) made->forgetPage(message.page.get());
                if (currentPage_ == message.page) setCurrentPage(nullptr);
            } else {
                setStatusText(tr("Duplicate page removed."));
            }
            break;
        default:
            break;
    }
    commandStateChanged();
}

void MainView::engineBatchHandled() {
    for (const auto& [key, made] : views_) made->engineBatchHandled();
}

void MainView::runFinished() {
    for (const auto& [key, made] : views_) made->runEnded();
    // The site tree has seen the message first: a crawl that started its next level goes on.
    if (context_.tree().crawlController().running) return;
    context_.manager().closeInternetRoot();
    bar_->stopAnimation();
    raiseRunHint();
    setStatusText(tr("Finished download."));
}

void MainView::raiseRunHint() {
    if (!currentPage_ || !raiseHint_) return;
    const engine::PageState state = currentPage_->state();
    const QRect area = bar_->viewRect();
    if (state == engine::PageState::Finished || state == engine::PageState::ChildError) {
        const QPoint corner(area.right() - kHintInset, area.bottom() - kHintInset);
        raiseHint_(state == engine::PageState::Finished ? kHintFinished : kHintChildErrors,
                   bar_->mapToGlobal(corner));
    } else if (state == engine::PageState::Error) {
        AppView* site = view(view::kSiteTree);
        QWidget* details = site && site->tabPane() ? site->tabPane()->paneFrame() : nullptr;
        const QWidget* anchor = details && details->isVisible() ? details : bar_;
        const QRect box = anchor == bar_ ? area : anchor->rect();
        raiseHint_(kHintFailed,
                   anchor->mapToGlobal(QPoint(box.left() + kHintInset, box.bottom() - kHintInset)));
    }
}

bool MainView::closeQuery() {
    if (context_.downloadRunning()) {
        if (MessageBoxes::question(&frame_, tr("Abort page download?")) != QMessageBox::Yes) {
            return false;
        }
        context_.tree().stop();
        // The workers may be waiting for this thread (a sent notification): keep serving
        // events while waiting for them to end.
        while (context_.manager().isBusy()) {
            QEventLoop loop;
            QTimer::singleShot(kStopPollMs, &loop, &QEventLoop::quit);
            loop.exec();
        }
    } else {
        context_.manager().stop();
    }
    storePanes();
    settings_.save(persist::section::kViewSettings);
    for (const auto& [key, made] : views_) made->saveState();
    engine::AddressMru::saveCurrent(addressBarText().toStdString());
    return true;
}

}  // namespace app
