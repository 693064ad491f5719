#pragma once

#include <cstdint>
#include <memory>

namespace engine {

class PageEntry;
class WebItem;

// Notifications from the engine to the windows. The numbers are the window messages the views
// have always handled (the first user message is 1024).
enum class MessageId : std::uint32_t {
    WorkState = 1047,      // value 0: work started; 1: all work ended
    PageJob = 1048,        // value 0: a page job starts; 1: it ended (page)
    DuplicatePage = 1049,  // value 0: before the removal; 1: after it (page = the removed page)
    PageState = 1468,      // value: the page's state, or 0 when the crawl added the page
    ItemProgress = 1469,   // page, and the item that progressed (none: the page's final report)
};

// One notification with its arguments. The objects it names are held by shared pointers, so they
// stay alive until the receiver has handled the message, whatever the engine does meanwhile.
struct EngineMessage {
    MessageId id = MessageId::WorkState;
    std::uint32_t value = 0;
    std::uint32_t previousState = 0;  // PageState announcements: the state before the change
    std::shared_ptr<PageEntry> page;
    std::shared_ptr<WebItem> item;

    static EngineMessage workState(bool ended) {
        return {MessageId::WorkState, ended ? 1u : 0u, 0, nullptr, nullptr};
    }
    static EngineMessage pageJob(bool ended, std::shared_ptr<PageEntry> page) {
        return {MessageId::PageJob, ended ? 1u : 0u, 0, std::move(page), nullptr};
    }
    static EngineMessage duplicatePage(std::shared_ptr<PageEntry> page, bool removed) {
        return {MessageId::DuplicatePage, removed ? 1u : 0u, 0, std::move(page), nullptr};
    }
    static EngineMessage pageState(std::uint32_t state, std::shared_ptr<PageEntry> page,
                                   std::uint32_t previous = 0) {
        return {MessageId::PageState, state, previous, std::move(page), nullptr};
    }
    static EngineMessage itemProgress(std::shared_ptr<PageEntry> page,
                                      std::shared_ptr<WebItem> item) {
        return {MessageId::ItemProgress, 0, 0, std::move(page), std::move(item)};
    }
};

// Where the engine's notifications go. The desktop program turns each into a queued event on its
// user-interface thread, the command-line program runs its own loop, tests record them. Both
// operations are called from worker threads and must be thread-safe.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    // Queues the message and returns at once; never waits for the receiver.
    virtual void post(EngineMessage message) = 0;
    // Returns once the receiver has handled the message. The receiver must not wait for the
    // engine's workers while it handles it.
    virtual void send(EngineMessage message) = 0;
};

}  // namespace engine
