#include "app/waterfall/CWaterfallDlg.h"

#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QMenu>
#include <QScrollArea>
#include <QToolBar>
#include <QVBoxLayout>

#include <utility>

#include "app/shell/ViewHost.h"
#include "app/waterfall/WaterfallCanvas.h"
#include "app/waterfall/WaterfallPainting.h"
#include "app/widgets/FileDialogs.h"
#include "app/widgets/MessageBoxes.h"
#include "app/widgets/PageProgress.h"
#include "engine/figures/ConnectionSpeed.h"
#include "engine/figures/LineModel.h"
#include "engine/figures/NetworkLine.h"
#include "export/WaterfallSvg.h"
#include "persist/SettingsBag.h"
#include "query/DisplayFormats.h"
#include "report/ReportOutput.h"

namespace app {

namespace {

QString timeText(std::uint32_t ms) {
    return QString::fromStdString(
        query::formatTime(static_cast<std::int32_t>(std::min<std::uint32_t>(ms, INT32_MAX))));
}

// The line selector's entries carry -1 for the window's connection type, the index of a
// classic connection, or kFirstLine + the position of one of today's lines.
constexpr int kWindowsConnection = -1;
constexpr int kFirstLine = 100;

const engine::NetworkLine* lineOf(int choice) {
    const auto lines = engine::namedLines();
    const auto at = static_cast<std::size_t>(choice - kFirstLine);
    return choice >= kFirstLine && at < lines.size() ? &lines[at] : nullptr;
}

QString connectionName(int index) {
    const std::string_view name =
        engine::kConnectionSpeeds[static_cast<std::size_t>(engine::isConnectionIndex(index) ? index
                                                                                            : 0)]
            .name;
    return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

}  // namespace

CWaterfallDlg::CWaterfallDlg(ViewHost& host)
    : host_(host),
      toolBar_(new QToolBar(this)),
      scroll_(new QScrollArea(this)),
      canvas_(new WaterfallCanvas) {
    auto* rows = new QActionGroup(this);
    byElements_ = rows->addAction(tr("One Row per &Element"));
    byLanes_ = rows->addAction(tr("One Row per &Lane"));
    for (QAction* action : {byElements_, byLanes_}) {
        action->setCheckable(true);
        toolBar_->addAction(action);
    }
    byElements_->setToolTip(tr("One row per element, in the order the browser loads them"));
    byLanes_->setToolTip(tr("One row per connection of the four-connection browser"));
    connect(byElements_, &QAction::triggered, this,
            [this] { setRows(report::WaterfallRows::Elements); });
    connect(byLanes_, &QAction::triggered, this, [this] { setRows(report::WaterfallRows::Lanes); });
    toolBar_->setToolButtonStyle(Qt::ToolButtonTextOnly);
    toolBar_->addSeparator();
    auto* lineLabel = new QLabel(tr("L&ine: "), toolBar_);
    lineBox_ = new QComboBox(toolBar_);
    lineLabel->setBuddy(lineBox_);
    lineBox_->setAccessibleName(tr("Line"));
    lineBox_->addItem(tr("Connection Type"), kWindowsConnection);
    for (int index = 0; index < static_cast<int>(engine::kConnectionSpeeds.size()); ++index)
        lineBox_->addItem(connectionName(index), index);
    lineBox_->insertSeparator(lineBox_->count());
    const auto lines = engine::namedLines();
    for (std::size_t at = 0; at < lines.size(); ++at)
        lineBox_->addItem(QString::fromStdString(lines[at].name),
                          kFirstLine + static_cast<int>(at));
    lineBox_->setToolTip(
        tr("The window's connection type, a classic connection, or one of "
           "today's lines modelled from the measurement"));
    toolBar_->addWidget(lineLabel);
    toolBar_->addWidget(lineBox_);
    connect(lineBox_, &QComboBox::activated, this, [this] {
        showRows();
        refresh();
    });

    scroll_->setWidget(canvas_);
    scroll_->setAccessibleName(tr("Waterfall"));
    scroll_->setWidgetResizable(false);
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setFocusPolicy(Qt::NoFocus);  // the canvas takes the keyboard; its keys scroll here
    scroll_->setBackgroundRole(QPalette::Base);
    scroll_->viewport()->installEventFilter(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(toolBar_);
    layout->addWidget(scroll_, 1);
    connect(canvas_, &WaterfallCanvas::barChosen, this, &CWaterfallDlg::chooseBar);

    const bool lanes = host_.viewSettings().getInt(kRowsSetting) == 1;
    (lanes ? byLanes_ : byElements_)->setChecked(true);
    canvas_->setRows(lanes ? report::WaterfallRows::Lanes : report::WaterfallRows::Elements);
}

bool CWaterfallDlg::chooseLine(const QString& text) {
    const int at = lineBox_->findText(text);
    if (at < 0) return false;
    lineBox_->setCurrentIndex(at);
    showRows();
    refresh();
    return true;
}

// A line of today draws one row per element whatever the stored choice, which it keeps.
void CWaterfallDlg::showRows() {
    const bool line = lineOf(lineBox_->currentData().toInt()) != nullptr;
    byLanes_->setEnabled(!line);
    const auto wanted = !line && byLanes_->isChecked() ? report::WaterfallRows::Lanes
                                                       : report::WaterfallRows::Elements;
    if (wanted == canvas_->layout().rows) return;
    canvas_->setRows(wanted);
    outlineSelected();
}

CWaterfallDlg::~CWaterfallDlg() = default;

report::WaterfallRows CWaterfallDlg::rows() const {
    return canvas_->layout().rows;
}

QAction* CWaterfallDlg::rowsAction(report::WaterfallRows rows) const {
    return rows == report::WaterfallRows::Lanes ? byLanes_ : byElements_;
}

void CWaterfallDlg::setRows(report::WaterfallRows rows) {
    rowsAction(rows)->setChecked(true);
    host_.viewSettings().setInt(kRowsSetting, rows == report::WaterfallRows::Lanes ? 1 : 0);
    showRows();
}

bool CWaterfallDlg::runCommand(CommandId id) {
    if (id != CommandId::Export) return false;
    exportWaterfall();
    return true;
}

void CWaterfallDlg::fillMenu(QMenu& menu) {
    menu.addAction(byElements_);
    menu.addAction(byLanes_);
}

void CWaterfallDlg::engineMessage(const engine::EngineMessage& message) {
    if (changesPageView(message, host_.currentPage().get())) changed_ = true;
}

void CWaterfallDlg::engineBatchHandled() {
    if (!changed_) return;
    changed_ = false;
    refresh();
}

void CWaterfallDlg::connectionChanged(int) {
    refresh();
}

void CWaterfallDlg::currentPageChanged() {
    refresh();
}

void CWaterfallDlg::selectedElementChanged() {
    outlineSelected();
}

void CWaterfallDlg::forgetPage(const engine::PageEntry* page) {
    if (page != host_.currentPage().get()) return;
    figures_ = {};
    engine::Waterfall none;
    none.connectionIndex = host_.connectionIndex();
    canvas_->setWaterfall(std::move(none), {});
}

std::vector<QWidget*> CWaterfallDlg::focusPanes() {
    return {canvas_};
}

void CWaterfallDlg::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (dirty_) refresh();
}

bool CWaterfallDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == scroll_->viewport() && event->type() == QEvent::Resize)
        canvas_->setDrawingWidth(scroll_->viewport()->width());
    return QWidget::eventFilter(watched, event);
}

