#include "app/pagestatus/CStatusDlg.h"

#include <QHeaderView>
#include <QLabel>
#include <QSplitter>
#include <QTimer>
#include <QVBoxLayout>

#include "app/pagestatus/PageStatusModel.h"
#include "app/pagestatus/StatusRegistration.h"
#include "app/shell/ViewHost.h"
#include "app/widgets/CElementListCtrl.h"
#include "app/widgets/ElementListModel.h"
#include "app/widgets/MessageBoxes.h"
#include "app/widgets/OpenInBrowser.h"
#include "app/widgets/PageProgress.h"
#include "app/widgets/ProgressDelegate.h"
#include "app/widgets/PropertyListCtrl.h"
#include "app/widgets/PropertyListModel.h"
#include "app/widgets/SaveElementAs.h"
#include "engine/crawl/SiteTree.h"
#include "engine/schedule/SiteManager.h"
#include "report/PageStatusColumns.h"

namespace app {

namespace {

constexpr const char* kStatusSection = "StatusPageList";
constexpr const char* kElementSection = "StatusSourceList";
constexpr const char* kInformationSection = "StatusElementDetails";
constexpr int kClockMs = 250;

// A section of the view: its bold heading above its content.
QWidget* section(const QString& heading, QWidget* content) {
    auto* box = new QWidget;
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    auto* label = new QLabel(heading);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    label->setBuddy(content);
    layout->addWidget(label);
    layout->addWidget(content, 1);
    return box;
}

}  // namespace

CStatusDlg::CStatusDlg(ViewHost& host, engine::SiteTree& tree, engine::SaveElement& saver,
                       DownloadRunning downloadRunning, RecentAddress addRecent)
    : host_(host),
      tree_(tree),
      saver_(saver),
      downloadRunning_(std::move(downloadRunning)),
      addRecent_(std::move(addRecent)),
      status_(new PageStatusModel(this)),
      statusList_(new CMyListCtrl(kStatusSection)),
      elements_(new CElementListCtrl(kElementSection, nullptr)),
      information_(new ElementPropertiesModel(report::ElementRowsTitle::Status, this)),
      informationList_(new PropertyListCtrl(kInformationSection, tr("Page Status Information"))),
      split_(new QSplitter(Qt::Horizontal)),
      clock_(new QTimer(this)) {
    statusList_->setObjectName(QStringLiteral("statusList"));
    statusList_->setTitle(tr("Page Status"));
    statusList_->setModel(status_);
    statusList_->setRootIsDecorated(false);
    statusList_->setSelectionMode(QAbstractItemView::NoSelection);
    statusList_->setItemDelegateForColumn(static_cast<int>(report::PageStatusColumn::Status),
                                          new ProgressDelegate(statusList_));
    for (std::size_t i = 0; i < report::kPageStatusColumnCount; ++i) {
        const auto column = static_cast<report::PageStatusColumn>(i);
        statusList_->addColumn(static_cast<int>(i),
                               QString::fromLatin1(report::pageStatusHeader(column)),
                               report::pageStatusWidth(column), report::kPageStatusMinimumWidth);
    }
    statusList_->rebuildColumns();
    statusList_->loadLayout();
    statusList_->setCustomizeHandler([this](CMyListCtrl& list) { host_.customizeList(list); });
    // One row: the list is as tall as its header, the row and its frame.
    statusList_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const int rowHeight = statusList_->fontMetrics().height() + 8;
    statusList_->setFixedHeight(statusList_->header()->sizeHint().height() + rowHeight +
                                2 * statusList_->frameWidth() + 2);

    elements_->setObjectName(QStringLiteral("statusElements"));
    elements_->setTitle(tr("Page Status Elements"));
    elements_->loadLayout();
    elements_->setCustomizeHandler([this](CMyListCtrl& list) { host_.customizeList(list); });
    informationList_->setObjectName(QStringLiteral("statusInformation"));
    informationList_->setAccessibleName(tr("Page Status Information"));
    informationList_->setModel(information_);
    informationList_->setCustomizeHandler([this](CMyListCtrl& list) { host_.customizeList(list); });

    split_->addWidget(section(tr("Page Elements"), elements_));
    split_->addWidget(informationList_);
    split_->setChildrenCollapsible(false);
    split_->setSizes({3000, 2000});

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(8);
    layout->addWidget(section(tr("Page Download Status"), statusList_));
    layout->addWidget(split_, 1);

    clock_->setInterval(kClockMs);
    connect(clock_, &QTimer::timeout, this, &CStatusDlg::showStatus);
    connect(elements_, &CElementListCtrl::currentItemChanged, this, &CStatusDlg::elementChosen);
    showStatus();
}

CStatusDlg::~CStatusDlg() = default;

std::shared_ptr<engine::WebItem> CStatusDlg::selectedItem() const {
    return elements_->currentItem();
}

void CStatusDlg::fillCommandState(CommandState& state) const {
    const auto item = selectedItem();
    state.selectionCount = item ? 1 : 0;
    state.selectedPhase = item ? static_cast<int>(item->phase()) : -1;
    const auto body = item ? item->body() : nullptr;
    state.selectionHasContent = body && !body->empty();
}

bool CStatusDlg::runCommand(CommandId id) {
    const auto item = selectedItem();
    switch (id) {
        case CommandId::Analyze:
        case CommandId::AnalyzeAll:
            analyze();
            return true;
        case CommandId::AnalyzeSelected:
            reloadSelected();
            return true;
        case CommandId::AnalyzePageSource:
            return host_.requestMove(ViewMove::ShowSource, {host_.currentPage(), item});
        case CommandId::ShowDetails:
            if (item) host_.requestMove(ViewMove::ShowDetails, {host_.currentPage(), item});
            return true;
        case CommandId::OpenInBrowser:
            if (item) openInBrowser(this, item->address().urlText);
            return true;
        case CommandId::SaveElementAs:
        case CommandId::Export:
            if (item) saveElementAs(this, saver_, *item);
            return true;
        default:
            return false;
    }
}

void CStatusDlg::analyze() {
    const QString text = host_.addressBarText().trimmed();
    if (text.isEmpty() || downloadRunning_()) return;
    elements_->showPage(nullptr, host_.connectionIndex());
    engine::SiteNode* node = tree_.analyseAddress(text.toStdString());
    if (!node) {
        MessageBoxes::error(this, QString::fromLatin1(MessageBoxes::kProductTitle),
                            tr("\"%1\" is not a web address that can be analysed.").arg(text));
        return;
    }
    host_.setCurrentPage(node->page);
    if (!isVisible()) {
        host_.selectView(statusKey());
        addRecent_(host_.addressBarText());
    }
    refresh();
}

void CStatusDlg::reloadSelected() {
    const auto page = host_.currentPage();
    const auto item = selectedItem();
    if (!page || !item || downloadRunning_()) return;
    tree_.manager().reloadElement(page, item);
}

void CStatusDlg::elementChosen(const std::shared_ptr<engine::WebItem>& item) {
    host_.setSelectedElement(item);
    information_->show(host_.currentPage(), item, host_.connectionIndex());
    host_.commandStateChanged();
}

void CStatusDlg::currentPageChanged() {
    pageDirty_ = true;
    if (isVisible()) showPage();
    showStatus();
}

void CStatusDlg::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (pageDirty_) showPage();
    showStatus();
}

