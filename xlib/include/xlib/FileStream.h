#pragma once

#include <string>

#include "xlib/Stream.h"

namespace xlib {

// Both stream interfaces over one POSIX file descriptor. Used on one thread, for one whole load
// or save; the descriptor is closed on destruction.
class FileStream : public InputStream, public OutputStream {
public:
    enum class Disposition { OpenExisting, CreateAlways };
    enum class Access { Read, Write };

    FileStream() = default;
    FileStream(const FileStream&) = delete;
    FileStream& operator=(const FileStream&) = delete;
    ~FileStream() override;

    // Closes any open file, then opens path. When a file is held afterwards, remaining() is its
    // current size (0 for a file just created). Returns whether a file is held.
    bool open(const std::string& path, Disposition disposition, Access access);
    void close();
    bool isOpen() const { return fd_ >= 0; }

    std::size_t read(void* bytes, std::size_t count) override;
    std::size_t write(const void* bytes, std::size_t count) override;
    std::int64_t remaining() const override { return remaining_; }

    // The two sides, for building an Archive over a stream that is both.
    InputStream& input() { return *this; }
    OutputStream& output() { return *this; }

private:
    int fd_ = -1;
    std::int64_t remaining_ = 0;
};

}  // namespace xlib
