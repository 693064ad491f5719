#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/items/RecordedTransfer.h"
#include "engine/schedule/PageEntry.h"

namespace engine {

// One item of a recorded page: its transfer and its place in the page's tree.
struct RecordedItem {
    RecordedTransfer transfer;
    int parent = -1;  // index of the referring item in RecordedPage::items; -1 for the document
    // Where the reference stood in the parent's body (bytes), as the scanner would have found it.
    std::uint32_t position = 0;
};

// A page another program loaded: its document first, every item after the one it refers to.
struct RecordedPage {
    std::string title;
    std::vector<RecordedItem> items;  // never empty
};

// Loads `page` from a recording instead of the network: its items are replayed (ImportedItem)
// into a new tree under the page, and the page then completes exactly as a download does, on
// this thread: figures for every connection, the state settled (Finished, Error, Child Error or
// Canceled), the page-finished step (the analysis), the completion event and messages 1468 and
// 1469. The page is marked as imported from `source` (PageEntry::importSource) until it is
// measured again. False, and nothing changed, while the page is In process.
bool importPage(const std::shared_ptr<PageEntry>& page, const RecordedPage& recorded,
                std::string source);

}  // namespace engine
