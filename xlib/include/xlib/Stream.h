#pragma once

#include <cstddef>
#include <cstdint>

namespace xlib {

// A sink of bytes. write returns how many bytes were actually written; 0 means failure.
class OutputStream {
public:
    virtual ~OutputStream() = default;
    virtual std::size_t write(const void* bytes, std::size_t count) = 0;
};

// A source of bytes that knows how many bytes are left, so that a reader can refuse a length
// before allocating for it. read returns how many bytes were actually read; 0 means failure.
class InputStream {
public:
    virtual ~InputStream() = default;
    virtual std::size_t read(void* bytes, std::size_t count) = 0;
    virtual std::int64_t remaining() const = 0;
};

}  // namespace xlib
