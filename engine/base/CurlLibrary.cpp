#include "engine/base/CurlLibrary.h"

#include <mutex>
#include <stdexcept>

namespace engine {

void ensureCurlReady() {
    static std::once_flag once;
    static CURLcode status = CURLE_OK;
    // curl_global_cleanup is deliberately never called: handles may still be released by static
    // destructors (the process-wide connection pool) after main returns.
    std::call_once(once, [] { status = curl_global_init(CURL_GLOBAL_DEFAULT); });
    if (status != CURLE_OK) throw std::runtime_error("libcurl could not be initialised");
}

}  // namespace engine
