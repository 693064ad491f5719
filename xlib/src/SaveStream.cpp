#include "xlib/SaveStream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "xlib/Exception.h"

namespace xlib {
namespace {

std::string folderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// A rename is durable only once the folder entry itself is on disk.
void syncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

SaveStream::SaveStream(std::string target, mode_t mode) : target_(std::move(target)) {
    std::string pattern = target_ + ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    fd_ = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd_ < 0) {
        failed_ = true;
        return;
    }
    temporary_ = name.data();
    ::fchmod(fd_, mode);
}

SaveStream::~SaveStream() {
    discard();
}

std::size_t SaveStream::write(const void* bytes, std::size_t count) {
    if (failed_) return 0;
    std::size_t done = 0;
    while (done < count) {
        const ssize_t n = ::write(fd_, static_cast<const char*>(bytes) + done, count - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            failed_ = true;
            return 0;
        }
        done += static_cast<std::size_t>(n);
    }
    return done;
}

void SaveStream::commit() {
    bool complete = !failed_ && fd_ >= 0 && ::fsync(fd_) == 0;
    if (fd_ >= 0 && ::close(fd_) != 0) complete = false;
    fd_ = -1;
    if (!complete || ::rename(temporary_.c_str(), target_.c_str()) != 0) {
        failed_ = true;
        discard();
        XLIB_THROW("Can't write data to stream");
    }
    temporary_.clear();
    syncFolder(folderOf(target_));
}

void SaveStream::discard() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
    temporary_.clear();
}

}  // namespace xlib
