#pragma once

#include <cstdint>
#include <deque>
#include <memory>

#include "engine/html/ScanFlags.h"
#include "engine/http/InternetRoot.h"
#include "engine/items/ItemRegistry.h"
#include "engine/schedule/PageEntry.h"
#include "engine/schedule/PageItem.h"
#include "engine/schedule/PageLoad.h"

namespace engine {

// The download and scan of one item of a page, with everything it needs: queued on the element
// queue, or run by the page's own worker.
struct ElementJob {
    std::shared_ptr<PageEntry> page;
    std::shared_ptr<PageLoad> load;  // the load of the page this job counts for
    std::shared_ptr<PageItem> item;
    ItemRegistry::Node* node = nullptr;  // the item's place in this page's tree
    std::shared_ptr<const InternetRoot> root;
    ScanFlags flags = 0;
    // The page worker's own list when elements are not loaded in parallel; none otherwise.
    std::deque<std::shared_ptr<ElementJob>>* inlineJobs = nullptr;
    // A reload of an item of a loaded page: the page's state before it (announced when the job
    // starts), and the item's measurements are reset when its download starts. 0 otherwise.
    std::uint32_t reloadedFrom = 0;
};

// The page job of the scheduler: resets the page's completion event, starts the page and waits
// until it has completed. Runs on a page worker.
void runPageJob(const std::shared_ptr<PageEntry>& page, ScanFlags flags,
                std::shared_ptr<const InternetRoot> root);

// Starts a load of the page unless one runs: a new root item, a new tree, state In process.
// The root's element job goes to the element queue when the manager loads elements in
// parallel (PageHost::kElementsInParallel); otherwise this thread runs it and every element job
// it leads to before returning.
void startPage(const std::shared_ptr<PageEntry>& page, ScanFlags flags,
               std::shared_ptr<const InternetRoot> root);

// One element job: under the item's lock, download, scan, register and schedule the elements
// found, then account for the item. Never throws.
void loadElement(const ElementJob& job);

// True while the page may go on: false once the load has finished, while the page is Aborting,
// and when the manager was stopped (the page then becomes Canceled).
bool continueCheck(PageEntry& page, const PageLoad& load);

// Accounts for one node of the page's tree. True for the call that completed the page: that
// call computed the figures, settled the state, ran the page-finished step and signalled the
// page's completion event.
bool elementDone(const std::shared_ptr<PageEntry>& page, PageLoad& load, const WebItem& item);

}  // namespace engine
