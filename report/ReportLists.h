#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "report/ReportManager.h"
#include "report/ReportOutput.h"

// The report view's choice list and menu, built from the report manager without any drawing.
namespace report {

// One row of the report list; "New..." carries id 0.
struct ReportRow {
    std::int32_t id = 0;
    std::string name;
    std::string description;

    bool operator==(const ReportRow&) const = default;
};

inline constexpr const char* kNewReportRow = "New...";
inline constexpr const char* kNewReportDescription = "Create new report.";

// What the list shows: everything, or (the analysis choice) only the two analysis reports.
enum class ReportListMode {
    All = 0,
    AnalysisOnly = 1,
};

// "New..." (not in AnalysisOnly), the two analysis reports (ids 1 and 2), then (in All) every
// stored report in ascending id with its name and description.
std::vector<ReportRow> reportRows(const ReportManager& manager, ReportListMode mode);

// The first command number of the reports in the report menu; the next ones follow in list
// order.
inline constexpr int kFirstReportCommand = 3000;

struct ReportMenuEntry {
    enum class Kind {
        NewReport,   // "&New...": the front end's new-report command
        EditStyles,  // "Edit &Styles...": the style editor
        Separator,
        Report,  // a report: its name, command number and id
    };

    Kind kind = Kind::Separator;
    std::string text;
    int command = 0;  // kFirstReportCommand + position for a report, else 0
    std::int32_t reportId = 0;
    bool checked = false;  // the selected report

    bool operator==(const ReportMenuEntry&) const = default;
};

// "&New...", "Edit &Styles...", a separator, the two analysis reports, then one entry per stored
// report in ascending id; the selected one checked.
std::vector<ReportMenuEntry> reportMenu(const ReportManager& manager, std::int32_t selectedId);

// The report a command number of `menu` stands for; none for another number.
std::optional<std::int32_t> reportForCommand(const std::vector<ReportMenuEntry>& menu, int command);

// Remembers the manager's change stamp a list or menu was last filled for.
class ReportWatch {
public:
    // True (and remembers the stamp) the first time and whenever the manager changed since.
    bool needsRefill(const ReportManager& manager);
    void reset() { shown_.reset(); }

private:
    std::optional<std::uint32_t> shown_;
};

}  // namespace report
