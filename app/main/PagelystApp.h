#pragma once

#include <memory>

#include "app/shell/CApplication.h"

namespace cli {
class DemoSite;
}

namespace app {

// The views the program is made of, in the order of the selection bar.
ViewTable pagelystViews();

// The whole program over a QApplication that exists already: the application object with every
// view and the settings sheet, and the bundled demo site when the command line asks for it.
// Tests start the real program through it, and may add views of their own after the program's.
class PagelystApp {
public:
    explicit PagelystApp(ViewTable moreViews = {});
    ~PagelystApp();

    CApplication& application() { return *application_; }
    // The demo site's home address; empty unless --demo started it.
    QString demoAddress() const;

private:
    std::unique_ptr<cli::DemoSite> demo_;
    std::unique_ptr<CApplication> application_;
};

// main(): prepares the platform, starts the program and runs its event loop.
int runPagelyst(int argc, char* argv[]);

}  // namespace app
