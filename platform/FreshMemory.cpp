#include "platform/FreshMemory.h"

#include <sys/mman.h>

#include <cstdint>

namespace platform {

namespace {

constexpr std::uintptr_t kPage = 4096;
constexpr std::uintptr_t kHugePage = 2u << 20;
// MADV_POPULATE_WRITE arrived with Linux 5.14; older headers lack the name.
constexpr int kPopulateWrite = 23;

std::uintptr_t alignUp(std::uintptr_t value, std::uintptr_t unit) {
    return (value + unit - 1) & ~(unit - 1);
}

std::uintptr_t alignDown(std::uintptr_t value, std::uintptr_t unit) {
    return value & ~(unit - 1);
}

}  // namespace

void prepareForWriting(char* data, std::size_t size) {
    const auto begin = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t end = begin + size;
    const std::uintptr_t hugeBegin = alignUp(begin, kHugePage);
    const std::uintptr_t hugeEnd = alignDown(end, kHugePage);
    if (hugeEnd > hugeBegin)
        ::madvise(reinterpret_cast<void*>(hugeBegin), hugeEnd - hugeBegin, MADV_HUGEPAGE);
    const std::uintptr_t pageBegin = alignUp(begin, kPage);
    const std::uintptr_t pageEnd = alignDown(end, kPage);
    if (pageEnd > pageBegin)
        ::madvise(reinterpret_cast<void*>(pageBegin), pageEnd - pageBegin, kPopulateWrite);
}

}  // namespace platform
