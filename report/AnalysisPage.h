#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/base/ContentKind.h"
#include "engine/base/LoadPhase.h"
#include "engine/figures/ConnectionSpeed.h"
#include "engine/schedule/PageState.h"
#include "report/PageClass.h"

namespace report {

// What the analysis reads of one item of a page, for the measured connection.
struct AnalysisItem {
    std::string urlText, host, objectPath;
    std::int32_t phase = 0;        // LoadPhase value (loadPhase())
    std::int32_t contentKind = 0;  // ContentKind value (kind())
    std::string contentType;       // as received, lower-cased, parameters cut
    std::uint32_t size = 0;        // body bytes
    std::uint32_t totalTime = 0;   // ms
    double percentOfTime = 0;      // share of the page time

    engine::LoadPhase loadPhase() const { return static_cast<engine::LoadPhase>(phase); }
    engine::ContentKind kind() const { return static_cast<engine::ContentKind>(contentKind); }
};

// What the analysis reads of one page of the site tree: a snapshot the page loader or a report
// takes from the page, so the analysis itself never touches locks or live items. Texts that came
// from the network are raw here; the analysis escapes them where it builds HTML.
struct AnalysisPage {
    std::int32_t state = 0;  // PageState value (pageState())
    std::string stateText;   // its name, as the site tree shows it
    bool hasRootItem = false;
    std::int32_t scanFlags = 0;  // of the page's last job; bit 0 means elements were collected
    std::string address;
    std::string title;
    std::string importSource;  // the file an imported page was read from; "" when measured
    std::int32_t itemCount = 0;
    std::uint32_t size = 0;
    std::array<std::uint32_t, engine::kConnectionCount> pageTime{}, downloadTime{}, browseTime{};
    std::array<double, engine::kConnectionCount> speed{};
    std::vector<std::string> matchedConditions;  // names, in list order, as the user typed them
    PageClass storedClass = kClassUnknown;       // the result of the last analysis
    std::string storedText;
    std::vector<AnalysisItem> items;  // the page's items in walk order, the document first

    engine::PageState pageState() const { return static_cast<engine::PageState>(state); }
};

}  // namespace report
