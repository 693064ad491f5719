#include "app/analysis/PreviewFileLock.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string_view>
#include <system_error>
#include <utility>

namespace app {

namespace {

enum class Lock { Locked, Busy, Unsupported };

// Open file description locks: they belong to the open file, not to the process, so two
// holders in one process exclude each other too, and closing another descriptor of the file
// does not drop them.
Lock lockByte(int fd, int number, short type) {
    struct flock lock {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = number;
    lock.l_len = 1;
    if (::fcntl(fd, F_OFD_SETLK, &lock) == 0) return Lock::Locked;
    return errno == EAGAIN || errno == EACCES ? Lock::Busy : Lock::Unsupported;
}

int openLockFile(const std::string& folder) {
    return ::open((folder + PreviewFileLock::kLockFileName).c_str(), O_RDWR | O_CREAT | O_CLOEXEC,
                  0600);
}

// The number of a preview file's name: "lmdata<n>.tmp" or "lmdata<n>.tmp.html".
std::optional<int> previewNumber(std::string_view name) {
    constexpr std::string_view kPrefix = "lmdata";
    if (!name.starts_with(kPrefix)) return std::nullopt;
    name.remove_prefix(kPrefix.size());
    int number = 0;
    const auto [end, error] = std::from_chars(name.data(), name.data() + name.size(), number);
    if (error != std::errc() || end == name.data() || number < 0) return std::nullopt;
    const std::string_view rest(end, name.data() + name.size() - end);
    if (rest != ".tmp" && rest != ".tmp.html") return std::nullopt;
    return number;
}

}  // namespace

PreviewFileLock::PreviewFileLock(std::string folder) : folder_(std::move(folder)) {}

PreviewFileLock::~PreviewFileLock() {
    if (fd_ >= 0) ::close(fd_);
}

bool PreviewFileLock::open() {
    if (fd_ >= 0) return true;
    fd_ = openLockFile(folder_);
    if (fd_ < 0) error_ = std::strerror(errno);
    return fd_ >= 0;
}

PreviewFileLock::Take PreviewFileLock::take(int number) {
    if (!open()) return Take::Failed;
    if (unsupported_) return Take::Taken;
    switch (lockByte(fd_, number, F_WRLCK)) {
        case Lock::Locked:
            return Take::Taken;
        case Lock::Busy:
            return Take::HeldElsewhere;
        case Lock::Unsupported:
            unsupported_ = true;
            return Take::Taken;
    }
    return Take::Failed;
}

void PreviewFileLock::release(int number) {
    if (fd_ >= 0 && !unsupported_) lockByte(fd_, number, F_UNLCK);
}

int PreviewFileLock::removeLeftovers(const std::string& folder) {
    const int fd = openLockFile(folder);
    if (fd < 0) return 0;
    int removed = 0;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::optional<int> number = previewNumber(entry.path().filename().native());
        if (!number) continue;
        const Lock lock = lockByte(fd, *number, F_WRLCK);
        if (lock == Lock::Unsupported) break;
        if (lock == Lock::Busy) continue;
        std::error_code ignored;
        if (std::filesystem::remove(entry.path(), ignored)) ++removed;
        lockByte(fd, *number, F_UNLCK);
    }
    ::close(fd);
    return removed;
}

}  // namespace app
