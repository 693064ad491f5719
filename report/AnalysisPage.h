#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "report/PageClass.h"

namespace report {

// What the analysis reads of one item of a page, for the measured connection.
struct AnalysisItem {
    std::string urlText, host, objectPath;
    std::int32_t phase = 0;        // LoadPhase value; 6 is "Error"
    std::int32_t contentKind = 0;  // ContentKind value
    std::string contentType;       // as received, lower-cased, parameters cut
    std::uint32_t size = 0;        // body bytes
    std::uint32_t totalTime = 0;   // ms
    double percentOfTime = 0;      // share of the page time
};

// What the analysis reads of one page of the site tree: a snapshot the page loader or a report
// takes from the page, so the analysis itself never touches locks or live items. Texts that came
// from the network are raw here; the analysis escapes them where it builds HTML.
struct AnalysisPage {
    static constexpr int kConnections = 11;

    std::int32_t state = 0;  // PageState value: 4 Finished, 8 Error, 16 Child Error, ...
    std::string stateText;   // its name, as the site tree shows it
    bool hasRootItem = false;
    std::int32_t scanFlags = 0;  // of the page's last job; bit 0 means elements were collected
    std::string address;
    std::string title;
    std::int32_t itemCount = 0;
    std::uint32_t size = 0;
    std::array<std::uint32_t, kConnections> pageTime{}, downloadTime{}, browseTime{};
    std::array<double, kConnections> speed{};
    std::vector<std::string> matchedConditions;  // names, in list order, as the user typed them
    PageClass storedClass = kClassUnknown;       // the result of the last analysis
    std::string storedText;
    std::vector<AnalysisItem> items;  // the page's items in walk order, the document first
};

}  // namespace report
