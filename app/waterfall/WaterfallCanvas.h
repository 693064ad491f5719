#pragma once

#include <QRectF>
#include <QWidget>

#include <vector>

#include "engine/figures/Waterfall.h"
#include "report/WaterfallDrawing.h"

namespace app {

// The Waterfall view's picture: the core's drawing of a waterfall at the width it is given,
// painted as it is (WaterfallPainting). The drawing is made again only when the waterfall, the
// width or the rows change, and a paint covers only the shapes the exposed area meets. Hovering
// a bar shows its tip; clicking one, or Up and Down, chooses it (barChosen); the selected bar is
// outlined.
class WaterfallCanvas : public QWidget {
    Q_OBJECT

public:
    explicit WaterfallCanvas(QWidget* parent = nullptr);

    // The waterfall to show and the same page's at "Actual Speed", whose figures the tips add.
    void setWaterfall(engine::Waterfall shown, engine::Waterfall actual);
    void setRows(report::WaterfallRows rows);
    // The width the drawing should fill; a drawing too narrow for its columns is wider.
    void setDrawingWidth(int width);

    const engine::Waterfall& waterfall() const { return shown_; }
    const report::WaterfallDrawing& drawing() const { return drawing_; }
    report::WaterfallLayout layout() const;
    // How often the drawing was made: a measure of the cache.
    int builds() const { return builds_; }

    // The index in drawing().hits of the outlined bar, or -1; setting it tells no one.
    int selectedHit() const { return selected_; }
    void setSelectedHit(int hit);
    // The bar's tip under a point of the widget; empty where no bar is.
    QString tipAt(const QPoint& point) const;

signals:
    // The user chose the bar (drawing().hits index) by clicking or by Up and Down.
    void barChosen(int hit);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void rebuild();
    void choose(int hit);
    QRectF hitRect(int hit) const;

    engine::Waterfall shown_, actual_;
    report::WaterfallRows rows_ = report::WaterfallRows::Elements;
    int width_ = 800;
    report::WaterfallDrawing drawing_;
    std::vector<QRectF> bounds_;
    int selected_ = -1;
    int builds_ = 0;
};

}  // namespace app
