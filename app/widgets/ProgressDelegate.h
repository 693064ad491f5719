#pragma once

#include <QStyledItemDelegate>

namespace app {

// Draws a cell that carries a progress (role::kProgress, 0 to 100) as a bar: a sunken edge, a
// green fill for the part done once it is above 0 %, and "%d%%" centred over it. A cell
// without a progress is drawn as usual.
class ProgressDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

    // The text drawn over the bar.
    static QString label(int percent);
};

}  // namespace app
