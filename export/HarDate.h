#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace exporting {

// The moment of an ISO 8601 date and time as HAR files write it ("2024-05-01T09:30:12.345Z",
// "2024-05-01T11:30:12.345678+02:00"): microseconds since 1970-01-01 UTC. The seconds' fraction
// may have up to nine digits (kept to the microsecond); the zone is "Z" or an offset of hours
// and minutes, with or without a colon. None when the text is anything else, a field is out of
// range, or the year is before 1970 or after 9999.
std::optional<std::int64_t> parseHarDate(std::string_view text);

}  // namespace exporting
