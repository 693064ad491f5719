#pragma once

#include "app/shell/ViewRegistration.h"

namespace app {

// The Waterfall view's key in the selection bar.
int waterfallKey();
// The Waterfall view: the current page's waterfall at the shown connection, by element or by
// lane, with its export.
ViewRegistration waterfallView();

}  // namespace app
