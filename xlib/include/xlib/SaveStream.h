#pragma once

#include <sys/types.h>
#include <string>

#include "xlib/Stream.h"

namespace xlib {

class Exception;

// Writes a file so that a failed or interrupted save never destroys the previous one: bytes go
// to a temporary file in the target's folder, and only commit() flushes it, renames it over the
// target and flushes the folder. Destroyed without a successful commit, the temporary file is
// removed and the target is untouched. Where the file system allows, the temporary file has no
// name until commit() (O_TMPFILE), so even a process killed while saving leaves nothing behind.
class SaveStream : public OutputStream {
public:
    explicit SaveStream(std::string target, mode_t mode = 0644);
    SaveStream(const SaveStream&) = delete;
    SaveStream& operator=(const SaveStream&) = delete;
    ~SaveStream() override;

    // Returns 0 once any write has failed, so an Archive over it throws at the first fault.
    std::size_t write(const void* bytes, std::size_t count) override;

    // Throws xlib::Exception("Can't write data to stream") when the file cannot be completed.
    void commit();

    const std::string& target() const { return target_; }
    // The errno of the first failure (a full disk is ENOSPC); 0 while nothing failed.
    int error() const { return error_; }

private:
    void fail(int code);
    void discard();
    // Links the unnamed file under a fresh name beside the target (temporary_).
    bool nameUnnamedFile();

    std::string target_;
    std::string temporary_;  // empty while the file has no name
    int fd_ = -1;
    int error_ = 0;
};

// Why a save failed, in the system's words ("No space left on device"); the exception's own
// message when the stream itself did not fail.
std::string saveFailureReason(const SaveStream& file, const Exception& error);

}  // namespace xlib
