#include "app/reports/CReportContentEditor.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include <memory>
#include <utility>

#include "app/reports/CReportNewItemDlg.h"
#include "app/reports/ItemEditing.h"
#include "app/reports/ReportContentModel.h"
#include "app/reports/ReportContentView.h"
#include "app/reports/StyleChoiceDelegate.h"
#include "app/widgets/MessageBoxes.h"
#include "report/Report.h"

namespace app {

CReportContentEditor::Buttons CReportContentEditor::enabledButtons(std::optional<int> selected,
                                                                   int rowCount, bool editable) {
    Buttons buttons;
    buttons.add = true;
    buttons.styles = true;
    if (!selected) return buttons;
    const int s = *selected;
    constexpr int first = ReportContentModel::kFirstItemRow;
    buttons.edit = editable;
    buttons.remove = s >= first && s < rowCount;
    buttons.up = s >= first + 1 && s < rowCount;
    buttons.down = s >= first && s < rowCount - 1;
    return buttons;
}

CReportContentEditor::CReportContentEditor(const report::ReportManager& reports,
                                           const query::StatisticsCatalog& statistics,
                                           StyleEditorOpener editStyles, QWidget* parent)
    : QWidget(parent),
      statistics_(statistics),
      editStyles_(std::move(editStyles)),
      model_(new ReportContentModel(reports, this)),
      list_(new ReportContentView) {
    list_->setModel(model_);
    list_->setItemDelegate(new StyleChoiceDelegate(reports, list_));
    connect(list_, &QTreeView::doubleClicked, this, &CReportContentEditor::editRow);
    list_->setAccessibleName(tr("Report Content"));
    connect(list_, &ReportContentView::editRequested, this, &CReportContentEditor::editRow);
    connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CReportContentEditor::updateButtons);
    connect(model_, &QAbstractItemModel::modelReset, this, [this] {
        spanHeadings();
        updateButtons();
    });
    connect(model_, &QAbstractItemModel::rowsInserted, this, &CReportContentEditor::updateButtons);
    connect(model_, &QAbstractItemModel::rowsRemoved, this, &CReportContentEditor::updateButtons);

    add_ = makeButton(tr("&Add..."), &CReportContentEditor::addItem);
    edit_ = makeButton(tr("&Edit..."), &CReportContentEditor::editRow);
    delete_ = makeButton(tr("&Delete..."), &CReportContentEditor::deleteItem);
    up_ = makeButton(tr("&Up"), &CReportContentEditor::moveUp);
    down_ = makeButton(tr("D&own"), &CReportContentEditor::moveDown);
    styles_ = makeButton(tr("Edit &Styles..."), &CReportContentEditor::editStyles);

    auto* side = new QVBoxLayout;
    for (QPushButton* button : {add_, edit_, delete_}) side->addWidget(button);
    side->addSpacing(12);
    side->addWidget(up_);
    side->addWidget(down_);
    side->addStretch(1);
    side->addWidget(styles_);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(list_, 1);
    layout->addLayout(side);
    updateButtons();
}

QPushButton* CReportContentEditor::makeButton(const QString& text,
                                              void (CReportContentEditor::*action)()) {
    auto* button = new QPushButton(text);
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, action);
    return button;
}

void CReportContentEditor::setReport(report::Report* report) {
    model_->setReport(report);
}

report::Report* CReportContentEditor::report() const {
    return model_->report();
}

std::optional<int> CReportContentEditor::selectedRow() const {
    const QModelIndexList rows = list_->selectionModel()->selectedRows();
    if (rows.isEmpty()) return std::nullopt;
    return rows.first().row();
}

void CReportContentEditor::selectRow(int row) {
    list_->setCurrentIndex(model_->index(row, ReportContentModel::kFieldColumn));
}

bool CReportContentEditor::isEditable(int row) const {
    if (row == ReportContentModel::kNameRow || row == ReportContentModel::kStyleRow) return true;
    const report::ReportItem* item = model_->itemAt(row);
    return item && hasItemDialog(*item);
}

void CReportContentEditor::addItem() {
    if (!report()) return;
    CReportNewItemDlg chooser(this);
    if (chooser.exec() != QDialog::Accepted) return;
    std::unique_ptr<report::ReportItem> item = newItem(chooser.choice());
    if (!item || !app::editItem(this, *item, statistics_)) return;
    selectRow(model_->appendItem(std::move(item)));
}

void CReportContentEditor::editRow() {
    const std::optional<int> row = selectedRow();
    if (!row || !isEditable(*row)) return;
    if (report::ReportItem* item = model_->itemAt(*row)) {
        if (app::editItem(this, *item, statistics_)) model_->itemChanged(*row);
        return;
    }
    list_->edit(model_->index(*row, ReportContentModel::kValueColumn));
}

void CReportContentEditor::deleteItem() {
    const std::optional<int> row = selectedRow();
    const report::ReportItem* item = row ? model_->itemAt(*row) : nullptr;
    if (!item) return;
    const QString question = tr("Delete item: '%1'?").arg(QString::fromStdString(item->kindName()));
    if (MessageBoxes::question(this, question, tr("Confirm")) != QMessageBox::Yes) return;
    model_->removeItem(*row);
}

void CReportContentEditor::moveUp() {
    moveBy(-1);
}

void CReportContentEditor::moveDown() {
    moveBy(1);
}

void CReportContentEditor::moveBy(int step) {
    const std::optional<int> row = selectedRow();
    if (!row || !model_->itemAt(*row) || !model_->itemAt(*row + step)) return;
    model_->swapItems(*row, *row + step);
    selectRow(*row + step);
}

void CReportContentEditor::editStyles() {
    if (!report() || !editStyles_) return;
    editStyles_(this, report()->styleId());
    model_->stylesChanged();
}

void CReportContentEditor::updateButtons() {
    const std::optional<int> row = selectedRow();
    const Buttons enabled = enabledButtons(row, model_->rowCount(), row && isEditable(*row));
    add_->setEnabled(enabled.add);
    edit_->setEnabled(enabled.edit);
    delete_->setEnabled(enabled.remove);
    up_->setEnabled(enabled.up);
    down_->setEnabled(enabled.down);
    styles_->setEnabled(enabled.styles);
}

void CReportContentEditor::spanHeadings() {
    for (int row : {ReportContentModel::kGeneralRow, ReportContentModel::kItemsRow})
        if (row < model_->rowCount()) list_->setFirstColumnSpanned(row, {}, true);
}

}  // namespace app
