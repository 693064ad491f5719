#pragma once

#include <optional>
#include <string>
#include <vector>

#include "engine/schedule/PageEntry.h"
#include "report/FilterCondition.h"
#include "report/FilterConditionList.h"

namespace report {

// One row of a page's information list: a group caption (text ending in ":") or a property
// with its value. A matching condition's row carries its highlight colour.
struct InformationRow {
    std::string property;
    std::string value;
    bool group = false;
    std::optional<ColorRef> color;

    bool operator==(const InformationRow&) const = default;
};

// The conditions the page meets now, in list order (none until it has finished); the first one
// gives the page its colour.
std::vector<FilterCondition> matchingConditions(const FilterConditionList& conditions,
                                                engine::PageEntry& page);

// The two forms of the list: the load figures of one connection (the Site Tree's details
// pane), or the download and browse times of every connection.
enum class InformationForm { SingleConnection, AllConnections };

// The information rows of a page: "Web page is not loaded." alone unless its download
// finished; then "Page Information:" (with a "Source" row for a page imported from a file),
// the form's times, the failed items, the conditions that hold. `connection` is the connection
// index the views show (0 to 10). The conditions belong to the user-interface thread; pass none
// elsewhere.
std::vector<InformationRow> pageInformation(engine::PageEntry& page, int connection,
                                            InformationForm form,
                                            const FilterConditionList* conditions);

// The text shown instead of the list when no page is current, and the page that holds it.
inline constexpr const char* kNoPageSelected = "No web page selected.";
std::string noPageHtml();

}  // namespace report
