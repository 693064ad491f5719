#include "app/widgets/ProgressDelegate.h"

#include <QApplication>
#include <QPainter>

#include <algorithm>

#include "app/widgets/ItemRoles.h"

namespace app {

namespace {

constexpr int kInset = 1;  // pixels between the cell's edge and the bar's
const QColor kFill(60, 170, 75);

}  // namespace

QString ProgressDelegate::label(int percent) {
    return QStringLiteral("%1%").arg(std::clamp(percent, 0, 100));
}

void ProgressDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    const QVariant progress = index.data(role::kProgress);
    if (!progress.isValid()) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    const int percent = std::clamp(progress.toInt(), 0, 100);
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    cell.text.clear();
    QStyle* style = cell.widget ? cell.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, cell.widget);  // background

    const QRect bar = option.rect.adjusted(kInset, kInset, -kInset, -kInset);
    painter->save();
    // The sunken edge: dark above and left, light below and right.
    painter->setPen(option.palette.color(QPalette::Dark));
    painter->drawLine(bar.topLeft(), bar.topRight());
    painter->drawLine(bar.topLeft(), bar.bottomLeft());
    painter->setPen(option.palette.color(QPalette::Light));
    painter->drawLine(bar.bottomLeft(), bar.bottomRight());
    painter->drawLine(bar.topRight(), bar.bottomRight());
    const QRect inside = bar.adjusted(1, 1, -1, -1);
    painter->fillRect(inside, option.palette.color(QPalette::Base));
    if (percent > 0) {
        QRect done = inside;
        done.setWidth(inside.width() * percent / 100);
        painter->fillRect(done, kFill);
    }
    painter->setPen(option.palette.color(QPalette::Text));
    painter->drawText(inside, Qt::AlignCenter, label(percent));
    painter->restore();
}

}  // namespace app
