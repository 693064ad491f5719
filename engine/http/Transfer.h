#pragma once

#include <curl/curl.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/base/Clock.h"
#include "engine/http/BodyBuffer.h"
#include "engine/http/CurlHandles.h"
#include "engine/http/StatusReporter.h"
#include "engine/http/TransferResult.h"
#include "engine/url/ParsedUrl.h"

namespace engine {

class InternetRoot;

// One GET request of `target` over a pooled connection's libcurl handles, with libcurl's callbacks
// turned into the client's status numbers (see StatusEvent.h) and the response judged as it
// arrives:
//
//   - redirections are followed by libcurl, at most TransferOptions::maxRedirects hops, each
//     reported as status 110 with the address it leads to;
//   - when the final response's headers are complete, a successful response whose content type
//     the accept pattern refuses ends the transfer with kResultNotAccepted, and an octet stream
//     with kResultSkipped, in both cases before any body byte is read;
//   - the body (of every status) goes to the BodyBuffer;
//   - no progress for TransferOptions::noProgressTimeoutMs (on TransferOptions::clock) ends it
//     with 12002, and CurlHandles::abort() with 12017, both at once rather than at a libcurl
//     timeout.
//
// Runs on the calling thread; libcurl calls back on it too, with the transfer as the callbacks'
// data while it lives and none before and after.
class Transfer {
public:
    Transfer(CurlHandles& handles, StatusReporter& status, const ParsedUrl& target,
             const InternetRoot& root, std::string_view acceptPattern, BodyBuffer& body);
    Transfer(const Transfer&) = delete;
    Transfer& operator=(const Transfer&) = delete;
    ~Transfer();

    TransferResult run();

    // The options that stay the same for every request of a connection.
    static void configureHandle(CurlHandles& handles);

private:
    enum class Ending { Finished, Aborted, TimedOut, Failed };

    void configureRequest();
    // Turns the request flags (RequestFlags.h) into libcurl options.
    void applyFlags(std::uint32_t flags);
    Ending loop(CURLcode& code);
    void progress() { lastProgress_ = clock_.now(); }
    // Points the callbacks' data at `transfer`.
    void attachCallbacks(Transfer* transfer);

    void onHeaderLine(std::string_view line);
    void onHeadersComplete();
    bool onBody(const char* data, std::size_t size);

    static int resolverStart(void*, void*, void* transfer);
    static curl_socket_t openSocket(void* transfer, curlsocktype, curl_sockaddr* address);
    static int beforeRequest(void* transfer, char*, char*, int, int);
    static int debug(CURL*, curl_infotype type, char*, std::size_t, void* transfer);
    static std::size_t header(char* data, std::size_t size, std::size_t count, void* transfer);
    static std::size_t write(char* data, std::size_t size, std::size_t count, void* transfer);

    CurlHandles& handles_;
    StatusReporter& status_;
    const ParsedUrl& target_;
    const InternetRoot& root_;
    const Clock& clock_;
    std::string acceptPattern_;
    BodyBuffer& body_;
    std::uint32_t lastProgress_ = 0;

    // The response being received (the last one once the transfer is over).
    std::int32_t statusCode_ = 0;
    std::string httpVersion_;
    std::string contentType_;
    std::string location_;
    bool requestStarted_ = false;   // the pre-request callback ran for the current request
    bool requestSent_ = false;      // status 31 reported for it
    bool responseStarted_ = false;  // status 40 reported for it
    long redirects_ = 0;
    std::int32_t verdict_ = 0;  // kResultSkipped or kResultNotAccepted once judged
};

}  // namespace engine
