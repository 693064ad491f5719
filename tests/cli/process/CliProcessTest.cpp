#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <string>

#include "engine/settings/EngineSettings.h"
#include "persist/SettingsStore.h"
#include "tests/cli/process/CliProcess.h"
#include "tests/platform/TempHome.h"

namespace {

using clitest::DemoRun;
using clitest::runCli;
using nlohmann::json;

// A small loopback site: a clean page, a page with a missing image, a linked site, and a page
// that answers only after 20 s.
class CliProcess : public clitest::CliFixture {
protected:
    CliProcess() {
        html("/clean.html", "<title>Clean</title><img src=\"/ok.gif\">");
        html("/broken.html",
             "<title>Broken</title><img src=\"/ok.gif\"><img src=\"/missing.gif\">");
        html("/",
             "<title>Home</title><img src=\"/ok.gif\"><a href=\"/a.html\">a</a>"
             "<a href=\"/b.html\">b</a>");
        html("/a.html", "<title>A</title><a href=\"/c.html\">c</a>");
        html("/b.html", "<title>B</title>");
        html("/c.html", "<title>C</title>");
        server_.get("/idle.html", [this](const httplib::Request&, httplib::Response& response) {
            server_.pause(std::chrono::seconds(20));
            response.set_content("late", "text/html");
        });
    }
};

TEST_F(CliProcess, HelpAndVersion) {
    const auto help = runCli({"--help"});
    EXPECT_EQ(help.status, 0);
    for (const char* command : {"analyze", "open", "demo"}) {
        EXPECT_NE(help.out.find(command), std::string::npos) << command;
    }
    const auto analyzeHelp = runCli({"analyze", "--help"});
    EXPECT_EQ(analyzeHelp.status, 0);
    for (const char* option :
         {"--crawl", "--levels", "--pages", "--scope", "--connection", "--json", "--har",
          "--save-scenario", "--timeout", "--proxy", "--no-proxy", "--user", "--password-stdin"}) {
        EXPECT_NE(analyzeHelp.out.find(option), std::string::npos) << option;
    }
    const auto version = runCli({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("pagelyst-cli ", 0), 0u);
}

TEST_F(CliProcess, UsageErrorsEndWithOneLineAndStatusTwo) {
    expectUsageError(runCli({}), "");
    expectUsageError(runCli({"analyze"}), "URL");
    expectUsageError(runCli({"analyze", url("/"), "--bogus"}), "--bogus");
    expectUsageError(runCli({"analyze", url("/"), "--connection", "carrier pigeon"}),
                     "unknown connection \"carrier pigeon\"");
    expectUsageError(runCli({"analyze", url("/"), "--scope", "planet"}), "--scope");
    expectUsageError(runCli({"analyze", url("/"), "--proxy", "proxy:99999"}), "proxy port");
    expectUsageError(runCli({"analyze", "http://"}), "invalid address \"http://\"");
    expectUsageError(runCli({"open", file("missing.wsa").string()}), "no such file");
    expectUsageError(runCli({"analyze", url("/"), "--har", "/nonexistent/folder/x.har"}),
                     "cannot write /nonexistent/folder/x.har");
    expectRefused(runCli({"analyze", url("/"), "--user", "ann"}), "--password-stdin");
}

TEST_F(CliProcess, TheTableShowsTheSiteTreeAndEachPagesElements) {
    const auto result = runCli({"analyze", url("/broken.html")});
    EXPECT_EQ(result.status, 3) << result.err;  // Child Error
    for (const char* text :
         {"URL", "Title", "Status", "Size", "Elements", "Time", "Speed", "Broken", "Child Error",
          "Connect", "Send", "Wait", "Receive", "404", "image/gif"}) {
        EXPECT_NE(result.out.find(text), std::string::npos) << text << "\n" << result.out;
    }
    EXPECT_NE(result.out.find(url("/missing.gif")), std::string::npos);
    EXPECT_EQ(result.err, "");  // not a terminal: no progress line

    EXPECT_EQ(runCli({"analyze", url("/clean.html")}).status, 0);
}

TEST_F(CliProcess, JsonCarriesEveryPageAndItemWithStableFields) {
    const auto result =
        runCli({"analyze", url("/broken.html"), "--json", "--connection", "isdn 64k"});
    ASSERT_EQ(result.status, 3) << result.err;
    const json doc = json::parse(result.out);
    EXPECT_EQ(doc["connection"]["index"], 6);
    EXPECT_EQ(doc["connection"]["name"], "ISDN 64K");
    ASSERT_EQ(doc["pages"].size(), 1u);
    const json& page = doc["pages"][0];
    EXPECT_EQ(page["address"], url("/broken.html"));
    EXPECT_EQ(page["depth"], 0);
    EXPECT_TRUE(page["parent"].is_null());
    EXPECT_EQ(page["state"], "Child Error");
    EXPECT_EQ(page["stateValue"], 16);
    EXPECT_EQ(page["title"], "Broken");
    EXPECT_EQ(page["elements"], 3);
    ASSERT_EQ(page["times"].size(), 11u);
    EXPECT_EQ(page["times"][10]["name"], "14.4K");
    ASSERT_EQ(page["items"].size(), 3u);
    EXPECT_TRUE(page["items"][0]["parent"].is_null());
    bool sawMissing = false;
    for (const json& item : page["items"]) {
        for (const char* field : {"id", "url", "parent", "depth", "position", "phase", "phaseValue",
                                  "status", "result", "error", "contentType", "kind", "size",
                                  "connect", "send", "wait", "receive", "total"}) {
            EXPECT_TRUE(item.contains(field)) << field;
        }
        if (item["url"] == url("/missing.gif")) {
            sawMissing = true;
            EXPECT_EQ(item["status"], 404);
            EXPECT_EQ(item["parent"], url("/broken.html"));
            EXPECT_EQ(item["depth"], 1);
        }
    }
    EXPECT_TRUE(sawMissing);
}

TEST_F(CliProcess, ACrawlFollowsLinksWithinTheLevelLimit) {
    const auto result = runCli({"analyze", url("/"), "--crawl", "--levels", "2", "--json"});
    ASSERT_EQ(result.status, 0) << result.err;
    const json doc = json::parse(result.out);
    std::map<std::string, json> pages;
    for (const json& page : doc["pages"]) pages[page["address"]] = page;
    ASSERT_EQ(pages.size(), 4u);  // /, a, b, and c found on a but not loaded
    EXPECT_EQ(pages[url("/a.html")]["depth"], 1);
    EXPECT_EQ(pages[url("/a.html")]["parent"], url("/"));
    EXPECT_EQ(pages[url("/a.html")]["state"], "Finished");
    EXPECT_EQ(pages[url("/c.html")]["depth"], 2);
    EXPECT_EQ(pages[url("/c.html")]["state"], "Ready");

    // Without --crawl only the typed page is loaded; its links are listed.
    const json single = json::parse(runCli({"analyze", url("/"), "--json"}).out);
    EXPECT_EQ(single["pages"].size(), 3u);
    EXPECT_EQ(single["pages"][1]["state"], "Ready");
}

TEST_F(CliProcess, TheHarHasAnEntryPerTransferWithHonestTimings) {
    const std::string har = file("run.har").string();
    const auto result = runCli({"analyze", url("/"), "--crawl", "--har", har});
    ASSERT_EQ(result.status, 0) << result.err;
    const json doc = json::parse(testing_support::readFile(har));
    EXPECT_EQ(doc["log"]["version"], "1.2");
    EXPECT_EQ(doc["log"]["pages"].size(), 4u);
    ASSERT_FALSE(doc["log"]["entries"].empty());
    for (const json& entry : doc["log"]["entries"]) {
        long sum = 0;
        for (const auto& [name, value] : entry["timings"].items()) {
            if (name != "comment" && value.get<long>() >= 0) sum += value.get<long>();
        }
        EXPECT_EQ(entry["time"].get<long>(), sum) << entry.dump();
    }
}

TEST_F(CliProcess, ASavedScenarioOpensWithTheSamePages) {
    const std::string scenario = file("site.wsa").string();
    ASSERT_EQ(runCli({"analyze", url("/"), "--save-scenario", scenario}).status, 0);
    const auto opened = runCli({"open", scenario, "--json"});
    ASSERT_EQ(opened.status, 0) << opened.err;
    const json doc = json::parse(opened.out);
    // The three saved pages are loaded; the link found on /a.html is listed below it.
    ASSERT_EQ(doc["pages"].size(), 4u);
    for (const json& page : doc["pages"]) {
        EXPECT_EQ(page["state"], page["address"] == url("/c.html") ? "Ready" : "Finished")
            << page["address"];
    }

    std::ofstream(file("bad.wsa"), std::ios::binary) << std::string("\x02\0\0\0\0\0\0\0", 8);
    expectUsageError(runCli({"open", file("bad.wsa").string()}), "Invalid file format.");
}

TEST_F(CliProcess, OptionsOverrideTheStoredSettingsForOneRunOnly) {
    engine::EngineSettings stored;
    stored.limits.levelLimit = 3;
    stored.connection.proxy = engine::ConnectionSettings::kProxyNone;
    ASSERT_TRUE(engine::saveSettings(stored));
    const auto result = runCli({"analyze", url("/"), "--crawl", "--levels", "1", "--no-proxy"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(engine::loadSettings(), [&] {
        engine::EngineSettings expected = stored;
        expected.limits.enabled = true;
        return expected;
    }());
    // The address bar's history is the one thing a run records.
    EXPECT_EQ(persist::readStringValue("AddrMRU", "mru0"), url("/"));
}

TEST_F(CliProcess, ATransferWithoutProgressEndsAtTheTimeout) {
    const auto result = runCli({"analyze", url("/idle.html"), "--timeout", "1", "--json"});
    EXPECT_EQ(result.status, 3) << result.err;
    EXPECT_LT(result.elapsed, std::chrono::seconds(5));
    const json doc = json::parse(result.out);
    EXPECT_EQ(doc["pages"][0]["state"], "Error");
    EXPECT_EQ(doc["pages"][0]["items"][0]["result"], 12002);
}

// The signal goes out once the page's request reached the site, which the program sends only
// after it caught Ctrl+C. "Canceled" shows that Stop ended the transfer: a page still loading
// when the run gives up waiting for it reads "In process..." or "Aborting...".
TEST_F(CliProcess, CtrlCStopsEveryTransferAndPrintsWhatWasMeasured) {
    const auto result = runCli({"analyze", url("/idle.html")},
                               {.interruptWhen = [this] { return !server_.requests().empty(); }});
    EXPECT_EQ(result.status, 3) << result.err;
    EXPECT_NE(result.out.find(url("/idle.html")), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("Canceled"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("Stopped"), std::string::npos) << result.out;
}

TEST_F(CliProcess, LogsInWithThePasswordFromStandardInput) {
    server_.get("/private.html", [](const httplib::Request& request, httplib::Response& response) {
        // "ann:s3cret" in Base64.
        if (request.get_header_value("Authorization") != "Basic YW5uOnMzY3JldA==") {
            response.status = 401;
            response.set_header("WWW-Authenticate", "Basic realm=\"test\"");
            return;
        }
        response.set_content("<title>In</title>", "text/html");
    });
    const auto result =
        runCli({"analyze", url("/private.html"), "--user", "ann", "--password-stdin", "--json"},
               {.input = "s3cret\n"});
    ASSERT_EQ(result.status, 0) << result.err << result.out;
    EXPECT_EQ(json::parse(result.out)["pages"][0]["title"], "In");
}

TEST_F(CliProcess, TheDemoRunsOfflineToItsEnd) {
    const auto result = DemoRun::tables();
    ASSERT_EQ(result.status, 0) << result.err;
    std::size_t pages = 0;
    for (const char* page : {"/about.html", "/products.html", "/contact.html", "/downloads.html"}) {
        pages += result.out.find(page) != std::string::npos;
    }
    EXPECT_EQ(pages, 4u) << result.out;
    // The partner host's page is in the tree but not loaded: one line says so.
    EXPECT_NE(result.out.find("\n1 linked page not loaded"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("/images/missing.gif"), std::string::npos);
    EXPECT_NE(result.out.find("404"), std::string::npos);
    EXPECT_NE(result.out.find("/images/slow.gif"), std::string::npos);
    EXPECT_NE(result.err.find("Serving the demo site at http://127.0.0.1:"), std::string::npos);
    // Its home page's analysis and "General" report, in a folder of the user's data, never in
    // the folder it was started from, and it says where.
    const std::filesystem::path folder = DemoRun::folder() / "home/.local/share/pagelyst/demo";
    for (const char* name : {"pagelyst-demo-analysis.html", "pagelyst-demo-general-report.html"}) {
        const std::string written = testing_support::readFile(folder / name);
        EXPECT_NE(result.err.find((folder / name).string()), std::string::npos) << result.err;
        EXPECT_NE(written.find("\r\n"), std::string::npos) << name;
        EXPECT_FALSE(std::filesystem::exists(DemoRun::folder() / "work" / name)) << name;
    }
    EXPECT_EQ(
        testing_support::readFile(folder / "pagelyst-demo-analysis.html").rfind("<HTML>\r\n", 0),
        0u);
}

TEST_F(CliProcess, EveryBuiltInStatisticRunsOverTheDemoSite) {
    const auto result = DemoRun::json();
    ASSERT_EQ(result.status, 0) << result.err;
    const json doc = json::parse(result.out);
    const json& home = doc["pages"][0];
    ASSERT_EQ(home["statistics"].size(), 10u);
    for (const json& statistic : home["statistics"]) {
        EXPECT_FALSE(statistic.contains("error")) << statistic["title"] << statistic["error"];
        EXPECT_FALSE(statistic["columns"].empty()) << statistic["title"];
        EXPECT_FALSE(statistic["rows"].empty()) << statistic["title"];
        for (const json& row : statistic["rows"]) {
            EXPECT_EQ(row.size(), statistic["columns"].size()) << statistic["title"];
        }
    }
    // "Size By Type": one row per content type of the home page's 13 items.
    const json& byType = home["statistics"][2];
    EXPECT_EQ(byType["title"], "Size By Type");
    EXPECT_EQ(byType["columns"], json({"Resource Type", "Count", "Total Size", "% Size Total"}));
}

TEST_F(CliProcess, StatisticsQueriesAndTheirCsv) {
    const std::string csv = file("types.csv").string();
    const auto result =
        runCli({"analyze", url("/broken.html"), "--query",
                "select Type, COUNT(Size) as 'N' group by Type order by Type", "--csv", csv});
    EXPECT_EQ(result.status, 3) << result.err;  // the page has a missing image
    EXPECT_NE(result.out.find("Statistics \"Query\" of " + url("/broken.html")), std::string::npos);
    // Every field quoted, CRLF line ends; the 404 answer has no type.
    EXPECT_EQ(testing_support::readFile(csv),
              "\"Type\",\"N\"\r\n\"\",\"1\"\r\n\"image/gif\",\"1\"\r\n\"text/html\",\"1\"\r\n");

    const std::size_t requests = server_.requests().size();
    const auto invalid =
        runCli({"analyze", url("/clean.html"), "--query", "select Name where ID = 1"});
    EXPECT_EQ(invalid.status, 2);
    EXPECT_NE(invalid.err.find("Column Name is invalid: 'name'."), std::string::npos)
        << invalid.err;
    EXPECT_EQ(server_.requests().size(), requests);  // refused before measuring

    const auto overPage = runCli({"analyze", url("/clean.html"), "--query", "select SUM(Host)"});
    EXPECT_EQ(overPage.status, 2);
    EXPECT_FALSE(overPage.err.empty());

    expectUsageError(runCli({"analyze", url("/"), "--stat", "No Such Statistics"}),
                     "unknown statistics \"No Such Statistics\"");
    expectUsageError(runCli({"analyze", url("/"), "--csv", csv}), "--csv needs exactly one");

    const auto listing = runCli({"stats"});
    EXPECT_EQ(listing.status, 0);
    EXPECT_EQ(std::count(listing.out.begin(), listing.out.end(), '\n'), 10);
    EXPECT_EQ(listing.out.rfind("1\tGeneral\tSELECT ", 0), 0u);
}

TEST_F(CliProcess, ReportsAndAnalysisFilesAreWrittenAsTheExportWritesThem) {
    const auto listing = runCli({"reports"});
    EXPECT_EQ(listing.status, 0);
    EXPECT_EQ(listing.out.rfind("1\tConsolidated Site Tree Report\n2\tWeb Page Analysis Report\n"
                                "101\tGeneral\n",
                                0),
              0u);

    const std::string analysis = file("analysis.html").string();
    const std::string site = file("site.html").string();
    const std::string hosts = file("hosts.html").string();
    const auto result =
        runCli({"analyze", url("/"), "--crawl", "--analysis", analysis, "--analysis-site", site,
                "--report", "hosts report", "--html", hosts});
    ASSERT_EQ(result.status, 0) << result.err;
    const std::string general = testing_support::readFile(analysis);
    EXPECT_EQ(general.rfind("<HTML>\r\n", 0), 0u);
    EXPECT_NE(general.find("General Web Page Analysis Report"), std::string::npos);
    EXPECT_EQ(general.substr(general.size() - 9), "</HTML>\r\n");
    EXPECT_NE(testing_support::readFile(site).find("Consolidated Site Analysis Report"),
              std::string::npos);
    EXPECT_NE(testing_support::readFile(hosts).find("127.0.0.1"), std::string::npos);

    const auto printed = runCli({"analyze", url("/clean.html"), "--report", "2"});
    EXPECT_NE(printed.out.find("General Web Page Analysis Report"), std::string::npos);
    expectUsageError(runCli({"analyze", url("/"), "--report", "999"}), "unknown report \"999\"");
}

TEST_F(CliProcess, ConditionsGradeTheRunForContinuousIntegration) {
    // Over 0 seconds on the slowest connection: every finished page matches.
    const auto over = runCli({"analyze", url("/clean.html"), "--json", "--fail-on-condition",
                              "--condition", "download 14.4K 0"});
    EXPECT_EQ(over.status, 4) << over.err;
    const json page = json::parse(over.out)["pages"][0];
    EXPECT_EQ(page["conditions"], json({"Download on 14.4K takes more than 0 sec."}));
    EXPECT_FALSE(page["class"].get<std::string>().empty());
    EXPECT_GE(page["classValue"].get<int>(), 1);
    EXPECT_NE(page["analysis"].get<std::string>().find("Page Class"), std::string::npos);

    const auto within = runCli(
        {"analyze", url("/clean.html"), "--fail-on-condition", "--condition", "browse 0 60"});
    EXPECT_EQ(within.status, 0) << within.err;
    // Without --fail-on-condition a match changes nothing.
    EXPECT_EQ(runCli({"analyze", url("/clean.html"), "--condition", "download 14.4K 0"}).status, 0);
    expectUsageError(runCli({"analyze", url("/"), "--condition", "upload 56K 3"}),
                     "invalid condition");
}

}  // namespace
