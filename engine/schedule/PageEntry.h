#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "engine/base/ManualResetEvent.h"
#include "engine/figures/ConnectionSpeed.h"
#include "engine/figures/PageFigures.h"
#include "engine/html/ScanFlags.h"
#include "engine/items/ItemRegistry.h"
#include "engine/items/WebItem.h"
#include "engine/schedule/MessageSink.h"
#include "engine/schedule/PageHost.h"
#include "engine/schedule/PageLoad.h"
#include "engine/schedule/PageState.h"
#include "engine/url/ParsedUrl.h"

namespace engine {

// One page of the site tree: its address, its state, the item tree of its last load and the
// figures computed over it for every connection index.
//
// Pages are shared (std::shared_ptr): the site tree holds them, page jobs and element jobs hold
// the page they work for, and every message that names a page holds it until it is handled. A
// page refers to its host (the SiteManager of its run), which must outlive every load of the
// page. All accessors are thread-safe. The page owns every change of its own state; the loader
// (PageLoader) drives a load through the load-side calls below.
class PageEntry : public std::enable_shared_from_this<PageEntry> {
public:
    // A page in state Ready for the address text (split, not completed; the site tree completes
    // typed addresses first).
    static std::shared_ptr<PageEntry> create(PageHost& host, std::string_view address,
                                             std::shared_ptr<PageEntry> parent = nullptr);
    PageEntry(const PageEntry&) = delete;
    PageEntry& operator=(const PageEntry&) = delete;

    PageHost& host() const { return host_; }
    std::shared_ptr<PageEntry> parent() const { return parent_.lock(); }

    // The page's address; after a redirection the address the root item ended at.
    ParsedUrl address() const;
    void setAddress(ParsedUrl address);

    // Where the page's state and item messages go; none (the default) sends them to the
    // manager's sink.
    void setObserver(std::shared_ptr<MessageSink> observer);

    PageState state() const { return static_cast<PageState>(state_.load()); }
    // The user aborts the page: In process becomes Aborting (the page then settles as Canceled
    // at its next accounted item). False when the page was not loading.
    bool abort();

    // The root item of the last load, or none before the first.
    std::shared_ptr<WebItem> rootItem() const;
    // The file the last load was read from ("capture.har"; see importPage), or "" when it was
    // measured (or before the first load).
    std::string importSource() const;
    // Items known (nodes of the page's tree) and items accounted for, in the last load.
    std::uint32_t expectedCount() const;
    std::uint32_t finishedCount() const;
    // Sizes of the items accounted for so far; the page's size once it has completed.
    std::uint32_t pageSize() const;

    // The figures for a connection index (0 to 10), computed on first request and cached until
    // the page's tree changes. Takes the process-wide figures lock.
    PageFigures figures(int connectionIndex);
    bool figuresUpToDate(int connectionIndex) const;

    // Signalled except while a page job waits for the page to complete.
    bool waitUntilComplete(std::chrono::milliseconds limit) const;
    // Milliseconds since the last page job started (0 before the first): while the page is In
    // process, the time its load has taken so far.
    std::uint32_t jobElapsedMs() const;
    // The scan flags of the last page job.
    ScanFlags jobFlags() const { return jobFlags_.load(); }

    // The page analysis's verdict, stored by the page-finished hook.
    void setAnalysis(int pageClass, std::string hint);
    int pageClass() const;
    std::string hintText() const;

    // Marked as not to be followed (the site tree queues such a page without its anchors).
    bool noFollow() const { return noFollow_.load(); }
    void setNoFollow(bool value) { noFollow_.store(value); }

    // Removes the page's item tree from the registry (items still used by other pages stay).
    // A load still running is abandoned first: it settles as Canceled and releases its job.
    void releaseItems();

    // Back to Ready without measurements: the last load is abandoned (a running one settles as
    // Canceled first), its tree leaves the registry and the root item is dropped. With `notify`
    // the change is announced (message 1468).
    void reset(bool notify = true);

