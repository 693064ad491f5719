#pragma once

#include <QString>

class QWidget;

namespace app {

class AppContext;
class ViewHost;

// File > Import HAR: the pages a browser recorded in a HAR file join the site tree, where every
// view works on them as on measured pages.
class HarImportCommand {
public:
    static constexpr const char* kHarFilter = "HAR Files (*.har)|*.har|All Files (*.*)|*.*||";

    // The open dialog, then importFile(). False when cancelled or nothing was imported.
    static bool open(QWidget* parent, AppContext& context, ViewHost& host);
    // Imports the file: the first page it added becomes the current page and the status text
    // sums up what came in. A file that cannot be imported adds nothing and is reported with
    // its name and the cause, under the caption "Error".
    static bool importFile(QWidget* parent, AppContext& context, ViewHost& host,
                           const QString& path);
};

}  // namespace app
