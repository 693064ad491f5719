#include "cli/CliRun.h"

#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <thread>
#include <utility>

#include "cli/DemoSite.h"
#include "cli/Interrupt.h"
#include "cli/LineReport.h"
#include "cli/RunProgress.h"
#include "cli/TableReport.h"
#include "cli/WaterfallFile.h"
#include "engine/crawl/ScenarioDocument.h"
#include "engine/crawl/SiteTree.h"
#include "engine/http/ConnectionPool.h"
#include "engine/schedule/MessageQueue.h"
#include "engine/schedule/SiteManager.h"
#include "engine/settings/AddressMru.h"
#include "engine/url/ParsedUrl.h"
#include "export/HarImport.h"
#include "export/HarWriter.h"
#include "export/JsonReport.h"
#include "export/LineHar.h"
#include "report/PageSnapshot.h"

namespace cli {

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kSuccess = 0;
constexpr int kUsageError = 2;
constexpr int kPageFailed = 3;
constexpr int kConditionMatched = 4;
// After Ctrl+C the loop waits this long for the workers to report that they ended.
constexpr std::chrono::seconds kStopGrace{2};
constexpr std::chrono::milliseconds kGatherMessages{2};

bool failed(engine::PageState state) {
    return state == engine::PageState::Error || state == engine::PageState::ChildError ||
           state == engine::PageState::Canceled || state == engine::PageState::Aborting;
}

// Whether a file can be written at `path`, checked before the run so that a wrong path costs
// no measurement; the reason when not.
bool canWrite(const std::string& path, std::string& problem) {
    namespace fs = std::filesystem;
    std::error_code code;
    const fs::path target(path);
    if (fs::is_directory(target, code)) {
        problem = "it is a folder";
        return false;
    }
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    if (!fs::is_directory(folder, code)) {
        problem = "no such folder";
        return false;
    }
    const bool exists = fs::exists(target, code);
    if (::access(exists ? path.c_str() : folder.c_str(), W_OK) != 0) {
        problem = std::strerror(errno);
        return false;
    }
    return true;
}

}  // namespace

CliRun::CliRun(CliOptions options, std::ostream& out, std::ostream& err)
    : options_(std::move(options)), out_(out), err_(err) {}

bool CliRun::fail(const std::string& message) {
    err_ << "pagelyst-cli: " << message << "\n";
    return false;
}

// Everything that can be refused before a byte goes over the network.
bool CliRun::prepare() {
    for (const std::string* path :
         {&options_.harPath, &options_.scenarioOut, &options_.analysisPath,
          &options_.analysisSitePath, &options_.csvPath, &options_.htmlPath,
          &options_.waterfallPath, &options_.harAtPath}) {
        std::string problem;
        if (!path->empty() && !canWrite(*path, problem)) {
            return fail("cannot write " + *path + ": " + problem);
        }
    }
    if (options_.command == CliOptions::Command::Open ||
        options_.command == CliOptions::Command::Import) {
        // Only a file that is there can be damaged; the other cases say what is wrong.
        const std::string& input =
            options_.command == CliOptions::Command::Open ? options_.scenario : options_.harFile;
        std::error_code code;
        const std::filesystem::path file(input);
        if (std::filesystem::is_directory(file, code))
            return fail("cannot open " + input + ": is a folder");
        if (!std::filesystem::exists(file, code))
            return fail("cannot open " + input + ": no such file");
    }
    if (options_.command == CliOptions::Command::Demo && !prepareDemoFolder()) return false;
    if (options_.passwordStdin && !std::getline(std::cin, password_)) {
        return fail("--password-stdin: no password on standard input");
    }
    if (!password_.empty() && password_.back() == '\r') password_.pop_back();
    return true;
}

// The demo's reports go into a folder of their own, never the one it was started from.
bool CliRun::prepareDemoFolder() {
    if (options_.demoFolder.empty()) options_.demoFolder = defaultDemoFolder();
    std::error_code code;
    std::filesystem::create_directories(options_.demoFolder, code);
    if (!std::filesystem::is_directory(options_.demoFolder, code))
        return fail("cannot write into " + options_.demoFolder + ": no such folder");
    if (::access(options_.demoFolder.c_str(), W_OK) != 0)
        return fail("cannot write into " + options_.demoFolder + ": " + std::strerror(errno));
    return true;
}

