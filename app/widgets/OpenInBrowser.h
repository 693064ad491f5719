#pragma once

#include <string>

class QWidget;

namespace app {

// Opens the address in the user's web browser; when none can be started, says so in a message
// box owned by `parent`. True when a browser was started.
bool openInBrowser(QWidget* parent, const std::string& address);

}  // namespace app
