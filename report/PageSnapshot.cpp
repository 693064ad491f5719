#include "report/PageSnapshot.h"

#include <memory>
#include <string>
#include <utility>

#include "engine/base/ContentKind.h"
#include "engine/crawl/CrawlController.h"
#include "engine/figures/PageFigures.h"
#include "engine/items/ScanResult.h"
#include "engine/items/WebItem.h"
#include "engine/schedule/PageState.h"
#include "report/PageAnalyzer.h"

namespace report {
namespace {

// One item as the analysis reads it. An item whose transfer never produced a record (a refused
// connection, an address that could not be split) has an empty one: its address and content
// come from the item itself then.
AnalysisItem itemOf(const engine::ItemFigures& figures) {
    const engine::ElementStats& stats = figures.stats;
    AnalysisItem item;
    if (!stats.urlText.empty()) {
        item.urlText = stats.urlText;
        item.host = stats.host;
        item.objectPath = stats.objectPath;
        item.contentKind = static_cast<std::int32_t>(stats.contentKind);
        item.contentType = engine::normalizeContentType(stats.contentType);
    } else if (figures.item) {
        const engine::ParsedUrl address = figures.item->address();
        item.urlText = address.urlText;
        item.host = address.host;
        item.objectPath = address.objectPath.empty() ? "/" : address.objectPath;
        item.contentKind = static_cast<std::int32_t>(figures.item->contentKind());
        item.contentType = engine::normalizeContentType(figures.item->contentType());
    }
    if (figures.item) item.phase = static_cast<std::int32_t>(figures.item->phase());
    item.size = stats.size;
    item.totalTime = stats.totalTime;
    item.percentOfTime = stats.percentTime;
    return item;
}

}  // namespace

AnalysisPage snapshotOf(engine::PageEntry& page, const FilterConditionList* conditions) {
    AnalysisPage snapshot;
    const engine::PageState state = page.state();
    snapshot.state = static_cast<std::int32_t>(state);
    snapshot.stateText = std::string(engine::pageStateText(static_cast<std::uint32_t>(state)));
    snapshot.hasRootItem = page.rootItem() != nullptr;
    snapshot.scanFlags = static_cast<std::int32_t>(page.jobFlags());
    snapshot.address = page.address().urlText;
    snapshot.title = engine::pageTitle(page);
    snapshot.importSource = page.importSource();
    snapshot.itemCount = static_cast<std::int32_t>(page.finishedCount());
    snapshot.size = page.pageSize();
    snapshot.storedClass = page.pageClass();
    snapshot.storedText = page.hintText();

    if (engine::isLoaded(state)) {
        for (int index = 0; index < engine::kConnectionCount; ++index) {
            engine::PageFigures figures = page.figures(index);
            const auto k = static_cast<std::size_t>(index);
            snapshot.pageTime[k] = figures.pageTime;
            snapshot.downloadTime[k] = figures.downloadTime;
            snapshot.browseTime[k] = figures.browseTime;
            snapshot.speed[k] = engine::pageSpeed(figures);
            if (index == engine::kActualSpeed) {
                snapshot.items.reserve(figures.items.size());
                for (const engine::ItemFigures& item : figures.items)
                    snapshot.items.push_back(itemOf(item));
            }
        }
    }

    if (conditions) {
        const PageTimesFor times = [&snapshot](int index) {
            const auto k = static_cast<std::size_t>(index);
            return PageTimes{snapshot.downloadTime[k], snapshot.browseTime[k]};
        };
        for (const FilterCondition& condition :
             conditions->evaluate(state == engine::PageState::Finished, times))
            snapshot.matchedConditions.push_back(condition.name);
    }
    return snapshot;
}

void analyseAndStore(engine::PageEntry& page) {
    AnalysisResult result = PageAnalyzer::analyzePage(snapshotOf(page));
    page.setAnalysis(result.pageClass, std::move(result.text));
}

}  // namespace report
