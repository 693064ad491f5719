#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>

#include "export/HarLog.h"

// Reads a HAR 1.1 or 1.2 file (an HTTP Archive, as browsers save their network panel) into the
// fields a page of the site tree is built from (HarLog). The file is streamed through a SAX
// parser and never held whole: what is kept is bounded by HarLimits, and a file larger than
// kHarFileLimit is refused before a byte of it is read. Every problem is a message that names
// its cause and where it stands; nothing is returned with it.
namespace exporting {

inline constexpr std::uintmax_t kHarFileLimit = std::uintmax_t{256} << 20;

struct HarReadResult {
    std::optional<HarLog> log;
    std::string error;  // set when `log` is not: "not JSON: ...", "not HAR 1.1 or 1.2: ..."
};

// The file at `path`: refused when it cannot be opened, is a folder, or is larger than
// kHarFileLimit (also one that grows past it while read).
HarReadResult readHarFile(const std::string& path);

// A HAR document from a stream, read up to `limit` bytes.
HarReadResult readHar(std::istream& in, std::uintmax_t limit = kHarFileLimit);

}  // namespace exporting
