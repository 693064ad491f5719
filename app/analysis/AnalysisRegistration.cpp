#include "app/analysis/AnalysisRegistration.h"

#include <QCoreApplication>

#include "app/analysis/CAnalysisDlg.h"
#include "app/shell/AppContext.h"

namespace app {

namespace {

using C = CommandId;
using S = CommandState;

QString text(const char* source) {
    return QCoreApplication::translate("CAnalysisDlg", source);
}

bool oneElement(const S& s) {
    return s.selectionCount == 1;
}

}  // namespace

int analysisKey() {
    return 1;
}

ViewRegistration analysisView() {
    ViewRegistration view;
    view.key = analysisKey();
    view.showCommand = C::ViewAnalysis;
    view.shortName = text("Analysis");
    view.title = text("Page Analysis");
    view.description =
        text("This view shows current web page elements details and their location in HTML code.");
    view.image = IconId::Analysis;
    view.pane = PaneSettingNames{"SourceTabLocation", "SourceStatTabPin", "SourceTabXSize",
                                 "SourceTabYSize",    "SourceTabActive",  nullptr};
    view.menuTitle = text("&Edit");
    view.menu = {C::SelectAll, C::Find, C::FindNext, kSeparator, C::WordWrap};
    view.commands = {
        {C::Copy, [](const S& s) { return s.textSelected || oneElement(s); }},
        {C::SelectAll, [](const S& s) { return s.textShown; }},
        {C::Find, [](const S& s) { return s.textShown; }},
        {C::FindNext, [](const S& s) { return s.textShown; }},
        {C::WordWrap, [](const S&) { return true; }},
        {C::ShowDetails, oneElement},
        {C::OpenInBrowser, oneElement},
        {C::SaveElementAs, [](const S& s) { return s.selectionHasContent; }},
        {C::Export, [](const S& s) { return s.selectionHasContent; }},
    };
    view.moves = {ViewMove::ShowSource, ViewMove::ShowDetails};
    view.make = [](ViewHost& host, AppContext& context) -> std::unique_ptr<AppView> {
        return std::make_unique<CAnalysisDlg>(host, context.conditions(), context.elementSaver(),
                                              [&context] { return context.downloadRunning(); });
    };
    return view;
}

}  // namespace app
