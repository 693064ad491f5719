#pragma once

#include "app/shell/ViewRegistration.h"

namespace app {

// The Site Tree view: its row of the view table, its "&Actions" menu, its commands with their
// rules and its factory.
ViewRegistration siteTreeView();
// Its key in the selection bar.
int siteTreeKey();

}  // namespace app
