// Reads arbitrary bytes as a HAR file and imports what reads. Only a clean refusal may come out
// of a bad file; a file that reads must plan pages whose items each stand under an earlier one,
// and every planned page must load from the recording and settle as a download does, with one
// item accounted for per recorded one.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "engine/crawl/SiteTree.h"
#include "engine/schedule/PageImport.h"
#include "engine/schedule/PageState.h"
#include "engine/schedule/SiteManager.h"
#include "export/HarImportPlan.h"
#include "export/HarReader.h"

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

void checkPlan(const exporting::HarPlan& plan, std::size_t entries) {
    check(plan.error.empty() != plan.pages.empty());
    check(plan.summary.items + plan.summary.notWeb + plan.summary.withoutPage <= entries);
    for (const exporting::PlannedPage& page : plan.pages) {
        check(!page.page.items.empty() && page.page.items.front().parent == -1);
        for (std::size_t i = 1; i < page.page.items.size(); ++i) {
            const engine::RecordedItem& item = page.page.items[i];
            check(item.parent >= 0 && static_cast<std::size_t>(item.parent) < i);
            check(!item.transfer.requests.empty() && item.transfer.requests.size() <= 11);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    const exporting::HarReadResult read = exporting::readHar(in);
    check(read.log.has_value() == read.error.empty());
    if (!read.log) return 0;
    const exporting::HarPlan plan = exporting::planPages(*read.log, 1000);
    checkPlan(plan, read.log->entries.size());

    static engine::SiteManager manager;
    static engine::SiteTree tree(manager);
    for (const exporting::PlannedPage& planned : plan.pages) {
        engine::SiteNode* node = tree.addPage(planned.address, nullptr);
        check(engine::importPage(node->page, planned.page, "fuzz.har"));
        check(engine::isLoaded(node->page->state()) ||
              node->page->state() == engine::PageState::Canceled);
        check(node->page->finishedCount() == planned.page.items.size());
    }
    tree.clear();
    check(manager.registry().size() == 0);
    return 0;
}
