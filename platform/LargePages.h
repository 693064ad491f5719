#pragma once

#include <cstddef>
#include <memory_resource>

namespace platform {

// Memory for large, freshly written contents (a response body, a parsed document's storage).
// Left to ordinary 4 KiB pages, every page faults on first touch, and on a virtual machine those
// faults can cost several times what writing the bytes does (storing a 5 MB body took 18-24 ms
// against about 5 ms with huge pages, for a transfer of 4 ms). These blocks are aligned to
// 2 MiB and offered huge pages; a kernel without transparent huge pages ignores the advice.
inline constexpr std::size_t kLargePageSize = std::size_t{2} << 20;

// `size` rounded up to whole large pages; throws std::bad_alloc when that does not fit.
std::size_t largePageRounded(std::size_t size);
// A block of largePageRounded(size) bytes aligned to a large page; throws std::bad_alloc. Freed
// with freeLargePages.
void* allocateLargePages(std::size_t size);
void freeLargePages(void* block);

// A resource that takes blocks of 1 MiB and more from allocateLargePages and smaller ones from
// the default resource. Thread-safe; lives as long as the process.
std::pmr::memory_resource* largePageResource();

}  // namespace platform
