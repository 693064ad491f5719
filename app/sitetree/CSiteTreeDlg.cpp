#include "app/sitetree/CSiteTreeDlg.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLabel>
#include <QSortFilterProxyModel>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "app/shell/AppContext.h"
#include "app/shell/CMainFrame.h"
#include "app/shell/MainView.h"
#include "app/shell/MessageBoxes.h"
#include "app/sitetree/PageDetailsModel.h"
#include "app/sitetree/SaveElementAs.h"
#include "app/sitetree/SiteTreeModel.h"
#include "app/sitetree/SiteTreeSortModel.h"
#include "app/sitetree/SiteTreeView.h"
#include "app/widgets/CMyListCtrl.h"
#include "app/widgets/CTabPane.h"
#include "app/widgets/Icons.h"
#include "engine/settings/BrowserCommand.h"
#include "persist/SettingsMap.h"
#include "report/PageInformation.h"
#include "report/SiteColumns.h"

namespace app {

namespace {

constexpr int kMinimumColumnWidth = 40;
constexpr int kPropertyShare = 50;  // percent of the details list

// The removals' questions, asked as message boxes.
class QuestionBoxes final : public engine::SiteTreeQuestions {
public:
    explicit QuestionBoxes(QWidget* parent) : parent_(parent) {}
    Answer ask(const std::string& question) override {
        switch (MessageBoxes::question(parent_, QString::fromStdString(question))) {
            case QMessageBox::Yes:
                return Answer::Yes;
            case QMessageBox::No:
                return Answer::No;
            default:
                return Answer::Cancel;
        }
    }

private:
    QWidget* parent_;
};

bool hasContent(const engine::PageEntry& page) {
    const std::shared_ptr<engine::WebItem> root = page.rootItem();
    if (!root) return false;
    const auto body = root->body();
    return body && !body->empty();
}

}  // namespace

CSiteTreeDlg::CSiteTreeDlg(MainView& host)
    : host_(host),
      model_(new SiteTreeModel(host.context(), this)),
      sorted_(new SiteTreeSortModel(this)),
      tree_(new SiteTreeView),
      details_(new PageDetailsModel(host.context().conditions(), this)),
      detailsList_(new CMyListCtrl(std::string(persist::section::kPageDetails))),
      noPage_(new QLabel(QString::fromStdString(report::noPageHtml()))),
      detailsStack_(new QStackedWidget) {
    sorted_->setSourceModel(model_);
    tree_->setModel(sorted_);
    tree_->setObjectName(QStringLiteral("siteTree"));
    tree_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    tree_->setSelectionBehavior(QAbstractItemView::SelectRows);
    tree_->setAlternatingRowColors(false);
    tree_->setAllColumnsShowFocus(true);
    tree_->header()->setStretchLastSection(false);
    tree_->header()->setSortIndicator(-1, Qt::AscendingOrder);
    tree_->setSortingEnabled(true);

    detailsList_->setTitle(tr("Site Tree"));
    detailsList_->addColumn(0, tr("Property"), kPropertyShare, kMinimumColumnWidth);
    detailsList_->addColumn(1, tr("Value"), 100 - kPropertyShare, kMinimumColumnWidth);
    detailsList_->setModel(details_);
    detailsList_->loadLayout();
    detailsList_->setObjectName(QStringLiteral("pageDetails"));
    detailsList_->setRootIsDecorated(false);
    detailsList_->setUniformRowHeights(true);
    detailsList_->setSelectionBehavior(QAbstractItemView::SelectRows);
    detailsList_->setCustomizeHandler(
        [this](CMyListCtrl& list) { host_.frame().openSettings(&list); });
    connect(&host.context(), &AppContext::conditionsChanged, this, [this] {
        model_->conditionsChanged();
        details_->refresh();
    });
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
    connect(&host_, &MainView::currentPageChanged, this, &CSiteTreeDlg::showDetails);
    showDetails();
}

CSiteTreeDlg::~CSiteTreeDlg() = default;

QString CSiteTreeDlg::menuTitle() const {
    return tr("&Actions");
}

std::vector<CommandId> CSiteTreeDlg::menuCommands() const {
    // NewWindow has no menu entry: here it stands for a separator.
    constexpr CommandId sep = CommandId::NewWindow;
    return {CommandId::AnalyzePageSource,
            sep,
            CommandId::AnalyzeAll,
            CommandId::AnalyzeSelected,
            CommandId::Stop,
            sep,
            CommandId::RemoveSelected,
            CommandId::RemoveNotLoaded,
            CommandId::RemoveAll,
            sep,
            CommandId::OpenInBrowser,
            CommandId::SaveElementAs,
            CommandId::ShowDetails};
}

QWidget* CSiteTreeDlg::detailsPane() const {
    return detailsStack_;
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
    state.selectionHasContent = nodes.size() == 1 && hasContent(*nodes.front()->page);
}

bool CSiteTreeDlg::runCommand(CommandId id) {
    engine::SiteTree& tree = host_.context().tree();
    switch (id) {
        case CommandId::Analyze:
            analyzeTyped();
            return true;
        case CommandId::AnalyzeAll:
            tree.analyzeAll(host_.addressBarText().toStdString());
            return true;
        case CommandId::AnalyzeSelected:
            tree.analyzeSelected(selectedNodes(), host_.addressBarText().toStdString());
            return true;
        case CommandId::Stop:
            tree.stop();
            return true;
        case CommandId::RemoveSelected:
            removeSelected();
            return true;
        case CommandId::RemoveNotLoaded:
            tree.removeNotLoaded();
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
    engine::SiteNode* node = host_.context().tree().analyseAddress(text.toStdString());
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
    if (!nodes.empty()) host_.context().tree().deleteSelected(nodes, questions);
}

void CSiteTreeDlg::removeAll() {
    QuestionBoxes questions(this);
    host_.context().tree().deleteAll(questions);
}

void CSiteTreeDlg::openInBrowser() {
    const engine::SiteNode* node = singleSelection();
    if (!node) return;
    const std::string address = node->page->address().urlText;
    if (!engine::openInBrowser(address)) {
        MessageBoxes::error(
            this, QString::fromLatin1(MessageBoxes::kProductTitle),
            tr("No web browser could be started for %1.").arg(QString::fromStdString(address)));
    }
}

void CSiteTreeDlg::saveSelected() {
    const engine::SiteNode* node = singleSelection();
    const auto root = node ? node->page->rootItem() : nullptr;
    if (root) saveElementAs(this, host_.context().elementSaver(), *root);
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

void CSiteTreeDlg::showDetails() {
    const auto page = host_.currentPage();
    model_->setCurrentPage(page.get());
    details_->show(page, host_.connectionIndex());
    detailsStack_->setCurrentWidget(page ? static_cast<QWidget*>(detailsList_) : noPage_);
    detailsDirty_ = false;
    layoutDetails();
}

void CSiteTreeDlg::layoutDetails() {
    // Group captions run across both columns.
    const auto& rows = details_->rows();
    for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
        detailsList_->setFirstColumnSpanned(row, {}, rows[static_cast<std::size_t>(row)].group);
    }
}

std::vector<CMyListCtrl*> CSiteTreeDlg::customisableLists() {
    return {detailsList_};
}

void CSiteTreeDlg::saveState() {
    detailsList_->saveLayout();
}

bool CSiteTreeDlg::engineMessage(const engine::EngineMessage& message) {
    if (message.id != engine::MessageId::PageState &&
        message.id != engine::MessageId::ItemProgress) {
        return false;
    }
    model_->pageChanged(message.page.get());
    if (message.page && message.page == host_.currentPage()) detailsDirty_ = true;
    return true;
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
