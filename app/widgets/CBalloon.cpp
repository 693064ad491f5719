#include "app/widgets/CBalloon.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QToolTip>
#include <QVBoxLayout>

#include <algorithm>

namespace app {

namespace {

constexpr int kTail = 12;       // height of the tail
constexpr int kTailWidth = 16;  // width of the tail at the box
constexpr int kTailInset = 24;  // the tail's distance from the box's nearer side
constexpr int kRadius = 8;
constexpr int kPadding = 8;

QRect screenAround(const QPoint& point) {
    const QScreen* screen = QGuiApplication::screenAt(point);
    if (!screen) screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(point, QSize(1, 1));
}

}  // namespace

CBalloon::CBalloon(const QString& text, QWidget* parent)
    : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint),
      text_(new QLabel(text)),
      doNotShow_(new QCheckBox(QStringLiteral("Do not show this again"))),
      close_(new QPushButton(QStringLiteral("Close"))) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    doNotShow_->setFocusPolicy(Qt::NoFocus);
    close_->setFocusPolicy(Qt::NoFocus);
    // The balloon wears the tooltip colours, light or dark, and so does every text on it: the
    // window's own text colour may be meant for the opposite background.
    QPalette colours = QToolTip::palette();
    const QColor base = colours.color(QPalette::ToolTipBase);
    const QColor ink = colours.color(QPalette::ToolTipText);
    for (const auto group : {QPalette::Active, QPalette::Inactive}) {
        colours.setColor(group, QPalette::Window, base);
        colours.setColor(group, QPalette::WindowText, ink);
        colours.setColor(group, QPalette::Text, ink);
    }
    setPalette(colours);
    setForegroundRole(QPalette::ToolTipText);
    setBackgroundRole(QPalette::ToolTipBase);

    auto* icon = new QLabel;
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
    icon->setAlignment(Qt::AlignTop);
    text_->setTextFormat(Qt::PlainText);

    auto* message = new QHBoxLayout;
    message->addWidget(icon);
    message->addWidget(text_, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(doNotShow_);
    buttons->addStretch(1);
    buttons->addWidget(close_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(message);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(close_, &QPushButton::clicked, this, &CBalloon::dismiss);
}

void CBalloon::showAt(const QPoint& globalTip) {
    tip_ = globalTip;
    const QRect screen = screenAround(globalTip);
    setContentsMargins(kPadding, kPadding + kTail, kPadding, kPadding);
    adjustSize();
    const QSize box = size();
    tailAbove_ = globalTip.y() + box.height() <= screen.bottom() ||
                 globalTip.y() - box.height() < screen.top();
    if (!tailAbove_) {
        setContentsMargins(kPadding, kPadding, kPadding, kPadding + kTail);
        adjustSize();
    }
    int left = globalTip.x() - kTailInset;
    left = std::clamp(left, screen.left(), std::max(screen.left(), screen.right() - box.width()));
    // The tail's tip is the box's first or last row.
    const int top = tailAbove_ ? globalTip.y() : globalTip.y() - box.height() + 1;
    tailX_ = std::clamp(globalTip.x() - left, kRadius + kTailWidth / 2,
                        box.width() - kRadius - kTailWidth / 2);
    move(left, top);
    setMask(QRegion(outline(0).toFillPolygon().toPolygon()));
    show();
    raise();
}

void CBalloon::showNextTo(const QWidget* anchor) {
    const QRect area = anchor->rect();
    showAt(anchor->mapToGlobal(QPoint(area.center().x(), area.bottom())));
}

void CBalloon::dismiss() {
    if (dismissed_) return;
    dismissed_ = true;
    hide();
    emit dismissed(doNotShowAgain());
}

QString CBalloon::text() const {
    return text_->text();
}

bool CBalloon::doNotShowAgain() const {
    return doNotShow_->isChecked();
}

QPainterPath CBalloon::outline(qreal inset) const {
    const QRectF whole = QRectF(rect()).adjusted(inset, inset, -inset, -inset);
    const QRectF box =
        tailAbove_ ? whole.adjusted(0, kTail, 0, 0) : whole.adjusted(0, 0, 0, -kTail);
    QPainterPath path;
    path.addRoundedRect(box, kRadius, kRadius);
    QPainterPath tail;
    const qreal edge = tailAbove_ ? box.top() + 1 : box.bottom() - 1;
    const qreal point = tailAbove_ ? whole.top() : whole.bottom();
    tail.moveTo(tailX_ - kTailWidth / 2.0, edge);
    tail.lineTo(tailX_, point);
    tail.lineTo(tailX_ + kTailWidth / 2.0, edge);
    tail.closeSubpath();
    return path.united(tail);
}

void CBalloon::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(palette().color(QPalette::ToolTipBase));
    painter.setPen(QPen(palette().color(QPalette::ToolTipText), 1));
    painter.drawPath(outline(1.0));  // inside the mask, so the whole edge shows
}

void CBalloon::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (isVisible()) setMask(QRegion(outline(0).toFillPolygon().toPolygon()));
}

}  // namespace app
