#pragma once

#include <cstdint>
#include <memory>

#include "engine/items/ItemRegistry.h"
#include "engine/schedule/MessageSink.h"
#include "engine/schedule/VisitedSet.h"

namespace engine {

class PageEntry;
struct ElementJob;

// What a page and its loader need from the run that owns them: the registry their items live
// in, where messages go, the visited set, the run's flags and stop request, the element queue
// and the page-finished step. SiteManager is the one implementation; pages and the loader see
// only this, so the run's owner depends on them and never the other way round.
class PageHost {
public:
    // Operation flags.
    static constexpr std::uint32_t kPagesInParallel = 1;     // up to 4 page workers, else 1
    static constexpr std::uint32_t kElementsInParallel = 2;  // element queue, else inline

    virtual ItemRegistry& registry() = 0;
    virtual std::shared_ptr<MessageSink> sink() const = 0;
    virtual VisitedSet& visited() = 0;
    virtual std::uint32_t operationFlags() const = 0;
    virtual bool stopRequested() const = 0;
    // Queues an element job on the element queue.
    virtual void enqueueElement(std::shared_ptr<ElementJob> job) = 0;
    // See SiteManager::PageFinishedHook.
    virtual void runPageFinishedHook(const std::shared_ptr<PageEntry>& page) const = 0;

protected:
    ~PageHost() = default;
};

}  // namespace engine
