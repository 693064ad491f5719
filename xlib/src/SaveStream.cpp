#include "xlib/SaveStream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <string_view>
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

// An unnamed file is given its name through /proc; without /proc it could never get one.
bool canNameUnnamedFiles() {
    return ::access("/proc/self/fd", X_OK) == 0;
}

// A name beside the target that is very likely unused: "<target>.<six letters>".
std::string freshName(const std::string& target) {
    static constexpr std::string_view kLetters =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    thread_local std::mt19937_64 random{std::random_device{}()};
    std::uniform_int_distribution<std::size_t> pick(0, kLetters.size() - 1);
    std::string name = target + ".";
    for (int i = 0; i < 6; ++i) name += kLetters[pick(random)];
    return name;
}

}  // namespace

SaveStream::SaveStream(std::string target, mode_t mode) : target_(std::move(target)) {
    // The bytes go to a file without a name while they are written, so a process killed in the
    // middle of a save leaves nothing behind; it is named only just before the rename.
    if (canNameUnnamedFiles())
        fd_ = ::open(folderOf(target_).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
    if (fd_ < 0) {
        // The file system has no unnamed files: a named temporary file from the start.
        std::string pattern = target_ + ".XXXXXX";
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        fd_ = ::mkostemp(name.data(), O_CLOEXEC);
        if (fd_ < 0) {
            fail(errno);
            return;
        }
        temporary_ = name.data();
    }
    ::fchmod(fd_, mode);
}

SaveStream::~SaveStream() {
    discard();
}

std::size_t SaveStream::write(const void* bytes, std::size_t count) {
    if (error_ != 0) return 0;
    std::size_t done = 0;
    while (done < count) {
        const ssize_t n = ::write(fd_, static_cast<const char*>(bytes) + done, count - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            fail(n < 0 ? errno : ENOSPC);  // a write that takes nothing has no room left
            return 0;
        }
        done += static_cast<std::size_t>(n);
    }
    return done;
}

bool SaveStream::nameUnnamedFile() {
    const std::string path = "/proc/self/fd/" + std::to_string(fd_);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = freshName(target_);
        if (::linkat(AT_FDCWD, path.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            temporary_ = std::move(name);
            return true;
        }
        if (errno != EEXIST) return false;
    }
    return false;
}

void SaveStream::commit() {
    bool complete = error_ == 0 && fd_ >= 0 && ::fsync(fd_) == 0;
    if (complete && temporary_.empty()) complete = nameUnnamedFile();
    if (fd_ >= 0 && ::close(fd_) != 0) complete = false;
    fd_ = -1;
    if (!complete || ::rename(temporary_.c_str(), target_.c_str()) != 0) {
        fail(errno);
        discard();
        XLIB_THROW("Can't write data to stream");
    }
    temporary_.clear();
    syncFolder(folderOf(target_));
}

void SaveStream::fail(int code) {
    if (error_ == 0) error_ = code != 0 ? code : EIO;
}

void SaveStream::discard() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
    temporary_.clear();
}

std::string saveFailureReason(const SaveStream& file, const Exception& error) {
    return file.error() != 0 ? std::strerror(file.error()) : error.message();
}

}  // namespace xlib
