#include "app/widgets/PageStateIcon.h"

#include <QPainter>
#include <QPixmap>

#include <map>

namespace app {

namespace {

QColor colorOf(engine::PageState state) {
    switch (state) {
        case engine::PageState::InProcess:
        case engine::PageState::Aborting:
            return QColor(60, 120, 220);
        case engine::PageState::Finished:
            return QColor(50, 165, 70);
        case engine::PageState::ChildError:
            return QColor(235, 150, 30);
        case engine::PageState::Error:
            return QColor(210, 50, 45);
        default:
            return QColor(160, 160, 165);
    }
}

}  // namespace

QIcon pageStateIcon(engine::PageState state) {
    static std::map<engine::PageState, QIcon> icons;
    auto it = icons.find(state);
    if (it != icons.end()) return it->second;
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor color = colorOf(state);
    painter.setPen(QPen(color.darker(135), 2));
    painter.setBrush(color);
    painter.drawEllipse(QRectF(7, 7, 18, 18));
    painter.end();
    return icons.emplace(state, QIcon(pixmap)).first->second;
}

}  // namespace app
