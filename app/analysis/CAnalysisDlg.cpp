#include "app/analysis/CAnalysisDlg.h"

#include <QApplication>
#include <QClipboard>
#include <QSplitter>
#include <QVBoxLayout>

#include <algorithm>

#include "app/analysis/AnalysisRegistration.h"
#include "app/analysis/CObjectDetailsDlg.h"
#include "app/analysis/CPageDetailsDlg.h"
#include "app/analysis/ElementPreview.h"
#include "app/analysis/SourceTextView.h"
#include "app/shell/ViewHost.h"
#include "app/widgets/CElementListCtrl.h"
#include "app/widgets/CTabPane.h"
#include "app/widgets/ElementListModel.h"
#include "app/widgets/Icons.h"
#include "app/widgets/OpenInBrowser.h"
#include "app/widgets/PageProgress.h"
#include "app/widgets/PropertyListCtrl.h"
#include "app/widgets/PropertyListModel.h"
#include "app/widgets/SaveElementAs.h"
#include "persist/SettingsBag.h"
#include "persist/SettingsMap.h"

namespace app {

namespace {

constexpr const char* kSplitSize = "SourceTabSplitSize";
constexpr int kDefaultSplit = 30;  // percent of the height below the source
constexpr std::uint32_t kLongestTag = 64 * 1024;

// The length of the tag that starts at `position` of `document`: through its ">", or nothing
// when no tag starts there.
std::uint32_t tagLength(const std::string& document, std::uint32_t position) {
    if (position >= document.size() || document[position] != '<') return 0;
    const std::size_t limit = std::min<std::size_t>(document.size(), position + kLongestTag);
    const std::size_t end = document.find('>', position);
    return end == std::string::npos || end >= limit
               ? 1
               : static_cast<std::uint32_t>(end + 1 - position);
}

}  // namespace

CAnalysisDlg::CAnalysisDlg(ViewHost& host, const report::FilterConditionList& conditions,
                           engine::SaveElement& saver, DownloadRunning downloadRunning)
    : host_(host),
      conditions_(conditions),
      saver_(saver),
      downloadRunning_(std::move(downloadRunning)),
      list_(new CElementListCtrl),
      source_(new SourceTextView),
      preview_(new ElementPreview),
      general_(new ElementPropertiesModel(report::ElementRowsTitle::SideList, this)),
      generalList_(
          new PropertyListCtrl(std::string(persist::section::kElementDetails), tr("Analysis"))),
      split_(new QSplitter(Qt::Vertical)),
      lower_(new QSplitter(Qt::Horizontal)) {
    list_->setObjectName(QStringLiteral("elementList"));
    list_->setAccessibleName(tr("Web Page Elements"));
    list_->setTitle(tr("Analysis"));
    list_->loadLayout();
    list_->setCustomizeHandler([this](CMyListCtrl& list) { host_.customizeList(list); });
    source_->setObjectName(QStringLiteral("sourceView"));
    preview_->setObjectName(QStringLiteral("elementPreview"));
    preview_->setAccessibleName(tr("Element Preview"));
    generalList_->setObjectName(QStringLiteral("elementGeneral"));
    generalList_->setAccessibleName(tr("Element Properties"));
    generalList_->setModel(general_);

    lower_->addWidget(preview_);
    lower_->addWidget(generalList_);
    lower_->setChildrenCollapsible(false);
    // Proportions: the splitter scales them to its width. An HTML view has no size hint of
    // its own before its first document, so without them it would get no room.
    lower_->setSizes({3000, 2000});
    preview_->setMinimumWidth(160);
    split_->addWidget(source_);
    split_->addWidget(lower_);
    split_->setChildrenCollapsible(false);

    pane_ = new CTabPane(split_, tr("Select Element..."), tr("Web Page Elements: "),
                         icon(IconId::Analysis), list_, this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(pane_);

    connect(list_, &CElementListCtrl::currentItemChanged, this, &CAnalysisDlg::elementChosen);
    connect(source_, &SourceTextView::selectionChanged, this,
            [this] { host_.commandStateChanged(); });
    restoreSplit();
}

CAnalysisDlg::~CAnalysisDlg() = default;

std::shared_ptr<engine::WebItem> CAnalysisDlg::selectedItem() const {
    return list_->currentItem();
}

void CAnalysisDlg::fillCommandState(CommandState& state) const {
    const auto item = selectedItem();
    state.selectionCount = item ? 1 : 0;
    const auto body = item ? item->body() : nullptr;
    state.selectionHasContent = body && !body->empty();
    state.textSelected = source_->hasSelection();
    state.textShown = !source_->text().isEmpty();
}

bool CAnalysisDlg::runCommand(CommandId id) {
    const auto item = selectedItem();
    switch (id) {
        case CommandId::Copy:
            if (source_->hasSelection()) {
                source_->copy();
            } else if (item) {
                QApplication::clipboard()->setText(QString::fromStdString(item->address().urlText));
            }
            return true;
        case CommandId::SelectAll:
            source_->selectAll();
            return true;
        case CommandId::Find:
            source_->showFindDialog();
            return true;
        case CommandId::FindNext:
            source_->findNext();
            return true;
        case CommandId::WordWrap:
            source_->setWordWrap(!source_->wordWrap());
            return true;
        case CommandId::ShowDetails:
            showDetails({host_.currentPage(), item});
            return true;
        case CommandId::OpenInBrowser:
            if (item) app::openInBrowser(this, item->address().urlText);
            return true;
        case CommandId::SaveElementAs:
        case CommandId::Export:
            if (item) saveElementAs(this, saver_, *item);
            return true;
        default:
            return false;
    }
}

std::optional<bool> CAnalysisDlg::commandChecked(CommandId id) const {
    if (id == CommandId::WordWrap) return source_->wordWrap();
    return std::nullopt;
}

void CAnalysisDlg::currentPageChanged() {
    pageDirty_ = true;
    if (isVisible()) showPageNow();
}

void CAnalysisDlg::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (pageDirty_) showPageNow();
}

void CAnalysisDlg::showPageNow() {
    pageDirty_ = false;
    const auto page = host_.currentPage();
    preview_->clear();
    list_->setLive(downloadRunning_());
    list_->showPage(page, host_.connectionIndex());
    if (list_->elementModel()->rowCount() == 0) elementChosen(nullptr);
}

void CAnalysisDlg::elementChosen(const std::shared_ptr<engine::WebItem>& item) {
    host_.setSelectedElement(item);
    general_->show(host_.currentPage(), item, host_.connectionIndex());
    showSourceOf(item);
    markInSource(item);
    preview_->showElement(item);
    host_.commandStateChanged();
}

void CAnalysisDlg::showSourceOf(const std::shared_ptr<engine::WebItem>& item) {
    // An element shows in the document that refers to it (a frame's elements in the frame's
    // source); the page's document shows its own.
    const ElementListModel& model = *list_->elementModel();
    std::shared_ptr<engine::WebItem> document;
    if (const engine::ItemFigures* row = item ? model.figures(model.rowOf(item.get())) : nullptr)
        document = row->parent < 0 ? row->item : model.figures(row->parent)->item;
    const auto body = document ? document->body() : nullptr;
    if (document == shownDocument_ && body == shownBody_) return;
    shownDocument_ = document;
    shownBody_ = body;
    source_->setText(body ? QByteArray(body->data(), static_cast<qsizetype>(body->size()))
                          : QByteArray());
}

void CAnalysisDlg::markInSource(const std::shared_ptr<engine::WebItem>& item) {
    const ElementListModel& model = *list_->elementModel();
    const engine::ItemFigures* row = item ? model.figures(model.rowOf(item.get())) : nullptr;
    if (!row || row->parent < 0 || !shownBody_) return;
    source_->selectBytes(row->position, tagLength(*shownBody_, row->position));
}

void CAnalysisDlg::engineMessage(const engine::EngineMessage& message) {
    if (changesPageView(message, host_.currentPage().get())) progressed_ = true;
}

void CAnalysisDlg::engineBatchHandled() {
    if (!progressed_) return;
    progressed_ = false;
    refreshLive();
}

void CAnalysisDlg::runEnded() {
    refreshLive();
}

void CAnalysisDlg::refreshLive() {
    if (!isVisible()) {
        pageDirty_ = true;
        return;
    }
    list_->setLive(downloadRunning_());
    list_->refresh();
    general_->refresh();
    // The selected element's document may have arrived since it was chosen.
    if (const auto item = selectedItem()) {
        const auto before = shownBody_;
        showSourceOf(item);
        if (before != shownBody_) markInSource(item);
    }
}

void CAnalysisDlg::connectionChanged(int index) {
    list_->setConnection(index);
    general_->show(host_.currentPage(), selectedItem(), index);
}

void CAnalysisDlg::conditionsChanged() {
    general_->refresh();
}

void CAnalysisDlg::forgetPage(const engine::PageEntry* page) {
    if (list_->elementModel()->page().get() != page) return;
    list_->showPage(nullptr, host_.connectionIndex());
    preview_->clear();
    elementChosen(nullptr);
    pageDirty_ = true;
}

void CAnalysisDlg::answerMove(ViewMove move, const ViewTarget& target) {
    if (move == ViewMove::ShowDetails) {
        showDetails(target);
        return;
    }
    if (target.page && target.page != host_.currentPage()) host_.setCurrentPage(target.page);
    host_.selectView(analysisKey());
    if (pageDirty_) showPageNow();
    if (target.element) list_->selectItem(target.element.get());
    list_->setFocus();
}

void CAnalysisDlg::showDetails(const ViewTarget& target) {
    if (target.element) {
        CObjectDetailsDlg dialog(target.page, target.element, host_.connectionIndex(), this);
        dialog.exec();
    } else {
        CPageDetailsDlg dialog(target.page, host_.connectionIndex(), conditions_, this);
        dialog.exec();
    }
}

void CAnalysisDlg::restoreSplit() {
    const int stored = host_.viewSettings().getInt(kSplitSize);
    const int percent = std::clamp(stored > 0 ? stored : kDefaultSplit, 5, 95);
    split_->setSizes({100 - percent, percent});
}

void CAnalysisDlg::storeSplit() {
    const QList<int> sizes = split_->sizes();
    const int total = sizes.value(0) + sizes.value(1);
    if (total > 0) host_.viewSettings().setInt(kSplitSize, sizes.value(1) * 100 / total);
}

void CAnalysisDlg::saveState() {
    list_->saveLayout();
    generalList_->saveLayout();
    storeSplit();
}

std::vector<CMyListCtrl*> CAnalysisDlg::customisableLists() {
    return {list_, generalList_};
}

std::vector<QWidget*> CAnalysisDlg::focusPanes() {
    return {list_, source_, preview_, generalList_};
}

}  // namespace app
