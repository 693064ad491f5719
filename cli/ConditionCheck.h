#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/Pages.h"
#include "report/FilterConditionList.h"

namespace cli {

// The time conditions of a run: the stored ones, or those given with --condition for this run
// only, evaluated over each finished page.
class ConditionCheck {
public:
    // Takes the --condition texts ("download|browse CONNECTION SECONDS"), or the stored list
    // when there are none; the message for a text that is not a condition.
    std::optional<std::string> prepare(const std::vector<std::string>& texts);

    const report::FilterConditionList& conditions() const { return conditions_; }
    // The names of the enabled conditions that match the page.
    std::vector<std::string> matched(engine::PageEntry& page) const;
    bool anyMatched(const Pages& pages) const;

private:
    report::FilterConditionList conditions_;
};

}  // namespace cli