void CWaterfallDlg::refresh() {
    // A hidden view draws when it shows: a crawl does not pay for a picture no one sees.
    if (!isVisible()) {
        dirty_ = true;
        return;
    }
    dirty_ = false;
    const auto page = host_.currentPage();
    const int choice = lineBox_->currentData().toInt();
    const engine::NetworkLine* line = lineOf(choice);
    // A line is modelled from the measurement itself: its bars stand for Actual Speed's items.
    const int connection = line                           ? engine::kActualSpeed
                           : choice == kWindowsConnection ? host_.connectionIndex()
                                                          : choice;
    engine::Waterfall shown, actual;
    shown.connectionIndex = connection;
    figures_ = {};
    if (page) {
        figures_ = page->figures(connection);
        shown = line ? engine::modelLine(figures_, *line).waterfall : engine::waterfallOf(figures_);
        actual = engine::waterfallOf(page->figures(engine::kActualSpeed));
    }
    canvas_->setWaterfall(std::move(shown), std::move(actual));
    const engine::Waterfall& drawn = canvas_->waterfall();
    const QString where = line ? QString::fromStdString(line->name) : connectionName(connection);
    canvas_->setAccessibleDescription(
        page ? tr("Download time %1, browse time %2 at %3")
                   .arg(timeText(drawn.downloadTime), timeText(drawn.browseTime), where)
             : tr("No page"));
    outlineSelected();
}

void CWaterfallDlg::outlineSelected() {
    const auto element = host_.selectedElement();
    const auto& hits = canvas_->drawing().hits;
    int found = -1;
    for (std::size_t i = 0; element && i < hits.size(); ++i) {
        const auto item = static_cast<std::size_t>(hits[i].item);
        if (item < figures_.items.size() && figures_.items[item].item == element) {
            found = static_cast<int>(i);
            break;
        }
    }
    canvas_->setSelectedHit(found);
}

void CWaterfallDlg::chooseBar(int hit) {
    const auto& hits = canvas_->drawing().hits;
    if (hit < 0 || hit >= static_cast<int>(hits.size())) return;
    const report::BarHit& bar = hits[static_cast<std::size_t>(hit)];
    const auto item = static_cast<std::size_t>(bar.item);
    if (item < figures_.items.size()) host_.setSelectedElement(figures_.items[item].item);
    canvas_->setSelectedHit(hit);
    scroll_->ensureVisible(static_cast<int>(bar.box.x + bar.box.width / 2),
                           static_cast<int>(bar.box.y + bar.box.height / 2), 0,
                           static_cast<int>(bar.box.height));
}

bool CWaterfallDlg::exportTo(const QString& path) const {
    if (path.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive))
        return writeWaterfallPng(path, canvas_->drawing());
    std::string error;
    return exporting::writeWaterfallSvg(path.toStdString(), canvas_->drawing(), error);
}

void CWaterfallDlg::exportWaterfall() {
    const QString path = askSavePath(this, tr("Export"), QStringLiteral("waterfall"), kExportFilter,
                                     QStringLiteral("svg"));
    if (path.isEmpty() || exportTo(path)) return;
    MessageBoxes::error(this, QString::fromLatin1(report::kExportErrorCaption),
                        QString::fromLatin1(report::kExportErrorText));
}

}  // namespace app
