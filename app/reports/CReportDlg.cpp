#include "app/reports/CReportDlg.h"

#include <QMenu>
#include <QTabBar>
#include <QTimer>
#include <QVBoxLayout>

#include "app/reports/CReportListCtrl.h"
#include "app/reports/PdfWriter.h"
#include "app/shell/ViewHost.h"
#include "app/widgets/CMoreHtmlView.h"
#include "app/widgets/CTabPane.h"
#include "app/widgets/FileDialogs.h"
#include "app/widgets/HintTexts.h"
#include "app/widgets/Icons.h"
#include "app/widgets/MessageBoxes.h"
#include "engine/crawl/SiteTree.h"
#include "persist/SettingsBag.h"
#include "query/QueryError.h"
#include "report/PageReportSource.h"
#include "report/ReportLists.h"
#include "report/ReportManager.h"
#include "report/ReportOutput.h"

namespace app {

namespace {

constexpr const char* kSelection = "ReportTabSelection";
constexpr const char* kMode = "ReportTabView1";
// How often a change of the reports made elsewhere (another window) is looked for.
constexpr int kWatchMs = 250;

QString qt(const std::string& text) {
    return QString::fromStdString(text);
}

// A menu entry shows a name's "&" as itself, not as a mnemonic.
QString menuText(const std::string& name) {
    return qt(name).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

// The name the save dialog proposes, without what would make it a path; none when there is
// nothing to export.
std::optional<QString> proposedName(const report::ReportManager& reports, std::int32_t id,
                                    const report::ReportSource& source, const QString& suffix) {
    const auto name = report::exportFileName(reports, id, source);
    if (!name) return std::nullopt;
    QString proposed = qt(*name);
    proposed.replace(QLatin1Char('/'), QLatin1Char('_'));
    if (!proposed.isEmpty() && suffix != QLatin1String(".html"))
        proposed = proposed.chopped(5) + suffix;
    return proposed;
}

}  // namespace

CReportDlg::CReportDlg(ViewHost& host, report::ReportManager& reports, ReportSources sources,
                       ReportEditors editors)
    : host_(host),
      reports_(reports),
      sources_(std::move(sources)),
      editors_(std::move(editors)),
      html_(new CMoreHtmlView),
      list_(new CReportListCtrl),
      pdf_(new PdfWriter(*html_, this)),
      watch_(new QTimer(this)) {
    html_->setObjectName(QStringLiteral("reportContent"));
    html_->setAccessibleName(tr("Report"));
    list_->setObjectName(QStringLiteral("reportTypes"));
    pane_ = new CTabPane(html_, tr("Report Type..."), tr("Select Report Type:"),
                         icon(IconId::Reports), list_, this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(pane_);

    list_->setMode(host_.viewSettings().getInt(kMode));
    list_->refill(reports_);
    selected_ = host_.viewSettings().getInt(kSelection);
    if (!exists(selected_)) selected_ = report::kPageAnalysisReportId;
    list_->select(selected_);

    connect(list_, &CReportListCtrl::chosen, this, [this](std::int32_t id) {
        if (id > 0) chooseReport(id);
        host_.commandStateChanged();
    });
    connect(list_, &CReportListCtrl::activated, this, &CReportDlg::rowActivated);
    connect(list_, &CReportListCtrl::contextMenuWanted, this, [this](const QPoint& pos) {
        const std::unique_ptr<QMenu> menu = makeContextMenu();
        menu->exec(pos);
    });
    connect(list_, &CReportListCtrl::escapePressed, this, [this] { html_->setFocus(); });
    connect(pdf_, &PdfWriter::written, this, [this](const QString& path, const QString& cause) {
        if (!cause.isEmpty()) exportFailed(cause.toStdString());
        emit pdfExported(path, cause.isEmpty());
    });
    watch_->setInterval(kWatchMs);
    connect(watch_, &QTimer::timeout, this, [this] {
        if (isVisible()) refreshReports();
    });
    watch_->start();
}

CReportDlg::~CReportDlg() = default;

bool CReportDlg::exists(std::int32_t id) const {
    return id == report::kConsolidatedReportId || id == report::kPageAnalysisReportId ||
           reports_.findReport(id) != nullptr;
}

std::unique_ptr<report::ReportSource> CReportDlg::source() const {
    std::vector<std::shared_ptr<engine::PageEntry>> pages;
    for (const engine::SiteNode* node : sources_.tree.displayOrder()) pages.push_back(node->page);
    return std::make_unique<report::PageReportSource>(host_.currentPage(), std::move(pages),
                                                      host_.connectionIndex(), sources_.busy(),
                                                      &sources_.conditions);
}

QString CReportDlg::content() const {
    try {
        return qt(report::contentForView(reports_, selected_, *source()));
    } catch (const query::QueryError& error) {
        // A table whose query fails leaves nothing to show but the reason.
        return tr("<HTML><BODY><CENTER>Report not available.<P>A table of this report could not "
                  "be made: %1</P></CENTER></BODY></HTML>")
            .arg(qt(error.message()).toHtmlEscaped());
    }
}

void CReportDlg::showReport() {
    if (!isVisible()) {
        dirty_ = true;
        return;
    }
    dirty_ = false;
    QString html = content();
    if (html == shown_) return;
    shown_ = std::move(html);
    html_->showHtml(shown_);
}

void CReportDlg::markDirty() {
    dirty_ = true;
    showReport();
}

void CReportDlg::refreshReports() {
    if (!list_->refill(reports_)) return;
    if (!exists(selected_)) {
        selected_ = report::kPageAnalysisReportId;
        host_.viewSettings().setInt(kSelection, selected_);
    }
    if (list_->selectedId() != selected_) list_->select(selected_);
    markDirty();
    host_.menuChanged();
}

void CReportDlg::chooseReport(std::int32_t id) {
    if (!exists(id)) return;
    const bool changed = id != selected_;
    selected_ = id;
    host_.viewSettings().setInt(kSelection, selected_);
    if (list_->selectedId() != id) list_->select(id);
    markDirty();
    if (changed) host_.menuChanged();
}

void CReportDlg::fillMenu(QMenu& menu) {
    refreshReports();
    for (const report::ReportMenuEntry& entry : report::reportMenu(reports_, selected_)) {
        if (entry.kind != report::ReportMenuEntry::Kind::Report) continue;
        QAction* action = menu.addAction(menuText(entry.text));
        action->setData(entry.command);
        action->setCheckable(true);
        action->setChecked(entry.checked);
        const std::int32_t id = entry.reportId;
        connect(action, &QAction::triggered, this, [this, id] { chooseReport(id); });
    }
}

void CReportDlg::fillCommandState(CommandState& state) const {
    state.selectionCount = list_->selectedId().value_or(0) > 0 ? 1 : 0;
}

bool CReportDlg::runCommand(CommandId id) {
    switch (id) {
        case CommandId::NewReport:
            newReport();
            return true;
        case CommandId::EditStyles:
            editStyles();
            return true;
        case CommandId::Export:
            exportReport();
            return true;
        case CommandId::ExportPdf:
            exportPdf();
            return true;
        case CommandId::Print:
            showReport();
            whenLoaded(*html_, [this] { html_->print(); });
            return true;
        default:
            return false;
    }
}

void CReportDlg::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    refreshReports();
    if (dirty_) showReport();
}

void CReportDlg::engineMessage(const engine::EngineMessage& message) {
    const auto page = host_.currentPage();
    if (message.id == engine::MessageId::WorkState ||
        (message.id == engine::MessageId::PageState && message.page && message.page == page))
        changed_ = true;
}

void CReportDlg::engineBatchHandled() {
    if (!std::exchange(changed_, false)) return;
    markDirty();
}

void CReportDlg::runEnded() {
    markDirty();
}

void CReportDlg::connectionChanged(int) {
    markDirty();
}

void CReportDlg::currentPageChanged() {
    markDirty();
}

void CReportDlg::conditionsChanged() {
    markDirty();
}

void CReportDlg::rowActivated(std::int32_t id) {
    if (id > 0) {
        chooseReport(id);
    } else {
        newReport();
    }
}

void CReportDlg::newReport() {
    if (!editors_.create) return;
    const std::optional<std::int32_t> added = editors_.create(this, reports_);
    refreshReports();
    if (added) chooseReport(*added);
}

void CReportDlg::modifyReport(std::int32_t id) {
    if (id < report::ReportManager::kReportIdBase || !reports_.findReport(id) || !editors_.modify)
        return;
    if (editors_.modify(this, reports_, id)) refreshReports();
}

void CReportDlg::deleteReport(std::int32_t id) {
    const report::Report* stored = reports_.findReport(id);
    if (id < report::ReportManager::kReportIdBase || stored == nullptr) return;
    MessageBoxes::Box box;
    box.icon = QMessageBox::Question;
    box.caption = tr("Confirm");
    box.text = tr("Delete report: '%1'?").arg(qt(stored->name()));
    box.buttons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    if (MessageBoxes::show(this, box) != QMessageBox::Yes) return;
    reports_.removeReport(id);
    refreshReports();
}

void CReportDlg::editStyles() {
    if (!editors_.editStyles) return;
    const report::Report* stored = reports_.findReport(selected_);
    editors_.editStyles(this, reports_, stored ? stored->styleId() : 0);
    // A style set changed or went: the report may look different now.
    markDirty();
}

std::unique_ptr<QMenu> CReportDlg::makeContextMenu() {
    auto menu = std::make_unique<QMenu>(this);
    const std::int32_t id = list_->selectedId().value_or(0);
    const bool stored = id >= report::ReportManager::kReportIdBase;
    QAction* modify = menu->addAction(tr("&Modify..."), this, [this, id] { modifyReport(id); });
    modify->setEnabled(stored);
    menu->setDefaultAction(modify);
    menu->addAction(tr("&New..."), this, [this] { newReport(); });
    menu->addAction(tr("&Export..."), this, [this, id] {
        chooseReport(id);
        exportReport();
    });
    menu->addAction(tr("&Delete"), this, [this, id] { deleteReport(id); })->setEnabled(stored);
    menu->addSeparator();
    list_->addViewMenu(*menu, [this](int mode) { host_.viewSettings().setInt(kMode, mode); });
    return menu;
}

void CReportDlg::exportReport() {
    const auto from = source();
    const auto chooser = [this](const std::string& initial) -> std::optional<std::string> {
        const QString path =
            askSavePath(this, tr("Export"), qt(initial), kExportFilter, QStringLiteral("html"));
        if (path.isEmpty()) return std::nullopt;
        return path.toStdString();
    };
    std::string cause;
    if (report::exportHtml(reports_, selected_, *from, chooser, &cause) ==
        report::ExportResult::Failed)
        exportFailed(cause);
}

void CReportDlg::exportPdf() {
    const auto name = proposedName(reports_, selected_, *source(), QStringLiteral(".pdf"));
    if (!name) return;
    const QString path =
        askSavePath(this, tr("Export as PDF"), *name, kPdfFilter, QStringLiteral("pdf"));
    if (!path.isEmpty()) exportPdfTo(path);
}

void CReportDlg::exportPdfTo(const QString& path) {
    if (pdf_->busy()) return;  // the file under way tells its own outcome
    showReport();
    pdf_->write(path);
}

void CReportDlg::exportFailed(const std::string& cause) {
    QString text = QString::fromLatin1(report::kExportErrorText);
    if (!cause.empty()) text += QStringLiteral("\n\n") + QString::fromStdString(cause);
    MessageBoxes::error(this, QString::fromLatin1(report::kExportErrorCaption), text);
}

void CReportDlg::saveState() {
    host_.viewSettings().setInt(kSelection, selected_);
    host_.viewSettings().setInt(kMode, list_->mode());
}

std::vector<QWidget*> CReportDlg::focusPanes() {
    return {list_, html_};
}

std::vector<std::pair<int, QWidget*>> CReportDlg::ownHints() {
    return {{hint::kReportType, pane_->tabStrip()}};
}

}  // namespace app
