#include "xlib/MemoryStream.h"

#include <algorithm>
#include <cstring>

namespace xlib {

std::size_t MemoryInputStream::read(void* bytes, std::size_t count) {
    const std::size_t n = std::min(count, bytes_.size() - position_);
    if (n > 0) std::memcpy(bytes, bytes_.data() + position_, n);
    position_ += n;
    return n;
}

std::size_t MemoryOutputStream::write(const void* bytes, std::size_t count) {
    bytes_.append(static_cast<const char*>(bytes), count);
    return count;
}

}  // namespace xlib
