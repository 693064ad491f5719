#include "app/shell/COpenURLDlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/widgets/Icons.h"
#include "engine/settings/AddressMru.h"

namespace app {

COpenURLDlg::COpenURLDlg(const engine::AddressMru& recent, QWidget* parent)
    : QDialog(parent), box_(new QComboBox) {
    setWindowTitle(tr("Open URL"));
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    auto* picture = new QLabel;
    picture->setPixmap(icon(IconId::Program).pixmap(32, 32));
    picture->setAlignment(Qt::AlignTop);
    top->addWidget(picture);
    top->addWidget(new QLabel(tr("Please enter the URL address of file or folder.")), 1);
    layout->addLayout(top);

    auto* form = new QFormLayout;
    box_->setEditable(true);
    box_->setInsertPolicy(QComboBox::NoInsert);
    box_->setMinimumContentsLength(48);
    for (const std::string& entry : recent.entries()) box_->addItem(QString::fromStdString(entry));
    box_->setEditText(QString());
    form->addRow(tr("&Open:"), box_);
    layout->addLayout(form);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(tr("Cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    box_->setFocus();
}

QString COpenURLDlg::address() const {
    return box_->currentText();
}

}  // namespace app
