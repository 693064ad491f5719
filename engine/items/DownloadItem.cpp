#include "engine/items/DownloadItem.h"

#include <string>

#include "engine/http/BodyBuffer.h"
#include "engine/http/CurlErrorMap.h"

namespace engine {
namespace {

bool isSuccessStatus(std::int32_t code) {
    return code >= 100 && code < 300;
}

// Ends a transfer that never reached the network.
std::int32_t refuse(WebItem& item, std::int32_t error) {
    TransferOutcome outcome;
    outcome.result = error;
    outcome.phase = LoadPhase::Error;
    item.endTransfer(std::move(outcome));
    return error;
}

}  // namespace

std::int32_t downloadItem(const InternetRoot& root, WebItem& item, const ParsedUrl& url) {
    item.beginTransfer(url);
    if (!url.valid) return refuse(item, error::kInvalidUrl);
    if (url.schemeKind != ParsedUrl::kHttp && url.schemeKind != ParsedUrl::kHttps)
        return refuse(item, error::kUnrecognizedScheme);

    const std::string key = url.host + ":" + std::to_string(url.port);
    ConnectionPool& pool = root.pool();
    const std::shared_ptr<ServerConnection> connection = pool.acquire(key);
    connection->setTarget(url);
    connection->setListener(&item);

    BodyBuffer body(root.options().bodyCap);
    const TransferResult transfer = connection->transfer(root, item.acceptPattern(), body);

    connection->setListener(nullptr);
    const bool stopped = connection->aborted();
    pool.release(connection);

    TransferOutcome outcome;
    outcome.result = transfer.result;
    outcome.statusCode = transfer.statusCode;
    outcome.contentKind = transfer.contentKind;
    outcome.contentType = transfer.contentType;
    outcome.connectionReused = transfer.connectionReused;
    outcome.httpVersion = transfer.httpVersion;
    if (outcome.result == kResultNotAccepted) {
        outcome.result = kResultHttpStatus;
        outcome.statusCode = 406;
    } else if (outcome.result == 0 && !isSuccessStatus(outcome.statusCode)) {
        outcome.result = kResultHttpStatus;
    }

    if (outcome.result == kResultSkipped || stopped) {
        // Nothing of a skipped or stopped transfer is kept.
        outcome.result = 0;
        outcome.phase = LoadPhase::Skipped;
    } else {
        outcome.received = body.received();
        outcome.bodyOverCap = body.overCap();
        outcome.body = body.take();
        outcome.phase = outcome.result == 0 ? LoadPhase::Completed : LoadPhase::Error;
    }
    const std::int32_t result = outcome.result;
    item.endTransfer(std::move(outcome));
    return result;
}

void stopAll() {
    ConnectionPool::process().stopAll();
}

}  // namespace engine
