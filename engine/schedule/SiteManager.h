#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

#include "engine/html/ScanFlags.h"
#include "engine/http/ConnectionPool.h"
#include "engine/http/InternetRoot.h"
#include "engine/http/TransferOptions.h"
#include "engine/items/ItemRegistry.h"
#include "engine/schedule/JobQueue.h"
#include "engine/schedule/MessageSink.h"
#include "engine/schedule/PageEntry.h"
#include "engine/schedule/PageHost.h"
#include "engine/schedule/QueueListener.h"
#include "engine/schedule/VisitedSet.h"
#include "engine/settings/EngineSettings.h"

namespace engine {

// The owner of a download run: the item registry, the page and element job queues, the root of
// the transfers, the visited set and the engine settings. Pages are loaded on page workers
// (PageLoader); their elements on up to four element workers, or by the page's own worker.
//
// Thread-safe. Messages 1047 and 1048 are posted, 1049 sent, to the manager's sink; the pages'
// messages go to their observers (by default the same sink). The destructor stops the run and
// waits until every worker has ended.
class SiteManager : public PageHost, private QueueListener {
public:
    // The operation flags are PageHost's (kPagesInParallel, kElementsInParallel).
    static constexpr int kQueueLimit = 4;

    // Plain managers load pages in parallel, each page's elements by the page's worker. The
    // interactive one (serving the windows) loads pages one at a time with their elements on up
    // to four workers, and reports every page job (message 1048).
    enum class Role { Plain, Interactive };

    // Runs the page's analysis and adds child pages from its anchors (the site tree plugs it in).
    // Called on the worker that completed a page that was In process and is not a duplicate,
    // after its state was settled and before its completion event is signalled: the page's
    // figures, state, root item and anchors are final. It must not wait for the user interface;
    // it may post messages and create pages, but not queue them (the site tree does that on
    // message 1047).
    using PageFinishedHook = std::function<void(const std::shared_ptr<PageEntry>&)>;
    // Removes a duplicate page (and its child pages) from the site tree and the visited set,
    // between the two 1049 messages. The default forgets the page's address and its items.
    using PageRemover = std::function<void(const std::shared_ptr<PageEntry>&)>;

    explicit SiteManager(Role role = Role::Plain, std::shared_ptr<MessageSink> sink = nullptr,
                         ConnectionPool& pool = ConnectionPool::process());
    SiteManager(const SiteManager&) = delete;
    SiteManager& operator=(const SiteManager&) = delete;
    ~SiteManager();

    Role role() const { return role_; }
    std::shared_ptr<MessageSink> sink() const override { return sink_; }
    ItemRegistry& registry() override { return registry_; }
    VisitedSet& visited() override { return visited_; }

    std::uint32_t operationFlags() const override { return operationFlags_.load(); }
    void setOperationFlags(std::uint32_t flags) { operationFlags_.store(flags); }

    // Used when the next root of the transfers is opened.
    EngineSettings settings() const;
    void setSettings(EngineSettings settings);
    void setTransferOptions(TransferOptions options);

    void setPageFinishedHook(PageFinishedHook hook);
    void setPageRemover(PageRemover remover);
    void runPageFinishedHook(const std::shared_ptr<PageEntry>& page) const override;

    // Clears the stop flag, sets the page queue's limit from the operation flags and queues a
    // load of the page with the scan flags.
    void enqueuePage(const std::shared_ptr<PageEntry>& page, ScanFlags flags);
    // Queues an element job on the element queue.
    void enqueueElement(std::shared_ptr<ElementJob> job) override;
    // Downloads one element of a loaded page again (the Page Status view's Reload Selected). False,
    // and nothing starts, when the page is not loaded, is running, or the item is not one of its
    // elements.
    bool reloadElement(const std::shared_ptr<PageEntry>& page,
                       const std::shared_ptr<WebItem>& item);

    // Drops the queued pages (they keep their state), lets the element workers drain without
    // new ones, makes every loading page stop creating items, and ends the pool's transfers.
    void stop();
    bool stopRequested() const override { return stopFlag_.load(); }
    // True while either queue has a running worker or has not yet reported its end. An
    // "ended" message read while this holds is stale: a later one follows.
    bool isBusy() const;

    // The root of the transfers, opened by the first page job that finds none.
    std::shared_ptr<const InternetRoot> internetRoot();
    // Closed by the main window once all work has ended; the next page job opens a new one.
    void closeInternetRoot();

private:
    void workState(JobQueue& queue, int state) override;
    void jobState(JobQueue& queue, int state, const Job& job) override;
    void pageJobEnded(const std::shared_ptr<PageEntry>& page);
    void forget(const std::shared_ptr<PageEntry>& page);

    const Role role_;
    const std::shared_ptr<MessageSink> sink_;
    ConnectionPool& pool_;
    ItemRegistry registry_;
    VisitedSet visited_;
    std::atomic<std::uint32_t> operationFlags_;
    std::atomic<bool> stopFlag_{false};

    mutable std::mutex mutex_;  // guards the fields below
    EngineSettings settings_;
    TransferOptions transferOptions_;
    std::shared_ptr<const InternetRoot> root_;
    PageFinishedHook pageFinishedHook_;
    PageRemover pageRemover_;
    int busyQueues_ = 0;  // queues between their work-state edges 0 and 1

    // Last, so that they are destroyed (and their workers waited for) first.
    JobQueue pageQueue_;
    JobQueue elementQueue_;
};

}  // namespace engine
