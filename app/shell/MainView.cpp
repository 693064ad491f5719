#include "app/shell/MainView.h"

#include <QApplication>
#include <QComboBox>
#include <QEventLoop>
#include <QTimer>
#include <QVBoxLayout>

#include "app/shell/CMainFrame.h"
#include "app/shell/IdleStatus.h"
#include "app/widgets/CChoiceBar.h"
#include "app/widgets/CTabPane.h"
#include "app/widgets/MessageBoxes.h"
#include "engine/crawl/CrawlController.h"
#include "engine/figures/ConnectionSpeed.h"
#include "persist/SettingsMap.h"
#include "report/SiteColumns.h"

namespace app {

namespace {

constexpr int kStopPollMs = 100;
constexpr int kHintInset = 10;

QString connectionPrompt(int index) {
    return QString::fromStdString(report::connectionSelectorText(index));
}

}  // namespace

MainView::MainView(CMainFrame& frame, AppContext& context, IdleStatus& status,
                   const ViewTable& table)
    : QWidget(&frame),
      frame_(frame),
      context_(context),
      status_(status),
      table_(table),
      bar_(new CChoiceBar(this)),
      connectionBox_(new QComboBox) {
    // Every view setting with its default, then what the store holds; then the engine's
    // settings and the highlighting conditions (read once a run: a second window shares them).
    persist::enterViewSettingsDefaults(settings_);
    settings_.load(persist::section::kViewSettings);
    context_.loadSettings();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(bar_);
    for (const engine::ConnectionSpeed& speed : engine::kConnectionSpeeds) {
        connectionBox_->addItem(QString::fromLatin1(speed.name.data(), speed.name.size()));
    }
    connectionBox_->setToolTip(connectionPrompt(connection_));
    bar_->setFooter(tr("Connection Type"), connectionBox_);
    connect(connectionBox_, &QComboBox::activated, this, &MainView::setConnection);

    for (const ViewRegistration& entry : table_) {
        std::unique_ptr<AppView> made = entry.make(*this, context_);
        restorePane(entry, *made);
        bar_->addEntry({entry.key, entry.shortName, entry.title, entry.description,
                        icon(entry.image), made->widget(), entry.listed});
        views_[entry.key] = std::move(made);
    }
    connect(bar_, &CChoiceBar::viewRequested, this, &MainView::selectView);
    connect(&context_, &AppContext::conditionsChanged, this, [this] {
        for (AppView* made : views()) made->conditionsChanged();
    });
    context_.addListener(this);
    if (!table_.empty()) selectView(table_.front().key);
}

MainView::~MainView() {
    context_.removeListener(this);
}

std::vector<AppView*> MainView::views() const {
    std::vector<AppView*> made;
    for (const ViewRegistration& entry : table_) {
        if (AppView* each = view(entry.key)) made.push_back(each);
    }
    return made;
}

AppView* MainView::view(int key) const {
    const auto it = views_.find(key);
    return it == views_.end() ? nullptr : it->second.get();
}

const ViewRegistration* MainView::registration(int key) const {
    for (const ViewRegistration& entry : table_) {
        if (entry.key == key) return &entry;
    }
    return nullptr;
}

const ViewRegistration* MainView::shownBy(CommandId id) const {
    for (const ViewRegistration& entry : table_) {
        if (entry.showCommand == id) return &entry;
    }
    return nullptr;
}

bool MainView::carriedByAView(CommandId id) const {
    for (const ViewRegistration& entry : table_) {
        if (entry.command(id)) return true;
    }
    return false;
}

void MainView::restorePane(const ViewRegistration& entry, AppView& made) {
    CTabPane* pane = made.tabPane();
    if (!entry.pane || !pane) return;
    const PaneSettingNames& names = *entry.pane;
    CTabPane::State state;
    state.location = settings_.getInt(names.location);
    state.pinned = settings_.getInt(names.pin) != 0;
    state.width = settings_.getInt(names.width);
    state.height = settings_.getInt(names.height);
    state.active = settings_.getInt(names.active) != 0;
    if (names.selection) state.selection = settings_.getInt(names.selection);
    pane->setState(state);
}

void MainView::storePanes() {
    for (const ViewRegistration& entry : table_) {
        AppView* made = view(entry.key);
        CTabPane* pane = made ? made->tabPane() : nullptr;
        if (!entry.pane || !pane) continue;
        const PaneSettingNames& names = *entry.pane;
        const CTabPane::State state = pane->state();
        settings_.setInt(names.location, state.location);
        settings_.setInt(names.pin, state.pinned ? 1 : 0);
        settings_.setInt(names.width, state.width);
        settings_.setInt(names.height, state.height);
        settings_.setInt(names.active, state.active ? 1 : 0);
        if (names.selection) settings_.setInt(names.selection, state.selection);
    }
    settings_.setString("LastOpenFileLocation", context_.document().path());
}

void MainView::selectView(int key) {
    AppView* next = view(key);
    if (key == active_ || !next || !bar_->show(key)) return;
    active_ = key;
    next->widget()->setFocus();
    emit activeViewChanged(key);
    commandStateChanged();
}

void MainView::setHeaderText(int key, const QString& text) {
    bar_->setTitle(key, text);
}

void MainView::setConnection(int index) {
    if (index == connection_ || !engine::isConnectionIndex(index)) return;
    connection_ = index;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    for (AppView* made : views()) made->connectionChanged(index);
    connectionBox_->setCurrentIndex(index);
    connectionBox_->setToolTip(connectionPrompt(index));
    emit connectionChanged(index);
    QApplication::restoreOverrideCursor();
}

void MainView::setCurrentPage(std::shared_ptr<engine::PageEntry> page) {
    if (page == currentPage_) return;
    currentPage_ = std::move(page);
    element_.reset();
    for (AppView* made : views()) made->currentPageChanged();
    emit currentPageChanged();
    commandStateChanged();
}

void MainView::setSelectedElement(std::shared_ptr<engine::WebItem> element) {
    if (element == element_) return;
    element_ = std::move(element);
    for (AppView* made : views()) made->selectedElementChanged();
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

void MainView::customizeList(CMyListCtrl& list) {
    frame_.openSettings(&list);
}

void MainView::menuChanged() {
    // Posted, once however often asked: the menu that asked (an entry being chosen) must not
    // be destroyed under it.
    if (menuPosted_) return;
    menuPosted_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            menuPosted_ = false;
            emit viewMenuChanged();
        },
        Qt::QueuedConnection);
}

