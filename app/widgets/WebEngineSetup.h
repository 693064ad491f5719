#pragma once

#include <QByteArray>

namespace app {

// The scheme through which an HTML view serves the text the program hands it, so that a report
// of any size loads from memory (a data: address is limited to 2 MB).
inline constexpr char kHtmlViewScheme[] = "pagelyst-view";

// Prepares the process for the HTML views. Must run before the QApplication is constructed:
// Qt WebEngine needs shared OpenGL contexts, the view's scheme can only be registered before
// the engine starts, and as root Chromium's sandbox refuses to start, so it is switched off
// then (and only then). Calling it again does nothing more.
void prepareWebEngine();

// The Chromium flags to use: `current` with "--no-sandbox" added when running as root and not
// present already.
QByteArray chromiumFlags(const QByteArray& current, bool runningAsRoot);

// True once prepareWebEngine registered the view's scheme.
bool htmlViewSchemeRegistered();

}  // namespace app
