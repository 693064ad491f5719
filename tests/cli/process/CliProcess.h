#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "tests/platform/TempHome.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TestServer.h"

extern char** environ;

namespace clitest {

// What a finished pagelyst-cli process left behind.
struct CliResult {
    int status = -1;  // exit status; -1 when it did not exit normally or was killed at the limit
    std::string out;
    std::string err;
    std::chrono::milliseconds elapsed{0};
};

// Where standard output goes: to the file that becomes `out`, to a full device, or nowhere.
enum class StandardOutput { File, Full, Closed };

// How a run is started besides its arguments; a run names only what it changes, as in
// runCli(args, {.input = "x"}) (every member has an initializer for that).
struct CliStart {
    std::string input{};  // standard input
    // When set, polled while the program runs; SIGINT goes out as soon as it holds. A sign
    // that the program is under way, never a delay: a signal sent before the program caught
    // it would kill it.
    std::function<bool()> interruptWhen{};
    std::string workingFolder{};  // the child's, when not empty
    StandardOutput output = StandardOutput::File;
};

// A run still going after this is killed, so that a program that hangs fails its test instead of
// holding it up to the test runner's limit; far beyond any run's time, even under sanitizers.
inline constexpr std::chrono::seconds kRunLimit{60};

// Runs the built pagelyst-cli with `args` in the current environment (the test's temporary home
// included). Standard output and error go through files, so a large output never blocks it.
inline CliResult runCli(const std::vector<std::string>& args, const CliStart& start = {}) {
    namespace fs = std::filesystem;
    char folderPattern[] = "/tmp/pagelyst-cli-XXXXXX";
    if (::mkdtemp(folderPattern) == nullptr) throw std::runtime_error("mkdtemp failed");
    const fs::path folder(folderPattern);
    const fs::path in = folder / "in", out = folder / "out", err = folder / "err";
    std::ofstream(in, std::ios::binary) << start.input;

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, in.c_str(), O_RDONLY, 0);
    if (start.output == StandardOutput::File) {
        posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
    } else if (start.output == StandardOutput::Full) {
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/full", O_WRONLY, 0);
    } else {
        posix_spawn_file_actions_addclose(&actions, 1);
    }
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (!start.workingFolder.empty()) {
        posix_spawn_file_actions_addchdir_np(&actions, start.workingFolder.c_str());
    }
    std::vector<std::string> all{PAGELYST_CLI};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);

    const auto started = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, PAGELYST_CLI, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) throw std::runtime_error("cannot start pagelyst-cli");
    int wstatus = 0;
    bool interrupted = !start.interruptWhen, killed = false;
    while (::waitpid(pid, &wstatus, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() - started > kRunLimit) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &wstatus, 0);
            killed = true;
            break;
        }
        if (!interrupted && start.interruptWhen()) {
            ::kill(pid, SIGINT);
            interrupted = true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }

    CliResult result;
    result.elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - started);
    result.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
    const auto slurp = [](const fs::path& path) {
        std::ifstream file(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), {});
    };
    result.out = slurp(out);
    result.err = slurp(err);
    if (killed)
        result.err += "[killed: still running after " + std::to_string(kRunLimit.count()) + " s]\n";
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    return result;
}

// What the shared demo run (the CTest fixture demo_run, tests/cli/RunDemo.cmake) printed: the
// table run's or the JSON run's status and outputs, and where it wrote its files.
struct DemoRun {
    static std::filesystem::path folder() { return PAGELYST_DEMO_RUN_DIR; }
    static CliResult read(const std::string& name) {
        const auto slurp = [](const std::filesystem::path& path) {
            std::ifstream file(path, std::ios::binary);
            return std::string(std::istreambuf_iterator<char>(file), {});
        };
        CliResult result;
        const std::string status = slurp(folder() / (name + ".status"));
        result.status = status.empty() ? -1 : std::stoi(status);
        result.out = slurp(folder() / (name == "demo" ? "demo.out" : "demo.json"));
        result.err = slurp(folder() / (name + ".err"));
        return result;
    }
    // `demo --har demo.har`, from the folder "work", its reports in the home's default folder.
    static CliResult tables() { return read("demo"); }
    // `demo --json --out reports --stat 1 ... --stat 10 --line "Slow 4G" --har-at "Slow 4G"
    // demo-slow-4g.har`.
    static CliResult json() { return read("demo-json"); }
};

// pagelyst-cli against a loopback site, with a home of its own and no proxy from the machine.
// The site has /ok.gif; a suite adds its pages with html().
class CliFixture : public ::testing::Test {
protected:
    CliFixture() {
        environment_.withoutProxies();
        server_.get("/ok.gif", [](const httplib::Request&, httplib::Response& response) {
            response.set_content(std::string("GIF89a", 6), "image/gif");
        });
    }

    void html(const std::string& path, const std::string& body) {
        server_.get(path, [body](const httplib::Request&, httplib::Response& response) {
            response.set_content("<html><body>" + body + "</body></html>", "text/html");
        });
    }
    std::string url(const std::string& path) const { return server_.url(path); }
    std::filesystem::path file(const std::string& name) const { return home_.path() / name; }

    // Status 2, nothing on standard output, and one line on standard error that names the
    // program and holds `part`.
    static void expectUsageError(const CliResult& result, const std::string& part) {
        EXPECT_EQ(result.status, 2) << result.err;
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err.rfind("pagelyst-cli: ", 0), 0u) << result.err;
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
        EXPECT_NE(result.err.find(part), std::string::npos) << result.err;
    }
    // A usage error found before the first request: the site never heard of the run.
    void expectRefused(const CliResult& result, const std::string& part) const {
        expectUsageError(result, part);
        EXPECT_TRUE(server_.requests().empty());
    }

    testing_support::TempHome home_;
    support::ScopedEnvironment environment_;
    support::TestServer server_;
};

}  // namespace clitest
