#pragma once

#include <QString>

class QWidget;

namespace app {

class AppContext;

// The scenario files' default extension and filter, as the file dialogs take them.
inline constexpr const char* kScenarioExtension = "wsa";
inline constexpr const char* kScenarioFilter = "Scenario Files (*.wsa)|*.wsa|All Files (*.*)|*.*||";

// Open Scenario, Save Scenario and the load of a scenario named on the command line, with
// their dialogs and messages. Each tells the user what failed; none changes the tree on a
// failed save.
class ScenarioCommands {
public:
    static constexpr const char* kInvalidFormat = "Invalid file format.";

    // Loads the file into the site tree; on failure the tree is empty, the document has no path
    // and "Invalid file format." is shown with the caption "Error". True when it loaded.
    static bool load(QWidget* parent, AppContext& context, const QString& path);
    // The open dialog, then load(). False when cancelled or the file did not load.
    static bool open(QWidget* parent, AppContext& context);
    // The save dialog (the current path as the initial name), then the save with the Auto
    // toggle's filter. A file that cannot be written is reported and the previous one kept.
    static bool save(QWidget* parent, AppContext& context);
    // The save itself, to a path already chosen.
    static bool saveTo(QWidget* parent, AppContext& context, const QString& path);
};

}  // namespace app
