#include "app/statistics/StatisticsRegistration.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTimer>

#include <utility>

#include "app/shell/AppContext.h"
#include "app/statistics/CStatisticsDlg.h"
#include "app/statistics/StatisticsEditing.h"
#include "app/widgets/MessageBoxes.h"
#include "persist/DocumentFolders.h"

namespace app {

namespace {

using C = CommandId;
using S = CommandState;

QString text(const char* source) {
    return QCoreApplication::translate("CStatisticsDlg", source);
}

// A definitions file that exists but could not be read left the built-ins in its place: the
// user hears of it once per loaded catalogue (the first window), and the file is replaced at
// exit.
void tellOfDamagedFile(QWidget* view, const query::StatisticsCatalog& catalog) {
    static std::pair<const void*, std::uint32_t> told{nullptr, 0};
    const std::pair<const void*, std::uint32_t> loaded{&catalog, catalog.changeStamp()};
    if (told == loaded) return;
    told = loaded;
    const std::string path = persist::DocumentFolders::data() + query::StatisticsCatalog::kFileName;
    if (!QFileInfo::exists(QString::fromStdString(path))) return;
    query::StatisticsCatalog probe;
    if (probe.load(path)) return;
    QTimer::singleShot(0, view, [view, path] {
        MessageBoxes::warning(
            view, QString::fromLatin1(MessageBoxes::kProductTitle),
            text("The statistics definitions in '%1' could not be read; the built-in statistics "
                 "are used instead.")
                .arg(QString::fromStdString(path)));
    });
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
        auto made =
            std::make_unique<CStatisticsDlg>(host, context.statistics(), std::move(editors));
        tellOfDamagedFile(made.get(), context.statistics());
        return made;
    };
    return view;
}

}  // namespace app
