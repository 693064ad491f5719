#include "report/PageInformation.h"

#include <memory>

#include "engine/crawl/CrawlController.h"
#include "engine/figures/ConnectionSpeed.h"
#include "engine/figures/PageFigures.h"
#include "engine/items/ScanResult.h"
#include "engine/items/WebItem.h"
#include "engine/schedule/PageState.h"
#include "query/DisplayFormats.h"
#include "report/ImportSourceText.h"
#include "report/PageAnalyzer.h"

namespace report {
namespace {

std::int32_t asInt(std::uint32_t value) {
    return value > 0x7fffffffu ? 0x7fffffff : static_cast<std::int32_t>(value);
}

InformationRow group(std::string caption) {
    return {std::move(caption), {}, true, std::nullopt};
}

InformationRow row(std::string property, std::string value) {
    return {std::move(property), std::move(value), false, std::nullopt};
}

std::string_view nameOf(int connection) {
    return engine::kConnectionSpeeds[static_cast<std::size_t>(connection)].name;
}

bool failed(const engine::WebItem& item) {
    return item.phase() == engine::LoadPhase::Error || item.result() != 0;
}

void addErrors(const engine::PageFigures& figures, std::vector<InformationRow>& rows) {
    bool any = false;
    for (const engine::ItemFigures& entry : figures.items) {
        if (!entry.item || !failed(*entry.item)) continue;
        if (!any) rows.push_back(group("Error(s) Information:"));
        any = true;
        rows.push_back(row("Error", entry.item->address().urlText));
        rows.push_back(row("Description", entry.item->errorText()));
    }
}

void addConditions(engine::PageEntry& page, const FilterConditionList& conditions,
                   std::vector<InformationRow>& rows) {
    const auto matched = matchingConditions(conditions, page);
    if (matched.empty()) return;
    rows.push_back(group("Condition(s):"));
    for (const FilterCondition& condition : matched) {
        InformationRow entry = row(condition.name, {});
        entry.color = colorOf(condition);
        rows.push_back(std::move(entry));
    }
}

}  // namespace

std::vector<FilterCondition> matchingConditions(const FilterConditionList& conditions,
                                                engine::PageEntry& page) {
    const PageTimesFor times = [&page](int index) {
        const engine::PageFigures figures = page.figures(index);
        return PageTimes{figures.downloadTime, figures.browseTime};
    };
    return conditions.evaluate(page.state() == engine::PageState::Finished, times);
}

std::vector<InformationRow> pageInformation(engine::PageEntry& page, int connection,
                                            InformationForm form,
                                            const FilterConditionList* conditions) {
    const std::shared_ptr<engine::WebItem> root = page.rootItem();
    const engine::PageState state = page.state();
    if (!root || !engine::isLoaded(state)) {
        return {row(PageAnalyzer::kNotLoaded, {})};
    }
    if (!engine::isConnectionIndex(connection)) connection = engine::kActualSpeed;
    const engine::PageFigures figures = page.figures(connection);

    std::vector<InformationRow> rows;
    rows.push_back(group("Page Information:"));
    rows.push_back(row("Title", engine::pageTitle(page)));
    rows.push_back(
        row("Status", std::string(engine::pageStateText(static_cast<std::uint32_t>(state)))));
    // A page read from a browser's recording says so; a measured page has no such row.
    if (const std::string source = page.importSource(); !source.empty())
        rows.push_back(row("Source", importedFromText(source)));
    rows.push_back(row("Size", query::formatSize(asInt(figures.pageSize))));
    rows.push_back(row("Elements", std::to_string(page.finishedCount())));
    if (form == InformationForm::SingleConnection) {
        rows.push_back(group("Load Info (" + std::string(nameOf(connection)) + "):"));
        rows.push_back(row("Speed", query::formatSpeed(engine::pageSpeed(figures))));
        rows.push_back(row("Download Time", query::formatTime(asInt(figures.downloadTime))));
        rows.push_back(row("Browse Time", query::formatTime(asInt(figures.browseTime))));
    }
    addErrors(connection == engine::kActualSpeed ? figures : page.figures(engine::kActualSpeed),
              rows);
    if (conditions) addConditions(page, *conditions, rows);
    if (form == InformationForm::AllConnections) {
        rows.push_back(group("Download / Browse Time:"));
        for (int index = 0; index < engine::kConnectionCount; ++index) {
            const engine::PageFigures times = page.figures(index);
            rows.push_back(row(std::string(nameOf(index)),
                               query::formatTimeLong(asInt(times.downloadTime)) + " / " +
                                   query::formatTimeLong(asInt(times.browseTime))));
        }
    }
    return rows;
}

std::string noPageHtml() {
    return std::string("<HTML> <BODY> <FONT FACE=\"Tahoma\" size=2> ") + kNoPageSelected +
           " </BODY> </HTML>";
}

}  // namespace report
