#pragma once

#include <QString>
#include <QWidget>

#include <vector>

#include "app/shell/Commands.h"
#include "engine/schedule/MessageSink.h"

namespace app {

class CMyListCtrl;

class CTabPane;

// One view of the main window's selection bar, as the views container sees it. Every method
// runs on the user-interface thread.
class AppView {
public:
    virtual ~AppView() = default;

    virtual QWidget* widget() = 0;
    // The view's side pane, or none.
    virtual CTabPane* tabPane() { return nullptr; }

    // The view's own menu in the menu bar while it is active: its title and its commands.
    virtual QString menuTitle() const { return {}; }
    virtual std::vector<CommandId> menuCommands() const { return {}; }

    // What the view knows for the enable rules (selection, content of the selected row...).
    virtual void fillCommandState(CommandState& state) const = 0;
    // A command routed to the active view; false when the view does not carry it out.
    virtual bool runCommand(CommandId id) = 0;

    // An engine notification, offered to the view before the container handles it; true when
    // the view consumed it.
    virtual bool engineMessage(const engine::EngineMessage& message) = 0;
    // The end of a batch of notifications.
    virtual void engineBatchHandled() {}
    // The engine ended a run (message 1047 with 1), before the crawl may start its next level.
    virtual void runEnded() {}
    // The connection the views show changed.
    virtual void connectionChanged(int index) = 0;
    // The page this view shows is going away (it is about to be removed): forget it.
    virtual void forgetPage(const engine::PageEntry* page) = 0;
    // The window closes: store what the view keeps (list layouts).
    virtual void saveState() {}
    // The lists of this view whose columns the "Customize" page reshapes.
    virtual std::vector<CMyListCtrl*> customisableLists() { return {}; }
    // The widgets F6 and Shift+F6 move the focus between, in order.
    virtual std::vector<QWidget*> focusPanes() { return {widget()}; }
};

}  // namespace app
