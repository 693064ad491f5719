#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "cli/CliOptions.h"
#include "cli/CliRun.h"
#include "tests/platform/TempHome.h"

namespace {

using nlohmann::json;

std::string fixture(const std::string& name) {
    return std::string(PAGELYST_HAR_FIXTURES) + "/" + name;
}

// pagelyst-cli run in this process, with a home of its own.
class ImportCommand : public ::testing::Test {
protected:
    struct Result {
        int status = -1;
        std::string out, err;
    };

    Result run(const std::vector<std::string>& args) {
        std::vector<const char*> argv{"pagelyst-cli"};
        for (const std::string& arg : args) argv.push_back(arg.c_str());
        std::ostringstream out, err;
        const cli::ParseResult parsed =
            cli::parseCommandLine(static_cast<int>(argv.size()), argv.data(), out, err);
        if (!parsed.options) return {parsed.status, out.str(), err.str()};
        const int status = cli::CliRun(*parsed.options, out, err).execute();
        return {status, out.str(), err.str()};
    }

    std::string file(const std::string& name) const { return (home_.path() / name).string(); }

    testing_support::TempHome home_;
};

TEST_F(ImportCommand, TakesAFileAndTheOutputOptionsOfARun) {
    std::ostringstream out, err;
    const char* argv[] = {"pagelyst-cli", "import", "capture.har", "--json",
                          "--connection", "T1",     "--har",       "again.har"};
    const cli::ParseResult parsed = cli::parseCommandLine(8, argv, out, err);
    ASSERT_TRUE(parsed.options) << err.str();
    EXPECT_EQ(parsed.options->command, cli::CliOptions::Command::Import);
    EXPECT_EQ(parsed.options->harFile, "capture.har");
    EXPECT_EQ(parsed.options->connectionIndex, 2);
    EXPECT_EQ(parsed.options->harPath, "again.har");
    EXPECT_NE(run({"--help"}).out.find("import"), std::string::npos);
}

TEST_F(ImportCommand, RefusesTheOptionsOfLoading) {
    for (const char* option : {"--crawl", "--no-proxy"}) {
        const Result result = run({"import", fixture("chrome-page.har"), option});
        EXPECT_EQ(result.status, 2) << option;
        EXPECT_NE(result.err.find(option), std::string::npos) << result.err;
    }
    EXPECT_EQ(run({"import", fixture("chrome-page.har"), "--timeout", "5"}).status, 2);
}

TEST_F(ImportCommand, PrintsTheTablesOfTheFilesPagesAndWhatWasImported) {
    const Result result = run({"import", fixture("chrome-page.har")});
    EXPECT_EQ(result.status, 3);  // Child Error, as a measured run ends
    EXPECT_NE(result.out.find("https://shop.example/ (Child Error; Imported from chrome-page.har)"),
              std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("200 (cache)"), std::string::npos);
    EXPECT_EQ(result.err,
              "Imported 1 page with 9 elements (1 from the browser's cache) from chrome-page.har; "
              "left out: 1 entry not HTTP or HTTPS.\n");
}

TEST_F(ImportCommand, WritesEveryOutputOfARun) {
    const Result result =
        run({"import", fixture("firefox-pages.har"), "--json", "--har", file("again.har"),
             "--analysis", file("analysis.html"), "--save-scenario", file("pages.wsa")});
    ASSERT_EQ(result.status, 0) << result.err;
    const json document = json::parse(result.out);
    ASSERT_EQ(document["pages"].size(), 2u);
    EXPECT_EQ(document["pages"][0]["importedFrom"], "firefox-pages.har");
    EXPECT_GT(document["pages"][1]["classValue"], 0);  // graded as a measured page is
    const json har = json::parse(testing_support::readFile(file("again.har")));
    EXPECT_EQ(har["log"]["entries"].size(), 6u);  // page 2's redirection is one item
    EXPECT_NE(testing_support::readFile(file("analysis.html")).find("Imported from"),
              std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(file("pages.wsa")));
}

TEST_F(ImportCommand, AFileThatCannotBeImportedIsAUsageError) {
    testing_support::writeFile(file("bad.har"), R"({"log": {"version": "2.0", "entries": []}})");
    const Result bad = run({"import", file("bad.har")});
    EXPECT_EQ(bad.status, 2);
    EXPECT_EQ(bad.err, "pagelyst-cli: cannot import " + file("bad.har") +
                           ": not HAR 1.1 or 1.2: log.version is \"2.0\"\n");
    EXPECT_EQ(bad.out, "");
    const Result missing = run({"import", file("none.har")});
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.err, "pagelyst-cli: cannot open " + file("none.har") + ": no such file\n");
}

// The demo site measured with its HAR, then that HAR imported: the same pages, items, statuses,
// sizes and phase times. The HAR lists an item once, under the first page that has it (the
// demo's pages share their images, and its frame the home page's style sheet), so those
// repeats are the only items an imported page lacks.
TEST_F(ImportCommand, TheDemosHarImportsAsItWasMeasured) {
    const Result demo = run({"demo", "--json", "--har", file("demo.har"), "--out", file("out")});
    ASSERT_EQ(demo.status, 0) << demo.err;
    const Result imported = run({"import", file("demo.har"), "--json"});
    ASSERT_NE(imported.status, 2) << imported.err;
    const json measured = json::parse(demo.out);
    const json reread = json::parse(imported.out);
    std::map<std::string, json> importedPages;
    for (const json& page : reread["pages"]) importedPages[page["address"]] = page;

    const auto record = [](const json& item) {
        json kept;
        for (const char* field : {"url", "parent", "offset", "status", "result", "phaseValue",
                                  "contentType", "size", "connect", "send", "wait", "receive"})
            kept[field] = item[field];
        return kept;
    };
    std::set<std::string> listed;
    std::size_t pages = 0;
    for (const json& page : measured["pages"]) {
        if (page["items"].empty() || page["items"][0]["status"] == 0) continue;  // not loaded
        ++pages;
        SCOPED_TRACE(page["address"].get<std::string>());
        ASSERT_EQ(importedPages.count(page["address"]), 1u);
        const json& again = importedPages[page["address"]];
        EXPECT_EQ(again["state"], page["state"]);
        EXPECT_EQ(again["title"], page["title"]);
        json expected = json::array(), got = json::array();
        for (const json& item : page["items"])
            if (listed.insert(item["url"]).second) expected.push_back(record(item));
        for (const json& item : again["items"]) got.push_back(record(item));
        // Siblings are listed as their transfers ended, which two runs may order differently.
        const auto byAddress = [](const json& a, const json& b) { return a["url"] < b["url"]; };
        std::sort(expected.begin(), expected.end(), byAddress);
        std::sort(got.begin(), got.end(), byAddress);
        EXPECT_EQ(got, expected);
    }
    EXPECT_EQ(pages, importedPages.size());
    EXPECT_GE(pages, 5u);
}

}  // namespace
