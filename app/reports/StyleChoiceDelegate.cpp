#include "app/reports/StyleChoiceDelegate.h"

#include <QComboBox>

#include "app/reports/ReportContentModel.h"
#include "report/ReportManager.h"

namespace app {

StyleChoiceDelegate::StyleChoiceDelegate(const report::ReportManager& reports, QObject* parent)
    : QStyledItemDelegate(parent), reports_(reports) {}

bool StyleChoiceDelegate::isStyle(const QModelIndex& index) {
    return index.row() == ReportContentModel::kStyleRow &&
           index.column() == ReportContentModel::kValueColumn;
}

QWidget* StyleChoiceDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                           const QModelIndex& index) const {
    if (!isStyle(index)) return QStyledItemDelegate::createEditor(parent, option, index);
    auto* box = new QComboBox(parent);
    for (const auto& [id, name] : reports_.listStyles())
        box->addItem(QString::fromStdString(name), id);
    // A choice ends the edit at once, as a drop-down list does.
    connect(box, &QComboBox::activated, this, &StyleChoiceDelegate::commitAndClose);
    return box;
}

void StyleChoiceDelegate::commitAndClose() {
    auto* box = qobject_cast<QWidget*>(sender());
    emit commitData(box);
    emit closeEditor(box);
}

void StyleChoiceDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    auto* box = qobject_cast<QComboBox*>(editor);
    if (!box || !isStyle(index)) return QStyledItemDelegate::setEditorData(editor, index);
    // A set deleted since the report chose it shows as "Default", the set it renders with.
    const int row = box->findData(index.data(Qt::EditRole));
    box->setCurrentIndex(row >= 0 ? row : 0);
}

void StyleChoiceDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                       const QModelIndex& index) const {
    auto* box = qobject_cast<QComboBox*>(editor);
    if (!box || !isStyle(index)) return QStyledItemDelegate::setModelData(editor, model, index);
    model->setData(index, box->currentData(), Qt::EditRole);
}

}  // namespace app
