// What the report view shows and what the export writes.
#include "report/ReportOutput.h"

#include <gtest/gtest.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "report/FieldItem.h"
#include "report/TableItem.h"
#include "tests/query/ElementFixture.h"
#include "tests/report/ReportTesting.h"

namespace report {
namespace {

using query::testing::FixtureTable;
using testing::StubSource;

// A table over the fixture's eight elements, shared like the real element table.
query::QueryTablePtr elementTable(FixtureTable which = FixtureTable::Elements) {
    const query::QueryTable& fixture = query::testing::fixtureTable(which);
    auto table = std::make_shared<query::QueryTable>(fixture.columnNames());
    for (const query::QueryRow& row : fixture) {
        query::QueryRow& copy = table->appendRow();
        for (std::size_t i = 0; i < row.cellCount(); ++i)
            copy.setCell(i, row.cell(i)->startAccumulator());
    }
    return table;
}

class ReportOutput : public ::testing::Test {
protected:
    void SetUp() override {
        manager_.createBuiltInReports();
        manager_.createBuiltInStyles();
        source_.elements = elementTable();
        dir_ = std::filesystem::temp_directory_path() /
               ("pagelyst-export-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::string file(const char* name) const { return (dir_ / name).string(); }
    static std::string read(const std::string& path) {
        std::ostringstream bytes;
        bytes << std::ifstream(path, std::ios::binary).rdbuf();
        return bytes.str();
    }
    // Export to `path`, remembering the name the dialog was offered.
    ExportResult exportTo(std::int32_t id, const std::string& path) {
        return exportHtml(manager_, id, source_, [&](const std::string& initial) {
            offered_ = initial;
            return std::optional<std::string>(path);
        });
    }

    ReportManager manager_;
    StubSource source_;
    std::filesystem::path dir_;
    std::optional<std::string> offered_;
};

TEST_F(ReportOutput, ViewRoutesIdsBelow100ToTheAnalysisReports) {
    source_.page = false;  // the analysis reports decide themselves what they show
    EXPECT_EQ(contentForView(manager_, 1, source_), "<BODY>site</BODY>");
    EXPECT_EQ(contentForView(manager_, 2, source_), "<BODY>page</BODY>");
    EXPECT_EQ(contentForView(manager_, 0, source_), "<BODY>page</BODY>");
    EXPECT_EQ(contentForView(manager_, 99, source_), "<BODY>page</BODY>");
}

TEST_F(ReportOutput, ViewNeedsAPageWithElementData) {
    EXPECT_EQ(contentForView(manager_, 101, source_),
              manager_.renderReport(101, source_.elements.get()));
    EXPECT_EQ(contentForView(manager_, 500, source_), "");  // data, but no such report

    source_.elements = elementTable(FixtureTable::NoRows);
    EXPECT_EQ(contentForView(manager_, 101, source_), kReportNotAvailable);
    source_.elements = nullptr;
    EXPECT_EQ(contentForView(manager_, 101, source_), kReportNotAvailable);
    source_.elements = elementTable();
    source_.page = false;
    EXPECT_EQ(contentForView(manager_, 101, source_),
              "<HTML><BODY><CENTER>Report not available.</CENTER></BODY></HTML>");
}

TEST_F(ReportOutput, InitialFileNames) {
    EXPECT_EQ(exportFileName(manager_, 1, source_), "Consolidated Site Tree Report.html");
    EXPECT_EQ(exportFileName(manager_, 2, source_), "Web Page Analysis Report.html");
    EXPECT_EQ(exportFileName(manager_, 42, source_), "Web Page Analysis Report.html");
    EXPECT_EQ(exportFileName(manager_, 104, source_), "Hosts Report.html");
    EXPECT_EQ(exportFileName(manager_, 100, source_), "");
    source_.page = false;
    EXPECT_EQ(exportFileName(manager_, 104, source_), std::nullopt);
    EXPECT_EQ(exportFileName(manager_, 2, source_), "Web Page Analysis Report.html");
}

TEST(ExportText, EveryLineFeedGetsACarriageReturn) {
    EXPECT_EQ(withCrLf("a\nb\r\nc\n\n"), "a\r\nb\r\r\nc\r\n\r\n");
    EXPECT_EQ(withCrLf("no breaks\r"), "no breaks\r");
}

TEST_F(ReportOutput, AnalysisReportsAreWrappedInHtml) {
    source_.currentPage = "<BODY>\r\nline\n</BODY>";
    EXPECT_EQ(exportText(manager_, 2, source_), "<HTML>\r\n<BODY>\r\r\nline\r\n</BODY></HTML>\r\n");
    EXPECT_EQ(exportText(manager_, 1, source_), "<HTML>\r\n<BODY>site</BODY></HTML>\r\n");
}

TEST_F(ReportOutput, StoredReportExportsAsRenderedWithCrLf) {
    const std::string rendered = manager_.renderReport(101, source_.elements.get());
    const std::string text = exportText(manager_, 101, source_);
    EXPECT_EQ(text, withCrLf(rendered));
    EXPECT_EQ(testing::occurrences(text, "\r\n"), testing::occurrences(rendered, "\n"));
    EXPECT_EQ(testing::occurrences(text, "\n"), testing::occurrences(text, "\r\n"));
    EXPECT_TRUE(text.ends_with("</BODY>"));
}

TEST_F(ReportOutput, ExportWritesExactlyTheText) {
    const std::string path = file("general.html");
    EXPECT_EQ(exportTo(101, path), ExportResult::Written);
    EXPECT_EQ(offered_, "General.html");
    EXPECT_EQ(read(path), exportText(manager_, 101, source_));

    // An existing file is replaced.
    EXPECT_EQ(exportTo(1, path), ExportResult::Written);
    EXPECT_EQ(read(path), "<HTML>\r\n<BODY>site</BODY></HTML>\r\n");
}

TEST_F(ReportOutput, ExportWithoutPageOrPathDoesNothing) {
    source_.page = false;
    EXPECT_EQ(exportTo(101, file("a.html")), ExportResult::NothingToExport);
    EXPECT_EQ(offered_, std::nullopt);  // no dialog
    source_.page = true;
    EXPECT_EQ(exportHtml(manager_, 101, source_, [](const std::string&) { return std::nullopt; }),
              ExportResult::Cancelled);
    EXPECT_TRUE(std::filesystem::is_empty(dir_));
}

TEST_F(ReportOutput, FailingTableQueryFailsTheExportAndKeepsTheOldFile) {
    Report broken("Broken", "", 0);
    broken.append(std::make_unique<FieldItem>("Count:", "select Count(URL)"));
    broken.append(std::make_unique<TableItem>("select SUM(Host)"));
    const std::int32_t id = manager_.addReport(std::move(broken));
    const std::string path = file("broken.html");
    std::ofstream(path) << "previous export";
    EXPECT_EQ(exportTo(id, path), ExportResult::Failed);
    EXPECT_EQ(read(path), "previous export");
    EXPECT_STREQ(kExportErrorText, "Error exporting data.");
}

TEST_F(ReportOutput, UnwritableTargetFailsTheExportAndSaysWhy) {
    EXPECT_EQ(exportTo(101, file("missing/out.html")), ExportResult::Failed);
    std::string cause;
    const auto path = file("missing/out.html");
    EXPECT_EQ(exportHtml(
                  manager_, 101, source_, [&](const std::string&) { return std::optional(path); },
                  &cause),
              ExportResult::Failed);
    EXPECT_NE(cause.find(path), std::string::npos) << cause;
    EXPECT_NE(cause.find(std::strerror(ENOENT)), std::string::npos) << cause;
}

}  // namespace
}  // namespace report
