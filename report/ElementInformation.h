#pragma once

#include <vector>

#include "engine/items/WebItem.h"
#include "engine/schedule/PageEntry.h"
#include "report/PageInformation.h"

namespace report {

// The caption the element rows open with: "Element Information:" in the element dialog,
// "General:" in a side list beside the page's other panes, "Web Item Information:" under a
// page's download status.
enum class ElementRowsTitle { Dialog, SideList, Status };

// The information rows of one item of a page for a connection index (0 to 10; any other shows
// the measured one): the title, where it came from and how far it got, its error when it
// failed, its figures and shares as the element list shows them, and the address of the
// document that refers to it (none for the page's own document). Empty when the item is not
// one of the page's items now (the page was loaded again). Takes the figures lock.
std::vector<InformationRow> elementInformation(engine::PageEntry& page, const engine::WebItem& item,
                                               int connection, ElementRowsTitle title);

}  // namespace report
