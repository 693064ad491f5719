#pragma once

#include <QIcon>

#include "engine/schedule/PageState.h"

namespace app {

// A small dot in the colour of a page's state: grey Ready and Canceled, blue while loading,
// green Finished, orange Child Error, red Error.
QIcon pageStateIcon(engine::PageState state);

}  // namespace app
