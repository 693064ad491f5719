#include "app/widgets/MessageBoxes.h"

#include <utility>

namespace app {
namespace {

MessageBoxes::Answerer& answerer() {
    static MessageBoxes::Answerer instance;
    return instance;
}

}  // namespace

QMessageBox::StandardButton MessageBoxes::show(QWidget* parent, const Box& box) {
    if (answerer()) return answerer()(box);
    QMessageBox dialog(box.icon, box.caption, box.text, box.buttons, parent);
    return static_cast<QMessageBox::StandardButton>(dialog.exec());
}

QMessageBox::StandardButton MessageBoxes::question(QWidget* parent, const QString& text,
                                                   const QString& caption) {
    return show(parent, {QMessageBox::Question,
                         caption.isEmpty() ? QString::fromLatin1(kProductTitle) : caption, text,
                         QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel});
}

void MessageBoxes::error(QWidget* parent, const QString& caption, const QString& text) {
    show(parent, {QMessageBox::Critical, caption, text, QMessageBox::Ok});
}

void MessageBoxes::warning(QWidget* parent, const QString& caption, const QString& text) {
    show(parent, {QMessageBox::Warning, caption, text, QMessageBox::Ok});
}

void MessageBoxes::setAnswerer(Answerer replacement) {
    answerer() = std::move(replacement);
}

}  // namespace app
