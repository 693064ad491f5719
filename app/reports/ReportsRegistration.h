#pragma once

#include "app/shell/ViewRegistration.h"

namespace app {

// The Reports view's key in the selection bar.
int reportsKey();
// The Reports view: the report choice, the selected report over the current page, the report
// editors and the style editor.
ViewRegistration reportsView();

}  // namespace app
