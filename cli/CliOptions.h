#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/figures/LineModel.h"
#include "engine/figures/NetworkLine.h"

namespace cli {

// What one invocation of pagelyst-cli asks for.
struct CliOptions {
    enum class Command { Analyze, Open, Demo, Stats, Reports, Import };

    Command command = Command::Analyze;
    std::string address;   // analyze
    std::string scenario;  // open
    std::string harFile;   // import

    bool crawl = false;
    std::optional<int> levels;
    std::optional<int> pages;
    std::optional<int> scope;  // the crawl scope: 0 host, 1 domain, 2 all
    int connectionIndex = 0;   // 0..10
    bool json = false;
    std::string harPath;
    std::string waterfallPath;  // the current page's waterfall at the connection, as SVG
    std::string lineText;       // --line as given
    std::optional<engine::NetworkLine> line;       // parsed from it: restate for today's line too
    std::vector<std::string> harAt;                // --har-at LINE FILE as given
    std::optional<engine::NetworkLine> harAtLine;  // its line, parsed
    std::string harAtPath;                         // its file
    std::string browserCostText;                   // --browser-cost COMMIT/REQUEST as given
    engine::BrowserCost browserCost;               // parsed from it: 0/0 without
    std::string scenarioOut;
    std::optional<int> timeoutSeconds;
    std::string userAgent;  // empty: the engine's own
    std::string proxy;      // HOST[:PORT] as given
    std::string proxyHost;  // split from it
    int proxyPort = 0;      // 0: no port given
    bool noProxy = false;
    std::string user;
    bool passwordStdin = false;

    std::vector<std::string> statistics;  // --stat: ids or titles
    std::string query;                    // --query: a statement typed there
    std::string csvPath;
    std::string analysisPath;      // the current page's general analysis report
    std::string analysisSitePath;  // the consolidated report
    bool failOnCondition = false;
    std::vector<std::string> conditions;  // --condition: replace the stored ones
    std::string report;                   // --report: id or name
    std::string htmlPath;
    std::string demoFolder;  // demo --out: where its reports go (a default folder when empty)
};

// The folder the demo writes its reports into without --out: under the user's data folder.
std::string defaultDemoFolder();

// A decimal number of at most `digits` digits (no sign, no blanks).
std::optional<int> decimalNumber(std::string_view text, std::size_t digits = 9);

// The connection index for a name of the connection table (any case) or a number 0 to 10.
std::optional<int> connectionIndex(const std::string& text);

// Parses the command line. Returns the options to run with, or the exit status to end with at
// once: 0 after --help or --version (printed to `out`), 2 after a usage error (one line on
// `err`).
struct ParseResult {
    std::optional<CliOptions> options;
    int status = 0;
};
ParseResult parseCommandLine(int argc, const char* const* argv, std::ostream& out,
                             std::ostream& err);

}  // namespace cli
