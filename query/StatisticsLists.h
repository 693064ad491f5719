#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "query/StatisticsCatalog.h"

// The statistics view's choice list and menu, built from the catalogue without any drawing.
namespace query {

// One row of the definitions list. The first row is "New..." with id 0 and no query.
struct DefinitionRow {
    std::int32_t id = 0;
    std::string title;
    std::string query;

    bool operator==(const DefinitionRow&) const = default;
};

inline constexpr const char* kNewDefinitionRow = "New...";

// "New...", then each definition in ascending id order with its title and query.
std::vector<DefinitionRow> definitionRows(const StatisticsCatalog& catalog);

// The first command number of the definitions in the statistics menu; the next ones follow in
// id order.
inline constexpr int kFirstStatisticsCommand = 3000;

struct StatisticsMenuEntry {
    enum class Kind {
        NewStatistics,  // "&New...": the front end's new-statistics command
        Separator,
        Definition,  // a definition: its title, command number and id
    };

    Kind kind = Kind::Separator;
    std::string text;
    int command = 0;  // kFirstStatisticsCommand + position for a definition, else 0
    std::int32_t definitionId = 0;
    bool checked = false;  // the current definition

    bool operator==(const StatisticsMenuEntry&) const = default;
};

// "&New...", a separator, then one entry per definition in id order, the current one checked.
std::vector<StatisticsMenuEntry> statisticsMenu(const StatisticsCatalog& catalog,
                                                std::int32_t currentId);

// The definition a command number of `menu` stands for; none for another number.
std::optional<std::int32_t> definitionForCommand(const std::vector<StatisticsMenuEntry>& menu,
                                                 int command);

// Remembers the catalogue's change stamp a list or menu was last filled for.
class CatalogWatch {
public:
    // True (and remembers the stamp) the first time and whenever the catalogue changed since.
    bool needsRefill(const StatisticsCatalog& catalog);
    // The next needsRefill() is true again.
    void reset() { shown_.reset(); }

private:
    std::optional<std::uint32_t> shown_;
};

}  // namespace query
