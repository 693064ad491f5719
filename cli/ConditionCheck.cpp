#include "cli/ConditionCheck.h"

#include <algorithm>
#include <sstream>

#include "cli/CliOptions.h"
#include "query/TextCase.h"
#include "report/PageInformation.h"

namespace cli {

namespace {

std::string words(std::string_view text) {
    std::istringstream in{std::string(text)};
    std::string word, joined;
    while (in >> word) joined += (joined.empty() ? "" : " ") + word;
    return joined;
}

// "download|browse CONNECTION SECONDS", the connection by name (which may hold blanks) or index.
std::optional<report::FilterCondition> parseCondition(const std::string& text) {
    const std::string given = words(text);
    const auto first = given.find(' ');
    const auto last = given.rfind(' ');
    if (first == std::string::npos || last == first) return std::nullopt;
    const std::string kind = given.substr(0, first);
    const auto seconds = decimalNumber(given.substr(last + 1));
    const auto connection = connectionIndex(given.substr(first + 1, last - first - 1));
    if (!connection || !seconds ||
        (!query::equalIgnoringCase(kind, "download") &&
         !query::equalIgnoringCase(kind, "browse"))) {
        return std::nullopt;
    }
    report::FilterCondition condition;
    condition.timeType = query::equalIgnoringCase(kind, "download")
                             ? report::FilterCondition::kDownloadTime
                             : report::FilterCondition::kBrowseTime;
    condition.connectionType = *connection;
    condition.threshold = *seconds;
    condition.name = report::generatedName(condition);
    return condition;
}

}  // namespace

std::optional<std::string> ConditionCheck::prepare(const std::vector<std::string>& texts) {
    if (texts.empty()) {
        conditions_ = report::FilterConditionList::load();
        return std::nullopt;
    }
    for (const std::string& text : texts) {
        const auto condition = parseCondition(text);
        if (!condition) {
            return "invalid condition \"" + text + "\"; use \"download|browse CONNECTION SECONDS\"";
        }
        conditions_.add(*condition);
    }
    return std::nullopt;
}

std::vector<std::string> ConditionCheck::matched(engine::PageEntry& page) const {
    std::vector<std::string> names;
    for (const auto& condition : report::matchingConditions(conditions_, page)) {
        names.push_back(condition.name);
    }
    return names;
}

bool ConditionCheck::anyMatched(const Pages& pages) const {
    return std::any_of(pages.begin(), pages.end(),
                       [this](const auto& page) { return !matched(*page).empty(); });
}

}  // namespace cli
