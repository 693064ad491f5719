#include "platform/Shell.h"

#include <signal.h>
#include <spawn.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>
#include <thread>

extern char** environ;

namespace platform {
namespace {

// The spawn attributes and file actions, released however the start ends.
class SpawnSetup {
public:
    SpawnSetup() {
        haveAttributes_ = ::posix_spawnattr_init(&attributes_) == 0;
        haveActions_ = ::posix_spawn_file_actions_init(&actions_) == 0;
        if (!haveAttributes_ || !haveActions_) return;
        sigset_t none;
        sigemptyset(&none);
        sigset_t all;
        sigfillset(&all);
        // Signals this process ignores or blocks (a broken pipe, say) would stay ignored or
        // blocked across exec; the call itself skips SIGKILL and SIGSTOP.
        const short flags = POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSID;
        ok_ = ::posix_spawnattr_setsigmask(&attributes_, &none) == 0 &&
              ::posix_spawnattr_setsigdefault(&attributes_, &all) == 0 &&
              ::posix_spawnattr_setflags(&attributes_, flags) == 0 &&
              ::posix_spawn_file_actions_addclosefrom_np(&actions_, 3) == 0;
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;
    ~SpawnSetup() {
        if (haveActions_) ::posix_spawn_file_actions_destroy(&actions_);
        if (haveAttributes_) ::posix_spawnattr_destroy(&attributes_);
    }

    bool ok() const { return ok_; }
    const posix_spawnattr_t* attributes() const { return &attributes_; }
    const posix_spawn_file_actions_t* actions() const { return &actions_; }

private:
    posix_spawnattr_t attributes_{};
    posix_spawn_file_actions_t actions_{};
    bool haveAttributes_ = false;
    bool haveActions_ = false;
    bool ok_ = false;
};

// Waits for the child on a thread of its own. When no thread can be made the child is left to
// be reaped by whoever inherits it when this process ends: one zombie, never a failed start.
void reapLater(pid_t child) {
    try {
        std::thread([child] {
            int status = 0;
            while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
            }
        }).detach();
    } catch (const std::system_error&) {
    }
}

}  // namespace

bool openWith(const std::string& program, const std::string& argument) {
    if (program.empty()) return false;
    SpawnSetup setup;
    if (!setup.ok()) return false;
    // posix_spawnp takes non-const strings for historical reasons; it never changes them.
    std::string path = program;
    std::string arg = argument;
    char* const arguments[] = {path.data(), arg.data(), nullptr};
    pid_t child = 0;
    if (::posix_spawnp(&child, path.c_str(), setup.actions(), setup.attributes(), arguments,
                       environ) != 0)
        return false;
    reapLater(child);
    return true;
}

bool openAddress(const std::string& address) {
    return openWith("xdg-open", address);
}

}  // namespace platform
