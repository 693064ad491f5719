#pragma once

#include <cstddef>

namespace platform {

// Readies a freshly allocated buffer of `size` bytes that is about to be written in full. Left
// alone, every 4 KiB page of it faults on first touch, one trap each, and on a virtual machine
// those traps can cost more than the bytes themselves (a 5 MB response body took over 20 ms
// longer to store than to receive). The 2 MiB-aligned interior is offered huge pages and the
// whole range is populated in one call. Only advice: a kernel that refuses it costs nothing.
void prepareForWriting(char* data, std::size_t size);

}  // namespace platform
