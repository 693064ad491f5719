#pragma once

#include "app/shell/ViewRegistration.h"

namespace app {

// The Page Status view's row of the view table, its "&Actions" menu and its command rules.
int statusKey();
ViewRegistration statusView();

}  // namespace app
