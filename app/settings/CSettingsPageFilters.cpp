#include "app/settings/CSettingsPageFilters.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/settings/CFilterConditionDlg.h"
#include "app/settings/FilterConditionsModel.h"
#include "app/widgets/CMyListCtrl.h"

namespace app {
namespace {

CSettingsPageFilters::ConditionEditor& conditionEditor() {
    static CSettingsPageFilters::ConditionEditor editor;
    return editor;
}

bool editInDialog(report::FilterCondition& condition, QWidget* parent) {
    if (conditionEditor()) return conditionEditor()(condition, parent);
    CFilterConditionDlg dialog(condition, parent);
    if (dialog.exec() != QDialog::Accepted) return false;
    condition = dialog.condition();
    return true;
}

}  // namespace

CSettingsPageFilters::CSettingsPageFilters(report::FilterConditionList& conditions, QWidget* parent)
    : CSettingsPage(tr("Conditions"), parent),
      conditions_(conditions),
      model_(new FilterConditionsModel(conditions, this)),
      list_(new CMyListCtrl(kListSection)),
      new_(new QPushButton(tr("&New..."))),
      edit_(new QPushButton(tr("&Edit..."))),
      remove_(new QPushButton(tr("&Remove"))),
      up_(new QPushButton(tr("&Up"))),
      down_(new QPushButton(tr("&Down"))) {
    list_->setAccessibleName(tr("Conditions"));
    list_->addColumn(FilterConditionsModel::kName, tr("Condition Name (shown in applied order)"),
                     70, 60);
    list_->addColumn(FilterConditionsModel::kColor, tr("Color"), 30, 45);
    list_->addColumn(FilterConditionsModel::kConnection, tr("Connection"), 20, 30, false);
    list_->addColumn(FilterConditionsModel::kTime, tr("Time"), 20, 30, false);
    list_->addColumn(FilterConditionsModel::kDescription, tr("Description"), 30, 30, false);
    list_->setModel(model_);
    list_->loadLayout();
    list_->setSelectionMode(QAbstractItemView::SingleSelection);

    auto* buttons = new QVBoxLayout;
    for (QPushButton* button : {new_, edit_, remove_, up_, down_}) buttons->addWidget(button);
    buttons->addStretch();
    auto* body = new QHBoxLayout;
    body->addWidget(list_, 1);
    body->addLayout(buttons);
    auto* caption = new QLabel(tr("Current conditions:"));
    caption->setBuddy(list_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(caption);
    layout->addLayout(body);

    connect(new_, &QPushButton::clicked, this, &CSettingsPageFilters::newCondition);
    connect(edit_, &QPushButton::clicked, this, &CSettingsPageFilters::editCondition);
    connect(remove_, &QPushButton::clicked, this, &CSettingsPageFilters::removeCondition);
    connect(up_, &QPushButton::clicked, this, [this] { moveCondition(-1); });
    connect(down_, &QPushButton::clicked, this, [this] { moveCondition(1); });
    connect(list_, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        selectRow(index.row());
        editCondition();
    });
    connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { updateEnabled(); });
    connect(model_, &QAbstractItemModel::rowsRemoved, this, [this] { updateEnabled(); });
    connect(model_, &QAbstractItemModel::rowsMoved, this, [this] { updateEnabled(); });
    updateEnabled();
}

CSettingsPageFilters::~CSettingsPageFilters() {
    list_->saveLayout();
}

int CSettingsPageFilters::selectedRow() const {
    const QModelIndexList rows = list_->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void CSettingsPageFilters::selectRow(int row) {
    if (row < 0 || row >= model_->rowCount()) {
        list_->selectionModel()->clearSelection();
        return;
    }
    list_->selectionModel()->select(
        model_->index(row, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    list_->setCurrentIndex(model_->index(row, 0));
}

void CSettingsPageFilters::updateEnabled() {
    const int row = selectedRow();
    edit_->setEnabled(row >= 0);
    remove_->setEnabled(row >= 0);
    up_->setEnabled(row > 0);
    down_->setEnabled(row >= 0 && row < model_->rowCount() - 1);
}

void CSettingsPageFilters::newCondition() {
    report::FilterCondition condition;
    if (!editInDialog(condition, this)) return;
    selectRow(model_->append(std::move(condition)));
}

void CSettingsPageFilters::editCondition() {
    const int row = selectedRow();
    if (row < 0) return;
    report::FilterCondition condition = model_->at(row);
    if (editInDialog(condition, this)) model_->replace(row, condition);
}

void CSettingsPageFilters::removeCondition() {
    const int row = selectedRow();
    if (row < 0) return;
    model_->remove(row);
    selectRow(std::min(row, model_->rowCount() - 1));
}

void CSettingsPageFilters::moveCondition(int step) {
    const int row = selectedRow();
    if (model_->move(row, step)) selectRow(row + step);
}

void CSettingsPageFilters::apply() {
    conditions_ = model_->conditions();
    conditions_.save();
}

void CSettingsPageFilters::setConditionEditor(ConditionEditor editor) {
    conditionEditor() = std::move(editor);
}

}  // namespace app
