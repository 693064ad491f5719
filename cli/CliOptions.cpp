#include "cli/CliOptions.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <charconv>
#include <ostream>

#include "engine/figures/ConnectionSpeed.h"
#include "engine/http/InternetRoot.h"
#include "platform/SpecialFolders.h"
#include "query/TextCase.h"

namespace cli {

namespace {

constexpr const char* kVersion = "pagelyst-cli 0.1.0";

std::string connectionNames() {
    std::string names;
    for (const auto& speed : engine::kConnectionSpeeds) {
        if (!names.empty()) names += ", ";
        names += "\"" + std::string(speed.name) + "\"";
    }
    return names;
}

std::string lineNames() {
    std::string names;
    for (const engine::NetworkLine& line : engine::namedLines())
        names += (names.empty() ? "" : ", ") + line.name;
    return names;
}

// The options every command shares.
void addRunOptions(CLI::App& command, CliOptions& options, std::string& connection,
                   std::string& scope) {
    command.add_flag("--crawl", options.crawl,
                     "Analyze All: follow the pages' links level by level within the limits");
    command.add_option("--levels", options.levels, "crawl level limit (stored setting otherwise)")
        ->check(CLI::Range(1, 1000000));
    command.add_option("--pages", options.pages, "crawl page limit (stored setting otherwise)")
        ->check(CLI::Range(1, 100000000));
    command.add_option("--scope", scope, "crawl scope: host, domain or all")
        ->check(CLI::IsMember({"host", "domain", "all"}, CLI::ignore_case));
    command.add_option(
        "--connection", connection,
        "connection to restate times for: a name (" + connectionNames() + ") or 0..10; default 0");
    command.add_flag("--json", options.json,
                     "print one JSON document instead of the tables: times in milliseconds, sizes "
                     "in bytes, speeds in bytes per second, shares as fractions (0.25 is 25 %)");
    command.add_option("--har", options.harPath, "write a HAR 1.2 file of every page and item");
    command.add_option("--waterfall", options.waterfallPath,
                       "write the first page's waterfall at the --connection as SVG: one row per "
                       "element on the four-connection browser's lanes, with the download and "
                       "browse times");
    command.add_option("--line", options.lineText,
                       "also restate the pages for one of today's lines, as a browser with six "
                       "connections per host loads them: a name (" +
                           lineNames() +
                           ") or DOWN/UP/RTT, bits per second with K, M or G and milliseconds, "
                           "such as 1.6M/750K/150; --waterfall then draws that line");
    command
        .add_option("--har-at", options.harAt,
                    "write a HAR 1.2 file whose timings are the --line model's for LINE (a name or "
                    "DOWN/UP/RTT) to FILE")
        ->expected(2)
        ->type_name("LINE FILE");
    command.add_option("--browser-cost", options.browserCostText,
                       "the browser's own time in the --line and --har-at model, as COMMIT/REQUEST "
                       "in milliseconds: from the document's first byte to its first requests, and "
                       "per request; such as 15/10 (default 0/0, the line alone)");
    command.add_option("--save-scenario", options.scenarioOut,
                       "save the site tree as a scenario (*.wsa) after the run");
    command
        .add_option("--timeout", options.timeoutSeconds,
                    "seconds without progress that end a transfer (default 60)")
        ->check(CLI::Range(1, 86400));
    command.add_option("--user-agent", options.userAgent,
                       "send TEXT as the User-Agent for this run; by default \"" +
                           std::string(engine::InternetRoot::kUserAgent) + "\"");
    auto* proxy = command.add_option("--proxy", options.proxy, "use this proxy: HOST[:PORT]");
    command.add_flag("--no-proxy", options.noProxy, "connect directly, whatever is configured")
        ->excludes(proxy);
    auto* password = command.add_flag("--password-stdin", options.passwordStdin,
                                      "read the --user password from the first line of stdin");
    command.add_option("--user", options.user, "log in to the web site as NAME")->needs(password);
    password->needs(command.get_option("--user"));

    command.add_option("--stat", options.statistics,
                       "print a statistics definition's result (id or title) for each page; "
                       "repeatable");
    command.add_option("--query", options.query,
                       "print the result of this statement for each page");
    command.add_option("--csv", options.csvPath,
                       "write the result of the single --stat or --query as comma-separated text; "
                       "in a crawl every page's rows, its address first");
    command.add_option("--analysis", options.analysisPath,
                       "write the first page's General Web Page Analysis Report (HTML)");
    command.add_option("--analysis-site", options.analysisSitePath,
                       "write the Consolidated Site Analysis Report of all pages (HTML)");
    command.add_flag("--fail-on-condition", options.failOnCondition,
                     "exit with 4 when an enabled time condition matches a page");
    command.add_option("--condition", options.conditions,
                       "a time condition \"download|browse CONNECTION SECONDS\" replacing the "
                       "stored ones for this run; repeatable");
    command.add_option("--report", options.report,
                       "render a report (id or name, see `reports`) over each page");
    command.add_option("--html", options.htmlPath,
                       "write the --report of the first page to this file as the export does");
}

// Applies the texts that need more than CLI11's checks; a usage error message, or nothing.
// "COMMIT/REQUEST": two plain numbers of milliseconds, fractions allowed, 0 to 60000 each.
std::optional<engine::BrowserCost> browserCost(std::string_view text) {
    const auto slash = text.find('/');
    if (slash == std::string_view::npos) return std::nullopt;
    double parts[2] = {0, 0};
    const std::string_view pieces[2] = {text.substr(0, slash), text.substr(slash + 1)};
    for (int i = 0; i < 2; ++i) {
        const std::string_view piece = pieces[i];
        if (piece.empty() || piece.front() == '-' || piece.front() == '+') return std::nullopt;
        const auto [end, error] = std::from_chars(piece.data(), piece.data() + piece.size(),
                                                  parts[i], std::chars_format::fixed);
        if (error != std::errc{} || end != piece.data() + piece.size()) return std::nullopt;
        if (!(parts[i] >= 0 && parts[i] <= 60000)) return std::nullopt;
    }
    return engine::BrowserCost{parts[0], parts[1]};
}

std::optional<std::string> finish(CliOptions& options, const std::string& connection,
                                  const std::string& scope) {
    if (!connection.empty()) {
        const auto index = connectionIndex(connection);
        if (!index)
            return "unknown connection \"" + connection + "\"; use one of " + connectionNames() +
                   " or 0..10";
        options.connectionIndex = *index;
    }
    if (!options.lineText.empty()) {
        std::string error;
        options.line = engine::parseNetworkLine(options.lineText, error);
        if (!options.line) return error;
    }
    if (options.harAt.size() == 2) {
        std::string error;
        options.harAtLine = engine::parseNetworkLine(options.harAt[0], error);
        if (!options.harAtLine) return "--har-at: " + error;
        options.harAtPath = options.harAt[1];
    }
    if (!options.browserCostText.empty()) {
        const auto cost = browserCost(options.browserCostText);
        if (!cost)
            return "--browser-cost: \"" + options.browserCostText +
                   "\" is not COMMIT/REQUEST, two numbers of milliseconds from 0 to 60000 such "
                   "as 15/10";
        options.browserCost = *cost;
    }
    if (!scope.empty()) {
        options.scope = query::equalIgnoringCase(scope, "host")     ? 0
                        : query::equalIgnoringCase(scope, "domain") ? 1
                                                                    : 2;
    }
    if (!options.proxy.empty()) {
        const auto colon = options.proxy.rfind(':');
        options.proxyHost = options.proxy.substr(0, colon);
        if (colon != std::string::npos) {
            const auto port = decimalNumber(std::string_view(options.proxy).substr(colon + 1), 5);
            if (!port || *port == 0 || *port > 65535) {
                return "invalid proxy port in \"" + options.proxy + "\"";
            }
            options.proxyPort = *port;
        }
    }
    if (!options.csvPath.empty() &&
        options.statistics.size() + (options.query.empty() ? 0 : 1) != 1) {
        return "--csv needs exactly one --stat or --query";
    }
    if (!options.htmlPath.empty() && options.report.empty()) return "--html needs --report";
    // The report is HTML for a file or the terminal; one JSON document has no place for it.
    if (options.json && !options.report.empty() && options.htmlPath.empty())
        return "--json cannot carry --report; write the report with --html FILE";
    return std::nullopt;
}

}  // namespace

std::string defaultDemoFolder() {
    return platform::SpecialFolders::applicationData() + "/pagelyst/demo";
}

std::optional<int> decimalNumber(std::string_view text, std::size_t digits) {
    if (text.empty() || text.size() > digits ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    return std::stoi(std::string(text));
}

std::optional<int> connectionIndex(const std::string& text) {
    for (std::size_t i = 0; i < engine::kConnectionSpeeds.size(); ++i) {
        if (query::equalIgnoringCase(text, engine::kConnectionSpeeds[i].name)) {
            return static_cast<int>(i);
        }
    }
    const auto index = decimalNumber(text, 2);
    if (index && engine::isConnectionIndex(*index)) return index;
    return std::nullopt;
}

ParseResult parseCommandLine(int argc, const char* const* argv, std::ostream& out,
                             std::ostream& err) {
    CLI::App app{"Pagelyst: measures how fast web pages load and explains why.", "pagelyst-cli"};
    app.set_version_flag("--version", kVersion);
    app.require_subcommand(1);
    CliOptions options;
    std::string connection;
    std::string scope;

    auto* analyze = app.add_subcommand("analyze", "analyze the page at an address");
    analyze->add_option("URL", options.address, "the address, as typed in an address bar")
        ->required();
    auto* open = app.add_subcommand("open", "load a scenario (*.wsa) and analyze all its pages");
    open->add_option("FILE", options.scenario, "the scenario file")->required();
    auto* demo = app.add_subcommand(
        "demo", "serve the bundled sample site on a loopback port and crawl it, offline");
    for (CLI::App* command : {analyze, open, demo}) {
        addRunOptions(*command, options, connection, scope);
    }
    auto* import = app.add_subcommand(
        "import", "read the pages a browser loaded from its HAR file (1.1 or 1.2), analyze them");
    import->add_option("FILE", options.harFile, "the HAR file")->required();
    addRunOptions(*import, options, connection, scope);
    // Nothing is downloaded: the options of the crawl and of the transfers do not apply.
    for (const char* name : {"--crawl", "--levels", "--pages", "--scope", "--timeout",
                             "--user-agent", "--proxy", "--no-proxy", "--user", "--password-stdin"})
        import->remove_option(import->get_option(name));
    demo->add_option(
        "--out", options.demoFolder,
        "write the demo's two reports into this folder (default: " + defaultDemoFolder() + ")");
    auto* stats = app.add_subcommand("stats", "list the statistics definitions (id, title, query)");
    auto* reports = app.add_subcommand("reports", "list the reports (id, name)");

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        out << app.help();  // the command's own help when a command was named
        return {std::nullopt, 0};
    } catch (const CLI::CallForVersion&) {
        out << kVersion << "\n";
        return {std::nullopt, 0};
    } catch (const CLI::ParseError& error) {
        if (error.get_exit_code() == 0) {
            out << app.help();
            return {std::nullopt, 0};
        }
        err << "pagelyst-cli: " << error.what() << "\n";
        return {std::nullopt, 2};
    }
    options.command = analyze->parsed()  ? CliOptions::Command::Analyze
                      : open->parsed()   ? CliOptions::Command::Open
                      : demo->parsed()   ? CliOptions::Command::Demo
                      : import->parsed() ? CliOptions::Command::Import
                      : stats->parsed()  ? CliOptions::Command::Stats
                                         : CliOptions::Command::Reports;
    (void)reports;
    if (const auto problem = finish(options, connection, scope)) {
        err << "pagelyst-cli: " << *problem << "\n";
        return {std::nullopt, 2};
    }
    return {std::move(options), 0};
}

}  // namespace cli
