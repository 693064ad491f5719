#include "platform/RegistryStore.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <Archive>
#include <cerrno>

#include "platform/RegistryText.h"
#include "platform/SpecialFolders.h"

namespace platform {
namespace {

const char* fileNameOf(RegistryHive hive) {
    return hive == RegistryHive::ClassesRoot ? "classes-root.conf" : "current-user.conf";
}

std::string folderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// mkdir -p; new folders are private to the user like the files in them.
bool makeFolders(const std::string& folder) {
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const auto prefix = folder.substr(0, slash);
        if (::mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST) return false;
        if (slash == std::string::npos) break;
    }
    struct stat st {};
    return ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

enum class ReadResult { Missing, Read, TooLarge, Failed };

ReadResult readWholeFile(const std::string& path, std::string& out, std::size_t limit) {
    out.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno == ENOENT ? ReadResult::Missing : ReadResult::Failed;
    struct stat st {};
    ReadResult result = ReadResult::Read;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        result = ReadResult::Failed;
    } else if (static_cast<std::uintmax_t>(st.st_size) > limit) {
        result = ReadResult::TooLarge;
    } else {
        char buffer[65536];
        while (true) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) result = ReadResult::Failed;
            if (n <= 0) break;
            out.append(buffer, static_cast<std::size_t>(n));
            if (out.size() > limit) {
                result = ReadResult::TooLarge;
                break;
            }
        }
    }
    ::close(fd);
    return result;
}

// Holds an exclusive flock on a lock file for its lifetime. flock locks belong to the open file
// description, so they exclude other threads of this process as well as other processes.
class FileLock {
public:
    explicit FileLock(const std::string& path) {
        fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd_ < 0) return;
        int rc;
        do rc = ::flock(fd_, LOCK_EX);
        while (rc != 0 && errno == EINTR);
        if (rc != 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    ~FileLock() {
        if (fd_ >= 0) ::close(fd_);
    }
    bool held() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

}  // namespace

RegistryStore RegistryStore::forHive(RegistryHive hive) {
    return RegistryStore(SpecialFolders::settings() + "/" + fileNameOf(hive));
}

RegistryStore::Load RegistryStore::load(std::string& text, RegistryNode& root) const {
    root = RegistryNode();
    switch (readWholeFile(file_, text, kMaxFileSize)) {
        case ReadResult::Missing:
            return Load::Missing;
        case ReadResult::Failed:
            return Load::Unreadable;
        case ReadResult::TooLarge:
            return Load::Damaged;
        case ReadResult::Read:
            break;
    }
    auto parsed = parseRegistryText(text);
    if (!parsed) return Load::Damaged;
    root = std::move(*parsed);
    return Load::Loaded;
}

// Called with the lock held, so no writer of ours can be replacing the file at the same time.
bool RegistryStore::moveAside() const {
    for (int n = 1; n <= 1000; ++n) {
        const auto aside = file_ + ".damaged-" + std::to_string(n);
        struct stat st {};
        if (::lstat(aside.c_str(), &st) == 0) continue;
        return ::rename(file_.c_str(), aside.c_str()) == 0;
    }
    return false;
}

RegistryStatus RegistryStore::read(RegistryNode& root) const {
    std::string text;
    const Load first = load(text, root);
    if (first == Load::Unreadable) return RegistryStatus::CantRead;
    if (first != Load::Damaged) return RegistryStatus::Success;

    // Look again under the lock: a writer may have replaced the damaged file in the meantime.
    const FileLock lock(file_ + ".lock");
    if (!lock.held()) return RegistryStatus::Success;
    const Load again = load(text, root);
    if (again == Load::Damaged) moveAside();
    return again == Load::Unreadable ? RegistryStatus::CantRead : RegistryStatus::Success;
}

RegistryStatus RegistryStore::update(const Change& change) const {
    if (!makeFolders(folderOf(file_))) return RegistryStatus::CantWrite;
    const FileLock lock(file_ + ".lock");
    if (!lock.held()) return RegistryStatus::CantWrite;

    std::string old;
    RegistryNode root;
    const Load state = load(old, root);
    // A file that cannot be read is never overwritten, and a damaged one only once it is aside.
    if (state == Load::Unreadable) return RegistryStatus::CantWrite;
    if (state == Load::Damaged && !moveAside()) return RegistryStatus::CantWrite;

    const RegistryStatus status = change(root);
    if (status != RegistryStatus::Success) return status;
    const std::string text = formatRegistryText(root);
    if (state == Load::Loaded && text == old) return RegistryStatus::Success;
    if (text.size() > kMaxFileSize) return RegistryStatus::CantWrite;
    try {
        xlib::SaveStream out(file_, 0600);
        out.write(text.data(), text.size());
        out.commit();
    } catch (const xlib::Exception&) {
        return RegistryStatus::CantWrite;
    }
    return RegistryStatus::Success;
}

}  // namespace platform
