#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <ostream>
#include <string>
#include <vector>

#include "engine/http/InternetRoot.h"
#include "tests/cli/process/CliProcess.h"
#include "tests/platform/TempHome.h"

// What pagelyst-cli writes for scripts, and how it says that writing failed.
namespace {

using clitest::DemoRun;
using clitest::runCli;
using clitest::StandardOutput;

class CliOutput : public clitest::CliFixture {
protected:
    CliOutput() {
        html("/", "<title>Home</title><img src=\"/ok.gif\"><a href=\"/a.html\">a</a>");
        html("/a.html", "<title>A</title>");
    }
};

struct FailedOutputCase {
    std::vector<std::string> args;
    StandardOutput output;
};

void PrintTo(const FailedOutputCase& c, std::ostream* out) {
    for (const std::string& arg : c.args) *out << arg << ' ';
    *out << (c.output == StandardOutput::Full ? "> /dev/full" : ">&-");
}

class CliFailedOutput : public CliOutput, public ::testing::WithParamInterface<FailedOutputCase> {};

TEST_P(CliFailedOutput, ExitsWithTwoAndSaysWhatFailed) {
    std::vector<std::string> args = GetParam().args;
    for (std::string& arg : args)
        if (arg == "URL") arg = url("/");
    const auto result = runCli(args, {.output = GetParam().output});
    EXPECT_EQ(result.status, 2) << result.err;
    EXPECT_NE(result.err.find("cannot write to standard output"), std::string::npos) << result.err;
}

INSTANTIATE_TEST_SUITE_P(
    Outputs, CliFailedOutput,
    ::testing::Values(FailedOutputCase{{"analyze", "URL"}, StandardOutput::Full},
                      FailedOutputCase{{"analyze", "URL", "--json"}, StandardOutput::Full},
                      FailedOutputCase{{"analyze", "URL"}, StandardOutput::Closed},
                      FailedOutputCase{{"stats"}, StandardOutput::Full},
                      FailedOutputCase{{"--help"}, StandardOutput::Full}));

constexpr const char* kTypes = "select Type, COUNT(Size) as 'N' group by Type order by Type";

class CliOutputPath : public CliOutput,
                      public ::testing::WithParamInterface<std::vector<std::string>> {};

TEST_P(CliOutputPath, IsCheckedBeforeTheFirstRequest) {
    std::vector<std::string> args{"analyze", url("/")};
    for (const std::string& arg : GetParam()) args.push_back(arg);
    expectRefused(runCli(args), "cannot write /nonexistent/folder/out: no such folder");
}

INSTANTIATE_TEST_SUITE_P(
    Options, CliOutputPath,
    ::testing::Values(
        std::vector<std::string>{"--har", "/nonexistent/folder/out"},
        std::vector<std::string>{"--save-scenario", "/nonexistent/folder/out"},
        std::vector<std::string>{"--analysis", "/nonexistent/folder/out"},
        std::vector<std::string>{"--analysis-site", "/nonexistent/folder/out"},
        std::vector<std::string>{"--query", kTypes, "--csv", "/nonexistent/folder/out"},
        std::vector<std::string>{"--report", "2", "--html", "/nonexistent/folder/out"}));

TEST_F(CliOutput, OpenSaysWhetherTheFileIsMissingAFolderOrDamaged) {
    expectRefused(runCli({"open", file("none.wsa").string()}), "none.wsa: no such file");
    std::filesystem::create_directories(file("folder.wsa"));
    expectRefused(runCli({"open", file("folder.wsa").string()}), "folder.wsa: is a folder");
    std::ofstream(file("damaged.wsa"), std::ios::binary) << "not a scenario";
    expectRefused(runCli({"open", file("damaged.wsa").string()}), "Invalid file format.");
}

TEST_F(CliOutput, JsonCannotCarryAReportButAReportFileCanGoWithIt) {
    expectRefused(runCli({"analyze", url("/"), "--json", "--report", "2"}),
                  "--json cannot carry --report");
    const auto result =
        runCli({"analyze", url("/"), "--json", "--report", "2", "--html", file("r.html").string()});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(nlohmann::json::accept(result.out));
    EXPECT_TRUE(std::filesystem::exists(file("r.html")));
}

TEST_F(CliOutput, TheUserAgentIsTheEnginesUnlessTheRunGivesOne) {
    ASSERT_EQ(runCli({"analyze", url("/a.html")}).status, 0);
    ASSERT_EQ(runCli({"analyze", url("/a.html"), "--user-agent", "Probe/1.0 (test)"}).status, 0);
    const auto requests = server_.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].headers.find("User-Agent")->second,
              std::string(engine::InternetRoot::kUserAgent));
    EXPECT_EQ(requests[1].headers.find("User-Agent")->second, "Probe/1.0 (test)");
}

TEST_F(CliOutput, TablesNameTheConnectionAndSumUpTheLinksNotFollowed) {
    const auto result = runCli({"analyze", url("/"), "--connection", "3"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out.rfind("Times and speeds for the connection \"512K Cable/DSL\"", 0), 0u)
        << result.out;
    EXPECT_NE(result.out.find("Time (download / browse)"), std::string::npos);
    EXPECT_NE(result.out.find("\n1 linked page not loaded; --crawl follows them\n"),
              std::string::npos)
        << result.out;
    EXPECT_EQ(result.out.find("/a.html"), std::string::npos) << "no row or section of its own";
}

TEST_F(CliOutput, CsvOfACrawlHoldsEveryPagesRowsLedByItsAddress) {
    const std::string csv = file("types.csv").string();
    const auto result = runCli({"analyze", url("/"), "--crawl", "--query", kTypes, "--csv", csv});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(testing_support::readFile(csv),
              "\"Page\",\"Type\",\"N\"\r\n"
              "\"" +
                  url("/") +
                  "\",\"image/gif\",\"1\"\r\n"
                  "\"" +
                  url("/") +
                  "\",\"text/html\",\"1\"\r\n"
                  "\"" +
                  url("/a.html") + "\",\"text/html\",\"1\"\r\n");
}

TEST_F(CliOutput, JsonStatisticsCarryRawValuesBesideTheirTexts) {
    const auto result = runCli({"analyze", url("/"), "--json", "--query",
                                "select Type, SUM(Size) as 'Bytes' group by Type order by Type"});
    ASSERT_EQ(result.status, 0) << result.err;
    const nlohmann::json stats = nlohmann::json::parse(result.out)["pages"][0]["statistics"][0];
    ASSERT_EQ(stats.at("rows").size(), 2u);
    EXPECT_EQ(stats["rows"][0], nlohmann::json({"image/gif", "6 b"}));
    EXPECT_EQ(stats.at("values")[0], nlohmann::json({"image/gif", 6}));
}

TEST_F(CliOutput, TheDemoWritesItsReportsIntoTheFolderGiven) {
    const std::filesystem::path folder = DemoRun::folder() / "reports";
    const auto result = DemoRun::json();
    ASSERT_EQ(result.status, 0) << result.err;
    for (const char* name : {"pagelyst-demo-analysis.html", "pagelyst-demo-general-report.html"}) {
        EXPECT_TRUE(std::filesystem::exists(folder / name)) << name;
        EXPECT_NE(result.err.find("Wrote " + (folder / name).string()), std::string::npos);
        EXPECT_FALSE(std::filesystem::exists(DemoRun::folder() / "work" / name)) << name;
    }
}

}  // namespace
