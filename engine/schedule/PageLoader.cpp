#include "engine/schedule/PageLoader.h"

#include <exception>
#include <unordered_map>
#include <utility>
#include <vector>

#include "engine/base/AsciiText.h"
#include "engine/html/HtmlScanner.h"
#include "engine/http/CurlErrorMap.h"
#include "engine/http/TransferResult.h"
#include "engine/items/DownloadItem.h"
#include "engine/schedule/PageHost.h"
#include "engine/url/AcceptPattern.h"

namespace engine {

namespace {

void schedule(const std::shared_ptr<ElementJob>& job) {
    if (job->inlineJobs != nullptr) {
        job->inlineJobs->push_back(job);
    } else {
        job->page->host().enqueueElement(job);
    }
}

// The item registered under the address, or a new item of this page registered under it.
// Testing and registering are one step (registerAs), so two documents that find the same
// address at once get the same item.
std::shared_ptr<PageItem> childItem(const std::shared_ptr<PageEntry>& page, const ParsedUrl& url) {
    if (url.urlText.empty()) return nullptr;
    ItemRegistry& registry = page->host().registry();
    if (auto found = registry.find(url.urlText)) {
        return std::dynamic_pointer_cast<PageItem>(found);
    }
    auto created = std::make_shared<PageItem>(url, registry, page);
    if (registry.registerAs(url.urlText, created)) return created;
    return std::dynamic_pointer_cast<PageItem>(registry.find(url.urlText));
}

// The end of an item's transfer, reported to the page's views. False when the root item is a
// duplicate: such a page is not scanned.
bool reportItemEnd(const ElementJob& job) {
    job.page->postItemProgress(job.item);
    job.page->postState();
    return !(job.node == job.load->root() && job.item->isDuplicate());
}

// An item another load has taken counts for this page at once, without a download. What
// stands below it at its first place in the registry (a frame's elements) is put below this
// page's node of it too, each node counted as it is added: the page sees the shared document
// whole, and every node it registers is accounted exactly once.
void countShared(const ElementJob& job, const PageItem& child, ItemRegistry::Node* node) {
    struct Below {
        std::shared_ptr<WebItem> item;
        int parent;  // index in `below`, -1 for the shared item itself
        std::uint32_t position;
    };
    std::vector<Below> below;
    const ItemRegistry& registry = job.page->host().registry();
    {
        // Pages remove their trees under this lock: the first place stays valid while read.
        std::lock_guard guard(figuresLock());
        const ItemRegistry::Node* first = registry.nodeOf(child);
        if (first == node) first = nullptr;
        std::unordered_map<const ItemRegistry::Node*, int> index{{first, -1}};
        if (first != nullptr)
            registry.walk(first, [&](const ItemRegistry::Node& n) {
                if (&n == first) return;
                index.emplace(&n, static_cast<int>(below.size()));
                below.push_back({n.item, index.at(n.parent), n.position});
            });
    }
    elementDone(job.page, *job.load, child);
    std::vector<ItemRegistry::Node*> copies;
    copies.reserve(below.size());
    for (const Below& b : below) {
        ItemRegistry::Node* parent =
            b.parent < 0 ? node : copies[static_cast<std::size_t>(b.parent)];
        ItemRegistry::Node* copy = job.load->addChild(b.item, parent, b.position);
        if (copy == nullptr) return;  // the page has ended
        copies.push_back(copy);
        elementDone(job.page, *job.load, *b.item);
    }
}

// Every element reference of the scanned document: the item it names is put under this
// document in the page's tree. Items nobody has taken yet are claimed and returned as jobs;
// items taken already count for this page at once, without a download.
std::vector<std::shared_ptr<ElementJob>> collectElements(const ElementJob& job) {
    std::vector<std::shared_ptr<ElementJob>> jobs;
    const std::shared_ptr<const ScanResult> found = job.item->scanResult();
    for (const LinkRef& ref : found->elements) {
        if (!continueCheck(*job.page, *job.load)) break;
        const std::shared_ptr<PageItem> child = childItem(job.page, ref.url);
        if (!child) continue;
        const bool fresh = child->claim();
        // A type is only known once the item was downloaded; until then nothing is refused.
        // An item that ended in error counts for every page that refers to it, as on its first:
        // the type it has is its error page's, which says nothing about the element.
        const std::string type = child->contentType();
        const bool failed = child->phase() == LoadPhase::Error;
        if (!fresh && !failed && !type.empty() && !acceptsContentType(ref.acceptPattern, type))
            continue;
        ItemRegistry::Node* node = job.load->addChild(child, job.node, ref.position);
        if (node == nullptr) {
            if (fresh) child->unclaim();
            break;
        }
        job.page->treeChanged();
        if (fresh) {
            child->setAcceptPattern(ref.acceptPattern);
            auto next = std::make_shared<ElementJob>(job);
            next->item = child;
            next->node = node;
            jobs.push_back(std::move(next));
        } else {
            countShared(job, *child, node);
        }
    }
    return jobs;
}

std::int32_t download(const ElementJob& job) {
    try {
        return downloadItem(*job.root, *job.item, job.item->address());
    } catch (const std::exception&) {
        // The client could not even be set up (out of handles or memory): the item fails like
        // any other, so the page still settles.
        TransferOutcome outcome;
        outcome.result = error::kInternal;
        outcome.phase = LoadPhase::Error;
        job.item->endTransfer(std::move(outcome));
        return error::kInternal;
    }
}

// The crawl step, on the thread that completed the page, after its state was settled.
void pageFinished(const std::shared_ptr<PageEntry>& page, bool wasLoading, std::uint32_t previous) {
    if (wasLoading) {
        const std::shared_ptr<WebItem> root = page->rootItem();
        if (root && root->isDuplicate()) {
            page->setNoFollow(false);
            page->postState(previous);
            return;
        }
        PageHost& host = page->host();
        const ParsedUrl from = page->address();
        const ParsedUrl to = root ? root->address() : from;
        if (!equalIgnoringCase(from.urlText, to.urlText) &&
            host.visited().replace(from.urlText, to.urlText)) {
            page->setAddress(to);
        }
        host.runPageFinishedHook(page);
    }
    page->setNoFollow(false);
    page->postState(previous);
}

void finishPage(const std::shared_ptr<PageEntry>& page, PageLoad& load) {
    const std::uint32_t before = page->settle(load);
    pageFinished(page, before == static_cast<std::uint32_t>(PageState::InProcess), before);
    page->postItemProgress(nullptr);
    page->signalComplete();
}

}  // namespace

void runPageJob(const std::shared_ptr<PageEntry>& page, ScanFlags flags,
                std::shared_ptr<const InternetRoot> root) {
    page->beginJob(flags);
    startPage(page, flags, std::move(root));
    page->endJob();
}

void startPage(const std::shared_ptr<PageEntry>& page, ScanFlags flags,
               std::shared_ptr<const InternetRoot> root) {
    std::uint32_t previous = 0;
    if (!page->beginLoad(previous)) return;

    PageHost& host = page->host();
    auto item = std::make_shared<PageItem>(page->address(), host.registry(), page);
    item->claim();
    std::shared_ptr<PageLoad> load = page->startTree(item);
    page->postState(previous);

    auto job = std::make_shared<ElementJob>();
    job->page = page;
    job->node = load->root();
    job->load = std::move(load);
    job->item = std::move(item);
    job->root = std::move(root);
    job->flags = flags;
    if (host.operationFlags() & PageHost::kElementsInParallel) {
        schedule(job);
        return;
    }
    // One page worker does all the page's work: a list instead of recursion, so that documents
    // nested in documents never deepen the stack.
    std::deque<std::shared_ptr<ElementJob>> jobs;
    job->inlineJobs = &jobs;
    jobs.push_back(std::move(job));
    while (!jobs.empty()) {
        const std::shared_ptr<ElementJob> next = std::move(jobs.front());
        jobs.pop_front();
        loadElement(*next);
    }
}

void loadElement(const ElementJob& job) {
    PageItem& item = *job.item;
    // Announced here rather than by the caller, so that it follows the run's start.
    if (job.reloadedFrom != 0) job.page->postState(job.reloadedFrom);
    std::unique_lock lock(item.lock());
    if (!continueCheck(*job.page, *job.load)) {
        // Never fetched: the item stays new and free, so a later page downloads it. A reloaded
        // item keeps its claim and its last measurements.
        if (item.isNew()) item.unclaim();
        lock.unlock();
        elementDone(job.page, *job.load, item);
        return;
    }
    if (job.reloadedFrom != 0) {
        item.resetMeasurements();
        job.page->postItemProgress(job.item);
    }
    item.clearNew();
    const std::int32_t result = download(job);
    // Stop ends this transfer as Skipped, which alone does not fail the page: when it was the
    // page's last item (a reload has only one), nothing else would mark the page stopped.
    if (job.page->host().stopRequested()) job.page->cancel();
    if (result == 0 || result == kResultHttpStatus) item.fillActualStats();
    std::vector<std::shared_ptr<ElementJob>> children;
    if (reportItemEnd(job) && result == 0) {
        ScanFlags flags = job.flags;
        if (item.isDuplicate()) flags &= ~kScanElements;
        // A reloaded document is scanned whole, but the elements below it stay as they are.
        const bool collect = (flags & kScanElements) != 0 && job.reloadedFrom == 0;
        if (scan(item, flags) && collect) children = collectElements(job);
    }
    // Every child is registered and expected before this item is accounted for below.
    for (const auto& child : children) schedule(child);
    lock.unlock();
    elementDone(job.page, *job.load, item);
}

bool continueCheck(PageEntry& page, const PageLoad& load) {
    if (load.finished()) return false;
    if (page.state() == PageState::Aborting) return false;
    if (page.host().stopRequested()) {
        page.cancel();
        return false;
    }
    return true;
}

bool elementDone(const std::shared_ptr<PageEntry>& page, PageLoad& load, const WebItem& item) {
    const bool aborting = page->state() == PageState::Aborting;
    const std::uint32_t size = item.actualStats().size;
    page->treeChanged();
    if (!load.account(aborting, size)) return false;
    finishPage(page, load);
    return true;
}

}  // namespace engine
