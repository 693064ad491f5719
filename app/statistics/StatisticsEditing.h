#pragma once

#include <cstdint>

class QWidget;

namespace query {
class StatisticsCatalog;
}

namespace app {

// The "New Statistics" wizard: on Finish with a valid query the definition is added to the
// catalogue. True when one was added.
bool newStatistics(QWidget* parent, query::StatisticsCatalog& catalog);

// The "Edit Statistics" dialog for the definition `id`: on OK with a valid query the
// definition is modified. True when it was.
bool editStatistics(QWidget* parent, query::StatisticsCatalog& catalog, std::int32_t id);

}  // namespace app
