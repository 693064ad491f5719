#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "report/ReportLists.h"

namespace report {
namespace {

// The built-ins with one report taken out, so that ids are not contiguous.
ReportManager managerWithGap() {
    ReportManager manager;
    manager.createBuiltInReports();
    manager.createBuiltInStyles();
    manager.removeReport(103);
    return manager;
}

std::vector<std::int32_t> ids(const std::vector<ReportRow>& rows) {
    std::vector<std::int32_t> out;
    for (const ReportRow& row : rows) out.push_back(row.id);
    return out;
}

TEST(ReportLists, RowsPerMode) {
    const ReportManager manager = managerWithGap();
    EXPECT_EQ(ids(reportRows(manager, ReportListMode::All)),
              (std::vector<std::int32_t>{0, 1, 2, 101, 102, 104, 105, 106, 107}));
    EXPECT_EQ(ids(reportRows(manager, ReportListMode::AnalysisOnly)),
              (std::vector<std::int32_t>{1, 2}));
    const auto rows = reportRows(manager, ReportListMode::All);
    EXPECT_EQ(rows[0], (ReportRow{0, "New...", "Create new report."}));
    EXPECT_EQ(rows[1].description, "Shows consolidated analysis report for all analyzed pages.");
    EXPECT_EQ(rows[2].name, "Web Page Analysis Report");
    EXPECT_EQ(rows[3].name, manager.findReport(101)->name());
    EXPECT_EQ(rows[3].description, manager.findReport(101)->description());
}

TEST(ReportLists, MenuNumbersFollowTheListAndCheckTheSelectedReport) {
    const ReportManager manager = managerWithGap();
    const auto menu = reportMenu(manager, 104);
    using Kind = ReportMenuEntry::Kind;
    ASSERT_EQ(menu.size(), 3u + 2u + 6u);
    EXPECT_EQ(menu[0].kind, Kind::NewReport);
    EXPECT_EQ(menu[0].text, "&New...");
    EXPECT_EQ(menu[1].kind, Kind::EditStyles);
    EXPECT_EQ(menu[1].text, "Edit &Styles...");
    EXPECT_EQ(menu[2].kind, Kind::Separator);
    EXPECT_EQ(menu[3], (ReportMenuEntry{Kind::Report, "Consolidated Site Tree Report", 3000, 1}));
    EXPECT_EQ(menu[4].command, 3001);
    EXPECT_EQ(menu[4].reportId, 2);
    int checked = 0;
    for (std::size_t at = 5; at < menu.size(); ++at) {
        EXPECT_EQ(menu[at].command, 3002 + static_cast<int>(at - 5));
        checked += menu[at].checked ? 1 : 0;
    }
    EXPECT_EQ(checked, 1);
    EXPECT_TRUE(menu[7].checked);  // 101, 102, 104
    EXPECT_EQ(reportForCommand(menu, 3004), 104);
    EXPECT_EQ(reportForCommand(menu, 3001), 2);
    EXPECT_EQ(reportForCommand(menu, 3002 + 6), std::nullopt);
    EXPECT_EQ(reportForCommand(menu, 0), std::nullopt);
}

TEST(ReportLists, TheWatchAsksForARefillOnlyAfterAChange) {
    ReportManager manager = managerWithGap();
    ReportWatch watch;
    EXPECT_TRUE(watch.needsRefill(manager));
    EXPECT_FALSE(watch.needsRefill(manager));
    manager.removeReport(101);
    EXPECT_TRUE(watch.needsRefill(manager));
    EXPECT_FALSE(watch.needsRefill(manager));
    watch.reset();
    EXPECT_TRUE(watch.needsRefill(manager));
}

}  // namespace
}  // namespace report
