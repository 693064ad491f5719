#pragma once

#include <cstdint>

namespace engine {

// The flags a request is opened with; the transfer turns each into libcurl options.
namespace requestflag {
inline constexpr std::uint32_t kReload = 0x80000000;          // never answered from a cache
inline constexpr std::uint32_t kNoCacheWrite = 0x04000000;    // nothing is written to a cache
inline constexpr std::uint32_t kKeepConnection = 0x00400000;  // keep-alive, reuse per host:port
inline constexpr std::uint32_t kSecure = 0x00800000;          // TLS
inline constexpr std::uint32_t kIgnoreCertDateInvalid = 0x00002000;
inline constexpr std::uint32_t kIgnoreCertCnInvalid = 0x00001000;
inline constexpr std::uint32_t kPragmaNoCache = 0x00000100;  // "Pragma: no-cache"
}  // namespace requestflag

// 0x84400100 for HTTP; HTTPS adds the secure transfer and ignores a certificate's dates and
// name (not its issuer): 0x84C03100.
std::uint32_t requestFlags(std::int32_t schemeKind);

}  // namespace engine
