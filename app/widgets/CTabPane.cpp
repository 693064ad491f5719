#include "app/widgets/CTabPane.h"

#include <QBoxLayout>
#include <QLabel>
#include <QSplitter>
#include <QStyle>
#include <QTabBar>
#include <QToolButton>

#include <algorithm>

namespace app {

namespace {

bool horizontal(int location) {
    return location == CTabPane::Left || location == CTabPane::Right;
}

bool paneFirst(int location) {
    return location == CTabPane::Left || location == CTabPane::Top;
}

QTabBar::Shape stripShape(int location) {
    switch (location) {
        case CTabPane::Left:
            return QTabBar::RoundedWest;
        case CTabPane::Top:
            return QTabBar::RoundedNorth;
        case CTabPane::Bottom:
            return QTabBar::RoundedSouth;
        default:
            return QTabBar::RoundedEast;
    }
}

}  // namespace

CTabPane::CTabPane(QWidget* main, const QString& tabText, const QString& caption,
                   const QIcon& image, QWidget* content, QWidget* parent)
    : QWidget(parent),
      main_(main),
      content_(content),
      frame_(new QWidget),
      splitter_(new QSplitter),
      strip_(new QTabBar),
      pin_(new QToolButton),
      layout_(new QBoxLayout(QBoxLayout::LeftToRight, this)) {
    auto* frameLayout = new QVBoxLayout(frame_);
    frameLayout->setContentsMargins(0, 0, 0, 0);
    frameLayout->setSpacing(2);
    auto* captionRow = new QHBoxLayout;
    captionRow->setContentsMargins(4, 2, 2, 0);
    auto* captionLabel = new QLabel(caption);
    QFont bold = captionLabel->font();
    bold.setBold(true);
    captionLabel->setFont(bold);
    captionRow->addWidget(captionLabel, 1);
    pin_->setAutoRaise(true);
    pin_->setCheckable(true);
    pin_->setChecked(true);
    pin_->setText(QStringLiteral("\u2013"));
    pin_->setToolTip(tr("Collapse the pane to its tab"));
    pin_->setAccessibleName(tr("Collapse pane"));
    captionRow->addWidget(pin_);
    frameLayout->addLayout(captionRow);
    frameLayout->addWidget(content_, 1);

    strip_->addTab(image, tabText);
    strip_->setDrawBase(false);
    strip_->setExpanding(false);
    splitter_->setChildrenCollapsible(false);
    layout_->setContentsMargins(0, 0, 0, 0);
    layout_->setSpacing(0);

    connect(pin_, &QToolButton::clicked, this, [this] { setPinned(false); });
    connect(strip_, &QTabBar::tabBarClicked, this, [this] { togglePinned(); });
    connect(splitter_, &QSplitter::splitterMoved, this, [this] { rememberSize(); });
    relayout();
}

void CTabPane::relayout() {
    splitter_->setOrientation(horizontal(state_.location) ? Qt::Horizontal : Qt::Vertical);
    const bool first = paneFirst(state_.location);
    splitter_->insertWidget(0, first ? frame_ : main_);
    splitter_->insertWidget(1, first ? main_ : frame_);
    splitter_->setStretchFactor(first ? 1 : 0, 1);
    splitter_->setStretchFactor(first ? 0 : 1, 0);
    strip_->setShape(stripShape(state_.location));

    while (QLayoutItem* item = layout_->takeAt(0)) delete item;  // the widgets stay
    layout_->setDirection(horizontal(state_.location) ? QBoxLayout::LeftToRight
                                                      : QBoxLayout::TopToBottom);
    if (first)
        layout_->addWidget(strip_, 0, horizontal(state_.location) ? Qt::AlignTop : Qt::AlignLeft);
    layout_->addWidget(splitter_, 1);
    if (!first)
        layout_->addWidget(strip_, 0, horizontal(state_.location) ? Qt::AlignTop : Qt::AlignLeft);

    frame_->setVisible(state_.pinned);
    strip_->setCurrentIndex(state_.pinned ? 0 : -1);
    const int extent = horizontal(state_.location) ? state_.width : state_.height;
    const int total = std::max(
        extent + 100, horizontal(state_.location) ? splitter_->width() : splitter_->height());
    splitter_->setSizes(first ? QList<int>{extent, total - extent}
                              : QList<int>{total - extent, extent});
}

void CTabPane::rememberSize() {
    if (!state_.pinned) return;
    const QList<int> sizes = splitter_->sizes();
    const int extent = sizes.value(paneFirst(state_.location) ? 0 : 1);
    if (extent <= 0) return;
    (horizontal(state_.location) ? state_.width : state_.height) = extent;
}

void CTabPane::setState(const State& state) {
    state_ = state;
    if (state_.location < Left || state_.location > Bottom) state_.location = Right;
    relayout();
}

CTabPane::State CTabPane::state() const {
    State current = state_;
    if (current.pinned && frame_->isVisible()) {
        const QList<int> sizes = splitter_->sizes();
        const int extent = sizes.value(paneFirst(current.location) ? 0 : 1);
        if (extent > 0) (horizontal(current.location) ? current.width : current.height) = extent;
    }
    return current;
}

void CTabPane::setPinned(bool pinned) {
    if (pinned == state_.pinned) return;
    rememberSize();
    state_.pinned = pinned;
    state_.active = pinned;
    frame_->setVisible(pinned);
    pin_->setChecked(pinned);
    strip_->setCurrentIndex(pinned ? 0 : -1);
    if (pinned) {
        const int extent = horizontal(state_.location) ? state_.width : state_.height;
        const QList<int> sizes = splitter_->sizes();
        const int total = sizes.value(0) + sizes.value(1);
        if (total > extent) {
            splitter_->setSizes(paneFirst(state_.location) ? QList<int>{extent, total - extent}
                                                           : QList<int>{total - extent, extent});
        }
    }
    emit pinnedChanged(pinned);
}

}  // namespace app
