#include "app/widgets/StatusPane.h"

#include <QPainter>
#include <QStyle>

#include <algorithm>

namespace app {

StatusPane::StatusPane(const QString& text, Fit fit, int minimumWidth, QWidget* parent)
    : QWidget(parent), text_(text), fit_(fit) {
    setMinimumWidth(minimumWidth);
    setSizePolicy(fit == Fit::Stretch ? QSizePolicy::Ignored : QSizePolicy::Minimum,
                  QSizePolicy::Preferred);
    setAccessibleName(text);
}

int StatusPane::textWidth(const QString& text) const {
    const QMargins margins = contentsMargins();
    return fontMetrics().horizontalAdvance(text) + 1 + margins.left() + margins.right();
}

void StatusPane::setText(const QString& text) {
    if (text == text_) return;
    text_ = text;
    setAccessibleName(text);
    if (fit_ == Fit::Text && textWidth(text) > widest_) updateGeometry();
    update();
}

void StatusPane::setAlignment(Qt::Alignment alignment) {
    alignment_ = alignment;
    update();
}

QSize StatusPane::sizeHint() const {
    const QMargins margins = contentsMargins();
    const int height = fontMetrics().height() + margins.top() + margins.bottom();
    if (fit_ == Fit::Stretch) return {minimumWidth(), height};
    widest_ = std::max({widest_, textWidth(text_), minimumWidth()});
    return {widest_, height};
}

QSize StatusPane::minimumSizeHint() const {
    return sizeHint();
}

void StatusPane::paintEvent(QPaintEvent*) {
    const QRect area = contentsRect();
    // Widths are whole pixels and a text's advance is not: cut only what plainly does not fit.
    const QFontMetrics metrics = fontMetrics();
    const QString shown = metrics.horizontalAdvance(text_) <= area.width()
                              ? text_
                              : metrics.elidedText(text_, Qt::ElideRight, area.width());
    QPainter painter(this);
    style()->drawItemText(&painter, area, static_cast<int>(alignment_), palette(), isEnabled(),
                          shown, foregroundRole());
}

}  // namespace app
