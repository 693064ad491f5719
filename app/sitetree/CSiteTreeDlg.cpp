#include "app/sitetree/CSiteTreeDlg.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLabel>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "app/shell/ViewHost.h"
#include "app/sitetree/SiteTreeModel.h"
#include "app/widgets/CTabPane.h"
#include "app/widgets/HintTexts.h"
#include "app/widgets/Icons.h"
#include "app/widgets/MessageBoxes.h"
#include "app/widgets/OpenInBrowser.h"
#include "app/widgets/PropertyListCtrl.h"
#include "app/widgets/QuestionBoxes.h"
#include "app/widgets/RawValueSortModel.h"
#include "app/widgets/SaveElementAs.h"
#include "app/widgets/UniformRowTreeView.h"
#include "engine/crawl/CrawlController.h"
#include "persist/SettingsMap.h"
#include "report/PageInformation.h"
#include "report/SiteColumns.h"

namespace app {

namespace {

constexpr int kMinimumColumnWidth = 40;

}  // namespace

CSiteTreeDlg::CSiteTreeDlg(ViewHost& host, engine::SiteTree& tree,
                           const report::FilterConditionList& conditions,
                           engine::SaveElement& saver)
    : host_(host),
      siteTree_(tree),
      saver_(saver),
      model_(new SiteTreeModel(tree, conditions, this)),
      sorted_(new RawValueSortModel(this)),
      tree_(new UniformRowTreeView),
      details_(
          new PagePropertiesModel(conditions, report::InformationForm::SingleConnection, this)),
      detailsList_(
          new PropertyListCtrl(std::string(persist::section::kPageDetails), tr("Site Tree"))),
      noPage_(new QLabel(QString::fromStdString(report::noPageHtml()))),
      detailsStack_(new QStackedWidget) {
    sorted_->setSourceModel(model_);
    tree_->setModel(sorted_);
    tree_->setObjectName(QStringLiteral("siteTree"));
    tree_->setAccessibleName(tr("Site Tree"));
    tree_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    tree_->setSelectionBehavior(QAbstractItemView::SelectRows);
    tree_->setAlternatingRowColors(false);
    tree_->setAllColumnsShowFocus(true);
    tree_->header()->setStretchLastSection(false);
    tree_->header()->setSortIndicator(-1, Qt::AscendingOrder);
    tree_->setSortingEnabled(true);

    detailsList_->setModel(details_);
    detailsList_->loadLayout();
    detailsList_->setObjectName(QStringLiteral("pageDetails"));
    detailsList_->setAccessibleName(tr("Page Details"));
    detailsList_->setCustomizeHandler([this](CMyListCtrl& list) { host_.customizeList(list); });
    noPage_->setTextFormat(Qt::RichText);
    noPage_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    noPage_->setMargin(6);
    noPage_->setAutoFillBackground(true);
    noPage_->setBackgroundRole(QPalette::Base);
    detailsStack_->addWidget(noPage_);
    detailsStack_->addWidget(detailsList_);

    pane_ = new CTabPane(tree_, tr("Details"), tr("Page Details:"), icon(IconId::Details),
                         detailsStack_, this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(pane_);

    connect(tree_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &CSiteTreeDlg::currentChanged);
    connect(tree_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { host_.commandStateChanged(); });
    // Removing every page (or opening a scenario) resets the list without telling the selection:
    // the page the views showed is gone.
    connect(model_, &QAbstractItemModel::modelReset, this, [this] { host_.setCurrentPage({}); });
    // A page's first child pages show at once; a parent the user closed stays closed.
    connect(sorted_, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex& parent, int first) {
                if (parent.isValid() && first == 0) tree_->expand(parent);
            });
    connect(tree_, &QTreeView::expanded, this, [this](const QModelIndex& index) {
        if (auto* node = model_->node(sorted_->mapToSource(index))) node->expanded = true;
    });
    connect(tree_, &QTreeView::collapsed, this, [this](const QModelIndex& index) {
        if (auto* node = model_->node(sorted_->mapToSource(index))) node->expanded = false;
    });
    showDetails();
}

CSiteTreeDlg::~CSiteTreeDlg() = default;

CMyListCtrl* CSiteTreeDlg::detailsList() const {
    return detailsList_;
}

std::vector<engine::SiteNode*> CSiteTreeDlg::selectedNodes() const {
    std::vector<engine::SiteNode*> nodes;
    for (const QModelIndex& index : tree_->selectionModel()->selectedRows()) {
        if (auto* node = model_->node(sorted_->mapToSource(index))) nodes.push_back(node);
    }
    return nodes;
}

engine::SiteNode* CSiteTreeDlg::singleSelection() const {
    const auto nodes = selectedNodes();
    return nodes.size() == 1 ? nodes.front() : nullptr;
}

void CSiteTreeDlg::selectNode(const engine::SiteNode* node) {
    const QModelIndex index = sorted_->mapFromSource(model_->indexOf(node));
    if (!index.isValid()) return;
    tree_->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    tree_->scrollTo(index);
}

void CSiteTreeDlg::fillCommandState(CommandState& state) const {
    const auto nodes = selectedNodes();
    state.selectionCount = static_cast<int>(nodes.size());
    state.selectionHasContent = nodes.size() == 1 && engine::hasContent(*nodes.front()->page);
    // A walk over the whole tree, read only by Analyze All, which no running download enables:
    // a crawl of thousands of pages does not pay for it at every update.
    if (!state.downloadRunning)
        state.treeHasPageToLoad =
            siteTree_.empty() ? !state.addressBarEmpty : siteTree_.hasPageToLoad();
}

bool CSiteTreeDlg::runCommand(CommandId id) {
    switch (id) {
        case CommandId::Analyze:
            analyzeTyped();
            return true;
        case CommandId::AnalyzeAll:
            siteTree_.analyzeAll(host_.addressBarText().toStdString());
            return true;
        case CommandId::AnalyzeSelected:
            siteTree_.analyzeSelected(selectedNodes(), host_.addressBarText().toStdString());
            return true;
        case CommandId::AnalyzePageSource:
            return host_.requestMove(ViewMove::ShowSource, {host_.currentPage(), nullptr});
        case CommandId::ShowDetails:
            if (const engine::SiteNode* node = singleSelection())
                host_.requestMove(ViewMove::ShowDetails, {node->page, nullptr});
            return true;
        case CommandId::RemoveSelected:
            removeSelected();
            return true;
        case CommandId::RemoveNotLoaded:
            siteTree_.removeNotLoaded();
            return true;
        case CommandId::RemoveAll:
            removeAll();
            return true;
        case CommandId::OpenInBrowser:
            openInBrowser();
            return true;
        case CommandId::SaveElementAs:
        case CommandId::Export:
            saveSelected();
            return true;
        case CommandId::Copy:
            copyAddresses();
            return true;
        default:
            return false;
    }
}

void CSiteTreeDlg::analyzeTyped() {
    const QString text = host_.addressBarText().trimmed();
    engine::SiteNode* node = siteTree_.analyseAddress(text.toStdString());
    if (!node) {
        MessageBoxes::error(this, QString::fromLatin1(MessageBoxes::kProductTitle),
                            tr("\"%1\" is not a web address that can be analysed.").arg(text));
        return;
    }
    selectNode(node);
}

void CSiteTreeDlg::removeSelected() {
    QuestionBoxes questions(this);
    const auto nodes = selectedNodes();
    // The selection goes first, while its rows still exist.
    if (!nodes.empty()) siteTree_.deleteSelected(nodes, questions);
}

void CSiteTreeDlg::removeAll() {
    QuestionBoxes questions(this);
    siteTree_.deleteAll(questions);
}

void CSiteTreeDlg::openInBrowser() {
    if (const engine::SiteNode* node = singleSelection())
        app::openInBrowser(this, node->page->address().urlText);
}

void CSiteTreeDlg::saveSelected() {
    const engine::SiteNode* node = singleSelection();
    const auto root = node ? node->page->rootItem() : nullptr;
    if (root) saveElementAs(this, saver_, *root);
}

void CSiteTreeDlg::copyAddresses() {
    QStringList addresses;
    for (const engine::SiteNode* node : selectedNodes()) {
        addresses << QString::fromStdString(node->page->address().urlText);
    }
    if (!addresses.isEmpty()) QApplication::clipboard()->setText(addresses.join('\n'));
}

void CSiteTreeDlg::currentChanged() {
    const engine::SiteNode* node = model_->node(sorted_->mapToSource(tree_->currentIndex()));
    host_.setCurrentPage(node ? node->page : nullptr);
}

void CSiteTreeDlg::currentPageChanged() {
    // A page made current elsewhere (File > Import HAR) becomes the list's current row too.
    const auto page = host_.currentPage();
    const engine::SiteNode* row = model_->node(sorted_->mapToSource(tree_->currentIndex()));
    if (page && (!row || row->page != page)) selectNode(siteTree_.find(page.get()));
    showDetails();
}

void CSiteTreeDlg::showDetails() {
    const auto page = host_.currentPage();
    model_->setCurrentPage(page.get());
    details_->show(page, host_.connectionIndex());
    detailsStack_->setCurrentWidget(page ? static_cast<QWidget*>(detailsList_) : noPage_);
    detailsDirty_ = false;
}

void CSiteTreeDlg::conditionsChanged() {
    model_->conditionsChanged();
    details_->refresh();
}

std::vector<CMyListCtrl*> CSiteTreeDlg::customisableLists() {
    return {detailsList_};
}

std::vector<std::pair<CommandId, QWidget*>> CSiteTreeDlg::localShortcuts() {
    return {{CommandId::RemoveSelected, tree_}};
}

QWidget* CSiteTreeDlg::hintAnchor(int hint) {
    // A failed page's errors are in the details pane.
    return hint == hint::kFailed ? pane_->paneFrame() : nullptr;
}

void CSiteTreeDlg::saveState() {
    detailsList_->saveLayout();
}

void CSiteTreeDlg::engineMessage(const engine::EngineMessage& message) {
    if (message.id != engine::MessageId::PageState &&
        message.id != engine::MessageId::ItemProgress) {
        return;
    }
    model_->pageChanged(message.page.get());
    if (message.page && message.page == host_.currentPage()) detailsDirty_ = true;
}

void CSiteTreeDlg::engineBatchHandled() {
    if (detailsDirty_) {
        details_->refresh();
        detailsDirty_ = false;
    }
}

void CSiteTreeDlg::connectionChanged(int index) {
    model_->setConnection(index);
    details_->show(host_.currentPage(), index);
}

void CSiteTreeDlg::forgetPage(const engine::PageEntry* page) {
    for (const engine::SiteNode* node : selectedNodes()) {
        if (node->page.get() == page) {
            tree_->selectionModel()->clearSelection();
            tree_->selectionModel()->setCurrentIndex({}, QItemSelectionModel::Clear);
            break;
        }
    }
}

std::vector<QWidget*> CSiteTreeDlg::focusPanes() {
    return {tree_, detailsList_};
}

void CSiteTreeDlg::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!columnsSized_) sizeColumns();
}

void CSiteTreeDlg::sizeColumns() {
    const int width = tree_->viewport()->width();
    for (int column = 0; column < model_->columnCount(); ++column) {
        const int percent = report::columnWidth(SiteTreeModel::columnId(column));
        tree_->header()->resizeSection(column,
                                       std::max(kMinimumColumnWidth, width * percent / 100));
    }
    columnsSized_ = true;
}

}  // namespace app
