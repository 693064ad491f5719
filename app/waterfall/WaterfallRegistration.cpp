#include "app/waterfall/WaterfallRegistration.h"

#include <QCoreApplication>

#include "app/waterfall/CWaterfallDlg.h"

namespace app {

namespace {

QString text(const char* source) {
    return QCoreApplication::translate("CWaterfallDlg", source);
}

}  // namespace

int waterfallKey() {
    return 4;
}

ViewRegistration waterfallView() {
    ViewRegistration view;
    view.key = waterfallKey();
    view.showCommand = CommandId::ViewWaterfall;
    view.shortName = text("Waterfall");
    view.title = text("Page Waterfall");
    view.description =
        text("This view shows how a browser loads the page's elements at the chosen connection.");
    view.image = IconId::Waterfall;
    view.menuTitle = text("&Waterfall");
    view.menu = {CommandId::Export, kSeparator};
    view.commands = {{CommandId::Export, [](const CommandState& s) { return s.currentPage; }}};
    view.make = [](ViewHost& host, AppContext&) -> std::unique_ptr<AppView> {
        return std::make_unique<CWaterfallDlg>(host);
    };
    return view;
}

}  // namespace app
