#pragma once

#include <cstdint>
#include <optional>

#include "engine/base/LoadPhase.h"

namespace engine {

// The client's status numbers. libcurl callbacks produce them: the resolver start (10), the
// socket being opened (11, 20), the pre-request callback (21, 30), the request headers written
// (31), the first response header (40), a 3xx followed to its Location (110), the end of the
// transfer (50) and the release of a connection's handles (70).
namespace status {
inline constexpr std::int32_t kResolvingName = 10;
inline constexpr std::int32_t kNameResolved = 11;
inline constexpr std::int32_t kConnectingToServer = 20;
inline constexpr std::int32_t kConnectedToServer = 21;
inline constexpr std::int32_t kSendingRequest = 30;
inline constexpr std::int32_t kRequestSent = 31;
inline constexpr std::int32_t kReceivingResponse = 40;
inline constexpr std::int32_t kClosingConnection = 50;
inline constexpr std::int32_t kHandleCreated = 60;
inline constexpr std::int32_t kHandleClosing = 70;
inline constexpr std::int32_t kDetectingProxy = 80;
inline constexpr std::int32_t kRedirect = 110;
}  // namespace status

// The phase a status number reports, or none for numbers that report nothing.
std::optional<LoadPhase> phaseForStatus(std::int32_t statusNumber);

}  // namespace engine
