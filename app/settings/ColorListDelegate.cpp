#include "app/settings/ColorListDelegate.h"

#include <QPainter>

namespace app {

void ColorListDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
    painter->save();
    const bool selected = option.state.testFlag(QStyle::State_Selected);
    painter->fillRect(option.rect, selected ? QColor(Qt::darkBlue) : option.palette.base().color());
    const QRect swatch(option.rect.left() + 2, option.rect.top() + 2, kSwatchWidth - 4,
                       option.rect.height() - 4);
    painter->fillRect(swatch, index.data(Qt::DecorationRole).value<QColor>());
    painter->setPen(selected ? QColor(Qt::black) : option.palette.text().color());
    painter->drawRect(swatch);
    painter->setPen(selected ? QColor(Qt::white) : option.palette.text().color());
    const QRect text = option.rect.adjusted(kTextOffset, 0, 0, 0);
    painter->drawText(text, Qt::AlignLeft | Qt::AlignVCenter, index.data().toString());
    painter->restore();
}

QSize ColorListDelegate::sizeHint(const QStyleOptionViewItem& option,
                                  const QModelIndex& index) const {
    const QSize base = QStyledItemDelegate::sizeHint(option, index);
    const int textWidth = option.fontMetrics.horizontalAdvance(index.data().toString());
    return {kTextOffset + textWidth + 4, std::max(base.height(), option.fontMetrics.height() + 4)};
}

}  // namespace app
