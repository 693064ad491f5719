#pragma once

#include <QString>

#include <functional>
#include <string_view>

class QWidget;

namespace app {

// A filter of the form "Name (*.ext)|*.ext|...||" as a Qt file dialog takes it:
// "Name (*.ext);;...".
QString qtFilter(std::string_view filter);

// The save dialog: asks before overwriting; the chosen path gets `extension` when it has none
// and the first filter was chosen. Empty when cancelled.
QString askSavePath(QWidget* parent, const QString& caption, const QString& initial,
                    std::string_view filter, const QString& extension);
// The open dialog for an existing file; empty when cancelled.
QString askOpenPath(QWidget* parent, const QString& caption, std::string_view filter);

// Stands in for the user of every later file dialog: it gets the dialog's caption and returns
// the path chosen (empty: cancelled). None restores the real dialogs.
using PathChooser = std::function<QString(const QString& caption)>;
void setPathChooser(PathChooser chooser);

}  // namespace app
