// "lmreprt.cfg" cut short and bit-flipped: every load either reads the file or leaves exactly the
// built-in reports and style sets, and what a load accepted can still be rendered and extended.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <limits>
#include <memory>

#include "query/QueryError.h"
#include "report/FieldItem.h"
#include "report/FieldSetItem.h"
#include "report/HtmlTextItem.h"
#include "report/ReportManager.h"
#include "report/TableItem.h"
#include "report/TitleItem.h"
#include "tests/robustness/DamagedCopies.h"

namespace {

using report::Report;
using report::ReportManager;
using report::ReportStyle;
using robustness::DamagedCopy;

class ReportFileDamage : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("pagelyst-robust-report-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string path() const { return (dir_ / ReportManager::kFileName).string(); }

    std::filesystem::path dir_;
};

// The whole collection as the file would hold it, to compare two managers byte for byte.
std::string image(const ReportManager& manager) {
    xlib::MemoryOutputStream out;
    manager.save(out);
    return out.bytes();
}

// A user's file: the built-ins with a report of every item kind, a removed built-in and a style
// set of their own.
void fillUserManager(ReportManager& manager) {
    manager.clear();
    manager.createBuiltInReports();
    manager.createBuiltInStyles();
    manager.removeReport(102);
    Report mine("Every kind", "one item of each kind", 2);
    mine.append(std::make_unique<report::TitleItem>("Images", 2));
    mine.append(std::make_unique<report::TableItem>("select URL, Size where Type = \"image/gif\""));
    mine.append(std::make_unique<report::FieldSetBeginItem>());
    mine.append(std::make_unique<report::FieldItem>("Hosts:", "select COUNT(Host)"));
    mine.append(std::make_unique<report::FieldSetEndItem>());
    mine.append(std::make_unique<report::HtmlTextItem>("<p class=\"note\">mine &amp; yours</p>"));
    manager.addReport(std::move(mine));
    ReportStyle style("Mine");
    style.insertClass("bodystyle", "background:#eee; font-family:serif");
    style.insertClass("note", "color:red");
    manager.addStyle(std::move(style));
    manager.removeStyle(3);
}

TEST_F(ReportFileDamage, EveryCutAndFlipLoadsOrLeavesExactlyTheBuiltIns) {
    ReportManager saved;
    fillUserManager(saved);
    ASSERT_TRUE(saved.save(path()));
    const std::string original = robustness::readBytes(path());
    ASSERT_GT(original.size(), 1000u);

    ReportManager builtIns;
    ASSERT_FALSE(builtIns.load((dir_ / "missing.cfg").string()));
    const std::string builtInImage = image(builtIns);

    robustness::Tally tally;
    for (const DamagedCopy& copy : robustness::damagedCopies(original, 20240602)) {
        SCOPED_TRACE(copy.what);
        robustness::writeBytes(path(), copy.bytes);
        ReportManager manager;
        fillUserManager(manager);  // the user's collections before the load
        const bool loaded = manager.load(path());
        tally.count(copy, loaded);
        if (!loaded) {
            ASSERT_EQ(image(manager), builtInImage);
            ASSERT_EQ(manager.addReport(Report()), builtIns.lastReportId() + 1);
            ASSERT_EQ(manager.addStyle(ReportStyle()), builtIns.lastStyleId() + 1);
            continue;
        }
        if (copy.truncated) {
            ASSERT_EQ(image(manager), original);
        }

        // A loaded collection renders without faults and never hands out a taken id.
        for (const auto& [id, report] : manager.reports()) {
            try {
                manager.renderReport(id, nullptr);
            } catch (const query::QueryError&) {
                // a flipped bit may well break a statement; that is reported, not a fault
            }
        }
        const std::size_t reports = manager.reports().size();
        const std::int32_t reportId = manager.addReport(Report());
        if (reportId != 0) {
            ASSERT_GT(reportId, ReportManager::kReportIdBase);
            ASSERT_EQ(manager.reports().size(), reports + 1);  // no report replaced
        } else {
            ASSERT_EQ(manager.lastReportId(), std::numeric_limits<std::int32_t>::max());
        }
        const std::size_t styles = manager.styles().size();
        const std::int32_t styleId = manager.addStyle(ReportStyle());
        if (styleId != 0) {
            ASSERT_GT(styleId, 0);
            ASSERT_EQ(manager.styles().size(), styles + 1);  // no style set replaced
        } else {
            ASSERT_EQ(manager.lastStyleId(), std::numeric_limits<std::int32_t>::max());
        }
    }
    tally.print(ReportManager::kFileName, "the built-ins");
    EXPECT_GE(tally.fellBack(), static_cast<int>(original.size()));
}

}  // namespace
