#include "engine/http/StatusReporter.h"

#include "engine/http/StatusEvent.h"

namespace engine {

void StatusReporter::report(std::int32_t number, std::string_view info) {
    if (const auto phase = phaseForStatus(number)) {
        reported_ = *phase;
        if (number == status::kRedirect) redirectUrl_ = std::string(info);
    }
    if (listener_ == nullptr) return;
    listener_->phaseNotification(reported_, redirectUrl_);
    if (number == status::kReceivingResponse) listener_->firstResponseByte();
}

}  // namespace engine
