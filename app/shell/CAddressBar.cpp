#include "app/shell/CAddressBar.h"

#include <QAction>
#include <QComboBox>
#include <QCompleter>
#include <QLabel>
#include <QLineEdit>
#include <QStringListModel>
#include <QToolButton>

#include "app/shell/AppContext.h"

namespace app {

CAddressBar::CAddressBar(AppContext& context, QAction* analyze, QWidget* parent)
    : QToolBar(tr("Address Bar"), parent),
      context_(context),
      box_(new QComboBox),
      completions_(new QStringListModel(this)),
      completer_(new QCompleter(completions_, this)) {
    setObjectName(QStringLiteral("addressBar"));
    setMovable(false);
    auto* label = new QLabel(tr("Address:"));
    label->setContentsMargins(4, 0, 6, 0);
    label->setBuddy(box_);
    addWidget(label);
    box_->setEditable(true);
    box_->setInsertPolicy(QComboBox::NoInsert);
    box_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    box_->setMinimumContentsLength(40);
    box_->lineEdit()->setPlaceholderText(tr("http://www.example.com/"));
    // The completer offers entries by the address history's own rule, not Qt's prefix match.
    completer_->setCompletionMode(QCompleter::PopupCompletion);
    completer_->setModelSorting(QCompleter::UnsortedModel);
    completer_->setFilterMode(Qt::MatchContains);
    box_->setCompleter(completer_);
    addWidget(box_);
    auto* button = new QToolButton;
    button->setDefaultAction(analyze);
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    addWidget(button);

    connect(box_->lineEdit(), &QLineEdit::returnPressed, analyze, [analyze] {
        if (analyze->isEnabled()) analyze->trigger();
    });
    connect(box_->lineEdit(), &QLineEdit::textEdited, this, &CAddressBar::updateCompletion);
    connect(box_, &QComboBox::editTextChanged, this, &CAddressBar::textChanged);
    connect(&context_, &AppContext::recentAddressesChanged, this, &CAddressBar::refillRecent);
    refillRecent();
    setText(QString::fromStdString(context_.recentAddresses().barText()));
}

void CAddressBar::refillRecent() {
    const QString current = text();
    box_->blockSignals(true);
    box_->clear();
    for (const std::string& entry : context_.recentAddresses().entries()) {
        box_->addItem(QString::fromStdString(entry));
    }
    box_->setEditText(current);
    box_->blockSignals(false);
}

void CAddressBar::updateCompletion(const QString& typed) {
    QStringList offered;
    for (const std::string& candidate :
         context_.recentAddresses().candidates(typed.toStdString())) {
        offered << QString::fromStdString(candidate);
    }
    completions_->setStringList(offered);
}

QString CAddressBar::text() const {
    return box_->currentText();
}

void CAddressBar::setText(const QString& text) {
    box_->setEditText(text);
}

bool CAddressBar::hasEditFocus() const {
    return box_->lineEdit()->hasFocus();
}

void CAddressBar::cut() {
    box_->lineEdit()->cut();
}

void CAddressBar::copy() {
    box_->lineEdit()->copy();
}

void CAddressBar::paste() {
    box_->lineEdit()->paste();
}

void CAddressBar::undo() {
    box_->lineEdit()->undo();
}

}  // namespace app