void CStatusDlg::showPage() {
    pageDirty_ = false;
    elements_->setLive(downloadRunning_());
    elements_->showPage(host_.currentPage(), host_.connectionIndex());
    if (elements_->elementModel()->rowCount() == 0) elementChosen(nullptr);
}

void CStatusDlg::engineMessage(const engine::EngineMessage& message) {
    if (changesPageView(message, host_.currentPage().get())) progressed_ = true;
}

void CStatusDlg::engineBatchHandled() {
    if (!progressed_) return;
    progressed_ = false;
    refresh();
}

void CStatusDlg::runEnded() {
    refresh();
}

void CStatusDlg::refresh() {
    showStatus();
    if (!isVisible()) {
        pageDirty_ = true;
        return;
    }
    if (pageDirty_) {
        showPage();
        return;
    }
    elements_->setLive(downloadRunning_());
    elements_->showPage(host_.currentPage(), host_.connectionIndex());
    information_->refresh();
}

void CStatusDlg::showStatus() {
    const auto page = host_.currentPage();
    const bool running = downloadRunning_();
    // The header is the bar's, shown whether or not this view is active.
    const QString header = QString::fromStdString(report::pageStatusHeaderText(page.get()));
    if (report::headerTextChanged(header_.toStdString(), header.toStdString())) {
        header_ = header;
        host_.setHeaderText(statusKey(), header_);
    }
    if (running && !clock_->isActive()) clock_->start();
    if (!running) clock_->stop();
    if (!isVisible()) return;
    status_->setRow(report::pageStatusRow(
        page ? std::optional(report::pageStatusFacts(*page, host_.connectionIndex(), running))
             : std::nullopt));
}

void CStatusDlg::connectionChanged(int index) {
    elements_->setConnection(index);
    information_->show(host_.currentPage(), selectedItem(), index);
    showStatus();
}

void CStatusDlg::forgetPage(const engine::PageEntry* page) {
    if (elements_->elementModel()->page().get() != page) return;
    elements_->showPage(nullptr, host_.connectionIndex());
    elementChosen(nullptr);
    pageDirty_ = true;
}

void CStatusDlg::saveState() {
    statusList_->saveLayout();
    elements_->saveLayout();
    informationList_->saveLayout();
}

std::vector<CMyListCtrl*> CStatusDlg::customisableLists() {
    return {statusList_, elements_, informationList_};
}

std::vector<QWidget*> CStatusDlg::focusPanes() {
    return {statusList_, elements_, informationList_};
}

}  // namespace app
