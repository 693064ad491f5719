#pragma once

#include <string>
#include <string_view>

#include "xlib/Stream.h"

namespace xlib {

// Reads from a byte view the caller keeps alive; used by tests and the fuzz targets.
class MemoryInputStream : public InputStream {
public:
    explicit MemoryInputStream(std::string_view bytes) : bytes_(bytes) {}
    std::size_t read(void* bytes, std::size_t count) override;
    std::int64_t remaining() const override {
        return static_cast<std::int64_t>(bytes_.size() - position_);
    }

private:
    std::string_view bytes_;
    std::size_t position_ = 0;
};

// Collects written bytes in a string.
class MemoryOutputStream : public OutputStream {
public:
    std::size_t write(const void* bytes, std::size_t count) override;
    const std::string& bytes() const { return bytes_; }

private:
    std::string bytes_;
};

}  // namespace xlib
