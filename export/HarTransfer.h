#pragma once

#include <cstdint>
#include <vector>

#include "engine/items/RecordedTransfer.h"
#include "engine/url/ParsedUrl.h"
#include "export/HarLog.h"

// How the entries of a HAR file become the transfers the engine would have recorded.
namespace exporting {

// One request of a page as the import sees it: its entry, its address split, and when its
// transfer began (startedDateTime plus the time it was queued), in microseconds since 1970.
struct HarRequest {
    const HarEntry* entry = nullptr;
    engine::ParsedUrl url;
    std::int64_t startMicros = 0;
};

// The recorded transfer of a request and the redirections it followed (`chain`, in order):
// - each request's phases: dns and connect together as connect (ssl is part of connect
//   already), send, wait, receive; -1 counts as none; rounded to the millisecond;
// - an answer from the browser's cache (`_fromCache`) is kept and marked, with no times;
// - what the last response left, as a download settles it: a status outside 100 to 299 is an
//   HTTP failure (-1), except 304, the browser's own copy confirmed, which the engine never
//   meets (it asks for no copy to be confirmed); an octet stream is skipped unread, as the
//   engine never reads one; no
//   response is the network error the file names, or a stopped transfer when it names none
//   ("net::ERR_ABORTED" is one too); the size is bodySize when not negative, else content.size.
engine::RecordedTransfer recordedTransfer(const std::vector<const HarRequest*>& chain,
                                          std::uint32_t startTick);

// The phases of one request, rounded as above; zero for an answer from a cache.
engine::RecordedRequest recordedRequest(const HarRequest& request);

// Whether the response sends the browser on to its redirectURL (3xx other than 304).
bool isRedirection(const HarEntry& entry);

}  // namespace exporting
