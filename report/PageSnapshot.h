#pragma once

#include "engine/schedule/PageEntry.h"
#include "report/AnalysisPage.h"
#include "report/FilterConditionList.h"

namespace report {

// What the analysis and its reports read of a page of the site tree, copied out through the
// page's thread-safe accessors. The times, sizes and items come from the page's figures, which
// are computed (and cached on the page) for every connection index once the page is loaded
// (Finished, Error or Child Error); any other page has no times and no items. With `conditions`
// the names of those that hold for the page are listed too; the condition list belongs to the
// user-interface thread, so pass it only there. Without it the function may run on any thread
// and waits only on the page's, its items' and the figures' short locks.
AnalysisPage snapshotOf(engine::PageEntry& page, const FilterConditionList* conditions = nullptr);

// Grades the page and stores its class and analysis text on it: the site tree's page-finished
// hook, run on the worker that settled the page. A page that is not loaded with its elements
// gets class 0 and "Web page is not loaded.".
void analyseAndStore(engine::PageEntry& page);

}  // namespace report
