#include "app/analysis/CFindDialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace app {

CFindDialog::CFindDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Find"));
    setModal(false);

    auto* label = new QLabel(tr("Fi&nd what:"));
    findWhat_ = new QLineEdit;
    findWhat_->setMinimumWidth(220);
    label->setBuddy(findWhat_);
    wholeWord_ = new QCheckBox(tr("Match &whole word only"));
    matchCase_ = new QCheckBox(tr("Match &case"));
    up_ = new QRadioButton(tr("&Up"));
    down_ = new QRadioButton(tr("&Down"));
    down_->setChecked(true);
    auto* direction = new QGroupBox(tr("Direction"));
    auto* directions = new QHBoxLayout(direction);
    directions->addWidget(up_);
    directions->addWidget(down_);
    findNext_ = new QPushButton(tr("&Find Next"));
    findNext_->setDefault(true);
    findNext_->setEnabled(false);
    auto* cancel = new QPushButton(tr("Cancel"));

    auto* checks = new QVBoxLayout;
    checks->addStretch();
    checks->addWidget(wholeWord_);
    checks->addWidget(matchCase_);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(findNext_);
    buttons->addWidget(cancel);
    buttons->addStretch();
    auto* grid = new QGridLayout(this);
    grid->addWidget(label, 0, 0);
    grid->addWidget(findWhat_, 0, 1, 1, 2);
    grid->addLayout(checks, 1, 0, 1, 2);
    grid->addWidget(direction, 1, 2);
    grid->addLayout(buttons, 0, 3, 2, 1);
    setFixedSize(sizeHint());

    connect(findWhat_, &QLineEdit::textChanged, this,
            [this](const QString& text) { findNext_->setEnabled(!text.isEmpty()); });
    connect(findNext_, &QPushButton::clicked, this, [this] {
        if (!findWhat_->text().isEmpty()) emit findNext(findWhat_->text(), options());
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

QString CFindDialog::findWhat() const {
    return findWhat_->text();
}

void CFindDialog::setFindWhat(const QString& text) {
    findWhat_->setText(text);
    findWhat_->selectAll();
    findWhat_->setFocus();
}

FindOptions CFindDialog::options() const {
    return {down_->isChecked(), wholeWord_->isChecked(), matchCase_->isChecked()};
}

void CFindDialog::setOptions(FindOptions options) {
    (options.down ? down_ : up_)->setChecked(true);
    wholeWord_->setChecked(options.wholeWord);
    matchCase_->setChecked(options.matchCase);
}

}  // namespace app
