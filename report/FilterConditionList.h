#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "report/FilterCondition.h"

namespace report {

// A page's download and browse time on one connection, in milliseconds.
struct PageTimes {
    std::uint32_t download = 0;
    std::uint32_t browse = 0;
};
// The times of one page for a connection index; computes them first when the page needs it.
using PageTimesFor = std::function<PageTimes(int connectionIndex)>;

// The user's ordered time conditions. The first condition that holds for a page decides its
// highlight colour; the analysis report names all of them. Kept in the settings store under
// "Settings\Filters", one sub-key "<name>[<id>]" per condition. User-interface thread only.
class FilterConditionList {
public:
    static constexpr const char* kSection = "Settings";
    static constexpr const char* kFiltersSection = "Settings\\Filters";

    // The six conditions of a first start.
    static FilterConditionList makeDefaults();

    const std::vector<FilterCondition>& conditions() const { return conditions_; }
    std::vector<FilterCondition>& conditions() { return conditions_; }
    // Appends the condition enabled at the end and renumbers the ids from 0.
    void add(FilterCondition condition);
    void renumber();

    // An enabled condition holds when the page's time on its connection exceeds the threshold;
    // exactly the threshold does not.
    static bool holds(const FilterCondition& condition, const PageTimesFor& times);
    // The conditions that hold, in list order; none unless the page finished without errors.
    std::vector<FilterCondition> evaluate(bool pageFinished, const PageTimesFor& times) const;

    // Reads the list from the settings store: the defaults when it was never saved, an empty
    // list when the conditions' key is missing. Integers missing from a sub-key read as -1.
    static FilterConditionList load();
    // Writes "filter_valid", replaces the conditions' key and renumbers the ids from 0.
    // Returns false when the store could not be written.
    bool save();

    // The sub-key a condition is stored in: "<name>[<id>]". Characters a key name cannot hold
    // ("\" and control characters) are replaced, and a long name is cut to fit a key name; the
    // name itself is kept whole in the "name" value.
    static std::string subKeyName(const FilterCondition& condition);

private:
    std::vector<FilterCondition> conditions_;
};

}  // namespace report
