#include "engine/http/RequestFlags.h"

#include "engine/url/ParsedUrl.h"

namespace engine {

std::uint32_t requestFlags(std::int32_t schemeKind) {
    using namespace requestflag;
    std::uint32_t flags = kReload | kNoCacheWrite | kKeepConnection | kPragmaNoCache;
    if (schemeKind == ParsedUrl::kHttps)
        flags |= kSecure | kIgnoreCertDateInvalid | kIgnoreCertCnInvalid;
    return flags;
}

}  // namespace engine
