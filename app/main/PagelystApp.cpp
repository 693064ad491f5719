#include "app/main/PagelystApp.h"

#include <QApplication>

#include "app/analysis/AnalysisRegistration.h"
#include "app/analysis/CObjectExplorer.h"
#include "app/pagestatus/StatusRegistration.h"
#include "app/reports/ReportsRegistration.h"
#include "app/settings/CSettingsSheet.h"
#include "app/shell/AppContext.h"
#include "app/sitetree/SiteTreeRegistration.h"
#include "app/statistics/StatisticsRegistration.h"
#include "app/waterfall/WaterfallRegistration.h"
#include "app/widgets/WebEngineSetup.h"
#include "cli/DemoSite.h"

namespace app {

namespace {

ViewTable withMore(ViewTable views, ViewTable more) {
    for (ViewRegistration& view : more) views.push_back(std::move(view));
    return views;
}

}  // namespace

ViewTable pagelystViews() {
    return {siteTreeView(),   analysisView(),  reportsView(),
            statisticsView(), waterfallView(), statusView()};
}

PagelystApp::PagelystApp(ViewTable moreViews)
    : application_(std::make_unique<CApplication>(
          withMore(pagelystViews(), std::move(moreViews)), &CSettingsSheet::run,
          [this] {
              if (!demo_) demo_ = std::make_unique<cli::DemoSite>();
              return QString::fromStdString(demo_->homeAddress());
          },
          [](QWidget* parent, AppContext& context) {
              CObjectExplorer explorer(context.manager().registry(), parent);
              explorer.exec();
          })) {}

PagelystApp::~PagelystApp() {
    // The program's work ends before the site it may be loading from.
    application_.reset();
    if (demo_) demo_->stop();
}

QString PagelystApp::demoAddress() const {
    return demo_ ? QString::fromStdString(demo_->homeAddress()) : QString();
}

int runPagelyst(int argc, char* argv[]) {
    prepareWebEngine();
    QApplication qt(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pagelyst"));
    QApplication::setApplicationDisplayName(QStringLiteral("Pagelyst"));
    PagelystApp program;
    if (!program.application().start(QApplication::arguments())) return 1;
    return QApplication::exec();
}

}  // namespace app
