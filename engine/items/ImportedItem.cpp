#include "engine/items/ImportedItem.h"

#include "engine/http/TransferResult.h"

namespace engine {

ImportedItem::ImportedItem(const ParsedUrl& address) : WebItem(address, clock) {}

std::shared_ptr<ImportedItem> ImportedItem::replay(const RecordedTransfer& transfer) {
    std::shared_ptr<ImportedItem> item(new ImportedItem(transfer.requests.front().url));
    item->run(transfer);
    return item;
}

// The events a download reports, in its order, with the clock moved by each phase's time.
void ImportedItem::run(const RecordedTransfer& transfer) {
    clock.set(transfer.startTick);
    beginTransfer(transfer.requests.front().url);
    bool first = true;
    for (const RecordedRequest& request : transfer.requests) {
        if (!first) {
            phaseNotification(LoadPhase::Redirecting, request.url.urlText);
            setAddress(request.url);
            retarget(request.url);
        }
        first = false;
        clock.advance(request.connect);
        phaseNotification(LoadPhase::Sending, {});
        clock.advance(request.send);
        phaseNotification(LoadPhase::Receiving, {});
        clock.advance(request.wait);
        firstResponseByte();
        clock.advance(request.receive);
    }
    TransferOutcome outcome = transfer.outcome;
    outcome.body.clear();
    const std::int32_t result = outcome.result;
    endTransfer(std::move(outcome));
    clearNew();
    // As the page loader does after a download: a record for every answered request.
    if (result == 0 || result == kResultHttpStatus) fillActualStats();
}

}  // namespace engine
