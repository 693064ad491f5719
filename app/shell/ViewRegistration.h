#pragma once

#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "app/shell/AppView.h"
#include "app/shell/Commands.h"
#include "app/shell/ViewMove.h"
#include "app/widgets/Icons.h"

namespace app {

class AppContext;
class ViewHost;

// The names of a view's side pane values in "ViewSettings"; `selection` may be none.
struct PaneSettingNames {
    const char* location;
    const char* pin;
    const char* width;
    const char* height;
    const char* active;
    const char* selection;
};

// A command a view carries out, with the rule that enables it while the view is active.
struct ViewCommand {
    CommandId id;
    std::function<bool(const CommandState&)> enabled;
};

// Everything the window knows of a view: its row of the view table (key, the command that shows
// it, names, image, pane values, whether the selection bar lists it), its menu, its commands
// with their rules, the moves it answers and the factory that makes it for a window. A view is
// one folder and one of these; the shell names no view.
struct ViewRegistration {
    using Factory = std::function<std::unique_ptr<AppView>(ViewHost& host, AppContext& context)>;

    int key = 0;
    CommandId showCommand = CommandId::ViewSiteTree;
    QString shortName;
    QString title;
    QString description;
    IconId image = IconId::SiteTree;
    std::optional<PaneSettingNames> pane;
    bool listed = true;
    QString menuTitle;           // empty: the view adds no menu
    std::vector<MenuItem> menu;  // the view's menu, between View and Help
    // Commands its menu names otherwise than the command table ("Reloa&d Selected" for
    // Analyze Selected); the entry still carries out and follows the window's command.
    std::vector<std::pair<CommandId, QString>> menuTexts;
    std::vector<ViewCommand> commands;
    std::vector<ViewMove> moves;
    Factory make;

    // The view's rule for a command it carries out; none for any other command.
    const ViewCommand* command(CommandId id) const;
    bool answers(ViewMove move) const;
};

// The views of the program in the order of the selection bar.
using ViewTable = std::vector<ViewRegistration>;

}  // namespace app