engine::EngineSettings CliRun::effectiveSettings() const {
    engine::EngineSettings settings = engine::loadSettings();
    if (options_.levels) settings.limits.levelLimit = *options_.levels;
    if (options_.pages) settings.limits.pageLimit = *options_.pages;
    if (options_.scope) settings.operation.autoCheck = *options_.scope;
    engine::ConnectionSettings& access = settings.connection;  // proxy and login
    if (options_.noProxy || options_.command == CliOptions::Command::Demo) {
        access.proxy = engine::ConnectionSettings::kProxyNone;
    } else if (!options_.proxy.empty()) {
        access.proxy = engine::ConnectionSettings::kProxyNamed;
        access.proxyServer = options_.proxyHost;
        access.proxyPort = options_.proxyPort;
    }
    if (!options_.user.empty()) {
        access.authentication = true;
        access.name = options_.user;
        access.password = password_;
    }
    return settings;
}

int CliRun::execute() {
    if (options_.command == CliOptions::Command::Stats) {
        out_ << statisticsListing();
        return kSuccess;
    }
    if (options_.command == CliOptions::Command::Reports) {
        out_ << reportsListing();
        return kSuccess;
    }
    if (!prepare()) return kUsageError;
    if (const auto problem = extras_.prepare(options_)) {
        fail(*problem);
        return kUsageError;
    }
    switch (options_.command) {
        case CliOptions::Command::Analyze: {
            const std::string completed = engine::completeTyped(options_.address);
            if (!engine::ParsedUrl::parse(completed).valid) {
                fail("invalid address \"" + options_.address + "\"");
                return kUsageError;
            }
            // The address bar's history: the only setting a run writes.
            engine::AddressMru history;
            history.mruLoad();
            history.mruAdd(options_.address);
            history.setBarText(options_.address);
            history.mruSave();
            return runAnalysis(options_.address, "");
        }
        case CliOptions::Command::Open:
            return runAnalysis("", options_.scenario);
        case CliOptions::Command::Demo: {
            DemoSite site;
            err_ << "Serving the demo site at " << site.homeAddress() << " (and "
                 << site.partnerAddress() << ")\n";
            options_.crawl = true;
            const int status = runAnalysis(site.homeAddress(), "");
            // The demo's failing elements are there by design: it succeeds when it ran to its end.
            return status == kPageFailed && !interrupted() ? kSuccess : status;
        }
        case CliOptions::Command::Import:
            return runImport(options_.harFile);
        case CliOptions::Command::Stats:
        case CliOptions::Command::Reports:
            break;
    }
    return kUsageError;
}

int CliRun::runAnalysis(const std::string& address, const std::string& scenario) {
    auto queue = std::make_shared<engine::MessageQueue>();
    engine::SiteManager manager(engine::SiteManager::Role::Interactive, queue);
    manager.setSettings(effectiveSettings());
    engine::TransferOptions transfer;
    if (options_.timeoutSeconds) {
        transfer.noProgressTimeoutMs = static_cast<std::uint32_t>(*options_.timeoutSeconds) * 1000;
    }
    transfer.userAgent = options_.userAgent;
    manager.setTransferOptions(transfer);
    engine::SiteTree tree(manager);
    tree.crawlController().enabled = options_.crawl;
    // Every page is graded as it finishes, on the worker that finished it.
    tree.setPageAnalysis([](engine::PageEntry& page) { report::analyseAndStore(page); });
    engine::ScenarioDocument document(tree);

    // Whatever happens below, no worker may wait on the queue once this run ends.
    struct CloseQueue {
        engine::MessageQueue& queue;
        ~CloseQueue() { queue.close(); }
    } closeQueue{*queue};

    bool crawlPending = false;
    if (!scenario.empty()) {
        if (const auto problem = document.load(scenario)) {
            fail("cannot open " + scenario + ": " + *problem);
            return kUsageError;
        }
        tree.analyzeAll("");
    } else {
        tree.analyseAddress(address);
        crawlPending = options_.crawl;
    }

    RunProgress progress(err_, isatty(STDERR_FILENO) != 0);
    bool ended = false;
    bool stopped = false;
    Clock::time_point stopDeadline{};
    while (true) {
        queue->dispatch(
            [&](const engine::EngineMessage& message) {
                tree.handle(message);
                if (message.id == engine::MessageId::WorkState) ended = message.workEnded();
                progress.update(tree);
            },
            std::chrono::milliseconds(50));
        // Workers post a message at every phase of every transfer. Handled one by one, each
        // would wake this thread, and a crawl spent more time switching threads than loading;
        // gathered for a moment they are handled in batches, still far faster than shown.
        std::this_thread::sleep_for(kGatherMessages);
        if (interrupted() && !stopped) {
            stopped = true;
            tree.stop();
            stopDeadline = Clock::now() + kStopGrace;
        }
        if (ended && crawlPending && !stopped) {
            // The typed page is loaded: now the crawl below it.
            crawlPending = false;
            tree.analyzeAll("");
        }
        const bool idle = ended && !tree.crawlController().running && !manager.isBusy();
        if (idle && !crawlPending) break;
        if (stopped && Clock::now() >= stopDeadline) break;
    }
    progress.finish();

    Pages pages;
    for (const engine::SiteNode* node : tree.displayOrder()) pages.push_back(node->page);
    int status = report(pages, stopped);
    if (options_.command == CliOptions::Command::Demo && !stopped) {
        std::string error;
        for (const std::string& path :
             extras_.writeDemoReports(pages, options_.demoFolder, error)) {
            err_ << "Wrote " << path << "\n";
        }
        if (!error.empty()) {
            fail(error);
            status = kUsageError;
        }
    }
    if (!options_.scenarioOut.empty() && !saveScenario(document, tree.crawlController().enabled))
        status = kUsageError;
    return status;
}

