#include "app/widgets/Icons.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QtMath>

#include <map>

namespace app {
namespace {

// Everything is drawn on a 16 x 16 grid scaled to the requested size.
void drawPlay(QPainter& p, qreal x, const QColor& color) {
    QPainterPath path;
    path.moveTo(x, 3);
    path.lineTo(x + 8, 8);
    path.lineTo(x, 13);
    path.closeSubpath();
    p.setPen(QPen(color.darker(140), 0.8));
    p.setBrush(color);
    p.drawPath(path);
}

void drawDocument(QPainter& p, const QColor& paper) {
    QPainterPath page;
    page.moveTo(3.5, 1.5);
    page.lineTo(10, 1.5);
    page.lineTo(12.5, 4);
    page.lineTo(12.5, 14.5);
    page.lineTo(3.5, 14.5);
    page.closeSubpath();
    p.setPen(QPen(QColor(90, 100, 120), 0.9));
    p.setBrush(paper);
    p.drawPath(page);
}

void drawLines(QPainter& p, qreal from, qreal to, int count) {
    p.setPen(QPen(QColor(110, 130, 170), 1.0));
    for (int i = 0; i < count; ++i) {
        const qreal y = 5.5 + i * 2.2;
        p.drawLine(QPointF(from, y), QPointF(to, y));
    }
}

void drawGear(QPainter& p) {
    QPainterPath gear;
    const QPointF centre(8, 8);
    for (int i = 0; i < 16; ++i) {
        const qreal angle = i * M_PI / 8;
        const qreal radius = (i % 2 == 0) ? 7.0 : 5.2;
        const QPointF point = centre + QPointF(radius * qCos(angle), radius * qSin(angle));
        i == 0 ? gear.moveTo(point) : gear.lineTo(point);
    }
    gear.closeSubpath();
    QPainterPath hole;
    hole.addEllipse(centre, 2.2, 2.2);
    p.setPen(QPen(QColor(70, 80, 95), 0.8));
    p.setBrush(QColor(150, 160, 175));
    p.drawPath(gear.subtracted(hole));
}

void drawFolder(QPainter& p) {
    p.setPen(QPen(QColor(150, 110, 30), 0.9));
    p.setBrush(QColor(240, 200, 90));
    p.drawRect(QRectF(1.5, 4.5, 13, 9));
    p.setBrush(QColor(250, 215, 110));
    QPainterPath tab;
    tab.moveTo(1.5, 4.5);
    tab.lineTo(2.5, 2.5);
    tab.lineTo(6.5, 2.5);
    tab.lineTo(7.5, 4.5);
    p.drawPath(tab);
}

void drawDisk(QPainter& p) {
    p.setPen(QPen(QColor(30, 60, 120), 0.9));
    p.setBrush(QColor(70, 110, 190));
    p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 1.5, 1.5);
    p.setBrush(QColor(235, 240, 250));
    p.drawRect(QRectF(4, 1.5, 8, 5));
    p.setBrush(QColor(200, 210, 225));
    p.drawRect(QRectF(4, 9, 8, 5.5));
}

void drawCycle(QPainter& p) {
    p.setPen(QPen(QColor(40, 140, 60), 1.8, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(3, 3, 10, 10), 30 * 16, 150 * 16);
    p.drawArc(QRectF(3, 3, 10, 10), 210 * 16, 150 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 140, 60));
    p.drawPolygon(QPolygonF({QPointF(12.8, 2.2), QPointF(14.6, 7.2), QPointF(10.0, 6.2)}));
    p.drawPolygon(QPolygonF({QPointF(3.2, 13.8), QPointF(1.4, 8.8), QPointF(6.0, 9.8)}));
}

void drawTree(QPainter& p) {
    p.setPen(QPen(QColor(90, 100, 120), 1.0));
    p.drawLine(QPointF(4, 4), QPointF(4, 12));
    p.drawLine(QPointF(4, 8), QPointF(8, 8));
    p.drawLine(QPointF(4, 12), QPointF(8, 12));
    p.setBrush(QColor(70, 130, 210));
    p.drawRect(QRectF(1.5, 1.5, 5, 4));
    p.setBrush(QColor(120, 190, 110));
    p.drawRect(QRectF(8, 6, 6.5, 4));
    p.drawRect(QRectF(8, 10, 6.5, 4));
}

void drawBars(QPainter& p) {
    p.setPen(QPen(QColor(60, 60, 70), 0.8));
    const QColor colors[] = {QColor(220, 90, 70), QColor(240, 180, 60), QColor(80, 160, 90),
                             QColor(70, 120, 200)};
    const qreal heights[] = {6, 10, 8, 12};
    for (int i = 0; i < 4; ++i) {
        p.setBrush(colors[i]);
        p.drawRect(QRectF(1.5 + i * 3.4, 14.5 - heights[i], 2.6, heights[i]));
    }
}

void drawGauge(QPainter& p, bool withFace) {
    p.setPen(QPen(QColor(40, 70, 120), 1.0));
    p.setBrush(withFace ? QColor(245, 248, 255) : QColor(220, 235, 250));
    p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    p.setPen(QPen(QColor(230, 80, 50), 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(8, 8.5), QPointF(11.5, 4.5));
    p.setPen(QPen(QColor(40, 70, 120), 1.0));
    for (int i = 0; i < 5; ++i) {
        const qreal angle = M_PI * (1.0 + i * 0.25);
        p.drawLine(QPointF(8 + 5.2 * qCos(angle), 8.5 + 5.2 * qSin(angle)),
                   QPointF(8 + 6.2 * qCos(angle), 8.5 + 6.2 * qSin(angle)));
    }
    p.setBrush(QColor(40, 70, 120));
    p.drawEllipse(QPointF(8, 8.5), 1.2, 1.2);
}

// Staggered bars, each later and longer than the one above, in the phase colours.
void drawWaterfall(QPainter& p) {
    p.setPen(Qt::NoPen);
    const QColor colors[] = {QColor(242, 140, 24), QColor(46, 158, 79), QColor(59, 120, 231),
                             QColor(46, 158, 79)};
    const qreal starts[] = {1.5, 3.5, 5.5, 8.5};
    const qreal lengths[] = {5, 6.5, 8, 6};
    for (int i = 0; i < 4; ++i) {
        p.setBrush(colors[i]);
        p.drawRect(QRectF(starts[i], 2 + i * 3.3, lengths[i], 2.4));
    }
}

void draw(IconId id, QPainter& p) {
    const QColor green(60, 170, 80);
    switch (id) {
        case IconId::Analyze:
            drawPlay(p, 4, green);
            break;
        case IconId::AnalyzeAll:
            drawPlay(p, 1, green);
            drawPlay(p, 7, green);
            break;
        case IconId::AnalyzeSelected:
            drawPlay(p, 1, QColor(80, 140, 220));
            p.setPen(QPen(QColor(80, 140, 220), 1.4));
            p.drawLine(QPointF(11, 4), QPointF(15, 4));
            p.drawLine(QPointF(11, 8), QPointF(15, 8));
            p.drawLine(QPointF(11, 12), QPointF(15, 12));
            break;
        case IconId::Stop:
            p.setPen(QPen(QColor(150, 30, 30), 0.8));
            p.setBrush(QColor(215, 55, 50));
            p.drawRoundedRect(QRectF(3, 3, 10, 10), 1.5, 1.5);
            break;
        case IconId::Auto:
            drawCycle(p);
            break;
        case IconId::Open:
            drawFolder(p);
            break;
        case IconId::Save:
            drawDisk(p);
            break;
        case IconId::Remove:
            p.setPen(QPen(QColor(200, 50, 45), 2.2, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(4, 4), QPointF(12, 12));
            p.drawLine(QPointF(12, 4), QPointF(4, 12));
            break;
        case IconId::Details:
            drawDocument(p, QColor(252, 252, 255));
            drawLines(p, 5.5, 10.5, 4);
            break;
        case IconId::Settings:
            drawGear(p);
            break;
        case IconId::SiteTree:
            drawTree(p);
            break;
        case IconId::Analysis:
            drawDocument(p, QColor(252, 252, 255));
            p.setPen(QPen(QColor(60, 120, 200), 1.2));
            p.drawText(QRectF(3.5, 3, 9, 10), Qt::AlignCenter, QStringLiteral("</>"));
            break;
        case IconId::Statistics:
            drawBars(p);
            break;
        case IconId::Reports:
            drawDocument(p, QColor(255, 252, 240));
            drawLines(p, 5.5, 10.5, 2);
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(80, 160, 90));
            p.drawRect(QRectF(5.5, 10, 1.6, 3));
            p.setBrush(QColor(220, 120, 60));
            p.drawRect(QRectF(7.7, 8.5, 1.6, 4.5));
            p.setBrush(QColor(70, 120, 200));
            p.drawRect(QRectF(9.9, 9.5, 1.6, 3.5));
            break;
        case IconId::Waterfall:
            drawWaterfall(p);
            break;
        case IconId::PageStatus:
            drawGauge(p, false);
            break;
        case IconId::Program:
            drawGauge(p, true);
            break;
    }
}

class DrawnIconEngine final : public QIconEngine {
public:
    explicit DrawnIconEngine(IconId id) : id_(id) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setRenderHint(QPainter::TextAntialiasing);
        painter->translate(rect.topLeft());
        painter->scale(rect.width() / 16.0, rect.height() / 16.0);
        if (mode == QIcon::Disabled) painter->setOpacity(0.35);
        QFont font = painter->font();
        font.setPixelSize(5);
        font.setBold(true);
        painter->setFont(font);
        draw(id_, *painter);
        painter->restore();
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return pixmap;
    }

    QIconEngine* clone() const override { return new DrawnIconEngine(id_); }

private:
    IconId id_;
};

}  // namespace

QIcon icon(IconId id) {
    static std::map<IconId, QIcon> cache;
    auto it = cache.find(id);
    if (it == cache.end()) it = cache.emplace(id, QIcon(new DrawnIconEngine(id))).first;
    return it->second;
}

}  // namespace app