void MainView::raiseHint(int hint, const QPoint& globalPoint) {
    if (raiseHint_) raiseHint_(hint, globalPoint);
}

bool MainView::requestMove(ViewMove move, const ViewTarget& target) {
    for (const ViewRegistration& entry : table_) {
        if (!entry.answers(move)) continue;
        if (AppView* answering = view(entry.key)) {
            answering->answerMove(move, target);
            return true;
        }
    }
    return false;
}

void MainView::engineMessage(const engine::EngineMessage& message) {
    for (AppView* made : views()) made->engineMessage(message);
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
            setStatusText((message.value == engine::message::kPageJobStarts
                               ? tr("Downloading %1...")
                               : tr("Finished %1."))
                              .arg(QString::fromStdString(engine::loadedAddress(*message.page))));
            break;
        case engine::MessageId::DuplicatePage:
            if (message.value == engine::message::kBeforeRemoval) {
                // Announced before the page goes, while its node still exists.
                for (AppView* made : views()) made->forgetPage(message.page.get());
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
    for (AppView* made : views()) made->engineBatchHandled();
}

void MainView::runFinished() {
    for (AppView* made : views()) made->runEnded();
    // The site tree has seen the message first: a crawl that started its next level goes on.
    if (context_.tree().crawlController().running) return;
    context_.manager().closeInternetRoot();
    bar_->stopAnimation();
    raiseRunHint();
    setStatusText(tr("Finished download."));
}

void MainView::raiseRunHint() {
    if (!currentPage_) return;
    const engine::PageState state = currentPage_->state();
    const QRect area = bar_->viewRect();
    if (state == engine::PageState::Finished || state == engine::PageState::ChildError) {
        const QPoint corner(area.right() - kHintInset, area.bottom() - kHintInset);
        raiseHint(state == engine::PageState::Finished ? kHintFinished : kHintChildErrors,
                  bar_->mapToGlobal(corner));
    } else if (state == engine::PageState::Error) {
        // Anchored where a view shows the page's errors, else over the view area.
        QWidget* anchor = nullptr;
        for (AppView* made : views()) {
            QWidget* offered = made->hintAnchor(kHintFailed);
            if (!anchor && offered && offered->isVisible()) anchor = offered;
        }
        const QRect box = anchor ? anchor->rect() : area;
        const QPoint corner(box.left() + kHintInset, box.bottom() - kHintInset);
        raiseHint(kHintFailed, anchor ? anchor->mapToGlobal(corner) : bar_->mapToGlobal(corner));
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
    for (AppView* made : views()) made->saveState();
    engine::AddressMru::saveCurrent(addressBarText().toStdString());
    return true;
}

}  // namespace app
