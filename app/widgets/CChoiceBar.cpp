#include "app/widgets/CChoiceBar.h"

#include <QButtonGroup>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtMath>

namespace app {

namespace {
constexpr int kAnimationMs = 200;
}

CChoiceBar::CChoiceBar(QWidget* parent)
    : QWidget(parent),
      group_(new QButtonGroup(this)),
      column_(new QVBoxLayout),
      columnWidget_(new QWidget(this)),
      animation_(new QTimer(this)) {
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    columnWidget_->setLayout(column_);
    column_->setContentsMargins(6, 10, 6, 8);
    column_->setSpacing(4);
    column_->addStretch(1);
    group_->setExclusive(true);
    connect(group_, &QButtonGroup::idClicked, this, &CChoiceBar::viewRequested);
    animation_->setInterval(kAnimationMs);
    connect(animation_, &QTimer::timeout, this, [this] {
        frame_ = (frame_ + 1) % kAnimationFrames;
        update(0, 0, width(), kHeaderHeight);
    });
}

void CChoiceBar::addEntry(const Entry& entry) {
    entries_.push_back(entry);
    if (entry.view) {
        entry.view->setParent(this);
        entry.view->hide();
    }
    if (!entry.listed) return;
    auto* button = new QToolButton(columnWidget_);
    button->setText(entry.shortName);
    button->setIcon(entry.image);
    button->setIconSize(QSize(32, 32));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setAutoRaise(true);
    button->setCheckable(true);
    button->setEnabled(entry.view != nullptr);
    button->setToolTip(entry.description);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    button->setMinimumHeight(62);
    group_->addButton(button, entry.key);
    column_->insertWidget(static_cast<int>(buttons_.size()), button);
    buttons_.push_back(button);
}

void CChoiceBar::setFooter(const QString& label, QWidget* control) {
    auto* caption = new QLabel(label, columnWidget_);
    caption->setBuddy(control);
    control->setParent(columnWidget_);
    column_->addWidget(caption);
    column_->addWidget(control);
}

const CChoiceBar::Entry* CChoiceBar::find(int key) const {
    for (const Entry& entry : entries_) {
        if (entry.key == key) return &entry;
    }
    return nullptr;
}

QWidget* CChoiceBar::view(int key) const {
    const Entry* entry = find(key);
    return entry ? entry->view : nullptr;
}

bool CChoiceBar::show(int key) {
    const Entry* entry = find(key);
    if (!entry || !entry->view) return false;
    if (QWidget* previous = view(current_)) previous->hide();
    current_ = key;
    if (QAbstractButton* button = group_->button(key)) button->setChecked(true);
    placedFor_ = QSize();
    placeCurrent();
    entry->view->show();
    update(0, 0, width(), kHeaderHeight);
    return true;
}

QRect CChoiceBar::viewRect() const {
    return QRect(kColumnWidth, kHeaderHeight, width() - kColumnWidth - kMargin,
                 height() - kHeaderHeight - kMargin);
}

void CChoiceBar::placeCurrent() {
    QWidget* active = view(current_);
    if (!active || placedFor_ == size()) return;
    active->setGeometry(viewRect());
    placedFor_ = size();
}

void CChoiceBar::setTitle(int key, const QString& title) {
    for (Entry& entry : entries_) {
        if (entry.key == key) entry.title = title;
    }
    if (key == current_) update(0, 0, width(), kHeaderHeight);
}

QString CChoiceBar::title(int key) const {
    const Entry* entry = find(key);
    return entry ? entry->title : QString();
}

void CChoiceBar::startAnimation() {
    frame_ = 0;
    animation_->start();
    update(0, 0, width(), kHeaderHeight);
}

void CChoiceBar::stopAnimation() {
    animation_->stop();
    frame_ = -1;
    update(0, 0, width(), kHeaderHeight);
}

void CChoiceBar::resizeEvent(QResizeEvent*) {
    columnWidget_->setGeometry(0, 0, kColumnWidth, height());
    placeCurrent();
}

void CChoiceBar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QPalette& pal = palette();
    p.fillRect(rect(), pal.window());
    // The column: a soft band the buttons sit on.
    QLinearGradient band(0, 0, kColumnWidth, 0);
    band.setColorAt(0, pal.color(QPalette::Base).darker(104));
    band.setColorAt(1, pal.color(QPalette::Window));
    p.fillRect(QRect(0, 0, kColumnWidth - 2, height()), band);
    p.setPen(pal.color(QPalette::Mid));
    p.drawLine(kColumnWidth - 2, 0, kColumnWidth - 2, height());

    // The header: the view's title and description.
    const QRect header(kColumnWidth, 0, width() - kColumnWidth - kMargin, kHeaderHeight);
    const Entry* entry = find(current_);
    if (entry) {
        QFont titleFont = font();
        titleFont.setPointSizeF(titleFont.pointSizeF() * 1.35);
        titleFont.setBold(true);
        p.setFont(titleFont);
        p.setPen(pal.color(QPalette::Highlight).darker(130));
        const QRect text = header.adjusted(10, 4, -40, 0);
        p.drawText(text.adjusted(0, 0, 0, -kHeaderHeight / 2), Qt::AlignLeft | Qt::AlignBottom,
                   entry->title);
        p.setFont(font());
        p.setPen(pal.color(QPalette::PlaceholderText));
        p.drawText(text.adjusted(0, kHeaderHeight / 2, 0, 0), Qt::AlignLeft | Qt::AlignTop,
                   fontMetrics().elidedText(entry->description, Qt::ElideRight, text.width()));
    }
    p.setPen(pal.color(QPalette::Mid));
    p.drawLine(header.left() + 4, kHeaderHeight - 3, header.right(), kHeaderHeight - 3);

    // The activity animation: a ring of dots with one lit, stepping every 200 ms.
    if (frame_ >= 0) {
        const QPointF centre(header.right() - 20, kHeaderHeight / 2.0 - 2);
        for (int i = 0; i < kAnimationFrames; ++i) {
            const qreal angle = 2 * M_PI * i / kAnimationFrames - M_PI / 2;
            const QPointF dot = centre + QPointF(9 * qCos(angle), 9 * qSin(angle));
            QColor color = pal.color(QPalette::Highlight);
            color.setAlphaF(i == frame_ ? 1.0 : 0.25);
            p.setPen(Qt::NoPen);
            p.setBrush(color);
            p.drawEllipse(dot, 2.4, 2.4);
        }
    }
}

}  // namespace app
