#pragma once

#include <memory>

#include "engine/items/WebItem.h"
#include "engine/schedule/PageEntry.h"

namespace app {

// A move from one view to another that the main window routes to whichever view registered to
// answer it: "show this element's place in the page source", "show the details of this page or
// element".
enum class ViewMove { ShowSource, ShowDetails };
inline constexpr int kViewMoveCount = 2;

// What a move is about: a page of the site tree and, when the move is about one, an element of it.
struct ViewTarget {
    std::shared_ptr<engine::PageEntry> page;
    std::shared_ptr<engine::WebItem> element;  // none: the page itself
};

}  // namespace app
