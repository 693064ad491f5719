#include "app/shell/CAboutDlg.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/widgets/Icons.h"
#include "app/widgets/MessageBoxes.h"

namespace app {

QString CAboutDlg::aboutText() {
    return QStringLiteral("%1 %2\nBuild: %3")
        .arg(QString::fromLatin1(MessageBoxes::kProductTitle), QStringLiteral(PAGELYST_VERSION),
             QStringLiteral(__DATE__));
}

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("About ZORV"));
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    auto* picture = new QLabel;
    picture->setPixmap(icon(IconId::Program).pixmap(48, 48));
    picture->setAlignment(Qt::AlignTop);
    row->addWidget(picture);
    auto* text = new QLabel(aboutText());
    text->setObjectName(QStringLiteral("aboutText"));
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    row->addSpacing(12);
    row->addWidget(text, 1);
    layout->addLayout(row);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("OK"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace app
