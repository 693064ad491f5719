#include <gtest/gtest.h>

#include <algorithm>
#include <nlohmann/json.hpp>
#include <string>
#include <unordered_set>
#include <vector>

#include "engine/crawl/SiteTree.h"
#include "engine/figures/ConnectionSpeed.h"
#include "engine/items/ImportedItem.h"
#include "engine/schedule/PageItem.h"
#include "export/HarImport.h"
#include "export/HarWriter.h"
#include "export/JsonReport.h"
#include "tests/export/ImportedPages.h"
#include "tests/export/LoadedSite.h"

namespace {

using nlohmann::json;

// What a page's item is, as a HAR can carry it.
struct ItemRecord {
    std::string url, parent, type;
    std::int32_t status = 0, result = 0;
    engine::LoadPhase phase = engine::LoadPhase::Ready;
    std::uint32_t size = 0, connect = 0, send = 0, wait = 0, receive = 0, position = 0;
    bool operator==(const ItemRecord&) const = default;
};

void PrintTo(const ItemRecord& r, std::ostream* out) {
    *out << r.url << " under " << r.parent << ": " << r.status << "/" << r.result << " "
         << static_cast<int>(r.phase) << " " << r.type << " " << r.size << " b, " << r.connect
         << "+" << r.send << "+" << r.wait << "+" << r.receive << " ms at " << r.position;
}

// The page's items by address, leaving out those in `listed` (a HAR lists an item under its first
// page only), and adding the others to it.
std::vector<ItemRecord> records(engine::PageEntry& page,
                                std::unordered_set<std::string>* listed = nullptr) {
    const engine::PageFigures figures = page.figures(engine::kActualSpeed);
    std::vector<ItemRecord> list;
    for (const engine::ItemFigures& entry : figures.items) {
        const engine::WebItem& item = *entry.item;
        if (listed && !listed->insert(item.address().urlText).second) continue;
        const engine::ElementStats& s = entry.stats;
        list.push_back(
            {item.address().urlText,
             entry.parent < 0
                 ? std::string()
                 : figures.items[static_cast<std::size_t>(entry.parent)].item->address().urlText,
             item.contentType(), item.statusCode(), item.result(), item.phase(), s.size,
             s.connectTime, s.sendTime, s.waitTime, s.receiveTime, entry.position});
    }
    // Siblings are listed as their transfers ended, which a measurement and its recording may
    // order differently.
    std::sort(list.begin(), list.end(),
              [](const ItemRecord& a, const ItemRecord& b) { return a.url < b.url; });
    return list;
}

class HarRoundTrip : public exporttest::LoadedSite {
protected:
    // The HAR Pagelyst writes for `pages`, with every wait set to `wait` ms when given.
    std::string harOf(const std::vector<std::shared_ptr<engine::PageEntry>>& pages,
                      std::optional<int> wait = std::nullopt) {
        json har = exporting::harDocument(pages);
        if (wait)
            for (json& entry : har["log"]["entries"]) entry["timings"]["wait"] = *wait;
        return folder_.write("site.har", har.dump());
    }

