#include "engine/BodyBuffer.h"

#include "platform/FreshMemory.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace engine {

void BodyBuffer::expect(std::uint64_t length) {
    // An announced length is only a claim: room for more than kMaxReserve grows as bytes come.
    if (overCap_ || length > cap_) return;
    reserve(static_cast<std::size_t>(std::min(length, kMaxReserve)));
}

void BodyBuffer::reserve(std::size_t capacity) {
    if (capacity <= bytes_.capacity()) return;
    bytes_.reserve(capacity);
    // Large room is fresh memory: have it mapped at once rather than one page fault at a time
    // while the body arrives, which would show up as receive time.
    if (bytes_.capacity() >= kPrepareFrom)
        platform::prepareForWriting(bytes_.data() + bytes_.size(),
                                    bytes_.capacity() - bytes_.size());
}

void BodyBuffer::append(const char* data, std::size_t count) {
    const std::uint64_t max = std::numeric_limits<std::uint64_t>::max();
    received_ = count > max - received_ ? max : received_ + count;
    if (overCap_) return;
    if (bytes_.size() + count > cap_) {
        overCap_ = true;
        std::string().swap(bytes_);
        return;
    }
    const std::size_t needed = bytes_.size() + count;
    if (needed > bytes_.capacity()) {
        // Grow geometrically, but never reserve beyond the cap.
        const std::uint64_t grown = std::max<std::uint64_t>(needed, 2 * bytes_.capacity());
        reserve(static_cast<std::size_t>(std::min(grown, cap_)));
    }
    bytes_.append(data, count);
}

void BodyBuffer::clear() {
    received_ = 0;
    overCap_ = false;
    bytes_.clear();
}

std::string BodyBuffer::take() {
    std::string out = std::move(bytes_);
    bytes_.clear();
    return out;
}

std::uint32_t BodyBuffer::size32(std::uint64_t bytes) {
    const std::uint64_t max = std::numeric_limits<std::uint32_t>::max();
    return static_cast<std::uint32_t>(std::min(bytes, max));
}

}  // namespace engine
