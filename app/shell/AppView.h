#pragma once

#include <QWidget>

#include <optional>
#include <utility>
#include <vector>

#include "app/shell/Commands.h"
#include "app/shell/ViewMove.h"
#include "engine/schedule/MessageSink.h"

class QMenu;

namespace app {

class CMyListCtrl;
class CTabPane;

// One view of the main window's selection bar, as the window sees it. The window tells every
// view of every change below, whether it is active or not; the defaults ignore it. Every method
// runs on the user-interface thread.
class AppView {
public:
    virtual ~AppView() = default;

    virtual QWidget* widget() = 0;
    // The view's side pane, or none.
    virtual CTabPane* tabPane() { return nullptr; }

    // What the view knows for its enable rules (selection, content of the selected row...),
    // asked while it is the active view.
    virtual void fillCommandState(CommandState&) const {}
    // A command routed to the active view; false when the view does not carry it out.
    virtual bool runCommand(CommandId) { return false; }
    // Appends the view's own entries (not commands of the table, such as one entry per
    // statistics definition) to its menu, after the registration's items, while it is active.
    virtual void fillMenu(QMenu&) {}
    // Whether a toggle the view carries out is on (Word Wrap); none for other commands.
    virtual std::optional<bool> commandChecked(CommandId) const { return std::nullopt; }

    // An engine notification, after the site tree has handled it.
    virtual void engineMessage(const engine::EngineMessage&) {}
    // The end of a batch of notifications: a moment to refresh what they changed.
    virtual void engineBatchHandled() {}
    // The engine ended a run (message 1047 with 1), before the crawl may start its next level.
    virtual void runEnded() {}
    // The connection the views show changed.
    virtual void connectionChanged(int) {}
    // The current page, or its selected element, changed (ViewHost has them).
    virtual void currentPageChanged() {}
    virtual void selectedElementChanged() {}
    // The highlighting conditions were replaced: colours are evaluated again.
    virtual void conditionsChanged() {}
    // The page is about to be removed: forget it.
    virtual void forgetPage(const engine::PageEntry*) {}
    // A move another view asked for, when this view registered to answer it.
    virtual void answerMove(ViewMove, const ViewTarget&) {}

    // The window closes: store what the view keeps (list layouts).
    virtual void saveState() {}
    // The lists of this view whose columns the "Customize" page reshapes.
    virtual std::vector<CMyListCtrl*> customisableLists() { return {}; }
    // The widgets F6 and Shift+F6 move the focus between, in order.
    virtual std::vector<QWidget*> focusPanes() { return {widget()}; }
    // Commands whose keys act only while the focus is inside a widget of the view (Delete
    // removes pages only in the site tree's list), with that widget.
    virtual std::vector<std::pair<CommandId, QWidget*>> localShortcuts() { return {}; }
    // Where a hint of this view is anchored (none: the window decides).
    virtual QWidget* hintAnchor(int) { return nullptr; }
    // The hints that belong to a widget of the view: resting the pointer on it offers them.
    virtual std::vector<std::pair<int, QWidget*>> ownHints() { return {}; }
};

}  // namespace app
