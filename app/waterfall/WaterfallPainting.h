#pragma once

#include <QColor>
#include <QRectF>
#include <QString>

#include <vector>

#include "report/WaterfallDrawing.h"

class QPainter;

// The core's waterfall drawing on a QPainter, shape by shape: the view, its PNG export and the
// SVG (which writes the same shapes) show one picture. Nothing here places anything.
namespace app {

QColor qtColourOf(report::Paint paint);

// The box each shape of the drawing may cover, in shape order, so that a paint of a small
// exposed rectangle skips the rest of a long page.
std::vector<QRectF> shapeBounds(const report::WaterfallDrawing& drawing);

// Paints the shapes whose bounds (shapeBounds of the same drawing) meet `exposed`; a text wider
// in the painter's font than its maxWidth is elided to it.
void paintWaterfall(QPainter& painter, const report::WaterfallDrawing& drawing,
                    const std::vector<QRectF>& bounds, const QRectF& exposed);

// The whole drawing written as a PNG of its size, through a temporary file renamed over
// `path`: a failed write keeps any earlier file. False on failure.
bool writeWaterfallPng(const QString& path, const report::WaterfallDrawing& drawing);

}  // namespace app
