#pragma once

#include <curl/curl.h>

#include <memory>

namespace engine {

// Initialises libcurl once per process (thread-safe, idempotent). Every engine entry point that
// touches libcurl calls it first, so no worker can use a handle before the library is ready.
// Throws std::runtime_error when libcurl cannot start.
void ensureCurlReady();

struct CurlUrlDeleter {
    void operator()(CURLU* h) const { curl_url_cleanup(h); }
};
struct CurlStringDeleter {
    void operator()(char* s) const { curl_free(s); }
};
struct CurlSlistDeleter {
    void operator()(curl_slist* l) const { curl_slist_free_all(l); }
};

using CurlUrl = std::unique_ptr<CURLU, CurlUrlDeleter>;
using CurlString = std::unique_ptr<char, CurlStringDeleter>;
using CurlSlist = std::unique_ptr<curl_slist, CurlSlistDeleter>;

}  // namespace engine
