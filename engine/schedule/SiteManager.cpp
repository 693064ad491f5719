#include "engine/schedule/SiteManager.h"

#include <memory>
#include <utility>

#include "engine/schedule/PageItem.h"
#include "engine/schedule/PageLoader.h"

namespace engine {

SiteManager::SiteManager(Role role, std::shared_ptr<MessageSink> sink, ConnectionPool& pool)
    : role_(role),
      sink_(std::move(sink)),
      pool_(pool),
      operationFlags_(role == Role::Interactive ? kElementsInParallel : kPagesInParallel),
      pageQueue_(
          kQueueLimit,
          [this](const Job& job) {
              runPageJob(std::static_pointer_cast<PageEntry>(job.object), job.argument,
                         internetRoot());
          },
          this),
      elementQueue_(
          kQueueLimit,
          [](const Job& job) { loadElement(*std::static_pointer_cast<ElementJob>(job.object)); },
          this) {}

SiteManager::~SiteManager() {
    // Page workers first: each waits for its page, whose remaining element jobs drain quickly
    // once stopped. Element jobs are queued only by page jobs and by other element jobs.
    stop();
    pageQueue_.waitUntilIdle();
    elementQueue_.waitUntilIdle();
}

EngineSettings SiteManager::settings() const {
    std::lock_guard guard(mutex_);
    return settings_;
}

void SiteManager::setSettings(EngineSettings settings) {
    std::lock_guard guard(mutex_);
    settings_ = std::move(settings);
}

void SiteManager::setTransferOptions(TransferOptions options) {
    std::lock_guard guard(mutex_);
    transferOptions_ = std::move(options);
}

void SiteManager::setPageFinishedHook(PageFinishedHook hook) {
    std::lock_guard guard(mutex_);
    pageFinishedHook_ = std::move(hook);
}

void SiteManager::setPageRemover(PageRemover remover) {
    std::lock_guard guard(mutex_);
    pageRemover_ = std::move(remover);
}

void SiteManager::runPageFinishedHook(const std::shared_ptr<PageEntry>& page) const {
    PageFinishedHook hook;
    {
        std::lock_guard guard(mutex_);
        hook = pageFinishedHook_;
    }
    if (hook) hook(page);
}

void SiteManager::enqueuePage(const std::shared_ptr<PageEntry>& page, ScanFlags flags) {
    stopFlag_.store(false);
    pageQueue_.setLimit((operationFlags() & kPagesInParallel) != 0 ? kQueueLimit : 1);
    pageQueue_.enqueue(Job{page, flags});
}

void SiteManager::enqueueElement(std::shared_ptr<ElementJob> job) {
    elementQueue_.enqueue(Job{std::move(job), 0});
}

bool SiteManager::reloadElement(const std::shared_ptr<PageEntry>& page,
                                const std::shared_ptr<WebItem>& item) {
    if (!page || &page->host() != this) return false;
    auto element = std::dynamic_pointer_cast<PageItem>(item);
    if (!element) return false;
    ItemRegistry::Node* node = nullptr;
    std::uint32_t previous = 0;
    std::shared_ptr<PageLoad> load = page->beginReload(*element, node, previous);
    if (!load) return false;

    stopFlag_.store(false);
    const ScanFlags flags = page->jobFlags();
    auto job = std::make_shared<ElementJob>();
    job->page = page;
    job->load = std::move(load);
    job->item = std::move(element);
    job->node = node;
    job->root = internetRoot();
    job->flags = flags;
    job->reloadedFrom = previous;
    // Waiters on the page's completion see the reload as one more job of the page; reset
    // before the job is queued, as the job may complete it at once.
    page->beginJob(flags);
    enqueueElement(std::move(job));
    return true;
}

void SiteManager::stop() {
    if (pageQueue_.busy()) pageQueue_.discardPending();
    if (elementQueue_.busy()) elementQueue_.close();
    stopFlag_.store(true);
    pool_.stopAll();
}

bool SiteManager::isBusy() const {
    if (pageQueue_.busy() || elementQueue_.busy()) return true;
    // A queue's last worker retires before it reports the end: until then the run is open.
    std::lock_guard guard(mutex_);
    return busyQueues_ > 0;
}

std::shared_ptr<const InternetRoot> SiteManager::internetRoot() {
    std::lock_guard guard(mutex_);
    if (!root_) {
        root_ = std::make_shared<const InternetRoot>(settings_.connection, transferOptions_, pool_);
    }
    return root_;
}

void SiteManager::closeInternetRoot() {
    std::lock_guard guard(mutex_);
    root_.reset();
}

void SiteManager::workState(JobQueue& /*queue*/, int state) {
    // Either queue may start or end first, and a queue's next start may be reported before its
    // previous end; counting the open edges gives one "started" and one "ended" per run.
    bool edge = false;
    {
        std::lock_guard guard(mutex_);
        if (state == kStarts) {
            edge = busyQueues_++ == 0;
        } else {
            edge = --busyQueues_ == 0;
        }
    }
    if (edge && sink_) sink_->post(EngineMessage::workState(state == kEnded));
}

void SiteManager::jobState(JobQueue& queue, int state, const Job& job) {
    if (&queue != &pageQueue_) return;
    auto page = std::static_pointer_cast<PageEntry>(job.object);
    if (state == kStarts) {
        if (role_ == Role::Interactive && sink_) sink_->post(EngineMessage::pageJob(false, page));
    } else {
        pageJobEnded(page);
    }
}

void SiteManager::pageJobEnded(const std::shared_ptr<PageEntry>& page) {
    const std::shared_ptr<WebItem> root = page->rootItem();
    if (root && root->isDuplicate() && isLoaded(page->state())) {
        // Its address led to a page the tree holds already.
        PageRemover remover;
        {
            std::lock_guard guard(mutex_);
            remover = pageRemover_;
        }
        if (sink_) sink_->send(EngineMessage::duplicatePage(page, false));
        if (remover) {
            remover(page);
        } else {
            forget(page);
        }
        if (sink_) sink_->send(EngineMessage::duplicatePage(page, true));
        return;
    }
    if (role_ == Role::Interactive && sink_) sink_->post(EngineMessage::pageJob(true, page));
}

void SiteManager::forget(const std::shared_ptr<PageEntry>& page) {
    visited_.remove(page->address().urlText);
    page->releaseItems();
}

}  // namespace engine
