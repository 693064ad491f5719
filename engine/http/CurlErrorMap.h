#pragma once

#include <curl/curl.h>

#include <cstdint>

namespace engine {

// The system error number of a libcurl result, so that the error texts apply unchanged.
// `osErrno` is the socket error libcurl saw (CURLINFO_OS_ERRNO), `redirected` tells whether the
// failing request followed a redirection.
std::int32_t mapCurlResult(CURLcode code, long osErrno, bool redirected);

// Numbers the mapping produces (see errorText for their texts).
namespace error {
inline constexpr std::int32_t kOutOfMemory = 8;
inline constexpr std::int32_t kTimeout = 12002;
inline constexpr std::int32_t kInternal = 12004;
inline constexpr std::int32_t kInvalidUrl = 12005;
inline constexpr std::int32_t kUnrecognizedScheme = 12006;
inline constexpr std::int32_t kNameNotResolved = 12007;
inline constexpr std::int32_t kLoginFailure = 12015;
inline constexpr std::int32_t kCancelled = 12017;
inline constexpr std::int32_t kCannotConnect = 12029;
inline constexpr std::int32_t kConnectionAborted = 12030;
inline constexpr std::int32_t kConnectionReset = 12031;
inline constexpr std::int32_t kInvalidServerResponse = 12152;
inline constexpr std::int32_t kRedirectFailed = 12156;
inline constexpr std::int32_t kSecureChannelError = 12157;
inline constexpr std::int32_t kCertificateError = 12175;
}  // namespace error

}  // namespace engine
