#include "app/sitetree/SiteTreeRegistration.h"

#include <QCoreApplication>

#include "app/shell/AppContext.h"
#include "app/sitetree/CSiteTreeDlg.h"

namespace app {

namespace {

using C = CommandId;
using S = CommandState;

bool idle(const S& s) {
    return !s.downloadRunning;
}

QString text(const char* source) {
    return QCoreApplication::translate("CSiteTreeDlg", source);
}

}  // namespace

int siteTreeKey() {
    return 0;
}

ViewRegistration siteTreeView() {
    ViewRegistration view;
    view.key = siteTreeKey();
    view.showCommand = C::ViewSiteTree;
    view.shortName = text("Site Tree");
    view.title = text("Web Site Tree");
    view.description = text("This view shows web site tree and web page download details.");
    view.image = IconId::SiteTree;
    view.pane = PaneSettingNames{"SiteTabLocation", "SiteTabPin",    "SiteTabXSize",
                                 "SiteTabYSize",    "SiteTabActive", "SiteTabSelection"};
    view.menuTitle = text("&Actions");
    view.menu = {
        C::AnalyzePageSource, kSeparator,        C::AnalyzeAll,      C::AnalyzeSelected, C::Stop,
        kSeparator,           C::RemoveSelected, C::RemoveNotLoaded, C::RemoveAll,       kSeparator,
        C::OpenInBrowser,     C::SaveElementAs,  C::ShowDetails};
    view.commands = {
        {C::Analyze, [](const S& s) { return !s.addressBarEmpty; }},
        {C::Export, [](const S& s) { return s.selectionHasContent; }},
        {C::AnalyzeAll, [](const S& s) { return idle(s) && s.treeHasPageToLoad; }},
        {C::AnalyzeSelected, [](const S& s) { return idle(s) && s.selectionCount > 0; }},
        {C::AnalyzePageSource,
         [](const S& s) { return s.currentPageLoaded && s.answered(ViewMove::ShowSource); }},
        {C::ShowDetails,
         [](const S& s) {
             return s.selectionCount == 1 && idle(s) && s.answered(ViewMove::ShowDetails);
         }},
        {C::OpenInBrowser, [](const S& s) { return s.selectionCount == 1; }},
        {C::SaveElementAs, [](const S& s) { return s.selectionHasContent; }},
        {C::RemoveSelected, [](const S& s) { return idle(s) && s.selectionCount > 0; }},
        {C::RemoveNotLoaded, [](const S& s) { return idle(s) && !s.treeEmpty; }},
        {C::RemoveAll, [](const S& s) { return idle(s) && !s.treeEmpty; }},
    };
    view.make = [](ViewHost& host, AppContext& context) -> std::unique_ptr<AppView> {
        return std::make_unique<CSiteTreeDlg>(host, context.tree(), context.conditions(),
                                              context.elementSaver());
    };
    return view;
}

}  // namespace app
