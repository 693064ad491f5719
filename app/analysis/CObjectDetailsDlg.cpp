#include "app/analysis/CObjectDetailsDlg.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/widgets/PropertyListCtrl.h"
#include "app/widgets/PropertyListModel.h"
#include "engine/items/WebItem.h"
#include "engine/schedule/PageEntry.h"

namespace app {

namespace {

// The dialog keeps no layout of its own: this section is never stored.
constexpr const char* kPropertiesSection = "ObjectDetailsDlg\\Properties";

}  // namespace

CObjectDetailsDlg::CObjectDetailsDlg(std::shared_ptr<engine::PageEntry> page,
                                     std::shared_ptr<engine::WebItem> item, int connection,
                                     QWidget* parent)
    : QDialog(parent),
      rows_(new ElementPropertiesModel(report::ElementRowsTitle::Dialog, this)),
      properties_(new PropertyListCtrl(kPropertiesSection, tr("Element Information"))) {
    setWindowTitle(tr("Element Information"));
    setSizeGripEnabled(true);
    rows_->show(std::move(page), std::move(item), connection);
    properties_->setObjectName(QStringLiteral("elementDetails"));
    properties_->setAccessibleName(tr("Element Information"));
    properties_->setModel(rows_);

    auto* close = new QPushButton(tr("Close"));
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(close);
    buttons->addStretch(1);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(properties_, 1);
    layout->addLayout(buttons);
    resize(640, 380);
}

CObjectDetailsDlg::~CObjectDetailsDlg() = default;

void CObjectDetailsDlg::refresh() {
    rows_->refresh();
}

}  // namespace app
