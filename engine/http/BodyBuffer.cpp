#include "engine/http/BodyBuffer.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace engine {

void BodyBuffer::expect(std::uint64_t length) {
    // An announced length is only a claim: room for more than kMaxReserve grows as bytes come.
    if (overCap_ || length > cap_) return;
    reserve(static_cast<std::size_t>(std::min(length, kMaxReserve)));
}

bool BodyBuffer::inLargePages() const {
    return large_.capacity() > 0;
}

std::size_t BodyBuffer::kept() const {
    return inLargePages() ? large_.size() : bytes_.size();
}

void BodyBuffer::reserve(std::size_t capacity) {
    if (inLargePages()) {
        large_.reserve(capacity);
    } else if (capacity >= kLargeFrom) {
        large_.reserve(capacity);
        large_.append(bytes_.data(), bytes_.size());
        std::string().swap(bytes_);
    } else {
        bytes_.reserve(capacity);
    }
}

void BodyBuffer::append(const char* data, std::size_t count) {
    const std::uint64_t max = std::numeric_limits<std::uint64_t>::max();
    received_ = count > max - received_ ? max : received_ + count;
    if (overCap_) return;
    if (kept() + count > cap_) {
        overCap_ = true;
        std::string().swap(bytes_);
        large_.release();
        return;
    }
    const std::size_t needed = kept() + count;
    const std::size_t capacity = inLargePages() ? large_.capacity() : bytes_.capacity();
    if (needed > capacity) {
        // Grow geometrically, but never reserve beyond the cap.
        const std::uint64_t grown = std::max<std::uint64_t>(needed, 2 * capacity);
        reserve(static_cast<std::size_t>(std::min(grown, cap_)));
    }
    if (inLargePages())
        large_.append(data, count);
    else
        bytes_.append(data, count);
}

void BodyBuffer::clear() {
    received_ = 0;
    overCap_ = false;
    bytes_.clear();
    large_.clear();
}

std::string BodyBuffer::take() {
    if (!inLargePages()) {
        std::string out = std::move(bytes_);
        bytes_.clear();
        return out;
    }
    // The item keeps its body as a string: this copy into fresh memory is made once the
    // transfer has ended and its stopwatches have stopped.
    std::string out(large_.data(), large_.size());
    large_.release();
    return out;
}

std::uint32_t BodyBuffer::size32(std::uint64_t bytes) {
    const std::uint64_t max = std::numeric_limits<std::uint32_t>::max();
    return static_cast<std::uint32_t>(std::min(bytes, max));
}

}  // namespace engine
