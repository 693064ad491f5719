#pragma once

#include <QString>

class QWidget;

namespace app {

class AppContext;

// File > Export HAR: every page of the site tree, as a HAR file any browser tool opens.
class HarExportCommand {
public:
    // The save dialog, then exportTo(). False when cancelled or the file could not be written.
    static bool save(QWidget* parent, AppContext& context);
    // Writes the file through the safe save (an earlier file survives a failed write); a failure
    // is reported with the file's name and its cause, under the caption "Error".
    static bool exportTo(QWidget* parent, AppContext& context, const QString& path);
};

}  // namespace app
