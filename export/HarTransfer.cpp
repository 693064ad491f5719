#include "export/HarTransfer.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "engine/base/AsciiText.h"
#include "engine/base/ContentKind.h"
#include "engine/http/CurlErrorMap.h"
#include "engine/http/TransferResult.h"
#include "engine/items/ErrorText.h"

namespace exporting {
namespace {

constexpr std::int32_t kNotModified = 304;

std::uint32_t milliseconds(double value) {
    return value <= 0 ? 0u : static_cast<std::uint32_t>(std::llround(value));
}

std::uint32_t bytes(double value) {
    return value <= 0 ? 0u : static_cast<std::uint32_t>(std::llround(value));
}

// Browsers' names for network errors, as the engine numbers them.
std::int32_t browserError(std::string_view name) {
    namespace e = engine::error;
    static constexpr std::pair<std::string_view, std::int32_t> kNames[] = {
        {"net::ERR_NAME_NOT_RESOLVED", e::kNameNotResolved},
        {"net::ERR_NAME_RESOLUTION_FAILED", e::kNameNotResolved},
        {"net::ERR_CONNECTION_REFUSED", e::kCannotConnect},
        {"net::ERR_CONNECTION_FAILED", e::kCannotConnect},
        {"net::ERR_ADDRESS_UNREACHABLE", e::kCannotConnect},
        {"net::ERR_INTERNET_DISCONNECTED", e::kCannotConnect},
        {"net::ERR_CONNECTION_RESET", e::kConnectionReset},
        {"net::ERR_CONNECTION_CLOSED", e::kConnectionAborted},
        {"net::ERR_CONNECTION_ABORTED", e::kConnectionAborted},
        {"net::ERR_EMPTY_RESPONSE", e::kConnectionAborted},
        {"net::ERR_TIMED_OUT", e::kTimeout},
        {"net::ERR_CONNECTION_TIMED_OUT", e::kTimeout},
        {"net::ERR_SSL_PROTOCOL_ERROR", e::kSecureChannelError},
        {"net::ERR_SSL_VERSION_OR_CIPHER_MISMATCH", e::kSecureChannelError},
        {"net::ERR_TOO_MANY_REDIRECTS", e::kRedirectFailed},
        {"net::ERR_INVALID_URL", e::kInvalidUrl},
        {"net::ERR_UNKNOWN_URL_SCHEME", e::kUnrecognizedScheme},
        {"net::ERR_INVALID_RESPONSE", e::kInvalidServerResponse},
        {"net::ERR_INVALID_HTTP_RESPONSE", e::kInvalidServerResponse},
        {"net::ERR_BLOCKED_BY_CLIENT", e::kCancelled},
    };
    for (const auto& [text, code] : kNames)
        if (engine::equalIgnoringCase(name, text)) return code;
    if (engine::startsWithIgnoringCase(name, "net::ERR_CERT_")) return e::kCertificateError;
    return 0;
}

// The number whose text Pagelyst's own HAR wrote as the entry's comment.
std::int32_t commentedError(std::string_view comment) {
    namespace e = engine::error;
    static constexpr std::int32_t kNumbers[] = {e::kOutOfMemory,        e::kTimeout,
                                                e::kInternal,           e::kInvalidUrl,
                                                e::kUnrecognizedScheme, e::kNameNotResolved,
                                                e::kLoginFailure,       e::kCancelled,
                                                e::kCannotConnect,      e::kConnectionAborted,
                                                e::kConnectionReset,    e::kInvalidServerResponse,
                                                e::kRedirectFailed,     e::kSecureChannelError,
                                                e::kCertificateError};
    for (const std::int32_t code : kNumbers)
        if (comment == engine::errorText(code)) return code;
    return 0;
}

// What a request that got no response leaves.
void unanswered(const HarEntry& entry, engine::TransferOutcome& outcome) {
    std::int32_t code = 0;
    if (!engine::equalIgnoringCase(entry.error, "net::ERR_ABORTED")) {
        code = browserError(entry.error);
        if (code == 0 && !entry.comment.empty()) code = commentedError(entry.comment);
        // A failure the table does not know is still a failure.
        if (code == 0 && (!entry.error.empty() || !entry.comment.empty()))
            code = engine::error::kConnectionAborted;
    }
    // No response: no type either, as a download that failed before the headers keeps none.
    outcome.contentType.clear();
    outcome.contentKind = engine::ContentKind::Unknown;
    outcome.received = 0;
    outcome.result = code;
    // Without a cause the request was given up, as the engine's Stop ends a transfer.
    outcome.phase = code == 0 ? engine::LoadPhase::Skipped : engine::LoadPhase::Error;
}

}  // namespace

bool isRedirection(const HarEntry& entry) {
    const std::int32_t status = entry.status.value_or(0);
    return status >= 300 && status < 400 && status != 304 && !entry.redirectUrl.empty();
}

engine::RecordedRequest recordedRequest(const HarRequest& request) {
    engine::RecordedRequest recorded;
    recorded.url = request.url;
    const HarEntry& entry = *request.entry;
    if (!entry.fromCache.empty() || !entry.timings) return recorded;
    const HarTimings& t = *entry.timings;
    recorded.connect = milliseconds(std::max(t.dns, 0.0) + std::max(t.connect, 0.0));
    recorded.send = milliseconds(t.send.value_or(0));
    recorded.wait = milliseconds(t.wait.value_or(0));
    recorded.receive = milliseconds(t.receive.value_or(0));
    return recorded;
}

engine::RecordedTransfer recordedTransfer(const std::vector<const HarRequest*>& chain,
                                          std::uint32_t startTick) {
    engine::RecordedTransfer transfer;
    transfer.startTick = startTick;
    for (const HarRequest* request : chain) transfer.requests.push_back(recordedRequest(*request));

    const HarEntry& last = *chain.back()->entry;
    engine::TransferOutcome& outcome = transfer.outcome;
    outcome.statusCode = last.status.value_or(0);
    outcome.contentType = engine::normalizeContentType(last.mimeType);
    outcome.contentKind = engine::classify(outcome.contentType);
    outcome.httpVersion = last.httpVersion;
    outcome.fromCache = !last.fromCache.empty();
    outcome.connectionReused = !outcome.fromCache && last.timings && last.timings->connect < 0;
    outcome.received = last.bodySize >= 0 ? bytes(last.bodySize) : bytes(last.contentSize);
    if (outcome.statusCode == 0) {
        unanswered(last, outcome);
    } else if (outcome.contentKind == engine::ContentKind::OctetStream) {
        outcome.received = 0;
        outcome.phase = engine::LoadPhase::Skipped;
    } else if (outcome.statusCode == kNotModified) {
        // The browser's copy was confirmed: a transfer, timed, whose body came from its cache.
    } else if (outcome.statusCode < 100 || outcome.statusCode >= 300) {
        outcome.result = engine::kResultHttpStatus;
        outcome.phase = engine::LoadPhase::Error;
    }
    return transfer;
}

}  // namespace exporting
