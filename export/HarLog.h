#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What the HAR reader keeps of a HAR 1.1 or 1.2 file: only the fields a page of the site tree is
// built from. Bodies, cookies and every header but Referer and Location are left in the file.
// Times are milliseconds as the file gives them (fractions kept); -1 means "none".
namespace exporting {

// The bounds every HAR file is read within, so that no count or length written in a file
// decides how much memory reading it takes.
struct HarLimits {
    static constexpr std::size_t kMaxEntries = 100000;
    static constexpr std::size_t kMaxPages = 10000;
    static constexpr std::size_t kMaxText = 8192;  // bytes kept of an address or a title
    static constexpr std::size_t kMaxInitiatorUrls = 16;
    static constexpr double kMaxTime = 86400000;      // one day, in milliseconds
    static constexpr double kMaxSize = 4294967295.0;  // what an item's size can hold
};

struct HarTimings {
    double blocked = -1, dns = -1, connect = -1, ssl = -1;
    std::optional<double> send, wait, receive;  // required by the format
};

struct HarEntry {
    std::size_t index = 0;  // place in log.entries, for messages
    std::optional<std::string> pageref;
    std::optional<std::int64_t> startedMicros;  // startedDateTime, microseconds since 1970 (UTC)
    std::string url;
    bool urlTooLong = false;  // longer than the reader keeps: only the start is in `url`
    std::string referer;      // request header
    std::optional<std::int32_t> status;
    std::string httpVersion;  // of the response
    std::string mimeType;     // response.content.mimeType as written
    std::string redirectUrl;  // response.redirectURL, else its Location header
    double bodySize = -1;     // response.bodySize; negative: unknown
    double contentSize = -1;  // response.content.size; -1: none
    std::optional<HarTimings> timings;
    // Browsers' own fields: the cause of the request (its type and the addresses it names: the
    // referring document, or the scripts of the call stack, innermost first), the kind of
    // resource, the cache that answered, the network error.
    std::string initiatorType;
    std::vector<std::string> initiatorUrls;
    std::string resourceType;
    std::string fromCache;
    std::string error;  // "_error", of the entry or its response
    std::string comment;
    // Pagelyst's own: where in the referring document the reference stood (bytes).
    std::optional<std::uint32_t> offset;
};

struct HarPage {
    std::size_t index = 0;  // place in log.pages
    std::string id;
    std::string title;
};

struct HarLog {
    std::string version;  // "1.1" or "1.2"
    std::vector<HarPage> pages;
    std::vector<HarEntry> entries;
};

}  // namespace exporting
