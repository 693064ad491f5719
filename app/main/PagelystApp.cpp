#include "app/main/PagelystApp.h"

#include <QApplication>

#include "app/sitetree/CSiteTreeDlg.h"
#include "app/widgets/WebEngineSetup.h"
#include "cli/DemoSite.h"

namespace app {

ViewFactories pagelystViews() {
    return {
        {view::kSiteTree, [](MainView& host) { return std::make_unique<CSiteTreeDlg>(host); }},
    };
}

PagelystApp::PagelystApp()
    : application_(std::make_unique<CApplication>(pagelystViews(), [this] {
          if (!demo_) demo_ = std::make_unique<cli::DemoSite>();
          return QString::fromStdString(demo_->homeAddress());
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
