#pragma once

#include <vector>

#include "report/Report.h"
#include "report/ReportStyle.h"

// The style sets and reports every installation starts with, and the "Default" style set that
// exists in every run. All are returned with id 0; the manager numbers them as it adds them.
namespace report {

// "Default": the twelve classes the renderer uses.
ReportStyle makeDefaultStyle();

// "Fancy", "Blue", "Invert" and "Gray", in that order, each with the same twelve classes.
std::vector<ReportStyle> makeBuiltInStyles();

// The seven built-in reports in their order ("General" first, "Detailed Report" last), all
// with style id 1 ("Fancy" once the built-in styles are added after a clear).
std::vector<Report> makeBuiltInReports();

}  // namespace report
