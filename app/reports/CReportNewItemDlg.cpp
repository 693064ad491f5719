#include "app/reports/CReportNewItemDlg.h"
#include "app/widgets/Captions.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace app {
namespace {

struct Entry {
    const char* name;
    NewItemChoice choice;
    const char* description;
};

constexpr Entry kEntries[] = {
    {"HTML Text", NewItemChoice::HtmlText, "Custom HTML Text"},
    {"Title", NewItemChoice::Title, "Title Object"},
    {"Field", NewItemChoice::Field, "Field Object"},
    {"Table", NewItemChoice::Table, "Table"},
};

const Entry* entryOf(NewItemChoice choice) {
    for (const Entry& entry : kEntries)
        if (entry.choice == choice) return &entry;
    return nullptr;
}

}  // namespace

CReportNewItemDlg::CReportNewItemDlg(QWidget* parent)
    : QDialog(parent),
      items_(new QListWidget),
      description_(new QLabel),
      create_(new QPushButton(tr("Create"))) {
    setWindowTitle(tr("Add New Report Item"));
    for (const Entry& entry : kEntries) {
        auto* row = new QListWidgetItem(QString::fromLatin1(entry.name), items_);
        row->setData(Qt::UserRole, int(entry.choice));
    }
    items_->sortItems();
    connect(items_, &QListWidget::currentRowChanged, this, &CReportNewItemDlg::showDescription);
    connect(items_, &QListWidget::itemDoubleClicked, this, &CReportNewItemDlg::accept);
    items_->setCurrentRow(1);

    auto* label = captionFor(tr("Select report item from the list:"), items_);
    auto* descriptionGroup = new QGroupBox(tr("Description"));
    description_->setWordWrap(true);
    (new QVBoxLayout(descriptionGroup))->addWidget(description_);

    auto* buttons = new QDialogButtonBox;
    buttons->addButton(create_, QDialogButtonBox::AcceptRole);
    buttons->addButton(QDialogButtonBox::Cancel);
    create_->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &CReportNewItemDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CReportNewItemDlg::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(items_, 1);
    layout->addWidget(descriptionGroup);
    layout->addWidget(buttons);
    resize(340, 300);
}

NewItemChoice CReportNewItemDlg::choice() const {
    const QListWidgetItem* row = items_->currentItem();
    return row ? NewItemChoice(row->data(Qt::UserRole).toInt()) : NewItemChoice::None;
}

void CReportNewItemDlg::showDescription() {
    const Entry* entry = entryOf(choice());
    description_->setText(entry ? QString::fromLatin1(entry->description) : QString());
    create_->setEnabled(entry != nullptr);
}

}  // namespace app
