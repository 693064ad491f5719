#include "cli/RunExtras.h"

#include "report/PageClass.h"

namespace cli {

std::optional<std::string> RunExtras::prepare(const CliOptions& options) {
    options_ = options;
    if (auto problem = statistics_.prepare(options.statistics, options.query)) return problem;
    if (auto problem = reports_.prepare(options.report)) return problem;
    return conditions_.prepare(options.conditions);
}

std::string RunExtras::statisticsText(const Pages& pages, int connection) {
    return statistics_.text(pages, connection);
}

std::string RunExtras::reportText(const Pages& pages, int connection) {
    return reports_.text(pages, connection, conditions_.conditions());
}

void RunExtras::annotate(nlohmann::json& document, const Pages& pages, int connection) {
    nlohmann::json& entries = document["pages"];
    for (std::size_t i = 0; i < pages.size() && i < entries.size(); ++i) {
        engine::PageEntry& page = *pages[i];
        nlohmann::json& entry = entries[i];
        entry["class"] = report::plainName(page.pageClass());
        entry["classValue"] = page.pageClass();
        entry["analysis"] = page.hintText();
        entry["conditions"] = conditions_.matched(page);
        if (!statistics_.empty()) entry["statistics"] = statistics_.json(page, connection);
    }
}

std::optional<std::string> RunExtras::writeFiles(const Pages& pages, int connection, bool crawl) {
    if (!options_.csvPath.empty()) {
        if (auto problem = statistics_.writeCsv(options_.csvPath, pages, connection, crawl))
            return problem;
    }
    return reports_.writeFiles(options_.analysisPath, options_.analysisSitePath, options_.htmlPath,
                               pages, connection, conditions_.conditions());
}

std::vector<std::string> RunExtras::writeDemoReports(const Pages& pages, const std::string& folder,
                                                     std::string& error) {
    return reports_.writeDemoReports(pages, folder, conditions_.conditions(), error);
}

std::optional<std::string> RunExtras::queryFailure() const {
    return statistics_.queryFailure() ? statistics_.queryFailure() : reports_.queryFailure();
}

}  // namespace cli
