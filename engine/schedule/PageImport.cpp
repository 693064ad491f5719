#include "engine/schedule/PageImport.h"

#include <utility>

#include "engine/html/ScanFlags.h"
#include "engine/items/ImportedItem.h"
#include "engine/items/ScanResult.h"
#include "engine/schedule/PageLoader.h"

namespace engine {

bool importPage(const std::shared_ptr<PageEntry>& page, const RecordedPage& recorded,
                std::string source) {
    if (recorded.items.empty()) return false;
    std::uint32_t previous = 0;
    if (!page->beginLoad(previous)) return false;
    // A recording holds every element the browser fetched: the page counts as loaded with its
    // elements, so Analyze All and the crawl leave it alone and the analysis grades it.
    page->beginJob(kScanAll);

    std::vector<std::shared_ptr<ImportedItem>> items;
    items.reserve(recorded.items.size());
    for (const RecordedItem& item : recorded.items)
        items.push_back(ImportedItem::replay(item.transfer));
    ScanResult scan;
    scan.title = recorded.title;
    items.front()->setScanResult(std::move(scan));

    const std::shared_ptr<PageLoad> load =
        page->startImportedTree(items.front(), std::move(source));
    page->postState(previous);
    // Every node is registered and expected before the first is accounted for, as a load
    // registers an item's children before the item counts.
    std::vector<ItemRegistry::Node*> nodes{load->root()};
    for (std::size_t i = 1; i < recorded.items.size(); ++i) {
        const RecordedItem& item = recorded.items[i];
        const bool parentKnown = item.parent >= 0 && static_cast<std::size_t>(item.parent) < i;
        ItemRegistry::Node* parent = nodes[parentKnown ? static_cast<std::size_t>(item.parent) : 0];
        nodes.push_back(load->addChild(items[i], parent, item.position));
    }
    page->treeChanged();
    for (const auto& item : items) elementDone(page, *load, *item);
    return true;
}

}  // namespace engine
