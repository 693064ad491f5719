#include "engine/http/ServerConnection.h"

#include <stdexcept>
#include <utility>

#include "engine/http/InternetRoot.h"
#include "engine/http/StatusEvent.h"
#include "engine/http/Transfer.h"

namespace engine {

ServerConnection::ServerConnection(std::string key) : key_(std::move(key)) {
    ensureCurlReady();
    easy_ = curl_easy_init();
    multi_ = curl_multi_init();
    if (easy_ == nullptr || multi_ == nullptr) {
        if (easy_) curl_easy_cleanup(easy_);
        if (multi_) curl_multi_cleanup(multi_);
        throw std::runtime_error("libcurl could not make a connection handle");
    }
    Transfer::configureHandle(*this);
}

ServerConnection::~ServerConnection() {
    active_ = nullptr;
    curl_multi_cleanup(multi_);
    curl_easy_cleanup(easy_);
}

void ServerConnection::status(std::int32_t number, std::string_view info) {
    if (const auto phase = phaseForStatus(number)) {
        reported_ = *phase;
        if (number == status::kRedirect) redirectUrl_ = std::string(info);
    }
    if (listener_ == nullptr) return;
    listener_->phaseNotification(reported_, redirectUrl_);
    if (number == status::kReceivingResponse) listener_->firstResponseByte();
}

TransferResult ServerConnection::transfer(const InternetRoot& root, std::string_view acceptPattern,
                                          BodyBuffer& body) {
    reported_ = LoadPhase::Connecting;
    Transfer transfer(*this, root, acceptPattern, body);
    return transfer.run();
}

void ServerConnection::abort() {
    aborted_.store(true);
    curl_multi_wakeup(multi_);
}

}  // namespace engine
