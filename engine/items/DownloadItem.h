#pragma once

#include <cstdint>

#include "engine/http/ConnectionPool.h"
#include "engine/http/InternetRoot.h"
#include "engine/items/WebItem.h"
#include "engine/url/ParsedUrl.h"

namespace engine {

// Fetches `url` into `item` on a connection of the root's pool and returns the item's result.
// Runs on the calling thread until the transfer is over; the item's phase and stopwatches move
// meanwhile (readable from any thread). Afterwards the item holds its times, its final phase,
// the result, the status code, the content type and the body:
//
//   Completed  result 0, status 100..299, the body
//   Error      result -1 for another status (its error page is kept as the body, and an
//              accepted-type mismatch reads as status 406), or the transfer's error number
//   Skipped    result 0 and no body: an octet stream, or a transfer cut by stopAll()
//
// An address that is not HTTP or HTTPS fails with 12006 and an invalid one with 12005, both
// without touching the network.
std::int32_t downloadItem(const InternetRoot& root, WebItem& item, const ParsedUrl& url);

// Ends every transfer of the process-wide pool at once (the Stop command); they finish as
// Skipped. Thread-safe.
void stopAll();

}  // namespace engine
