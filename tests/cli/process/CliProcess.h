#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace clitest {

// What a finished pagelyst-cli process left behind.
struct CliResult {
    int status = -1;  // exit status; -1 when it did not exit normally
    std::string out;
    std::string err;
    std::chrono::milliseconds elapsed{0};
};

// Runs the built pagelyst-cli with `args` in the current environment (the test's temporary
// home included), with `input` on standard input; with `interruptAfter`, sends it SIGINT once
// that long has passed. Standard output and error go through files, so a large output never
// blocks the child.
// `workingFolder`, when given, is the child's working folder. `output` says where standard output
// goes: to the file that becomes `out`, to a full device, or nowhere (closed).
enum class StandardOutput { File, Full, Closed };
inline CliResult runCli(const std::vector<std::string>& args, const std::string& input = "",
                        std::optional<std::chrono::milliseconds> interruptAfter = std::nullopt,
                        const std::string& workingFolder = "",
                        StandardOutput output = StandardOutput::File) {
    namespace fs = std::filesystem;
    char folderPattern[] = "/tmp/pagelyst-cli-XXXXXX";
    if (::mkdtemp(folderPattern) == nullptr) throw std::runtime_error("mkdtemp failed");
    const fs::path folder(folderPattern);
    const fs::path in = folder / "in", out = folder / "out", err = folder / "err";
    std::ofstream(in, std::ios::binary) << input;

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, in.c_str(), O_RDONLY, 0);
    if (output == StandardOutput::File) {
        posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
    } else if (output == StandardOutput::Full) {
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/full", O_WRONLY, 0);
    } else {
        posix_spawn_file_actions_addclose(&actions, 1);
    }
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (!workingFolder.empty()) {
        posix_spawn_file_actions_addchdir_np(&actions, workingFolder.c_str());
    }
    std::vector<std::string> all{PAGELYST_CLI};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);

    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, PAGELYST_CLI, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) throw std::runtime_error("cannot start pagelyst-cli");
    if (interruptAfter) {
        std::this_thread::sleep_for(*interruptAfter);
        ::kill(pid, SIGINT);
    }
    int wstatus = 0;
    ::waitpid(pid, &wstatus, 0);

    CliResult result;
    result.elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    result.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
    const auto slurp = [](const fs::path& path) {
        std::ifstream file(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), {});
    };
    result.out = slurp(out);
    result.err = slurp(err);
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    return result;
}

}  // namespace clitest
