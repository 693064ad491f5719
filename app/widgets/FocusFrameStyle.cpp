#include "app/widgets/FocusFrameStyle.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QPainter>
#include <QPen>
#include <QStyleOption>

namespace app {

namespace {

bool keyboardFocused(const QStyleOption& option) {
    return (option.state & QStyle::State_HasFocus) &&
           (option.state & QStyle::State_KeyboardFocusChange);
}

}  // namespace

FocusFrameStyle::FocusFrameStyle() : QProxyStyle(QStringLiteral("Fusion")) {}

void FocusFrameStyle::drawControl(ControlElement element, const QStyleOption* option,
                                  QPainter* painter, const QWidget* widget) const {
    QProxyStyle::drawControl(element, option, painter, widget);
    const bool framedView =
        element == CE_ShapedFrame && qobject_cast<const QAbstractScrollArea*>(widget) != nullptr;
    if (!(element == CE_PushButton || framedView) || !keyboardFocused(*option)) return;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    // Two pixels wide, inside the control: a focus mark must be seen at a glance.
    painter->setPen(QPen(option->palette.color(QPalette::Highlight), 2));
    painter->setBrush(Qt::NoBrush);
    const qreal inset = element == CE_PushButton ? 3 : 0;
    painter->drawRect(QRectF(option->rect).adjusted(inset + 1, inset + 1, -inset - 1, -inset - 1));
    painter->restore();
}

void showKeyboardFocusEverywhere() {
    QStyle* current = QApplication::style();
    if (qobject_cast<FocusFrameStyle*>(current) != nullptr) return;
    if (current->name().compare(QStringLiteral("fusion"), Qt::CaseInsensitive) != 0) return;
    QApplication::setStyle(new FocusFrameStyle);
}

}  // namespace app
