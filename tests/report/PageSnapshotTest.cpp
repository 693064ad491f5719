#include "report/PageSnapshot.h"

#include <gtest/gtest.h>

#include <memory>
#include <numeric>
#include <string>

#include "engine/base/ContentKind.h"
#include "engine/base/LoadPhase.h"
#include "engine/figures/PageFigures.h"
#include "engine/schedule/PageState.h"
#include "report/PageAnalyzer.h"
#include "report/PageClass.h"
#include "tests/engine/SiteFixture.h"

namespace {

using engine::PageEntry;
using engine::PageState;

constexpr std::int32_t kErrorPhase = static_cast<std::int32_t>(engine::LoadPhase::Error);
constexpr std::int32_t kCompletedPhase = static_cast<std::int32_t>(engine::LoadPhase::Completed);

// Pages of a loopback site, analysed by the page-finished hook as the site tree installs it.
class PageSnapshotTest : public enginetest::SiteFixture {
protected:
    PageSnapshotTest() {
        manager_->setPageFinishedHook(
            [](const std::shared_ptr<PageEntry>& page) { report::analyseAndStore(*page); });
        // A small image whose content type comes with odd case and a parameter.
        server_.get("/pic.gif", [](const httplib::Request&, httplib::Response& response) {
            response.set_content(std::string(300, 'g'), "Image/GIF; name=pic");
        });
    }
};

TEST_F(PageSnapshotTest, AMissingImageMakesAChildErrorPageCritical) {
    page("/broken.html",
         "<html><head><title>Broken</title></head><body><img src=\"/pic.gif\">"
         "<img src=\"/missing.gif\"><img src=\"http://127.0.0.1:1/refused.gif\"></body></html>");
    const auto entry = load(url("/broken.html"));
    ASSERT_EQ(entry->state(), PageState::ChildError);

    const report::AnalysisPage snapshot = report::snapshotOf(*entry);
    EXPECT_EQ(snapshot.state, 16);
    EXPECT_EQ(snapshot.stateText, "Child Error");
    EXPECT_TRUE(snapshot.hasRootItem);
    EXPECT_EQ(snapshot.address, url("/broken.html"));
    EXPECT_EQ(snapshot.title, "Broken");
    EXPECT_EQ(snapshot.itemCount, 4);
    ASSERT_EQ(snapshot.items.size(), 4u);

    const report::AnalysisItem& document = snapshot.items[0];
    EXPECT_EQ(document.urlText, url("/broken.html"));
    EXPECT_EQ(document.host, "127.0.0.1");
    EXPECT_EQ(document.phase, kCompletedPhase);
    EXPECT_EQ(document.contentKind, static_cast<std::int32_t>(engine::ContentKind::Html));
    EXPECT_EQ(snapshot.items[1].urlText, url("/pic.gif"));
    EXPECT_EQ(snapshot.items[1].phase, kCompletedPhase);
    const report::AnalysisItem& missing = snapshot.items[2];
    EXPECT_EQ(missing.urlText, url("/missing.gif"));
    EXPECT_EQ(missing.phase, kErrorPhase);
    EXPECT_EQ(missing.objectPath, "missing.gif");
    // No connection, so no measured record: the address comes from the item itself.
    const report::AnalysisItem& refused = snapshot.items[3];
    EXPECT_EQ(refused.urlText, "http://127.0.0.1:1/refused.gif");
    EXPECT_EQ(refused.host, "127.0.0.1");
    EXPECT_EQ(refused.objectPath, "refused.gif");
    EXPECT_EQ(refused.phase, kErrorPhase);
    EXPECT_EQ(refused.size, 0u);

    // The hook graded the page before the run ended, and the snapshot carries the verdict.
    EXPECT_EQ(entry->pageClass(), report::kClassCritical);
    EXPECT_EQ(snapshot.storedClass, report::kClassCritical);
    EXPECT_EQ(snapshot.storedText, entry->hintText());
    EXPECT_NE(snapshot.storedText.find("Web Page contains error(s):"), std::string::npos);
    EXPECT_NE(snapshot.storedText.find(url("/missing.gif")), std::string::npos);
    EXPECT_NE(snapshot.storedText.find("refused.gif"), std::string::npos);
    EXPECT_EQ(snapshot.storedText.find(url("/pic.gif")), std::string::npos);
    // Errors are graded Critical, so the general report is available for the page.
    EXPECT_TRUE(report::PageAnalyzer::isAnalysable(snapshot));
}

TEST_F(PageSnapshotTest, ASmallCleanPageIsPerfect) {
    // Under 2 KB of HTML and one image of 300 bytes: a share of images a small page may have.
    page("/clean.html", "<html><title>Clean</title><body><p>" + std::string(600, 'x') +
                            "</p><img src=\"/pic.gif\"></body></html>");
    const auto entry = load(url("/clean.html"));
    ASSERT_EQ(entry->state(), PageState::Finished);
    EXPECT_EQ(entry->pageClass(), report::kClassPerfect);
    const std::string text = entry->hintText();
    EXPECT_EQ(text.rfind("<B> Page Class: " + report::coloredName(report::kClassPerfect), 0), 0u)
        << text;
    EXPECT_NE(text.find("Web Page was downloaded successfully."), std::string::npos);
    EXPECT_NE(text.find("All page elementes are located on original host."), std::string::npos);
    EXPECT_EQ(text.find("Hint: "), std::string::npos);

    // Analysing again from a fresh snapshot gives the same verdict.
    const report::AnalysisResult again =
        report::PageAnalyzer::analyzePage(report::snapshotOf(*entry));
    EXPECT_EQ(again.pageClass, report::kClassPerfect);
    EXPECT_EQ(again.text, text);
}

TEST_F(PageSnapshotTest, SizesTimesAndItemsFollowThePageFigures) {
    page("/sized.html",
         "<html><title>Sized &amp; timed</title><img src=\"/pic.gif\">"
         "<script src=\"/content?type=text/javascript&size=700\"></script></html>");
    const auto entry = load(url("/sized.html"));
    ASSERT_EQ(entry->state(), PageState::Finished);
    const report::AnalysisPage snapshot = report::snapshotOf(*entry);

    EXPECT_EQ(snapshot.title, "Sized &amp; timed");  // raw: the reports escape it
    EXPECT_EQ(snapshot.scanFlags, static_cast<std::int32_t>(engine::kScanAll));
    EXPECT_EQ(snapshot.itemCount, 3);
    EXPECT_EQ(snapshot.size, entry->pageSize());
    for (int index = 0; index < engine::kConnectionCount; ++index) {
        const engine::PageFigures figures = entry->figures(index);
        const auto k = static_cast<std::size_t>(index);
        EXPECT_EQ(snapshot.pageTime[k], figures.pageTime) << index;
        EXPECT_EQ(snapshot.downloadTime[k], figures.downloadTime) << index;
        EXPECT_EQ(snapshot.browseTime[k], figures.browseTime) << index;
        EXPECT_DOUBLE_EQ(snapshot.speed[k], engine::pageSpeed(figures)) << index;
    }
    // The restated connections are slower than loopback, and slower the slower the line.
    EXPECT_GT(snapshot.downloadTime[10], snapshot.downloadTime[1]);
    EXPECT_GT(snapshot.speed[1], snapshot.speed[10]);

    const engine::PageFigures actual = entry->figures(0);
    EXPECT_EQ(snapshot.size, actual.pageSize);
    ASSERT_EQ(snapshot.items.size(), actual.items.size());
    std::uint64_t sizes = 0;
    double shares = 0;
    for (std::size_t i = 0; i < snapshot.items.size(); ++i) {
        const report::AnalysisItem& item = snapshot.items[i];
        const engine::ElementStats& stats = actual.items[i].stats;
        EXPECT_EQ(item.urlText, stats.urlText) << i;
        EXPECT_EQ(item.size, stats.size) << i;
        EXPECT_EQ(item.totalTime, stats.totalTime) << i;
        EXPECT_DOUBLE_EQ(item.percentOfTime, stats.percentTime) << i;
        sizes += item.size;
        shares += item.percentOfTime;
    }
    EXPECT_EQ(sizes, snapshot.size);
    if (snapshot.pageTime[0] > 0) {
        EXPECT_NEAR(shares, 1.0, 1e-9);
    }

    const report::AnalysisItem& image = snapshot.items[1];
    EXPECT_EQ(image.objectPath, "pic.gif");
    EXPECT_EQ(image.size, 300u);
    EXPECT_EQ(image.contentType, "image/gif");
    EXPECT_EQ(image.contentKind, static_cast<std::int32_t>(engine::ContentKind::Gif));
    const report::AnalysisItem& script = snapshot.items[2];
    EXPECT_EQ(script.size, 700u);
    EXPECT_EQ(script.contentType, "text/javascript");
    EXPECT_EQ(script.contentKind, static_cast<std::int32_t>(engine::ContentKind::Script));
}

TEST_F(PageSnapshotTest, PagesNotLoadedWithTheirElementsAreNotGraded) {
    // Never loaded: nothing but the address and the state.
    const auto ready = PageEntry::create(*manager_, url("/never.html"));
    report::analyseAndStore(*ready);
    const report::AnalysisPage snapshot = report::snapshotOf(*ready);
    EXPECT_EQ(snapshot.state, 1);
    EXPECT_EQ(snapshot.stateText, "Ready");
    EXPECT_FALSE(snapshot.hasRootItem);
    EXPECT_EQ(snapshot.address, url("/never.html"));
    EXPECT_EQ(snapshot.title, "");
    EXPECT_EQ(snapshot.itemCount, 0);
    EXPECT_EQ(snapshot.size, 0u);
    EXPECT_TRUE(snapshot.items.empty());
    EXPECT_EQ(snapshot.downloadTime, (std::array<std::uint32_t, 11>{}));
    EXPECT_EQ(snapshot.storedClass, report::kClassUnknown);
    EXPECT_EQ(snapshot.storedText, report::PageAnalyzer::kNotLoaded);

    // Loaded for its anchors only: the document is there, but its elements were not fetched.
    page("/anchors.html", "<html><img src=\"/pic.gif\"><a href=\"/never.html\">x</a></html>");
    const auto scanned = load(url("/anchors.html"), engine::kScanAnchors | engine::kScanTitle);
    ASSERT_TRUE(engine::isLoaded(scanned->state()));
    const report::AnalysisPage partial = report::snapshotOf(*scanned);
    EXPECT_TRUE(partial.hasRootItem);
    EXPECT_EQ(partial.scanFlags & 1, 0);
    EXPECT_EQ(partial.items.size(), 1u);
    EXPECT_EQ(scanned->pageClass(), report::kClassUnknown);
    EXPECT_EQ(scanned->hintText(), report::PageAnalyzer::kNotLoaded);

    // A reset page drops its verdict with its items.
    scanned->reset(false);
    const report::AnalysisPage cleared = report::snapshotOf(*scanned);
    EXPECT_FALSE(cleared.hasRootItem);
    EXPECT_TRUE(cleared.items.empty());
    EXPECT_EQ(cleared.storedText, "");
}

TEST_F(PageSnapshotTest, MatchedConditionsAreNamedInListOrderForFinishedPagesOnly) {
    report::FilterConditionList conditions;
    const auto add = [&](const std::string& name, int connection, int threshold, bool enabled) {
        report::FilterCondition condition;
        condition.name = name;
        condition.connectionType = connection;
        condition.timeType = 1;  // download time
        condition.threshold = threshold;
        conditions.add(condition);
        conditions.conditions().back().enabled = enabled;
    };
    // On 14.4K every page takes at least the line's latency; no page here takes an hour.
    add("Slow line", 10, 0, true);
    add("Off", 10, 0, false);
    add("An hour", 10, 3600, true);
    add("Also slow", 7, 0, true);

    page("/fine.html", "<html><img src=\"/pic.gif\"></html>");
    const auto fine = load(url("/fine.html"));
    ASSERT_EQ(fine->state(), PageState::Finished);
    EXPECT_EQ(report::snapshotOf(*fine, &conditions).matchedConditions,
              (std::vector<std::string>{"Slow line", "Also slow"}));
    EXPECT_TRUE(report::snapshotOf(*fine).matchedConditions.empty());

    page("/child-error.html", "<html><img src=\"/gone.gif\"></html>");
    const auto broken = load(url("/child-error.html"));
    ASSERT_EQ(broken->state(), PageState::ChildError);
    const report::AnalysisPage snapshot = report::snapshotOf(*broken, &conditions);
    EXPECT_GT(snapshot.downloadTime[10], 0u);
    EXPECT_TRUE(snapshot.matchedConditions.empty());
}

}  // namespace
