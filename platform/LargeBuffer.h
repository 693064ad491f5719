#pragma once

#include <cstddef>
#include <memory>

namespace platform {

// A growable byte buffer for large contents that arrive piecewise, such as a response body of
// several megabytes, in large pages (LargePages.h). Growth doubles, so copies stay rare.
class LargeBuffer {
public:
    LargeBuffer() = default;

    // Room for at least `capacity` bytes in all, keeping the bytes held.
    void reserve(std::size_t capacity);
    void append(const char* data, std::size_t count);
    void clear() { size_ = 0; }
    // Gives the memory back.
    void release();

    const char* data() const { return memory_.get(); }
    std::size_t size() const { return size_; }
    std::size_t capacity() const { return capacity_; }

private:
    struct Free {
        void operator()(char* memory) const;
    };

    std::unique_ptr<char, Free> memory_;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

}  // namespace platform
