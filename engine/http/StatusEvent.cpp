#include "engine/http/StatusEvent.h"

namespace engine {

std::optional<LoadPhase> phaseForStatus(std::int32_t statusNumber) {
    switch (statusNumber) {
        case status::kResolvingName:
        case status::kNameResolved:
        case status::kConnectingToServer:
        case status::kHandleCreated:
        case status::kDetectingProxy:
            return LoadPhase::Connecting;
        case status::kConnectedToServer:
        case status::kSendingRequest:
            return LoadPhase::Sending;
        case status::kRequestSent:
        case status::kReceivingResponse:
            return LoadPhase::Receiving;
        case status::kClosingConnection:
        case status::kHandleClosing:
            return LoadPhase::Completed;
        case status::kRedirect:
            return LoadPhase::Redirecting;
        default:
            return std::nullopt;
    }
}

}  // namespace engine
