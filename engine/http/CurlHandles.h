#pragma once

#include <curl/curl.h>

#include <atomic>

#include "engine/base/CurlLibrary.h"

namespace engine {

// The libcurl handles of one pooled connection: an easy handle, the multi handle it runs in
// (libcurl keeps the socket alive between the requests made through it), the request's header
// list and the abort flag every transfer over the handles watches.
class CurlHandles {
public:
    // Throws std::runtime_error when libcurl cannot make the handles.
    CurlHandles();
    CurlHandles(const CurlHandles&) = delete;
    CurlHandles& operator=(const CurlHandles&) = delete;
    ~CurlHandles();

    CURL* easy() const { return easy_; }
    CURLM* multi() const { return multi_; }
    // Takes ownership of `headers` and gives it to the easy handle as the request's headers.
    void setHeaders(curl_slist* headers);

    // Ends the running transfer, if any, and every later one: the flag is seen within one poll
    // of the transfer loop and libcurl's poll is woken at once. Thread-safe.
    void abort();
    bool aborted() const { return aborted_.load(); }

private:
    CURL* easy_ = nullptr;
    CURLM* multi_ = nullptr;
    CurlSlist headers_;
    std::atomic<bool> aborted_{false};
};

}  // namespace engine