    exporttest::TempFolder folder_;
};

TEST_F(HarRoundTrip, PagelystsOwnHarImportsAsTheMeasuredPages) {
    const auto measured = loadSite();
    const std::string path = harOf(measured);

    engine::SiteManager manager(engine::SiteManager::Role::Interactive);
    engine::SiteTree tree(manager);
    const exporting::HarImport imported = exporting::importHar(tree, path);
    ASSERT_EQ(imported.error, "");
    ASSERT_EQ(imported.nodes.size(), measured.size());
    std::unordered_set<std::string> listed;
    for (std::size_t i = 0; i < measured.size(); ++i) {
        engine::PageEntry& before = *measured[i];
        engine::PageEntry& after = *imported.nodes[i]->page;
        EXPECT_EQ(after.address().urlText, before.address().urlText);
        EXPECT_EQ(engine::pageTitle(after), engine::pageTitle(before));
        EXPECT_EQ(records(after), records(before, &listed)) << before.address().urlText;
    }
    // The first page lists all its items, so the four-lane browser runs over the same tree.
    for (int k = 0; k < engine::kConnectionCount; ++k) {
        const engine::PageFigures before = measured[0]->figures(k);
        const engine::PageFigures after = imported.nodes[0]->page->figures(k);
        EXPECT_EQ(after.downloadTime, before.downloadTime) << k;
        EXPECT_EQ(after.browseTime, before.browseTime) << k;
        EXPECT_EQ(after.pageSize, before.pageSize) << k;
    }
    EXPECT_EQ(imported.nodes[0]->page->state(), measured[0]->state());
}

TEST_F(HarRoundTrip, AHarWrittenFromImportedPagesImportsTheSameAgain) {
    engine::SiteManager manager(engine::SiteManager::Role::Interactive);
    engine::SiteTree tree(manager);
    const auto first = exporting::importHar(tree, exporttest::harFixture("chrome-page.har"));
    ASSERT_EQ(first.error, "");
    const std::string again =
        folder_.write("again.har", exporting::harDocument({first.nodes[0]->page}).dump());
    const auto second = exporting::importHar(tree, again);
    ASSERT_EQ(second.error, "");
    EXPECT_EQ(records(*second.nodes[0]->page), records(*first.nodes[0]->page));
    EXPECT_EQ(second.summary.cached, 1u);
}

TEST_F(HarRoundTrip, AnalyzeMeasuresAnImportedPageForReal) {
    const std::string path = harOf(loadSite(), 5000);
    use(engine::SiteManager::Role::Interactive);
    engine::SiteTree tree(*manager_);
    const exporting::HarImport imported = exporting::importHar(tree, path);
    ASSERT_EQ(imported.error, "");
    engine::PageEntry& page = *imported.nodes[0]->page;
    ASSERT_GE(page.figures(0).items.front().stats.waitTime, 5000u);
    const int before = requestCounts()["/s.css"];

    tree.reanalysePage(*imported.nodes[0], engine::kScanAll);
    ASSERT_TRUE(sink_->waitForRunsEnded(1));
    EXPECT_EQ(page.importSource(), "");
    EXPECT_EQ(page.state(), engine::PageState::ChildError);  // /missing.gif, measured again
    for (const engine::ItemFigures& entry : page.figures(0).items) {
        EXPECT_NE(dynamic_cast<engine::PageItem*>(entry.item.get()), nullptr);
        EXPECT_LT(entry.stats.waitTime, 5000u) << entry.item->address().urlText;
    }
    EXPECT_EQ(requestCounts()["/s.css"], before + 1);
}

TEST_F(HarRoundTrip, AMeasuredPageFetchesAnElementAnImportedPageHolds) {
    const auto measured = loadSite();
    const std::string path = harOf({measured[0]}, 5000);
    use(engine::SiteManager::Role::Interactive);
    engine::SiteTree tree(*manager_);
    ASSERT_EQ(exporting::importHar(tree, path).error, "");
    const int before = requestCounts()["/a.gif"];

    engine::SiteNode* child = tree.analyseAddress(url("/child.html"));
    ASSERT_TRUE(sink_->waitForRunsEnded(1));
    const engine::PageFigures figures = child->page->figures(0);
    ASSERT_EQ(figures.items.size(), 3u);
    const engine::ItemFigures& shared = figures.items[1];
    EXPECT_EQ(shared.item->address().urlText, url("/a.gif"));
    EXPECT_EQ(dynamic_cast<engine::ImportedItem*>(shared.item.get()), nullptr);
    EXPECT_LT(shared.stats.waitTime, 5000u);
    EXPECT_EQ(requestCounts()["/a.gif"], before + 1);
}

}  // namespace
