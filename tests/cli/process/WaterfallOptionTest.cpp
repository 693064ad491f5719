#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <string>

#include "tests/cli/process/CliProcess.h"
#include "tests/platform/TempHome.h"

namespace {

using clitest::runCli;
using nlohmann::json;

// A page with a style sheet, an image, a missing image, and two whose names would break out of
// markup (the scanner keeps references in attributes as written, entities included).
class WaterfallOption : public clitest::CliFixture {
protected:
    WaterfallOption() {
        html("/",
             R"(<title>Home</title><link rel="stylesheet" href="/s.css"><img src="/ok.gif">)"
             R"(<img src="/missing.gif"><img src="/a&amp;b&lt;c.gif"><img src="/it's&x.gif">)");
        server_.get("/s.css", [](const httplib::Request&, httplib::Response& response) {
            response.set_content("body { color: black }", "text/css");
        });
    }

    // The page's download or browse time at a connection, as the JSON document gives it.
    static long timeOf(const json& document, int connection, const char* which) {
        return document["pages"][0]["times"][connection][which].get<long>();
    }
    // As the picture labels it: "m:ss.mmm".
    static std::string clockText(long ms) {
        char text[32];
        std::snprintf(text, sizeof text, "%ld:%02ld.%03ld", ms / 60000, ms / 1000 % 60, ms % 1000);
        return text;
    }
};

TEST_F(WaterfallOption, DrawsThePageAtTheChosenConnection) {
    const std::string svg = file("page.svg").string();
    const auto result =
        runCli({"analyze", url("/"), "--connection", "56K", "--json", "--waterfall", svg});
    ASSERT_EQ(result.status, 3) << result.err;  // the missing image fails the page
    const std::string picture = testing_support::readFile(svg);
    ASSERT_EQ(picture.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg ", 0), 0u);
    EXPECT_NE(picture.find(">56K: " + url("/") + "<"), std::string::npos);
    for (const char* name : {">s.css<", ">ok.gif<", ">missing.gif<"})
        EXPECT_NE(picture.find(name), std::string::npos) << name;
    // The lines carry the figures the JSON document has for that connection.
    const json document = json::parse(result.out);
    EXPECT_NE(picture.find(">Download time " + clockText(timeOf(document, 7, "download")) + "<"),
              std::string::npos);
    EXPECT_NE(picture.find(">Browse time " + clockText(timeOf(document, 7, "browse")) + "<"),
              std::string::npos);
    EXPECT_NE(picture.find("class=\"failed-row\""), std::string::npos);
}

TEST_F(WaterfallOption, KeepsAHostileNameText) {
    const std::string svg = file("page.svg").string();
    runCli({"analyze", url("/"), "--waterfall", svg});
    const std::string picture = testing_support::readFile(svg);
    EXPECT_NE(picture.find(">a&amp;amp;b&amp;lt;c.gif<"), std::string::npos);
    EXPECT_NE(picture.find(">it&#39;s&amp;x.gif<"), std::string::npos);
    if (std::system("command -v xmllint >/dev/null 2>&1") == 0) {
        EXPECT_EQ(std::system(("xmllint --noout " + svg).c_str()), 0);
    }
}

TEST_F(WaterfallOption, AFileThatCannotBeWrittenIsRefusedBeforeTheRun) {
    expectRefused(runCli({"analyze", url("/"), "--waterfall", "/nonexistent/folder/w.svg"}),
                  "cannot write /nonexistent/folder/w.svg");
}

TEST_F(WaterfallOption, IsInTheHelp) {
    const auto help = runCli({"analyze", "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--waterfall"), std::string::npos);
}

}  // namespace
