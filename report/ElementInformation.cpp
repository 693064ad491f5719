#include "report/ElementInformation.h"

#include <algorithm>
#include <string>

#include "engine/figures/ConnectionSpeed.h"
#include "engine/figures/PageFigures.h"
#include "engine/http/TransferResult.h"
#include "query/DisplayFormats.h"
#include "report/ElementColumns.h"

namespace report {
namespace {

InformationRow group(std::string caption) {
    return {std::move(caption), {}, true, std::nullopt};
}

InformationRow row(std::string property, std::string value) {
    return {std::move(property), std::move(value), false, std::nullopt};
}

const char* caption(ElementRowsTitle title) {
    switch (title) {
        case ElementRowsTitle::Dialog:
            return "Element Information:";
        case ElementRowsTitle::Status:
            return "Web Item Information:";
        case ElementRowsTitle::SideList:
            break;
    }
    return "General:";
}

bool failed(const engine::WebItem& item) {
    return item.phase() == engine::LoadPhase::Error || item.result() != 0;
}

void addError(const engine::WebItem& item, std::vector<InformationRow>& rows) {
    const bool httpStatus = item.result() == engine::kResultHttpStatus;
    rows.push_back(group("Error Information:"));
    rows.push_back(row("Error", std::to_string(httpStatus ? item.statusCode() : item.result())));
    rows.push_back(row("Description", item.errorText()));
    rows.push_back(row("Type", httpStatus ? "HTTP Error" : "Connection Error"));
}

}  // namespace

std::vector<InformationRow> elementInformation(engine::PageEntry& page, const engine::WebItem& item,
                                               int connection, ElementRowsTitle title) {
    if (!engine::isConnectionIndex(connection)) connection = engine::kActualSpeed;
    const engine::PageFigures figures = page.figures(connection);
    const auto found = std::find_if(figures.items.begin(), figures.items.end(),
                                    [&item](const auto& f) { return f.item.get() == &item; });
    if (found == figures.items.end()) return {};
    const engine::ItemFigures shown = withAddress(*found, item);
    const auto cell = [&shown](std::uint32_t column) {
        return elementCell(shown, column, false).text;
    };

    std::vector<InformationRow> rows;
    rows.push_back(group(caption(title)));
    rows.push_back(row("Host", cell(kElementHost)));
    rows.push_back(row("Element", cell(kElementName)));
    rows.push_back(row("Status", cell(kElementStatus)));
    rows.push_back(row("Protocol", cell(kElementProtocol)));
    if (failed(item)) addError(item, rows);
    const std::string_view name =
        engine::kConnectionSpeeds[static_cast<std::size_t>(connection)].name;
    rows.push_back(group("Statistics (" + std::string(name) + "):"));
    rows.push_back(row("Time", cell(kElementTime)));
    rows.push_back(row("Size", cell(kElementSize)));
    rows.push_back(row("Speed", cell(kElementSpeed)));
    rows.push_back(row("% of Size", query::formatPercent(shown.stats.percentSize)));
    rows.push_back(row("% of Time", cell(kElementPercentTime)));
    if (shown.parent >= 0) {
        const auto& parent = figures.items[static_cast<std::size_t>(shown.parent)].item;
        rows.push_back(group("Parent Element:"));
        rows.push_back(row("Address", parent ? parent->address().urlText : std::string()));
    }
    return rows;
}

}  // namespace report
