#pragma once

#include "app/shell/ViewRegistration.h"

namespace app {

// The Statistics view: its row of the view table, the "&Statistics" menu, its commands with
// their rules and its factory, which hands the view the catalogue and the wizard and edit dialog.
ViewRegistration statisticsView();
// Its key in the selection bar.
int statisticsKey();

}  // namespace app
