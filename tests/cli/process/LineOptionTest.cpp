#include <gtest/gtest.h>

#include <cstdio>
#include <ctime>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>

#include "tests/cli/process/CliProcess.h"
#include "tests/platform/TempHome.h"

namespace {

using clitest::runCli;
using nlohmann::json;

// A page with a style sheet and an image on the loopback site.
class LineOption : public clitest::CliFixture {
protected:
    LineOption() {
        html("/", R"(<title>Home</title><link rel="stylesheet" href="/s.css"><img src="/ok.gif">)");
        server_.get("/s.css", [](const httplib::Request&, httplib::Response& response) {
            response.set_content("body { color: black }", "text/css");
        });
    }

    static std::string clockText(long ms) {
        char text[32];
        std::snprintf(text, sizeof text, "%ld:%02ld.%03ld", ms / 60000, ms / 1000 % 60, ms % 1000);
        return text;
    }
};

struct LineCase {
    const char* text;
    long down, up, rtt;
};

class EachLine : public LineOption, public ::testing::WithParamInterface<LineCase> {};

// The page gains the line and its times. Whatever the measurement, on a line of round trip R
// the style sheet arrives no earlier than four round trips in (name lookup, TCP, the document's
// request, its own request), so render and load are at least 4 R.
TEST_P(EachLine, AddsTheLinesTimesToEachPage) {
    const LineCase c = GetParam();
    const auto result = runCli({"analyze", url("/"), "--json", "--line", c.text});
    ASSERT_EQ(result.status, 0) << result.err;
    const json line = json::parse(result.out)["pages"][0]["line"];
    EXPECT_EQ(line["name"], c.text);
    EXPECT_EQ(line["down"], c.down);
    EXPECT_EQ(line["up"], c.up);
    EXPECT_EQ(line["rtt"], c.rtt);
    EXPECT_GE(line["render"].get<long>(), 4 * c.rtt);
    EXPECT_GE(line["load"].get<long>(), line["render"].get<long>());
}

INSTANTIATE_TEST_SUITE_P(Lines, EachLine,
                         ::testing::Values(LineCase{"Slow 4G", 1600000, 750000, 150},
                                           LineCase{"Fibre", 20000000, 5000000, 4},
                                           LineCase{"2M/1M/250", 2000000, 1000000, 250}));

TEST_F(LineOption, WithoutJsonPrintsTheLinesTable) {
    const auto result = runCli({"analyze", url("/"), "--line", "3G"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find("On the line \"3G\" (1600000 / 768000 bit/s, 300 ms round trip)"),
              std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find(url("/s.css")), std::string::npos);
}

TEST_F(LineOption, TheWaterfallDrawsTheLine) {
    const std::string svg = file("line.svg").string();
    const auto result =
        runCli({"analyze", url("/"), "--json", "--line", "Slow 3G", "--waterfall", svg});
    ASSERT_EQ(result.status, 0) << result.err;
    const json line = json::parse(result.out)["pages"][0]["line"];
    const std::string picture = testing_support::readFile(svg);
    EXPECT_NE(picture.find(">Download time " + clockText(line["load"].get<long>()) + "<"),
              std::string::npos);
    EXPECT_NE(picture.find(">Browse time " + clockText(line["render"].get<long>()) + "<"),
              std::string::npos);
}

TEST_F(LineOption, ABadLineIsRefusedBeforeTheRun) {
    expectRefused(runCli({"analyze", url("/"), "--line", "1M/fast/10"}), "bad bandwidth");
    expectRefused(runCli({"analyze", url("/"), "--line", "Slow 5G"}), "unknown line");
    expectRefused(runCli({"analyze", url("/"), "--har-at", "Slow 5G", file("x.har").string()}),
                  "--har-at: unknown line");
    for (const char* cost : {"15", "15/", "-1/2", "1/ 2", "1/60001", "a/b"})
        expectRefused(runCli({"analyze", url("/"), "--line", "Fibre", "--browser-cost", cost}),
                      "--browser-cost:");
}

// The browser's own time reaches the JSON and the HAR: each entry's send is the request's cost.
TEST_F(LineOption, TheBrowsersCostIsUsedAndShown) {
    const std::string har = file("cost.har").string();
    const auto result = runCli({"analyze", url("/"), "--json", "--line", "Fibre", "--har-at",
                                "Fibre", har, "--browser-cost", "12.5/7"});
    ASSERT_EQ(result.status, 0) << result.err;
    const json line = json::parse(result.out)["pages"][0]["line"];
    EXPECT_EQ(line["commit"], 12.5);
    EXPECT_EQ(line["request"], 7.0);
    const json entries = json::parse(testing_support::readFile(har))["log"]["entries"];
    ASSERT_EQ(entries.size(), 3u);
    for (const json& entry : entries) EXPECT_EQ(entry["timings"]["send"], 7);
}

// Milliseconds since 1970 of a HAR date as the program writes it ("2024-05-01T09:30:12.345Z").
long long harMs(const std::string& text) {
    std::tm parts{};
    int ms = 0;
    EXPECT_EQ(std::sscanf(text.c_str(), "%d-%d-%dT%d:%d:%d.%dZ", &parts.tm_year, &parts.tm_mon,
                          &parts.tm_mday, &parts.tm_hour, &parts.tm_min, &parts.tm_sec, &ms),
              7)
        << text;
    parts.tm_year -= 1900;
    parts.tm_mon -= 1;
    return static_cast<long long>(timegm(&parts)) * 1000 + ms;
}

// The demo's HAR on "Slow 4G" (its schema is checked by cli_demo_line_har_schema): each entry's
// time is the sum of its timings, and the home page's entries end at the model's load time,
// which the page's timings and the JSON document give as well.
TEST(LineHarOfTheDemo, EntriesTimingsAddUpToTheModelsTimes) {
    const json document = json::parse(clitest::DemoRun::json().out);
    std::ifstream file(clitest::DemoRun::folder() / "demo-slow-4g.har");
    const json log = json::parse(file)["log"];
    ASSERT_FALSE(log["pages"].empty());
    const json& home = log["pages"][0];
    const json line = document["pages"][0]["line"];
    EXPECT_EQ(line["name"], "Slow 4G");
    EXPECT_EQ(home["pageTimings"]["onLoad"], line["load"]);
    EXPECT_EQ(home["pageTimings"]["onContentLoad"], line["render"]);
    const long long start = harMs(home["startedDateTime"].get<std::string>());
    long long last = 0;
    for (const json& entry : log["entries"]) {
        long long sum = 0;
        for (const auto& [name, value] : entry["timings"].items())
            if (name != "ssl" && value.get<long long>() > 0) sum += value.get<long long>();
        EXPECT_EQ(entry["time"].get<long long>(), sum) << entry["request"]["url"];
        if (entry["pageref"] != home["id"]) continue;
        last = std::max(last, harMs(entry["startedDateTime"].get<std::string>()) - start +
                                  entry["time"].get<long long>());
    }
    EXPECT_EQ(last, line["load"].get<long long>());
}

}  // namespace
