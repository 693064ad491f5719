#pragma once

#include <QStyledItemDelegate>

namespace app {

// Draws a colour list row: a swatch 39 pixels wide, the colour's name 45 pixels from the left
// edge, the selected row in white on dark blue. The swatch colour is the row's DecorationRole
// (a QColor).
class ColorListDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    static constexpr int kSwatchWidth = 39;
    static constexpr int kTextOffset = 45;

    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

}  // namespace app
