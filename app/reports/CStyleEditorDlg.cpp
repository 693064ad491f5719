#include "app/reports/CStyleEditorDlg.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/reports/InputBoxes.h"
#include "app/reports/StyleClassesModel.h"
#include "app/reports/StyleListModel.h"
#include "app/reports/StylePreview.h"
#include "app/widgets/CMyListCtrl.h"
#include "app/widgets/Captions.h"
#include "app/widgets/MessageBoxes.h"
#include "report/ReportManager.h"

namespace app {
namespace {

// Never loaded or saved: the dialog keeps no layout of its own.
constexpr const char* kPropertiesSection = "StyleEditorProperties";
constexpr int kFieldShare = 33;  // percent of the list; the value takes the rest
constexpr int kMinimumColumnWidth = 60;

}  // namespace

CStyleEditorDlg::CStyleEditorDlg(report::ReportManager& reports, std::int32_t styleId,
                                 QWidget* parent)
    : QDialog(parent),
      reports_(reports),
      styleModel_(new StyleListModel(reports, this)),
      classesModel_(new StyleClassesModel(reports, this)),
      styles_(new QListView),
      properties_(new CMyListCtrl(kPropertiesSection)),
      preview_(new QPlainTextEdit),
      new_(new QPushButton(tr("&New..."))),
      delete_(new QPushButton(tr("&Delete..."))),
      close_(nullptr) {
    setWindowTitle(tr("Style Editor"));
    styles_->setModel(styleModel_);
    styles_->setSelectionMode(QAbstractItemView::SingleSelection);
    styles_->setEditTriggers(QAbstractItemView::NoEditTriggers);

    properties_->addColumn(StyleClassesModel::FieldColumn, tr("Field"), kFieldShare,
                           kMinimumColumnWidth);
    properties_->addColumn(StyleClassesModel::ValueColumn, tr("Value"), 100 - kFieldShare,
                           kMinimumColumnWidth);
    properties_->setModel(classesModel_);
    properties_->header()->setContextMenuPolicy(Qt::NoContextMenu);
    properties_->setEditTriggers(QAbstractItemView::DoubleClicked |
                                 QAbstractItemView::EditKeyPressed |
                                 QAbstractItemView::SelectedClicked);

    preview_->setReadOnly(true);
    preview_->setLineWrapMode(QPlainTextEdit::NoWrap);
    preview_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

    buildLayout();
    connect(styles_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CStyleEditorDlg::selectionChanged);
    connect(classesModel_, &QAbstractItemModel::dataChanged, this, &CStyleEditorDlg::showPreview);
    connect(properties_, &QAbstractItemView::doubleClicked, this, &CStyleEditorDlg::editValue);
    connect(new_, &QPushButton::clicked, this, &CStyleEditorDlg::newStyle);
    connect(delete_, &QPushButton::clicked, this, &CStyleEditorDlg::deleteStyle);
    selectStyle(styleId);
    resize(840, 640);
}

CStyleEditorDlg::~CStyleEditorDlg() {
    // The models go before the views when the children are deleted, and the list's selection
    // then changes: that must not reach this half-destroyed dialog.
    disconnect(styles_->selectionModel(), nullptr, this, nullptr);
    disconnect(classesModel_, nullptr, this, nullptr);
}

void CStyleEditorDlg::buildLayout() {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    close_ = buttons->button(QDialogButtonBox::Close);
    close_->setText(tr("Close"));
    connect(buttons, &QDialogButtonBox::rejected, this, &CStyleEditorDlg::reject);

    auto* styleButtons = new QHBoxLayout;
    styleButtons->addWidget(new_);
    styleButtons->addWidget(delete_);
    auto* left = new QVBoxLayout;
    left->addWidget(captionFor(tr("&Styles:"), styles_));
    left->addWidget(styles_, 1);
    left->addLayout(styleButtons);

    auto* right = new QVBoxLayout;
    right->addWidget(captionFor(tr("&Properties:"), properties_));
    right->addWidget(properties_, 1);
    right->addSpacing(6);
    right->addWidget(captionFor(tr("&CSS Preview:"), preview_));
    right->addWidget(preview_, 1);

    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 1);
    columns->addSpacing(6);
    columns->addLayout(right, 3);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns, 1);
    layout->addWidget(buttons);
}

std::optional<std::int32_t> CStyleEditorDlg::selectedStyleId() const {
    const QModelIndexList rows = styles_->selectionModel()->selectedRows();
    if (rows.isEmpty()) return std::nullopt;
    return rows.front().data(StyleListModel::kIdRole).toInt();
}

void CStyleEditorDlg::selectStyle(std::int32_t styleId) {
    int row = styleModel_->rowOf(styleId);
    if (row < 0) row = styleModel_->rowOf(0);
    const QModelIndex index = styleModel_->index(row);
    styles_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    styles_->scrollTo(index);
}

void CStyleEditorDlg::selectionChanged() {
    const std::optional<std::int32_t> id = selectedStyleId();
    if (id != classesModel_->styleId()) classesModel_->show(id);
    delete_->setEnabled(id && *id != 0);
    showPreview();
}

void CStyleEditorDlg::showPreview() {
    const std::optional<std::int32_t> id = classesModel_->styleId();
    previewText_ = id ? stylePreviewText(reports_.findStyle(*id)) : std::string();
    preview_->setPlainText(stylePreviewDisplay(previewText_));
}

void CStyleEditorDlg::editValue(const QModelIndex& index) {
    // A double click on the class name edits its text too.
    if (index.column() == StyleClassesModel::FieldColumn)
        properties_->edit(index.siblingAtColumn(StyleClassesModel::ValueColumn));
}

void CStyleEditorDlg::newStyle() {
    const std::optional<QString> name =
        InputBoxes::ask(this, {tr("Create New Style"), tr("Style Name:"), tr("New Style")});
    if (!name) return;
    report::ReportStyle copy = reports_.findStyle(selectedStyleId().value_or(0));
    copy.setName(name->toStdString());
    const std::int32_t id = reports_.addStyle(std::move(copy));
    if (id == 0) return;
    styleModel_->reload();
    selectStyle(id);
}

void CStyleEditorDlg::deleteStyle() {
    const std::optional<std::int32_t> id = selectedStyleId();
    if (!id || reports_.styles().count(*id) == 0) return;
    const QString name = QString::fromStdString(reports_.styleName(*id));
    const QString question = tr("Are you sure you want to delete style: '%1'?").arg(name);
    if (MessageBoxes::question(this, question, tr("Delete Style")) != QMessageBox::Yes) return;
    reports_.removeStyle(*id);
    styleModel_->reload();
    selectStyle(0);
}

}  // namespace app
