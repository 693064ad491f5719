#include "platform/LargeBuffer.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>

#include "platform/LargePages.h"

namespace platform {

void LargeBuffer::Free::operator()(char* memory) const {
    freeLargePages(memory);
}

void LargeBuffer::reserve(std::size_t capacity) {
    if (capacity <= capacity_) return;
    const std::size_t rounded = largePageRounded(capacity);
    std::unique_ptr<char, Free> grown(static_cast<char*>(allocateLargePages(rounded)));
    if (size_ > 0) std::memcpy(grown.get(), memory_.get(), size_);
    memory_ = std::move(grown);
    capacity_ = rounded;
}

void LargeBuffer::append(const char* data, std::size_t count) {
    if (count == 0) return;
    if (count > capacity_ - size_) {
        if (count > SIZE_MAX - size_) throw std::bad_alloc();
        reserve(std::max(size_ + count, 2 * capacity_));
    }
    std::memcpy(memory_.get() + size_, data, count);
    size_ += count;
}

void LargeBuffer::release() {
    memory_.reset();
    size_ = capacity_ = 0;
}

}  // namespace platform
