#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "cli/Pages.h"
#include "query/StatisticsCatalog.h"
#include "query/StatisticsDefinition.h"

namespace cli {

// The statistics a run prints (--stat, --query) and exports (--csv) for each loaded page. The
// definitions are resolved before the run, so a wrong id, title or statement costs no
// measurement.
class StatisticsJob {
public:
    // Resolves the definitions by id or title, and validates the statement; the message for
    // the first that cannot be used.
    std::optional<std::string> prepare(const std::vector<std::string>& wanted,
                                       const std::string& statement);

    bool empty() const { return statistics_.empty(); }
    // The results for each loaded page, as text tables under a heading.
    std::string text(const Pages& pages, int connection);
    // The results over one page, one object per definition: "rows" hold the display texts,
    // "values" the raw values beside them (milliseconds, bytes, bytes per second, fractions,
    // texts; null for an empty cell).
    nlohmann::json json(engine::PageEntry& page, int connection);
    // Writes the single definition's result as comma-separated text: over the current page,
    // or with `everyPage` over every loaded page, each row led by the page's address. The
    // failure's message.
    std::optional<std::string> writeCsv(const std::string& path, const Pages& pages, int connection,
                                        bool everyPage);

    // The message of the first query that failed over a page.
    const std::optional<std::string>& queryFailure() const { return queryFailure_; }

private:
    query::StatisticsCatalog catalog_;
    std::vector<query::StatisticsDefinition> statistics_;
    std::optional<std::string> queryFailure_;
};

// The `stats` listing: id, title and statement of every definition, tab-separated.
std::string statisticsListing();

}  // namespace cli
