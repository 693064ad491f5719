#pragma once

#include <optional>
#include <string>
#include <vector>

#include "report/AnalysisPage.h"
#include "report/PageClass.h"

namespace report {

// One aspect of a loaded page, graded from 1 to 6 with a short HTML explanation (0 when there
// is nothing to judge). Hints are stateless; network texts they quote are HTML-escaped.
class AnalysisHint {
public:
    virtual ~AnalysisHint() = default;
    virtual PageClass evaluate(const AnalysisPage& page, std::string& text) const = 0;
    virtual std::string title() const = 0;
    // Advice shown after the text when the hint grades Medium or worse.
    virtual std::optional<std::string> advice() const = 0;

    // The six hints in the order the analysis runs them: Errors, Images and Flash
    // Applications, Hosts, HTML Size, Slow Elements, Page Size.
    static const std::vector<const AnalysisHint*>& all();
};

// The part of a host that decides whether another host belongs to the same site (".example.com"
// for "www.example.com").
std::string siteSuffix(const std::string& host);

}  // namespace report
