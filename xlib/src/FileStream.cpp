#include "xlib/FileStream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace xlib {

FileStream::~FileStream() {
    close();
}

bool FileStream::open(const std::string& path, Disposition disposition, Access access) {
    close();
    int flags = O_CLOEXEC | (access == Access::Read ? O_RDONLY : O_WRONLY);
    if (disposition == Disposition::CreateAlways) flags |= O_CREAT | O_TRUNC;
    fd_ = ::open(path.c_str(), flags, 0644);
    remaining_ = 0;
    if (fd_ < 0) return false;
    struct stat st {};
    if (::fstat(fd_, &st) == 0 && S_ISREG(st.st_mode)) remaining_ = st.st_size;
    return true;
}

void FileStream::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    remaining_ = 0;
}

std::size_t FileStream::read(void* bytes, std::size_t count) {
    if (fd_ < 0) return 0;
    std::size_t done = 0;
    while (done < count) {
        const ssize_t n = ::read(fd_, static_cast<char*>(bytes) + done, count - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    remaining_ -= static_cast<std::int64_t>(done);
    return done;
}

std::size_t FileStream::write(const void* bytes, std::size_t count) {
    if (fd_ < 0) return 0;
    std::size_t done = 0;
    while (done < count) {
        const ssize_t n = ::write(fd_, static_cast<const char*>(bytes) + done, count - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    return done;
}

}  // namespace xlib
