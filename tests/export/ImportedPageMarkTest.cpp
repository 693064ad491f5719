#include <gtest/gtest.h>

#include <algorithm>
#include <nlohmann/json.hpp>
#include <string>

#include "export/HarImport.h"
#include "export/JsonReport.h"
#include "report/PageAnalyzer.h"
#include "report/PageInformation.h"
#include "report/PageSnapshot.h"
#include "tests/export/ImportedPages.h"
#include "tests/export/LoadedSite.h"

namespace {

using nlohmann::json;

constexpr const char* kMark = "Imported from chrome-page.har";

// A page measured on the loopback site beside one imported from Chrome's HAR.
class ImportedPageMark : public exporttest::LoadedSite {
protected:
    ImportedPageMark() : measured_(load(url("/"))) {
        tree_.setPageAnalysis([](engine::PageEntry& page) { report::analyseAndStore(page); });
        imported_ = exporting::importHar(tree_, exporttest::harFixture("chrome-page.har"))
                        .nodes.at(0)
                        ->page;
        report::analyseAndStore(*measured_);
    }

    static std::size_t count(const std::string& text, const std::string& part) {
        std::size_t n = 0;
        for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
        return n;
    }

    std::shared_ptr<engine::PageEntry> measured_;
    engine::SiteManager importer_{engine::SiteManager::Role::Interactive};
    engine::SiteTree tree_{importer_};
    std::shared_ptr<engine::PageEntry> imported_;
};

TEST_F(ImportedPageMark, TheJsonMarksImportedPagesAndCachedItemsOnly) {
    const json document = exporting::jsonReport({measured_, imported_}, 0);
    const json& measured = document["pages"][0];
    const json& imported = document["pages"][1];
    EXPECT_FALSE(measured.contains("importedFrom"));
    EXPECT_EQ(imported["importedFrom"], "chrome-page.har");
    const auto cached = [](const json& page) {
        return std::count_if(page["items"].begin(), page["items"].end(),
                             [](const json& item) { return item.contains("cached"); });
    };
    EXPECT_EQ(cached(measured), 0);
    EXPECT_EQ(cached(imported), 1);
    for (const json& item : imported["items"]) {
        if (item.contains("cached")) {
            EXPECT_EQ(item["url"], "https://shop.example/img/logo.svg");
        }
    }
}

TEST_F(ImportedPageMark, ThePageDetailsNameTheSourceAfterTheStatus) {
    const auto rows = [](engine::PageEntry& page) {
        return report::pageInformation(page, 0, report::InformationForm::SingleConnection, nullptr);
    };
    const auto imported = rows(*imported_);
    ASSERT_GE(imported.size(), 4u);
    EXPECT_EQ(imported[2].property, "Status");
    EXPECT_EQ(imported[3], (report::InformationRow{"Source", kMark, false, std::nullopt}));
    for (const report::InformationRow& row : rows(*measured_)) EXPECT_NE(row.property, "Source");
}

TEST_F(ImportedPageMark, TheAnalysisReportsNameTheSource) {
    const report::AnalysisPage imported = report::snapshotOf(*imported_);
    const report::AnalysisPage measured = report::snapshotOf(*measured_);
    EXPECT_EQ(count(report::PageAnalyzer::generalReport(imported), kMark), 1u);
    EXPECT_EQ(count(report::PageAnalyzer::generalReport(measured), "Imported from"), 0u);
    EXPECT_EQ(count(report::PageAnalyzer::consolidatedReport({measured, imported}),
                    std::string("Source: ") + kMark),
              1u);
}

}  // namespace