    // Message 1468 with the page's state, and 1469 with the page and an item (none: the page's
    // final report), to the observer.
    void postState(std::uint32_t previousState = 0);
    void postItemProgress(std::shared_ptr<WebItem> item);

    // The load side, called by the page loader on the workers.

    // A page job begins: the completion event is reset, the flags and start tick recorded.
    void beginJob(ScanFlags flags);
    // Waits until the job's load has completed.
    void endJob();
    // Ready, or settled, becomes In process; false (nothing changed) when the page was In process
    // already. `previous` receives the state it had.
    bool beginLoad(std::uint32_t& previous);
    // The page is measured anew: the previous load is abandoned (an aborted one may still have
    // jobs running; they change nothing now) and its tree leaves the registry, before `root` is
    // registered as the root of the new tree. Items other pages still use stay and are not
    // fetched again. Returns the new load, whose root() is the root item's node.
    std::shared_ptr<PageLoad> startTree(std::shared_ptr<WebItem> root);
    // The same for a load read from `source` (a file name): the tree's items are not registered
    // under their addresses (PageLoad::Listing::Unlisted), and the page is imported from it.
    std::shared_ptr<PageLoad> startImportedTree(std::shared_ptr<WebItem> root, std::string source);
    // One item of the loaded tree is to be fetched again: a loaded page (Finished, Error or
    // Child Error) becomes In process with a new load that has every other node of the tree
    // accounted for already, so that accounting `item` completes it. `node` receives the item's
    // first node in the tree, `previous` the state before. None, and nothing changed, when the
    // page is not loaded or `item` is not in its tree.
    std::shared_ptr<PageLoad> beginReload(const WebItem& item, ItemRegistry::Node*& node,
                                          std::uint32_t& previous);
    // The page's tree changed: cached figures are out of date.
    void treeChanged();
    // The run was stopped while the page loaded: it becomes Canceled.
    void cancel();
    // The load is complete: the figures of all eleven connection indexes are computed and stamped
    // as up to date (nothing changes the tree any more), the load's size set, and the state
    // settled (Finished, Error, Child Error or Canceled: the first failed or skipped item
    // decides, root item first). Returns the state before.
    std::uint32_t settle(PageLoad& load);
    // Wakes the page job waiting in endJob().
    void signalComplete() { completion_.set(); }

private:
    PageEntry(PageHost& host, ParsedUrl address, std::shared_ptr<PageEntry> parent);

    std::shared_ptr<PageLoad> beginTree(std::shared_ptr<WebItem> root, PageLoad::Listing listing,
                                        std::string source);

    std::shared_ptr<MessageSink> sink() const;
    std::shared_ptr<PageLoad> load() const;
    // The tree leaves the registry. Takes the figures lock.
    void removeTree();
    // Computes the figures of a slot. figuresLock() held.
    void computeLocked(std::size_t slot, std::uint64_t stamp);
    PageState settledState() const;

    PageHost& host_;
    const std::weak_ptr<PageEntry> parent_;
    std::atomic<std::uint32_t> state_{static_cast<std::uint32_t>(PageState::Ready)};
    std::atomic<std::uint32_t> startTick_{0};
    std::atomic<ScanFlags> jobFlags_{0};
    std::atomic<bool> noFollow_{false};
    ManualResetEvent completion_{true};

    mutable std::mutex mutex_;  // guards the fields below
    ParsedUrl address_;
    std::shared_ptr<MessageSink> observer_;
    std::shared_ptr<WebItem> rootItem_;
    std::shared_ptr<PageLoad> load_;
    std::string importSource_;
    int pageClass_ = 0;
    std::string hint_;

    // Guarded by figuresLock(): the page's tree root and the figures cache. The tree changes
    // without that lock, so the cache is stamped with `changes_`, which every change bumps.
    ItemRegistry::Node* rootNode_ = nullptr;
    std::array<PageFigures, kConnectionCount> figures_;
    std::array<std::uint64_t, kConnectionCount> computedAt_{};  // changes_ + 1; 0: never
    std::atomic<std::uint64_t> changes_{0};
};

}  // namespace engine
