#include "engine/http/CurlHandles.h"

#include <stdexcept>

namespace engine {

CurlHandles::CurlHandles() {
    ensureCurlReady();
    easy_ = curl_easy_init();
    multi_ = curl_multi_init();
    if (easy_ == nullptr || multi_ == nullptr) {
        if (easy_) curl_easy_cleanup(easy_);
        if (multi_) curl_multi_cleanup(multi_);
        throw std::runtime_error("libcurl could not make a connection handle");
    }
}

CurlHandles::~CurlHandles() {
    curl_multi_cleanup(multi_);
    curl_easy_cleanup(easy_);
}

void CurlHandles::setHeaders(curl_slist* headers) {
    headers_.reset(headers);
    curl_easy_setopt(easy_, CURLOPT_HTTPHEADER, headers);
}

void CurlHandles::abort() {
    aborted_.store(true);
    curl_multi_wakeup(multi_);
}

}  // namespace engine
