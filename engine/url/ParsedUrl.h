#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace engine {

// An address split into what the transfer needs. Splitting and combining are libcurl's URL API;
// this type only adds the clean-up browsers apply to typed and scanned addresses (surrounding
// blanks, embedded tabs and line breaks, spaces, backslashes) and the system's scheme numbers.
struct ParsedUrl {
    // Scheme kinds. Only HTTP, FILE and HTTPS make a valid address; the others are numbered so
    // that a stored record tells which scheme an address had.
    static constexpr std::int32_t kFtp = 1;
    static constexpr std::int32_t kGopher = 2;
    static constexpr std::int32_t kHttp = 3;
    static constexpr std::int32_t kOther = 4096;
    static constexpr std::int32_t kFile = 4097;
    static constexpr std::int32_t kNews = 4100;
    static constexpr std::int32_t kTelnet = 4102;
    static constexpr std::int32_t kHttps = 4107;

    // Combined addresses of this length or more are refused, as the system's URL buffer was.
    static constexpr std::size_t kMaxCombinedLength = 2048;

    std::string urlText;     // the address it was made from, without blanks around it or fragment
    std::string host;        // "[::1]" style for IPv6 literals
    std::string objectPath;  // path and query, without the fragment and leading "/"
    std::int32_t schemeKind = 0;
    std::uint16_t port = 0;  // the scheme's default when the address names none
    bool valid = false;      // split, and the scheme is HTTP, FILE or HTTPS

    // Splits `text`. When it cannot be split, only `valid` (false) is set.
    static ParsedUrl parse(std::string_view text);

    // Resolves `reference` against `base` as a browser resolves a relative reference found in a
    // document, then splits the result. A failed combination gives an invalid record.
    static ParsedUrl resolve(const ParsedUrl& base, std::string_view reference);

    // The address the transfer requests: scheme, host, port and object path (user name,
    // password and fragment of the text are not part of it). Empty unless HTTP or HTTPS.
    std::string requestUrl() const;

    bool operator==(const ParsedUrl&) const = default;
};

}  // namespace engine
