#include "app/reports/InputBoxes.h"

#include <QInputDialog>

#include <utility>

namespace app {
namespace {

InputBoxes::Answerer& answerer() {
    static InputBoxes::Answerer instance;
    return instance;
}

}  // namespace

std::optional<QString> InputBoxes::ask(QWidget* parent, const Box& box) {
    if (answerer()) return answerer()(box);
    bool ok = false;
    const QString text =
        QInputDialog::getText(parent, box.caption, box.prompt, QLineEdit::Normal, box.text, &ok);
    if (!ok) return std::nullopt;
    return text;
}

void InputBoxes::setAnswerer(Answerer replacement) {
    answerer() = std::move(replacement);
}

}  // namespace app
