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

// The values (the message's wParam) each message carries.
namespace message {
inline constexpr std::uint32_t kWorkStarted = 0;    // 1047
inline constexpr std::uint32_t kWorkEnded = 1;      // 1047
inline constexpr std::uint32_t kPageJobStarts = 0;  // 1048
inline constexpr std::uint32_t kPageJobEnded = 1;   // 1048
inline constexpr std::uint32_t kBeforeRemoval = 0;  // 1049
inline constexpr std::uint32_t kAfterRemoval = 1;   // 1049
inline constexpr std::uint32_t kPageAdded = 0;      // 1468: the crawl added the page
// 1468 otherwise carries the page's PageState; 1469 carries no value (kNoValue).
inline constexpr std::uint32_t kNoValue = 0;
}  // namespace message

// One notification with its arguments. The objects it names are held by shared pointers, so they
// stay alive until the receiver has handled the message, whatever the engine does meanwhile.
struct EngineMessage {
    MessageId id = MessageId::WorkState;
    std::uint32_t value = 0;
    std::uint32_t previousState = 0;  // PageState announcements: the state before the change
    std::shared_ptr<PageEntry> page;
    std::shared_ptr<WebItem> item;

    static EngineMessage workState(bool ended) {
        return {MessageId::WorkState, ended ? message::kWorkEnded : message::kWorkStarted, 0,
                nullptr, nullptr};
    }
    static EngineMessage pageJob(bool ended, std::shared_ptr<PageEntry> page) {
        return {MessageId::PageJob, ended ? message::kPageJobEnded : message::kPageJobStarts, 0,
                std::move(page), nullptr};
    }
    static EngineMessage duplicatePage(std::shared_ptr<PageEntry> page, bool removed) {
        return {MessageId::DuplicatePage,
                removed ? message::kAfterRemoval : message::kBeforeRemoval, 0, std::move(page),
                nullptr};
    }
    static EngineMessage pageState(std::uint32_t state, std::shared_ptr<PageEntry> page,
                                   std::uint32_t previous = 0) {
        return {MessageId::PageState, state, previous, std::move(page), nullptr};
    }
    // 1468 with kPageAdded: the crawl made `page`, which the tree joins on its own thread.
    static EngineMessage pageAdded(std::shared_ptr<PageEntry> page) {
        return pageState(message::kPageAdded, std::move(page));
    }
    static EngineMessage itemProgress(std::shared_ptr<PageEntry> page,
                                      std::shared_ptr<WebItem> item) {
        return {MessageId::ItemProgress, message::kNoValue, 0, std::move(page), std::move(item)};
    }

    bool workEnded() const { return id == MessageId::WorkState && value == message::kWorkEnded; }
    bool pageAddedByCrawl() const {
        return id == MessageId::PageState && value == message::kPageAdded;
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
