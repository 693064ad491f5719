#include "app/waterfall/WaterfallPainting.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QSaveFile>

#include <algorithm>
#include <cmath>
#include <variant>

namespace app {
namespace {

QFont fontOf(double pixels, bool bold) {
    QFont font;
    font.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("sans-serif")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(pixels))));
    font.setBold(bold);
    return font;
}

QRectF textBounds(const report::TextShape& text, double fontSize) {
    const double width = text.maxWidth > 0 ? text.maxWidth : fontSize * text.text.size();
    double left = text.x;
    if (text.anchor == report::TextAnchor::Middle) left -= width / 2;
    if (text.anchor == report::TextAnchor::End) left -= width;
    return {left - 1, text.y - fontSize * 1.2, width + 2, fontSize * 1.6};
}

struct BoundsOf {
    double fontSize;
    QRectF operator()(const report::RectShape& rect) const {
        return {rect.box.x, rect.box.y, rect.box.width, rect.box.height};
    }
    QRectF operator()(const report::LineShape& line) const {
        const double half = line.width / 2 + 1;
        return QRectF(
            QPointF(std::min(line.x1, line.x2) - half, std::min(line.y1, line.y2) - half),
            QPointF(std::max(line.x1, line.x2) + half, std::max(line.y1, line.y2) + half));
    }
    QRectF operator()(const report::TextShape& text) const { return textBounds(text, fontSize); }
};

// Draws one shape; the fonts are made once per paint.
class ShapePainter {
public:
    ShapePainter(QPainter& painter, double fontSize)
        : painter_(painter),
          regular_(fontOf(fontSize, false)),
          bold_(fontOf(fontSize, true)),
          regularMetrics_(regular_),
          boldMetrics_(bold_) {}

    void operator()(const report::RectShape& rect) {
        painter_.fillRect(QRectF(rect.box.x, rect.box.y, rect.box.width, rect.box.height),
                          qtColourOf(rect.fill));
    }
    void operator()(const report::LineShape& line) {
        painter_.setPen(QPen(qtColourOf(line.stroke), line.width));
        painter_.drawLine(QPointF(line.x1, line.y1), QPointF(line.x2, line.y2));
    }
    void operator()(const report::TextShape& text) {
        const QFontMetricsF& metrics = text.bold ? boldMetrics_ : regularMetrics_;
        QString shown = QString::fromStdString(text.text);
        if (text.maxWidth > 0 && metrics.horizontalAdvance(shown) > text.maxWidth)
            shown = metrics.elidedText(shown, Qt::ElideRight, text.maxWidth);
        const double width = metrics.horizontalAdvance(shown);
        double x = text.x;
        if (text.anchor == report::TextAnchor::Middle) x -= width / 2;
        if (text.anchor == report::TextAnchor::End) x -= width;
        painter_.setFont(text.bold ? bold_ : regular_);
        painter_.setPen(qtColourOf(text.colour));
        painter_.drawText(QPointF(x, text.y), shown);
    }

private:
    QPainter& painter_;
    QFont regular_, bold_;
    QFontMetricsF regularMetrics_, boldMetrics_;
};

}  // namespace

QColor qtColourOf(report::Paint paint) {
    const std::string_view name = report::colourOf(paint);
    return QColor(QLatin1String(name.data(), static_cast<qsizetype>(name.size())));
}

std::vector<QRectF> shapeBounds(const report::WaterfallDrawing& drawing) {
    std::vector<QRectF> bounds;
    bounds.reserve(drawing.shapes.size());
    const BoundsOf of{drawing.fontSize};
    for (const report::Shape& shape : drawing.shapes) bounds.push_back(std::visit(of, shape));
    return bounds;
}

void paintWaterfall(QPainter& painter, const report::WaterfallDrawing& drawing,
                    const std::vector<QRectF>& bounds, const QRectF& exposed) {
    painter.save();
    painter.setRenderHint(QPainter::TextAntialiasing);
    ShapePainter paint(painter, drawing.fontSize);
    for (std::size_t i = 0; i < drawing.shapes.size() && i < bounds.size(); ++i) {
        if (bounds[i].intersects(exposed)) std::visit(paint, drawing.shapes[i]);
    }
    painter.restore();
}

bool writeWaterfallPng(const QString& path, const report::WaterfallDrawing& drawing) {
    const QSize size(std::max(1, static_cast<int>(std::ceil(drawing.width))),
                     std::max(1, static_cast<int>(std::ceil(drawing.height))));
    QImage image(size, QImage::Format_RGB32);
    image.fill(qtColourOf(report::Paint::Background));
    {
        QPainter painter(&image);
        paintWaterfall(painter, drawing, shapeBounds(drawing), QRectF(QPointF(0, 0), size));
    }
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && image.save(&file, "PNG") && file.commit();
}

}  // namespace app
