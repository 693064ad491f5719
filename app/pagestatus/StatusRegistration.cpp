#include "app/pagestatus/StatusRegistration.h"

#include <QCoreApplication>

#include "app/pagestatus/CStatusDlg.h"
#include "app/shell/AppContext.h"
#include "engine/base/LoadPhase.h"

namespace app {

namespace {

using C = CommandId;
using S = CommandState;
using engine::LoadPhase;

QString text(const char* source) {
    return QCoreApplication::translate("CStatusDlg", source);
}

bool idle(const S& s) {
    return !s.downloadRunning;
}

bool oneElement(const S& s) {
    return s.selectionCount == 1;
}

bool phaseIs(const S& s, LoadPhase phase) {
    return oneElement(s) && s.selectedPhase == static_cast<int>(phase);
}

bool canAnalyze(const S& s) {
    return !s.addressBarEmpty && idle(s);
}

}  // namespace

int statusKey() {
    return 10;
}

ViewRegistration statusView() {
    ViewRegistration view;
    view.key = statusKey();
    view.showCommand = C::ViewPageAnalysis;
    view.shortName = text("Page Status");
    // The header's title until the view states its current page's status.
    view.title = text("Web Item Status");
    view.description = text("This view shows how the current web page's download is going.");
    view.image = IconId::PageStatus;
    view.menuTitle = text("&Actions");
    view.menu = {C::AnalyzeAll,        C::AnalyzeSelected, C::Stop,          kSeparator,
                 C::AnalyzePageSource, C::ShowDetails,     C::OpenInBrowser, C::SaveElementAs};
    view.menuTexts = {
        {C::AnalyzeAll, text("Analy&ze")},
        {C::AnalyzeSelected, text("Reloa&d Selected")},
        {C::AnalyzePageSource, text("&Go to Source")},
        {C::ShowDetails, text("&Show Details...")},
        {C::OpenInBrowser, text("Open in Bro&wser")},
    };
    view.commands = {
        {C::Analyze, canAnalyze},
        {C::AnalyzeAll, canAnalyze},
        {C::AnalyzeSelected, [](const S& s) { return idle(s) && oneElement(s); }},
        {C::AnalyzePageSource,
         [](const S& s) {
             return (phaseIs(s, LoadPhase::Completed) || phaseIs(s, LoadPhase::Error)) && idle(s) &&
                    s.answered(ViewMove::ShowSource);
         }},
        {C::ShowDetails,
         [](const S& s) { return oneElement(s) && s.answered(ViewMove::ShowDetails); }},
        {C::OpenInBrowser, oneElement},
        {C::SaveElementAs,
         [](const S& s) { return phaseIs(s, LoadPhase::Completed) && s.selectionHasContent; }},
        {C::Export,
         [](const S& s) { return phaseIs(s, LoadPhase::Completed) && s.selectionHasContent; }},
    };
    view.make = [](ViewHost& host, AppContext& context) -> std::unique_ptr<AppView> {
        return std::make_unique<CStatusDlg>(
            host, context.tree(), context.elementSaver(),
            [&context] { return context.downloadRunning(); },
            [&context](const QString& address) { context.addRecentAddress(address); });
    };
    return view;
}

}  // namespace app
