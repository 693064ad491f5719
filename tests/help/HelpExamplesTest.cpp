// Every example of the help pages, run: statements over the demo site's measured home page,
// command lines through the built pagelyst-cli against the demo site on a loopback port.
#include "tests/help/HelpExamples.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>

#include "cli/DemoSite.h"
#include "query/ElementTable.h"
#include "query/QueryEngine.h"
#include "query/QueryError.h"
#include "tests/cli/process/CliProcess.h"
#include "tests/engine/SiteFixture.h"

namespace helptest {
namespace {

namespace fs = std::filesystem;

const fs::path kHelp = PAGELYST_HELP_DIR;
// The address the examples name, served by the demo site in the test.
const std::string kExampleOrigin = "http://www.example.com";

std::string slurp(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at))
        text.replace(at, from.size(), to), at += to.size();
    return text;
}

TEST(HelpPages, EveryPageThatTeachesAnInputHasExamples) {
    const std::vector<std::string> teaching = {
        "getting-started.html", "views.html",       "connections.html", "lines.html",
        "conditions.html",      "query.html",       "reports.html",     "waterfall.html",
        "har-import.html",      "command-line.html"};
    std::map<std::string, int> counts;
    for (const Example& example : examplesIn(kHelp)) {
        ++counts[example.page];
        EXPECT_TRUE(example.kind == "query" || example.kind == "cli")
            << example.page << ": " << example.text;
    }
    for (const std::string& page : teaching) {
        EXPECT_TRUE(fs::exists(kHelp / page)) << page;
        EXPECT_GT(counts[page], 0) << page << " has no example";
    }
}

// The values of one attribute in the page, in order ("href", "id").
std::vector<std::string> valuesOf(const std::string& html, const std::string& name) {
    std::vector<std::string> values;
    const std::string open = " " + name + "=\"";
    for (std::size_t at = html.find(open); at != std::string::npos; at = html.find(open, at)) {
        at += open.size();
        values.push_back(html.substr(at, html.find('"', at) - at));
    }
    return values;
}

TEST(HelpPages, EveryLinkReachesAPageAndItsAnchor) {
    for (const auto& entry : fs::directory_iterator(kHelp)) {
        if (entry.path().extension() != ".html") continue;
        for (const std::string& link : valuesOf(slurp(entry.path()), "href")) {
            const std::size_t hash = link.find('#');
            const fs::path target = kHelp / link.substr(0, hash);
            ASSERT_TRUE(fs::exists(target)) << entry.path().filename() << " -> " << link;
            if (hash == std::string::npos) continue;
            const auto ids = valuesOf(slurp(target), "id");
            EXPECT_NE(std::find(ids.begin(), ids.end(), link.substr(hash + 1)), ids.end())
                << entry.path().filename() << " -> " << link;
        }
    }
}

// The demo site's home page, measured once for every statement.
class HelpQueryExamples : public enginetest::SiteFixture {
protected:
    cli::DemoSite demo_;
};

std::string rendered(const query::QueryTable& table) {
    std::string text;
    for (const std::string& name : table.columnNames()) text += name + " | ";
    for (const query::QueryRow& row : table) {
        text += "\n";
        for (std::size_t c = 0; c < table.columnCount(); ++c)
            text += (row.cell(c) ? row.cell(c)->toText() : std::string("-")) + " | ";
    }
    return text;
}

TEST_F(HelpQueryExamples, EveryStatementRunsOverTheDemoHomePageAndGivesRows) {
    const auto page = load(demo_.homeAddress());
    const query::QueryTablePtr elements = query::buildElementTable(*page, 0);
    ASSERT_GT(elements->rowCount(), 5u);
    int statements = 0;
    for (const Example& example : examplesIn(kHelp)) {
        if (example.kind != "query") continue;
        ++statements;
        SCOPED_TRACE(example.page + ": " + example.text);
        EXPECT_EQ(query::validateQuery(example.text), std::nullopt);
        try {
            const query::QueryTablePtr result = query::runQuery(example.text, *elements);
            EXPECT_GT(result->rowCount(), 0u) << rendered(*result);
            if (example.data.count("expect")) {
                EXPECT_NE(rendered(*result).find(example.data.at("expect")), std::string::npos)
                    << rendered(*result);
            }
        } catch (const query::QueryError& error) {
            ADD_FAILURE() << error.message();
        }
    }
    EXPECT_GE(statements, 15);
}

// Each command in a folder of its own test, where an earlier run left the HAR and the scenario
// that `import` and `open` examples name.
class HelpCliExamples : public ::testing::Test {
protected:
    HelpCliExamples() { environment_.withoutProxies(); }

    clitest::CliResult run(const std::vector<std::string>& args, const std::string& input = {}) {
        return clitest::runCli(args, {.input = input, .workingFolder = home_.path().string()});
    }

    testing_support::TempHome home_;
    support::ScopedEnvironment environment_;
    cli::DemoSite demo_;
};

TEST_F(HelpCliExamples, EveryCommandExitsAsItSaysAndPrintsWhatItShows) {
    const std::string origin = "http://127.0.0.1:" + std::to_string(demo_.port());
    const auto prepared = run(
        {"analyze", origin + "/about.html", "--har", "page.har", "--save-scenario", "site.wsa"});
    ASSERT_EQ(prepared.status, 0) << prepared.err;
    int commands = 0;
    for (const Example& example : examplesIn(kHelp)) {
        if (example.kind != "cli") continue;
        ++commands;
        SCOPED_TRACE(example.page + ": " + example.text);
        std::vector<std::string> words = splitWords(replaced(example.text, kExampleOrigin, origin));
        ASSERT_FALSE(words.empty());
        ASSERT_EQ(words.front(), "pagelyst-cli");
        words.erase(words.begin());
        const auto data = [&](const std::string& name) {
            const auto found = example.data.find(name);
            return found == example.data.end() ? std::string() : found->second;
        };
        const clitest::CliResult result = run(words, data("stdin"));
        const int status = data("exit").empty() ? 0 : std::stoi(data("exit"));
        EXPECT_EQ(result.status, status) << result.err;
        if (!data("expect").empty()) {
            EXPECT_NE((result.out + result.err).find(data("expect")), std::string::npos)
                << result.out << result.err;
        }
    }
    EXPECT_GE(commands, 20);
}

}  // namespace
}  // namespace helptest
