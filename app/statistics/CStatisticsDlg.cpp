#include "app/statistics/CStatisticsDlg.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QTimer>
#include <QVBoxLayout>

#include "app/shell/ViewHost.h"
#include "app/statistics/CDataListCtrl.h"
#include "app/statistics/CStatListCtrl.h"
#include "app/widgets/CTabPane.h"
#include "app/widgets/FileDialogs.h"
#include "app/widgets/Icons.h"
#include "app/widgets/MessageBoxes.h"
#include "export/OutputFile.h"
#include "persist/SettingsBag.h"
#include "query/DelimitedText.h"
#include "query/StatisticsCatalog.h"
#include "query/StatisticsLists.h"

namespace app {

namespace {

constexpr const char* kSelection = "StatTabSelection";
constexpr const char* kMode = "StatTabView1";
// How often a change of the catalogue made elsewhere (another window) is looked for.
constexpr int kWatchMs = 250;

QString qt(const std::string& text) {
    return QString::fromStdString(text);
}

// A menu entry shows a title's "&" as itself, not as a mnemonic.
QString menuText(const std::string& title) {
    return qt(title).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

// The proposed file name: the title, without what would make it a path.
QString exportName(const std::string& title) {
    QString name = qt(title);
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    return QStringLiteral("%1.csv").arg(name);
}

}  // namespace

CStatisticsDlg::CStatisticsDlg(ViewHost& host, query::StatisticsCatalog& catalog,
                               StatisticsEditors editors)
    : host_(host),
      catalog_(catalog),
      editors_(std::move(editors)),
      results_(new CDataListCtrl),
      definitions_(new CStatListCtrl),
      watch_(new QTimer(this)) {
    results_->setObjectName(QStringLiteral("statisticsResult"));
    results_->setAccessibleName(tr("Statistics Result"));
    definitions_->setObjectName(QStringLiteral("statisticsTypes"));
    pane_ = new CTabPane(results_, tr("Statistics Type"), tr("Select Statistics Type:"),
                         icon(IconId::Statistics), definitions_, this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(pane_);

    definitions_->setMode(host_.viewSettings().getInt(kMode));
    definitions_->refill(catalog_);
    current_ = host_.viewSettings().getInt(kSelection);
    keepCurrentValid();
    definitions_->select(current_);

    connect(definitions_, &CStatListCtrl::chosen, this, [this](std::int32_t id) {
        if (id > 0) chooseDefinition(id);
        host_.commandStateChanged();
    });
    connect(definitions_, &CStatListCtrl::activated, this, &CStatisticsDlg::rowActivated);
    connect(definitions_, &CStatListCtrl::contextMenuWanted, this, [this](const QPoint& pos) {
        const std::unique_ptr<QMenu> menu = makeContextMenu();
        menu->exec(pos);
    });
    watch_->setInterval(kWatchMs);
    connect(watch_, &QTimer::timeout, this, [this] {
        if (isVisible()) refreshDefinitions();
    });
    watch_->start();
}

CStatisticsDlg::~CStatisticsDlg() = default;

void CStatisticsDlg::keepCurrentValid() {
    if (current_ <= 0 || !catalog_.find(current_)) {
        const auto all = catalog_.definitions();
        current_ = all.empty() ? 0 : all.front().id;
    }
    // Stored at once: the window stores its values before the views' own state.
    host_.viewSettings().setInt(kSelection, current_);
}

void CStatisticsDlg::refreshDefinitions() {
    if (!definitions_->refill(catalog_)) return;
    const std::int32_t before = current_;
    keepCurrentValid();
    if (!definitions_->selectedId()) definitions_->select(current_);
    // A modified query shows its new result; a removed current one gives way to the first.
    resultDirty_ = true;
    if (isVisible() || before != current_) showResult();
    host_.menuChanged();
}

void CStatisticsDlg::chooseDefinition(std::int32_t id) {
    if (!catalog_.find(id)) return;
    const bool changed = id != current_;
    current_ = id;
    host_.viewSettings().setInt(kSelection, current_);
    if (definitions_->selectedId() != id) definitions_->select(id);
    resultDirty_ = true;
    showResult();
    if (changed) host_.menuChanged();
}

void CStatisticsDlg::fillMenu(QMenu& menu) {
    if (definitions_->refill(catalog_)) keepCurrentValid();
    for (const query::StatisticsMenuEntry& entry : query::statisticsMenu(catalog_, current_)) {
        if (entry.kind != query::StatisticsMenuEntry::Kind::Definition) continue;
        QAction* action = menu.addAction(menuText(entry.text));
        action->setData(entry.command);
        action->setCheckable(true);
        action->setChecked(entry.checked);
        const std::int32_t id = entry.definitionId;
        connect(action, &QAction::triggered, this, [this, id] { chooseDefinition(id); });
    }
}

void CStatisticsDlg::fillCommandState(CommandState& state) const {
    const auto selected = definitions_->selectedId();
    state.selectionCount = selected && *selected > 0 ? 1 : 0;
}

bool CStatisticsDlg::runCommand(CommandId id) {
    switch (id) {
        case CommandId::NewStatistics:
            newDefinition();
            return true;
        case CommandId::Export:
            exportResult();
            return true;
        default:
            return false;
    }
}

void CStatisticsDlg::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    refreshDefinitions();
    if (resultDirty_) showResult();
}

void CStatisticsDlg::showResult() {
    if (!isVisible()) {
        resultDirty_ = true;
        return;
    }
    resultDirty_ = false;
    const auto definition = catalog_.find(current_);
    const auto page = host_.currentPage();
    if (!definition || !page) {
        results_->clear();
        return;
    }
    query::StatisticsResult result =
        query::statisticsResult(*definition, page.get(), host_.connectionIndex());
    using State = query::StatisticsResult::State;
    switch (result.state) {
        case State::QueryFailed:
            MessageBoxes::error(this, QString::fromLatin1(query::kQueryErrorCaption),
                                qt(result.message));
            return;
        case State::Shown:
            results_->showResult(std::move(result));
            return;
        case State::NoPage:
        case State::NotDownloaded:
            if (results_->model()->rowCount() > 0 || results_->model()->columnCount() > 0)
                results_->clear();
            return;
    }
}

void CStatisticsDlg::engineMessage(const engine::EngineMessage& message) {
    if ((message.id == engine::MessageId::PageState ||
         message.id == engine::MessageId::ItemProgress) &&
        message.page && message.page == host_.currentPage()) {
        progressed_ = true;
    }
}

void CStatisticsDlg::engineBatchHandled() {
    if (!progressed_) return;
    progressed_ = false;
    showResult();
}

void CStatisticsDlg::connectionChanged(int) {
    showResult();
}

void CStatisticsDlg::currentPageChanged() {
    showResult();
}

void CStatisticsDlg::rowActivated(std::int32_t id) {
    if (id > 0) {
        modifyDefinition(id);
    } else {
        newDefinition();
    }
}

void CStatisticsDlg::newDefinition() {
    if (!editors_.create || !editors_.create(this, catalog_)) return;
    const std::int32_t added = catalog_.lastId();
    refreshDefinitions();
    chooseDefinition(added);
}

void CStatisticsDlg::modifyDefinition(std::int32_t id) {
    if (!catalog_.find(id) || !editors_.modify || !editors_.modify(this, catalog_, id)) return;
    refreshDefinitions();
}

void CStatisticsDlg::deleteDefinition(std::int32_t id) {
    const auto definition = catalog_.find(id);
    if (!definition) return;
    MessageBoxes::Box box;
    box.icon = QMessageBox::Question;
    box.caption = tr("Confirm");
    box.text = tr("Delete statistics type: '%1'?\n\nStatistics Query:\n'%2'.")
                   .arg(qt(definition->title), qt(definition->query));
    box.buttons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    if (MessageBoxes::show(this, box) != QMessageBox::Yes) return;
    catalog_.remove(id);
    refreshDefinitions();
}

std::unique_ptr<QMenu> CStatisticsDlg::makeContextMenu() {
    auto menu = std::make_unique<QMenu>(this);
    const auto selected = definitions_->selectedId();
    const std::int32_t id = selected.value_or(0);
    const bool definition = id > 0;
    QAction* modify = menu->addAction(tr("&Modify..."), this, [this, id] { modifyDefinition(id); });
    modify->setEnabled(definition);
    menu->setDefaultAction(modify);
    menu->addAction(tr("&New..."), this, [this] { newDefinition(); });
    menu->addAction(tr("&Delete"), this, [this, id] { deleteDefinition(id); })
        ->setEnabled(definition);
    menu->addSeparator();
    definitions_->addViewMenu(*menu,
                              [this](int mode) { host_.viewSettings().setInt(kMode, mode); });
    return menu;
}

void CStatisticsDlg::exportResult() {
    const auto definition = catalog_.find(current_);
    const auto page = host_.currentPage();
    if (!definition || !page) return;
    const query::StatisticsResult result =
        query::statisticsResult(*definition, page.get(), host_.connectionIndex());
    if (result.state == query::StatisticsResult::State::QueryFailed) {
        MessageBoxes::error(this, QString::fromLatin1(query::kQueryErrorCaption),
                            qt(result.message));
        return;
    }
    if (!result.table) return;
    const QString path = askSavePath(this, tr("Export"), exportName(definition->title),
                                     kExportFilter, QStringLiteral("csv"));
    if (path.isEmpty()) return;
    // Through a temporary file: a failed write leaves any previous file as it was.
    std::string error;
    if (!exporting::saveText(path.toStdString(),
                             query::writeDelimitedText(*result.table, ",", "\""), error)) {
        MessageBoxes::error(this, tr("Error"),
                            tr("Error exporting data.\n\n%1").arg(QString::fromStdString(error)));
    }
}

void CStatisticsDlg::saveState() {
    host_.viewSettings().setInt(kSelection, current_);
    host_.viewSettings().setInt(kMode, definitions_->mode());
}

std::vector<QWidget*> CStatisticsDlg::focusPanes() {
    return {definitions_, results_};
}

}  // namespace app
