#pragma once

#include <QPoint>
#include <QString>

#include <memory>

#include "app/shell/ViewMove.h"
#include "engine/items/WebItem.h"
#include "engine/schedule/PageEntry.h"

namespace persist {
class SettingsBag;
}

namespace app {

class CMyListCtrl;

// What a view may ask of the window it lives in: the one place the shell meets a view (a view
// never reaches the main window itself). Every method runs on the user-interface thread.
class ViewHost {
public:
    // The page the views show (none), set by the view the user chooses pages in; every view
    // hears of a change (AppView::currentPageChanged).
    virtual std::shared_ptr<engine::PageEntry> currentPage() const = 0;
    virtual void setCurrentPage(std::shared_ptr<engine::PageEntry> page) = 0;
    // The element of the current page the user works with (none); cleared with the page.
    virtual std::shared_ptr<engine::WebItem> selectedElement() const = 0;
    virtual void setSelectedElement(std::shared_ptr<engine::WebItem> element) = 0;

    // The connection index the views show (0 "Actual Speed" to 10).
    virtual int connectionIndex() const = 0;
    // The text of the window's address bar.
    virtual QString addressBarText() const = 0;
    // The status bar's text, shown at the next idle moment.
    virtual void setStatusText(const QString& text) = 0;
    // The enable rules should run again soon (the view's selection changed).
    virtual void commandStateChanged() = 0;
    // Makes the view with this key the active one (ignored when none has it).
    virtual void selectView(int key) = 0;
    // Replaces the title the selection bar's header shows for the view with this key (a view
    // that reports on its content there); a host without a header ignores it.
    virtual void setHeaderText(int /*key*/, const QString& /*text*/) {}
    // Opens the settings sheet on its "Customize" page for one of the view's lists.
    virtual void customizeList(CMyListCtrl& list) = 0;
    // Raises a hint balloon at a point on the screen.
    virtual void raiseHint(int hint, const QPoint& globalPoint) = 0;
    // The "ViewSettings" values, loaded when the window opened and stored when it closes.
    virtual persist::SettingsBag& viewSettings() = 0;
    // The entries the active view adds to its menu changed: the menu bar is made again, once,
    // after the event that asked (a menu entry being chosen) has been handled.
    virtual void menuChanged() = 0;
    // Hands the move to the view registered to answer it; false when no view answers it.
    virtual bool requestMove(ViewMove move, const ViewTarget& target) = 0;

protected:
    ~ViewHost() = default;
};

}  // namespace app
