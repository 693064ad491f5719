#include "app/waterfall/WaterfallCanvas.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>
#include <cmath>
#include <utility>

#include "app/waterfall/WaterfallPainting.h"

namespace app {

WaterfallCanvas::WaterfallCanvas(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(false);
    setAccessibleName(tr("Waterfall"));
    rebuild();
}

void WaterfallCanvas::setWaterfall(engine::Waterfall shown, engine::Waterfall actual) {
    shown_ = std::move(shown);
    actual_ = std::move(actual);
    rebuild();
}

void WaterfallCanvas::setRows(report::WaterfallRows rows) {
    if (rows == rows_) return;
    rows_ = rows;
    rebuild();
}

void WaterfallCanvas::setDrawingWidth(int width) {
    width = std::max(1, width);
    if (width == width_) return;
    width_ = width;
    rebuild();
}

report::WaterfallLayout WaterfallCanvas::layout() const {
    report::WaterfallLayout layout;
    layout.rows = rows_;
    layout.width = width_;
    return layout;
}

void WaterfallCanvas::rebuild() {
    drawing_ = report::drawWaterfall(shown_, layout(), &actual_);
    bounds_ = shapeBounds(drawing_);
    ++builds_;
    // A new drawing has other bars: the view outlines again what is selected.
    selected_ = -1;
    setFixedSize(static_cast<int>(std::ceil(drawing_.width)),
                 static_cast<int>(std::ceil(drawing_.height)));
    update();
}

void WaterfallCanvas::setSelectedHit(int hit) {
    if (hit < -1 || hit >= static_cast<int>(drawing_.hits.size())) hit = -1;
    if (hit == selected_) return;
    if (selected_ >= 0) update(hitRect(selected_).toAlignedRect());
    selected_ = hit;
    if (selected_ >= 0) update(hitRect(selected_).toAlignedRect());
}

QRectF WaterfallCanvas::hitRect(int hit) const {
    const report::Box& box = drawing_.hits[static_cast<std::size_t>(hit)].box;
    return QRectF(box.x, box.y, box.width, box.height).adjusted(-3, -3, 3, 3);
}

QString WaterfallCanvas::tipAt(const QPoint& point) const {
    const int hit = drawing_.hitAt(point.x() + 0.5, point.y() + 0.5);
    return hit < 0 ? QString()
                   : QString::fromStdString(drawing_.hits[static_cast<std::size_t>(hit)].tip);
}

bool WaterfallCanvas::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QString tip = tipAt(help->pos());
        if (tip.isEmpty()) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(help->globalPos(), tip, this);
        }
        return true;
    }
    return QWidget::event(event);
}

void WaterfallCanvas::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRectF exposed = event->rect();
    painter.fillRect(exposed, qtColourOf(report::Paint::Background));
    paintWaterfall(painter, drawing_, bounds_, exposed);
    painter.setBrush(Qt::NoBrush);
    // With the keyboard here the chosen bar is outlined in the highlight colour; with nothing
    // chosen yet, a dashed frame marks the first bar, where Down starts.
    const QColor focus = palette().color(QPalette::Highlight);
    if (selected_ >= 0) {
        const report::Box& box = drawing_.hits[static_cast<std::size_t>(selected_)].box;
        painter.setPen(QPen(hasFocus() ? focus : qtColourOf(report::Paint::Text), 2));
        painter.drawRect(QRectF(box.x, box.y, box.width, box.height).adjusted(-1, 0, 1, 0));
    } else if (hasFocus()) {
        painter.setPen(QPen(focus, 1, Qt::DashLine));
        const QRectF first = drawing_.hits.empty() ? QRectF(rect()) : hitRect(0);
        painter.drawRect(first.adjusted(1, 1, -1, -1));
    }
}

void WaterfallCanvas::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    const QPointF at = event->position();
    const int hit = drawing_.hitAt(at.x(), at.y());
    if (hit >= 0) choose(hit);
}

void WaterfallCanvas::keyPressEvent(QKeyEvent* event) {
    const int count = static_cast<int>(drawing_.hits.size());
    if (count == 0 || (event->key() != Qt::Key_Up && event->key() != Qt::Key_Down))
        return QWidget::keyPressEvent(event);
    const int step = event->key() == Qt::Key_Up ? -1 : 1;
    choose(selected_ < 0 ? (step > 0 ? 0 : count - 1) : std::clamp(selected_ + step, 0, count - 1));
}

void WaterfallCanvas::choose(int hit) {
    setSelectedHit(hit);
    emit barChosen(hit);
}

}  // namespace app
