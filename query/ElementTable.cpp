#include "query/ElementTable.h"

#include <memory>

#include "engine/schedule/PageEntry.h"
#include "engine/url/ParsedUrl.h"
#include "query/NumericValue.h"
#include "query/QueryEngine.h"
#include "query/QueryError.h"
#include "query/StringValue.h"

namespace query {
namespace {

std::vector<std::string> columnNames() {
    return {kElementColumns.begin(), kElementColumns.end()};
}

std::int32_t signedMs(std::uint32_t value) {
    return static_cast<std::int32_t>(std::min<std::uint32_t>(value, INT32_MAX));
}

// The figures of an item before its page settled: its own values, no page-wide shares.
engine::ElementStats ownOnly(engine::ElementStats stats) {
    stats.timeWithChildren = stats.totalTime;
    stats.sizeWithChildren = stats.size;
    stats.percentSize = stats.percentTime = 0;
    stats.percentSizeWithChildren = stats.percentTimeWithChildren = 0;
    return stats;
}

void fillRow(QueryRow& row, std::int32_t id, const engine::WebItem& item,
             const engine::ElementStats& s) {
    std::size_t c = 0;
    const auto put = [&](std::unique_ptr<QueryValue> value) { row.setCell(c++, std::move(value)); };
    put(std::make_unique<IntegerValue>(id));
    put(std::make_unique<StringValue>(s.urlText));
    put(std::make_unique<StringValue>(s.host));
    put(std::make_unique<StringValue>(s.objectPath));
    const bool https = item.target().schemeKind == engine::ParsedUrl::kHttps;
    put(std::make_unique<StringValue>(https ? "HTTPS" : "HTTP"));
    put(std::make_unique<StringValue>(s.contentType));
    put(std::make_unique<TimeValue>(signedMs(s.totalTime)));
    put(std::make_unique<SizeValue>(signedMs(s.size)));
    put(std::make_unique<TimeValue>(signedMs(s.timeWithChildren)));
    put(std::make_unique<SizeValue>(signedMs(s.sizeWithChildren)));
    put(std::make_unique<SpeedValue>(s.speed));
    put(std::make_unique<PercentValue>(s.percentSize));
    put(std::make_unique<PercentValue>(s.percentTime));
    put(std::make_unique<PercentValue>(s.percentSizeWithChildren));
    put(std::make_unique<PercentValue>(s.percentTimeWithChildren));
    const auto scan = item.scanResult();
    const bool scanned = scan && !scan->base.urlText.empty();  // only documents have a base
    put(std::make_unique<StringValue>(scanned ? scan->base.urlText : item.address().urlText));
    put(std::make_unique<TimeValue>(signedMs(s.connectTime)));
    put(std::make_unique<TimeValue>(signedMs(s.sendTime)));
    put(std::make_unique<TimeValue>(signedMs(s.receiveTime)));
}

bool settled(engine::PageState state) {
    using engine::PageState;
    return state == PageState::Finished || state == PageState::Error ||
           state == PageState::ChildError || state == PageState::Canceled;
}

}  // namespace

QueryTablePtr buildElementTable(engine::PageEntry& page, int connectionIndex) {
    auto table = std::make_shared<QueryTable>(columnNames());
    const bool complete = settled(page.state());
    const engine::PageFigures figures = page.figures(connectionIndex);
    std::int32_t id = 0;
    for (const engine::ItemFigures& item : figures.items) {
        if (!item.item) continue;
        fillRow(table->appendRow(), ++id, *item.item, complete ? item.stats : ownOnly(item.stats));
    }
    return table;
}

const QueryTable& testTable() {
    static const QueryTable table = [] {
        QueryTable t(columnNames());
        QueryRow& row = t.appendRow();
        std::size_t c = 0;
        const auto put = [&](std::unique_ptr<QueryValue> v) { row.setCell(c++, std::move(v)); };
        put(std::make_unique<IntegerValue>(1));
        put(std::make_unique<StringValue>("testURL"));
        put(std::make_unique<StringValue>("testHost"));
        put(std::make_unique<StringValue>("testObject"));
        put(std::make_unique<StringValue>("HTTPS"));
        put(std::make_unique<StringValue>("testCT"));
        put(std::make_unique<TimeValue>(3222));
        put(std::make_unique<SizeValue>(3422));
        put(std::make_unique<TimeValue>(5352));
        put(std::make_unique<SizeValue>(5932));
        put(std::make_unique<SpeedValue>(12.12));
        // The shares hold these numbers themselves, not divided by 100.
        put(std::make_unique<PercentValue>(12.2));
        put(std::make_unique<PercentValue>(2.54));
        put(std::make_unique<PercentValue>(6.23));
        put(std::make_unique<PercentValue>(7.12));
        put(std::make_unique<StringValue>("testURL"));
        put(std::make_unique<TimeValue>(5352));
        put(std::make_unique<TimeValue>(5352));
        put(std::make_unique<TimeValue>(5352));
        return t;
    }();
    return table;
}

std::optional<std::string> validateQuery(std::string_view statement) {
    try {
        runQuery(statement, testTable());
        return std::nullopt;
    } catch (const QueryError& error) {
        return "Query Error.\n\nQuery: \n'" + std::string(statement) + "'.\n\nDescription:\n" +
               error.message();
    }
}

}  // namespace query
