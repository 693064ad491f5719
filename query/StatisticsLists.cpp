#include "query/StatisticsLists.h"

namespace query {

std::vector<DefinitionRow> definitionRows(const StatisticsCatalog& catalog) {
    std::vector<DefinitionRow> rows{{0, kNewDefinitionRow, {}}};
    for (StatisticsDefinition& definition : catalog.definitions())
        rows.push_back({definition.id, std::move(definition.title), std::move(definition.query)});
    return rows;
}

std::vector<StatisticsMenuEntry> statisticsMenu(const StatisticsCatalog& catalog,
                                                std::int32_t currentId) {
    using Kind = StatisticsMenuEntry::Kind;
    std::vector<StatisticsMenuEntry> menu{{Kind::NewStatistics, "&New...", 0, 0, false},
                                          {Kind::Separator, {}, 0, 0, false}};
    int command = kFirstStatisticsCommand;
    for (StatisticsDefinition& definition : catalog.definitions()) {
        menu.push_back({Kind::Definition, std::move(definition.title), command++, definition.id,
                        definition.id == currentId});
    }
    return menu;
}

std::optional<std::int32_t> definitionForCommand(const std::vector<StatisticsMenuEntry>& menu,
                                                 int command) {
    for (const StatisticsMenuEntry& entry : menu) {
        if (entry.kind == StatisticsMenuEntry::Kind::Definition && entry.command == command)
            return entry.definitionId;
    }
    return std::nullopt;
}

bool CatalogWatch::needsRefill(const StatisticsCatalog& catalog) {
    if (shown_ == catalog.changeStamp()) return false;
    shown_ = catalog.changeStamp();
    return true;
}

}  // namespace query
