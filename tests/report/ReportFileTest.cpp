// "lmreprt.cfg": layout, round trips and every kind of damage.
#include "report/ReportManager.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "report/DamagedDefinitions.h"
#include "report/FieldItem.h"
#include "report/FieldSetItem.h"
#include "report/HtmlTextItem.h"
#include "report/TableItem.h"
#include "report/TitleItem.h"

namespace report {
namespace {

std::string int32(std::int32_t value) {
    std::string bytes;
    for (int i = 0; i < 4; ++i)
        bytes += static_cast<char>(static_cast<std::uint32_t>(value) >> (8 * i) & 0xff);
    return bytes;
}

std::string str(const std::string& text) {
    return int32(static_cast<std::int32_t>(text.size() + 1)) + text + '\0';
}

class ReportFile : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("pagelyst-report-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::string path() const { return (dir_ / ReportManager::kFileName).string(); }
    void writeRaw(const std::string& bytes) const {
        std::ofstream(path(), std::ios::binary) << bytes;
    }
    std::string readRaw() const {
        std::ostringstream bytes;
        bytes << std::ifstream(path(), std::ios::binary).rdbuf();
        return bytes.str();
    }
    // Exactly the seven built-in reports and four style sets, with fresh counters.
    static void expectBuiltIns(const ReportManager& manager) {
        ASSERT_EQ(manager.reports().size(), 7u);
        EXPECT_EQ(manager.reports().begin()->first, 101);
        EXPECT_EQ(manager.reports().rbegin()->second.name(), "Detailed Report");
        EXPECT_EQ(manager.listStyles().size(), 5u);
        EXPECT_EQ(manager.lastReportId(), 107);
        EXPECT_EQ(manager.lastStyleId(), 4);
    }

    std::filesystem::path dir_;
};

// Every item kind, in an order the built-ins never use.
Report everyKind() {
    Report report("All kinds", "one of each", 3);
    report.append(std::make_unique<TableItem>("select Host"));
    report.append(std::make_unique<FieldSetBeginItem>());
    report.append(std::make_unique<FieldItem>("Caption:", "select URL where ID = 1"));
    report.append(std::make_unique<FieldSetEndItem>());
    report.append(std::make_unique<HtmlTextItem>("<HR>"));
    report.append(std::make_unique<TitleItem>("Last", -7));
    return report;
}

TEST_F(ReportFile, LayoutIsTheDocumentedSequence) {
    ReportManager manager;
    Report report("R", "D", 3);
    report.append(std::make_unique<TitleItem>("T", 2));
    report.append(std::make_unique<FieldSetEndItem>());
    report.append(std::make_unique<FieldItem>("C", "Q"));
    manager.addReport(std::move(report));
    ReportStyle style("S");
    style.insertClass("k", "x");
    style.insertClass("c", "");
    manager.addStyle(std::move(style));
    ASSERT_TRUE(manager.save(path()));

    const std::string expected = int32(3) + int32(101) + int32(1) +  // version, counters
                                 int32(1) + int32(101) + int32(3) + str("R") + str("D") + int32(3) +
                                 int32(1) + str("T") + int32(2) + int32(4) + int32(5) + str("C") +
                                 str("Q") +                                   // the report
                                 int32(1) + int32(1) + str("S") + int32(2) +  // the style set
                                 str("c") + str("") + str("k") + str("x");
    EXPECT_EQ(readRaw(), expected);
}

TEST_F(ReportFile, SaveAndLoadKeepIdsCountersItemsAndClasses) {
    ReportManager manager;
    manager.clear();
    manager.createBuiltInReports();
    manager.createBuiltInStyles();
    manager.removeReport(103);
    manager.addReport(everyKind());  // 108
    manager.removeReport(108);
    manager.addReport(everyKind());  // 109
    ReportStyle mine("Mine");
    mine.insertClass("zeta", "color:red");
    mine.insertClass("bodystyle", "background:gray");
    mine.insertClass("alpha", "");
    manager.addStyle(std::move(mine));  // 5
    manager.removeStyle(2);
    ASSERT_TRUE(manager.save(path()));

    ReportManager loaded;
    ASSERT_TRUE(loaded.load(path()));
    EXPECT_EQ(loaded.lastReportId(), 109);
    EXPECT_EQ(loaded.lastStyleId(), 5);
    std::vector<std::int32_t> ids;
    for (const auto& [id, report] : loaded.reports()) ids.push_back(id);
    EXPECT_EQ(ids, (std::vector<std::int32_t>{101, 102, 104, 105, 106, 107, 109}));
    EXPECT_EQ(loaded.listStyles(), manager.listStyles());

    const Report& report = *loaded.findReport(109);
    EXPECT_EQ(report.name(), "All kinds");
    EXPECT_EQ(report.description(), "one of each");
    EXPECT_EQ(report.styleId(), 3);
    const Report original = everyKind();
    ASSERT_EQ(report.items().size(), original.items().size());
    for (std::size_t i = 0; i < report.items().size(); ++i) {
        EXPECT_EQ(report.items()[i]->kindId(), original.items()[i]->kindId());
        EXPECT_EQ(report.items()[i]->displayText(), original.items()[i]->displayText());
    }
    EXPECT_EQ(dynamic_cast<const FieldItem&>(*report.items()[2]).query(),
              "select URL where ID = 1");
    EXPECT_EQ(dynamic_cast<const TitleItem&>(*report.items()[5]).level(), -7);
    EXPECT_EQ(loaded.findStyle(5).classes(), manager.findStyle(5).classes());
    EXPECT_EQ(loaded.findStyle(1).classes(), manager.findStyle(1).classes());

    // Nothing is lost or renumbered: saving again gives the same bytes.
    const std::string first = readRaw();
    ASSERT_TRUE(loaded.save(path()));
    EXPECT_EQ(readRaw(), first);
    EXPECT_EQ(loaded.addReport(Report()), 110);
}

TEST_F(ReportFile, MissingFileGivesTheBuiltIns) {
    ReportManager manager;
    EXPECT_FALSE(manager.load(path()));
    expectBuiltIns(manager);
}

TEST_F(ReportFile, OtherVersionGivesTheBuiltIns) {
    writeRaw(int32(2) + int32(101) + int32(0) + int32(1) + int32(101) + int32(0) + str("Old") +
             str("") + int32(0) + int32(0));
    ReportManager manager;
    EXPECT_FALSE(manager.load(path()));
    expectBuiltIns(manager);
}

TEST_F(ReportFile, DamageDiscardsWhatWasReadAndGivesTheBuiltIns) {
    const std::string good = int32(3) + int32(300) + int32(9) + int32(1) + int32(300) + int32(0) +
                             str("Kept?") + str("") + int32(1) + int32(2) + str("x");
    const std::string cases[] = {
        good,                                   // cut before the style count
        good + int32(1) + int32(9) + str("S"),  // cut inside a style record
        int32(3) + int32(300) + int32(9) + int32(1) + int32(300) + int32(0) + str("Bad kind") +
            str("") + int32(1) + int32(7) + int32(0) + int32(0),  // item kind 7
        int32(3) + int32(300) + int32(9) + int32(1) + int32(300) + int32(0) + str("Huge") +
            int32(0x7fffffff) + "abc",  // a string longer than the file
    };
    for (const std::string& bytes : cases) {
        writeRaw(bytes);
        ReportManager manager;
        EXPECT_FALSE(manager.load(path()));
        expectBuiltIns(manager);
        EXPECT_EQ(manager.findReport(300), nullptr);
    }
    writeRaw(good + int32(0));  // the same records, complete
    ReportManager manager;
    EXPECT_TRUE(manager.load(path()));
    EXPECT_EQ(manager.findReport(300)->name(), "Kept?");
}

// What the user is told was lost: the records read before the damage, or nothing at all for a
// file that is missing, empty or whole.
TEST_F(ReportFile, InspectionNamesWhatADamagedFileHeld) {
    EXPECT_EQ(inspectDefinitions(path()), std::nullopt);
    writeRaw("");
    EXPECT_EQ(inspectDefinitions(path()), std::nullopt);
    const std::string report = int32(300) + int32(0) + str("Mine") + str("") + int32(0);
    writeRaw(int32(3) + int32(300) + int32(9) + int32(1) + report + int32(0));
    EXPECT_EQ(inspectDefinitions(path()), std::nullopt);

    writeRaw(int32(3) + int32(300) + int32(9) + int32(2) + report + int32(301));
    auto damage = inspectDefinitions(path());
    ASSERT_TRUE(damage);
    EXPECT_FALSE(damage->cause.empty());
    EXPECT_EQ(damage->reports, std::vector<std::string>{"Mine"});
    EXPECT_TRUE(damage->styles.empty());

    writeRaw(int32(2) + int32(300));
    damage = inspectDefinitions(path());
    ASSERT_TRUE(damage);
    EXPECT_EQ(damage->cause, "Unsupported file version");
    EXPECT_TRUE(damage->reports.empty());
}

TEST_F(ReportFile, StaleCountersNeverHandOutATakenOrReservedId) {
    writeRaw(int32(3) + int32(5) + int32(0) + int32(1) + int32(150) + int32(0) + str("R") +
             str("") + int32(0) + int32(1) + int32(7) + str("S") + int32(0));
    ReportManager manager;
    ASSERT_TRUE(manager.load(path()));
    EXPECT_EQ(manager.addReport(Report()), 151);
    EXPECT_EQ(manager.addStyle(ReportStyle()), 8);

    writeRaw(int32(3) + int32(-20) + int32(-3) + int32(0) + int32(0));
    ASSERT_TRUE(manager.load(path()));
    EXPECT_TRUE(manager.reports().empty());
    EXPECT_EQ(manager.addReport(Report()), 101);  // never an analysis report's id
    EXPECT_EQ(manager.addStyle(ReportStyle()), 1);
}

TEST_F(ReportFile, ExhaustedCounterAddsNothing) {
    writeRaw(int32(3) + int32(0x7fffffff) + int32(0x7fffffff) + int32(0) + int32(0));
    ReportManager manager;
    ASSERT_TRUE(manager.load(path()));
    EXPECT_EQ(manager.addReport(Report()), 0);
    EXPECT_EQ(manager.addStyle(ReportStyle()), 0);
    EXPECT_TRUE(manager.reports().empty());
}

TEST_F(ReportFile, FailedSaveLeavesNothingBehind) {
    ReportManager manager;
    manager.createBuiltInReports();
    // The rename over a folder fails after every byte was written to the temporary file.
    std::filesystem::create_directory(path());
    std::ofstream(std::filesystem::path(path()) / "inside") << "kept";
    EXPECT_FALSE(manager.save(path()));
    EXPECT_TRUE(std::filesystem::is_directory(path()));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_),
                            std::filesystem::directory_iterator()),
              1);  // no temporary file left
    EXPECT_FALSE(manager.save((dir_ / "missing" / ReportManager::kFileName).string()));
}

}  // namespace
}  // namespace report
