#include "platform/LargePages.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>
#include <new>

namespace platform {

namespace {

constexpr std::size_t kLargeBlockFrom = std::size_t{1} << 20;

bool servedByLargePages(std::size_t bytes, std::size_t alignment) {
    return bytes >= kLargeBlockFrom && alignment <= kLargePageSize;
}

class LargePageResource final : public std::pmr::memory_resource {
    void* do_allocate(std::size_t bytes, std::size_t alignment) override {
        if (servedByLargePages(bytes, alignment)) return allocateLargePages(bytes);
        return std::pmr::new_delete_resource()->allocate(bytes, alignment);
    }

    void do_deallocate(void* block, std::size_t bytes, std::size_t alignment) override {
        if (servedByLargePages(bytes, alignment))
            freeLargePages(block);
        else
            std::pmr::new_delete_resource()->deallocate(block, bytes, alignment);
    }

    bool do_is_equal(const std::pmr::memory_resource& other) const noexcept override {
        return this == &other;
    }
};

}  // namespace

std::size_t largePageRounded(std::size_t size) {
    if (size == 0) return kLargePageSize;
    if (size > SIZE_MAX - (kLargePageSize - 1)) throw std::bad_alloc();
    return (size + kLargePageSize - 1) / kLargePageSize * kLargePageSize;
}

void* allocateLargePages(std::size_t size) {
    const std::size_t rounded = largePageRounded(size);
    void* block = std::aligned_alloc(kLargePageSize, rounded);
    if (block == nullptr) throw std::bad_alloc();
    ::madvise(block, rounded, MADV_HUGEPAGE);
    return block;
}

void freeLargePages(void* block) {
    std::free(block);
}

std::pmr::memory_resource* largePageResource() {
    static LargePageResource resource;
    return &resource;
}

}  // namespace platform
