#pragma once

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "cli/CliOptions.h"
#include "cli/RunExtras.h"
#include "engine/crawl/ScenarioDocument.h"
#include "engine/schedule/PageEntry.h"
#include "engine/settings/EngineSettings.h"

namespace cli {

// One run of pagelyst-cli: the stored settings with the options laid over them, the site tree
// over the interactive manager (pages one after another, elements on up to four workers), the
// message loop on this thread, then the output. Returns the exit status: 0 when every page
// that was loaded finished, 3 when one ended in error or was canceled (Ctrl+C included), 4
// with --fail-on-condition when a time condition matched a page, 2 when the address, the
// scenario, a definition, a statement or an output file cannot be used. `import` reads its
// pages from a HAR file instead of loading them (2 when the file cannot be imported).
class CliRun {
public:
    CliRun(CliOptions options, std::ostream& out, std::ostream& err);
    int execute();

private:
    struct Outcome;

    bool prepare();
    bool prepareDemoFolder();
    // Whether the run goes beyond the page it was given (a crawl, or a scenario's pages).
    bool crawls() const;
    engine::EngineSettings effectiveSettings() const;
    int runAnalysis(const std::string& address, const std::string& scenario);
    int runImport(const std::string& path);
    int report(const std::vector<std::shared_ptr<engine::PageEntry>>& pages, bool stopped);
    bool fail(const std::string& message);
    // Writes the run's scenario to --save; false, and said why, when it cannot be written.
    bool saveScenario(engine::ScenarioDocument& document, bool autoFlag);

    CliOptions options_;
    std::ostream& out_;
    std::ostream& err_;
    std::string password_;
    RunExtras extras_;
};

}  // namespace cli
