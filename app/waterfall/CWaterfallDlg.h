#pragma once

#include <QString>
#include <QWidget>

#include "app/shell/AppView.h"
#include "engine/figures/PageFigures.h"
#include "report/WaterfallDrawing.h"

class QAction;
class QComboBox;
class QScrollArea;
class QToolBar;

namespace app {

class ViewHost;
class WaterfallCanvas;

// The Waterfall view: the current page's waterfall at the connection the window shows, one row
// per element or one per lane of the four-lane browser (a choice kept in the view settings),
// drawn again at once when the page progresses or the connection changes. Its line selector
// follows the window's connection type, or shows one of the classic connections or one of
// today's lines (modelled from the measurement; one row per element, as such a browser opens
// more than four connections). Choosing a bar selects its element in the other views; Export
// writes the picture as SVG or PNG.
class CWaterfallDlg : public QWidget, public AppView {
    Q_OBJECT

public:
    static constexpr const char* kExportFilter =
        "SVG Files (*.svg)|*.svg|PNG Files (*.png)|*.png|All Files (*.*)|*.*||";
    // The view setting: 0 one row per element, 1 one row per lane.
    static constexpr const char* kRowsSetting = "WaterfallRows";

    explicit CWaterfallDlg(ViewHost& host);
    ~CWaterfallDlg() override;

    QWidget* widget() override { return this; }
    bool runCommand(CommandId id) override;
    void fillMenu(QMenu& menu) override;
    void engineMessage(const engine::EngineMessage& message) override;
    void engineBatchHandled() override;
    void connectionChanged(int index) override;
    void currentPageChanged() override;
    void selectedElementChanged() override;
    void forgetPage(const engine::PageEntry* page) override;
    std::vector<QWidget*> focusPanes() override;

    WaterfallCanvas* canvas() const { return canvas_; }
    report::WaterfallRows rows() const;
    void setRows(report::WaterfallRows rows);
    QAction* rowsAction(report::WaterfallRows rows) const;
    // The line selector: "Connection Type" (the window's), the classic connections, then today's
    // lines; chooseLine takes the entry's text and is false for a text it does not hold.
    QComboBox* lineBox() const { return lineBox_; }
    bool chooseLine(const QString& text);
    // Writes the shown drawing to `path`: PNG for a name ending in ".png", else SVG. False when
    // the file could not be written (the user is not told).
    bool exportTo(const QString& path) const;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void refresh();
    void showRows();
    void outlineSelected();
    void chooseBar(int hit);
    void exportWaterfall();

    ViewHost& host_;
    QToolBar* toolBar_;
    QAction* byElements_;
    QAction* byLanes_;
    QComboBox* lineBox_;
    QScrollArea* scroll_;
    WaterfallCanvas* canvas_;
    // The shown connection's figures: the elements behind the bars.
    engine::PageFigures figures_;
    bool dirty_ = true;     // drawn again when the view shows
    bool changed_ = false;  // an engine message of this batch changes the page
};

}  // namespace app
