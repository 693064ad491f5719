#pragma once

#include "engine/schedule/MessageSink.h"
#include "engine/schedule/PageEntry.h"

namespace app {

// Whether an engine message may change what a view shows of `page` at its next refresh: a run
// starting or ending anywhere (live values, frozen order), or the page's state or one of its
// items progressing.
inline bool changesPageView(const engine::EngineMessage& message, const engine::PageEntry* page) {
    if (message.id == engine::MessageId::WorkState) return true;
    return (message.id == engine::MessageId::PageState ||
            message.id == engine::MessageId::ItemProgress) &&
           message.page && message.page.get() == page;
}

}  // namespace app
