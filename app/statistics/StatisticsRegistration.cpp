#include "app/statistics/StatisticsRegistration.h"

#include <QCoreApplication>

#include <utility>

#include "app/shell/AppContext.h"
#include "app/statistics/CStatisticsDlg.h"
#include "app/statistics/StatisticsEditing.h"

namespace app {

namespace {

using C = CommandId;
using S = CommandState;

QString text(const char* source) {
    return QCoreApplication::translate("CStatisticsDlg", source);
}

}  // namespace

int statisticsKey() {
    return 2;
}

ViewRegistration statisticsView() {
    ViewRegistration view;
    view.key = statisticsKey();
    view.showCommand = C::ViewStatistics;
    view.shortName = text("Statistics");
    view.title = text("Web Page Statistics");
    view.description = text("This view shows various statistics layouts for web site pages.");
    view.image = IconId::Statistics;
    // The pane's selection value holds the current definition; the view keeps it itself.
    view.pane = PaneSettingNames{"StatTabLocation", "StatTabPin",    "StatTabXSize",
                                 "StatTabYSize",    "StatTabActive", nullptr};
    view.menuTitle = text("&Statistics");
    view.menu = {C::NewStatistics, kSeparator};
    view.commands = {
        {C::NewStatistics, [](const S&) { return true; }},
        {C::Export, [](const S& s) { return s.currentPage; }},
    };
    view.make = [](ViewHost& host, AppContext& context) -> std::unique_ptr<AppView> {
        StatisticsEditors editors{
            [](QWidget* parent, query::StatisticsCatalog& catalog) {
                return newStatistics(parent, catalog);
            },
            [](QWidget* parent, query::StatisticsCatalog& catalog, std::int32_t id) {
                return editStatistics(parent, catalog, id);
            }};
        return std::make_unique<CStatisticsDlg>(host, context.statistics(), std::move(editors));
    };
    return view;
}

}  // namespace app
