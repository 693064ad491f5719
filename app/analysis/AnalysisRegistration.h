#pragma once

#include "app/shell/ViewRegistration.h"

namespace app {

// The Analysis view: its row of the view table, the source view's entries of the Edit menu,
// its commands with their rules, the moves it answers and its factory.
ViewRegistration analysisView();
// Its key in the selection bar.
int analysisKey();

}  // namespace app
