#pragma once

#include <string>

namespace app {

// Which preview file numbers a running program holds in the temporary folder that every
// instance of the program shares. A number is held by a lock on its byte of the folder's lock
// file ("lmdata.lock"); the locks belong to this object's open file, so they are released when it
// is destroyed and by the system when the process dies, which is how the files a crashed run
// left are told from those of a program still running. Not thread-safe; owned by one cache.
class PreviewFileLock {
public:
    static constexpr char kLockFileName[] = "lmdata.lock";

    // `folder` ends in "/"; the lock file is opened (and made) on first use.
    explicit PreviewFileLock(std::string folder);
    PreviewFileLock(const PreviewFileLock&) = delete;
    PreviewFileLock& operator=(const PreviewFileLock&) = delete;
    ~PreviewFileLock();

    enum class Take { Taken, HeldElsewhere, Failed };
    // Takes `number` unless another holder has it. Failed (with error()) when the lock file
    // cannot be opened; on a file system without locks every number counts as taken, so files
    // are still made exclusively but never removed as leftovers.
    Take take(int number);
    void release(int number);
    // Why the last take failed.
    const std::string& error() const { return error_; }

    // Removes the preview files ("lmdata<n>.tmp" and its ".html" second name) of every number no
    // running program holds, and returns how many files went. Safe at any time, also while other
    // instances run: a number being written or shown is held, and a number is taken for the
    // removal, so no instance can make that file meanwhile. Removes nothing when the folder or its
    // lock file cannot be opened or locks are not supported.
    static int removeLeftovers(const std::string& folder);

private:
    bool open();

    std::string folder_;
    int fd_ = -1;
    bool unsupported_ = false;
    std::string error_;
};

}  // namespace app
