#pragma once

#include <QString>

#include <string_view>

class QWidget;

namespace app {

// The scenario files' default extension and filter, as the file dialogs take them.
inline constexpr const char* kScenarioExtension = "wsa";
inline constexpr const char* kScenarioFilter = "Scenario Files (*.wsa)|*.wsa|All Files (*.*)|*.*||";

// A filter of the form "Name (*.ext)|*.ext|...||" as a Qt file dialog takes it:
// "Name (*.ext);;...".
QString qtFilter(std::string_view filter);

// The save dialog: asks before overwriting; the chosen path gets `extension` when it has none
// and the first filter was chosen. Empty when cancelled.
QString askSavePath(QWidget* parent, const QString& caption, const QString& initial,
                    std::string_view filter, const QString& extension);
// The open dialog for an existing file; empty when cancelled.
QString askOpenPath(QWidget* parent, const QString& caption, std::string_view filter);

}  // namespace app
