// A stand-in for a program the shell starts (a browser, xdg-open): a small script that writes
// what it was started with to a file, so tests can check exactly what arrived.
#pragma once

#include <signal.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>

#include "tests/platform/TempHome.h"

namespace testing_support {

struct Recorded {
    long pid = 0;
    int argumentCount = 0;
    std::string argument;  // the first argument, byte for byte
};

class RecordingProgram {
public:
    // Writes an executable script `name` into `folder`. With `gated`, the script waits until
    // release() before it records anything and ends.
    RecordingProgram(const std::filesystem::path& folder, const std::string& name,
                     bool gated = false)
        : path_(folder / name), output_(folder / (name + ".out")), gate_(folder / (name + ".go")) {
        std::string script = "#!/bin/sh\n";
        if (gated) script += "while [ ! -e '" + gate_.string() + "' ]; do sleep 0.01; done\n";
        // Written beside and renamed, so a reader never sees half a record.
        script += "{ printf '%s\\n' \"$$\" \"$#\"; printf '%s' \"$1\"; } > '" + output_.string() +
                  ".tmp' && mv '" + output_.string() + ".tmp' '" + output_.string() + "'\n";
        writeFile(path_, script);
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all);
    }

    const std::filesystem::path& path() const { return path_; }
    bool hasRecorded() const { return std::filesystem::exists(output_); }
    void release() const { writeFile(gate_, ""); }

    // The record, once the script has written it (up to 20 s).
    std::optional<Recorded> wait() const {
        if (!eventually([this] { return hasRecorded(); })) return std::nullopt;
        const std::string text = readFile(output_);
        const auto first = text.find('\n');
        const auto second = text.find('\n', first + 1);
        if (first == std::string::npos || second == std::string::npos) return std::nullopt;
        Recorded recorded;
        recorded.pid = std::stol(text.substr(0, first));
        recorded.argumentCount = std::stoi(text.substr(first + 1, second - first - 1));
        recorded.argument = text.substr(second + 1);
        return recorded;
    }

    // Polls `condition` until it holds, up to 20 s.
    template <typename Condition>
    static bool eventually(Condition condition) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!condition()) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return true;
    }

    // True once no process has the id any more; a zombie still has one.
    static bool gone(long pid) { return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH; }

private:
    std::filesystem::path path_, output_, gate_;
};

}  // namespace testing_support
