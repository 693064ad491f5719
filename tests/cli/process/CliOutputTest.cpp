#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "tests/cli/process/CliProcess.h"
#include "tests/platform/TempHome.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TestServer.h"

// What pagelyst-cli writes for scripts, and how it says that writing failed.
namespace {

using clitest::runCli;
using clitest::StandardOutput;

class CliOutput : public ::testing::Test {
protected:
    CliOutput() {
        environment_.withoutProxies();
        html("/", "<title>Home</title><img src=\"/ok.gif\"><a href=\"/a.html\">a</a>");
        html("/a.html", "<title>A</title>");
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

    testing_support::TempHome home_;
    support::ScopedEnvironment environment_;
    support::TestServer server_;
};

struct FailedOutputCase {
    std::vector<std::string> args;
    StandardOutput output;
};

void PrintTo(const FailedOutputCase& c, std::ostream* out) {
    for (const std::string& arg : c.args) *out << arg << ' ';
    *out << (c.output == StandardOutput::Full ? "> /dev/full" : ">&-");
}

class CliFailedOutput : public CliOutput, public ::testing::WithParamInterface<FailedOutputCase> {
};

TEST_P(CliFailedOutput, ExitsWithTwoAndSaysWhatFailed) {
    std::vector<std::string> args = GetParam().args;
    for (std::string& arg : args)
        if (arg == "URL") arg = url("/");
    const auto result = runCli(args, "", std::nullopt, "", GetParam().output);
    EXPECT_EQ(result.status, 2) << result.err;
    EXPECT_NE(result.err.find("cannot write to standard output"), std::string::npos)
        << result.err;
}

INSTANTIATE_TEST_SUITE_P(
    Outputs, CliFailedOutput,
    ::testing::Values(FailedOutputCase{{"analyze", "URL"}, StandardOutput::Full},
                      FailedOutputCase{{"analyze", "URL", "--json"}, StandardOutput::Full},
                      FailedOutputCase{{"analyze", "URL"}, StandardOutput::Closed},
                      FailedOutputCase{{"stats"}, StandardOutput::Full},
                      FailedOutputCase{{"--help"}, StandardOutput::Full}));

}  // namespace