// The pages a browser loaded, read from its HAR file instead of measured; then the outputs of
// a measured run over them.
int CliRun::runImport(const std::string& path) {
    engine::SiteManager manager(engine::SiteManager::Role::Interactive,
                                std::make_shared<engine::MessageQueue>());
    manager.setSettings(effectiveSettings());
    engine::SiteTree tree(manager);
    tree.crawlController().enabled = false;
    tree.setPageAnalysis([](engine::PageEntry& page) { report::analyseAndStore(page); });
    engine::ScenarioDocument document(tree);

    const exporting::HarImport imported = exporting::importHar(tree, path);
    if (!imported.error.empty()) {
        fail("cannot import " + path + ": " + imported.error);
        return kUsageError;
    }
    err_ << exporting::importSummaryText(imported.summary,
                                         std::filesystem::path(path).filename().string())
         << "\n";
    Pages pages;
    for (const engine::SiteNode* node : tree.displayOrder()) pages.push_back(node->page);
    int status = report(pages, false);
    if (!options_.scenarioOut.empty() && !saveScenario(document, false)) status = kUsageError;
    return status;
}

bool CliRun::saveScenario(engine::ScenarioDocument& document, bool autoFlag) {
    std::string reason;
    if (document.save(options_.scenarioOut, autoFlag, &reason)) return true;
    return fail("cannot write " + options_.scenarioOut + ": " + reason);
}

bool CliRun::crawls() const {
    // An import has as many pages as its file, as a crawl or a scenario has.
    return options_.crawl || options_.command == CliOptions::Command::Open ||
           options_.command == CliOptions::Command::Import;
}

int CliRun::report(const Pages& pages, bool stopped) {
    if (options_.json) {
        nlohmann::json document = exporting::jsonReport(pages, options_.connectionIndex);
        extras_.annotate(document, pages, options_.connectionIndex);
        if (options_.line) addLineFigures(document, pages, *options_.line, options_.browserCost);
        out_ << exporting::jsonText(document) << "\n";
    } else {
        out_ << tableReport(pages, options_.connectionIndex, crawls());
        if (options_.line) out_ << lineTable(pages, *options_.line, options_.browserCost);
        out_ << extras_.statisticsText(pages, options_.connectionIndex);
        if (extras_.wantsReport() && options_.htmlPath.empty()) {
            out_ << extras_.reportText(pages, options_.connectionIndex);
        }
        if (stopped) out_ << "\nStopped: the figures above are what was measured until then.\n";
    }
    out_.flush();
    if (!options_.harPath.empty()) {
        std::string error;
        if (!exporting::writeHar(options_.harPath, pages, error)) {
            fail("cannot write " + options_.harPath + ": " + error);
            return kUsageError;
        }
    }
    if (options_.harAtLine) {
        std::string error;
        if (!exporting::writeLineHar(options_.harAtPath, pages, *options_.harAtLine, error,
                                     exporting::HarClock::now(), options_.browserCost)) {
            fail("cannot write " + options_.harAtPath + ": " + error);
            return kUsageError;
        }
    }
    if (!options_.waterfallPath.empty()) {
        if (const auto problem =
                options_.line
                    ? writeLineWaterfall(options_.waterfallPath, pages, *options_.line,
                                         options_.browserCost)
                    : writeWaterfall(options_.waterfallPath, pages, options_.connectionIndex)) {
            fail(*problem);
            return kUsageError;
        }
    }
    if (const auto problem = extras_.writeFiles(pages, options_.connectionIndex, crawls())) {
        fail(*problem);
        return kUsageError;
    }
    if (const auto& failure = extras_.queryFailure()) {
        fail(*failure);
        return kUsageError;
    }
    if (stopped) return kPageFailed;
    for (const auto& page : pages) {
        if (failed(page->state())) return kPageFailed;
    }
    if (options_.failOnCondition && extras_.anyConditionMatched(pages)) return kConditionMatched;
    return kSuccess;
}

}  // namespace cli
