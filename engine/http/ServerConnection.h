#pragma once

#include <curl/curl.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/base/ContentKind.h"
#include "engine/base/CurlLibrary.h"
#include "engine/base/LoadPhase.h"
#include "engine/http/BodyBuffer.h"
#include "engine/http/TransferListener.h"
#include "engine/url/ParsedUrl.h"

namespace engine {

class InternetRoot;
class Transfer;

// Internal results of a transfer besides 0 and the system error numbers.
inline constexpr std::int32_t kResultSkipped = 15000;      // an octet stream: body not read
inline constexpr std::int32_t kResultNotAccepted = 15001;  // outside the accept pattern

// What one request brought back.
struct TransferResult {
    std::int32_t result = 0;      // 0, a system error number, kResultSkipped or kResultNotAccepted
    std::int32_t statusCode = 0;  // of the last response; 0 when none arrived
    std::string contentType;      // normalised
    ContentKind contentKind = ContentKind::Unknown;
    bool connectionReused = false;  // no new connection had to be made
    std::string httpVersion;        // of the last response's status line ("HTTP/2"); or empty
};

// One pooled connection to a "host:port": a libcurl easy handle and the multi handle it runs
// in. libcurl keeps the socket alive between requests, so every request made through the same
// ServerConnection reuses the connection when the server allows it.
//
// The connection serves one transfer at a time (the pool hands it to one worker); abort() may be
// called from any thread and ends a running transfer at once.
class ServerConnection {
public:
    // Throws std::runtime_error when libcurl cannot make the handles.
    explicit ServerConnection(std::string key);
    ServerConnection(const ServerConnection&) = delete;
    ServerConnection& operator=(const ServerConnection&) = delete;
    ~ServerConnection();

    const std::string& key() const { return key_; }

    void setTarget(const ParsedUrl& target) { target_ = target; }
    const ParsedUrl& target() const { return target_; }
    // The item downloaded over this connection, or none. Not owned.
    void setListener(TransferListener* listener) { listener_ = listener; }
    // The last address the client reported in a redirection.
    const std::string& redirectUrl() const { return redirectUrl_; }

    // The status callback: translates a client status number into a phase, stores it (and, for
    // a redirection, `info` as the redirect URL) and tells the listener. Numbers that map to no
    // phase repeat the stored one. The first response byte is also reported as such.
    void status(std::int32_t number, std::string_view info = {});

    // Runs one GET of the target with the root's settings (see Transfer). Returns when the
    // response is complete, the transfer failed or abort() was called.
    TransferResult transfer(const InternetRoot& root, std::string_view acceptPattern,
                            BodyBuffer& body);

    // Ends the running transfer, if any, and every later one on this connection: the flag is
    // seen within one poll of the transfer loop and libcurl's poll is woken at once.
    // Thread-safe.
    void abort();
    bool aborted() const { return aborted_.load(); }

private:
    friend class Transfer;

    std::string key_;
    CURL* easy_ = nullptr;
    CURLM* multi_ = nullptr;
    CurlSlist headers_;
    ParsedUrl target_;
    std::string redirectUrl_;
    TransferListener* listener_ = nullptr;
    Transfer* active_ = nullptr;  // the transfer the callbacks report to, while one runs
    LoadPhase reported_ = LoadPhase::Connecting;
    std::atomic<bool> aborted_{false};
};

}  // namespace engine
