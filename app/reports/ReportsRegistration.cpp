#include "app/reports/ReportsRegistration.h"

#include <QCoreApplication>

#include "app/reports/CReportDlg.h"
#include "app/reports/ReportEditing.h"
#include "app/reports/StyleEditing.h"
#include "app/shell/AppContext.h"

namespace app {

namespace {

using C = CommandId;
using S = CommandState;

QString text(const char* source) {
    return QCoreApplication::translate("CReportDlg", source);
}

// The style editor opened from the content editor works on the same manager.
StyleEditorOpener stylesOf(report::ReportManager& reports) {
    return
        [&reports](QWidget* parent, std::int32_t styleId) { editStyles(parent, reports, styleId); };
}

ReportEditors editors(const query::StatisticsCatalog& statistics) {
    return ReportEditors{
        [&statistics](QWidget* parent, report::ReportManager& reports) {
            return newReport(parent, reports, statistics, stylesOf(reports));
        },
        [&statistics](QWidget* parent, report::ReportManager& reports, std::int32_t id) {
            return modifyReport(parent, reports, statistics, id, stylesOf(reports));
        },
        [](QWidget* parent, report::ReportManager& reports, std::int32_t styleId) {
            editStyles(parent, reports, styleId);
        }};
}

}  // namespace

int reportsKey() {
    return 3;
}

ViewRegistration reportsView() {
    ViewRegistration view;
    view.key = reportsKey();
    view.showCommand = C::ViewReports;
    view.shortName = text("Reports");
    view.title = text("Web Site Reports");
    view.description = text("This view shows various reports for web site pages.");
    view.image = IconId::Reports;
    // The pane's selection value holds the selected report; the view keeps it itself.
    view.pane = PaneSettingNames{"ReportTabLocation", "ReportStatTabPin", "ReportTabXSize",
                                 "ReportTabYSize",    "ReportTabActive",  nullptr};
    view.menuTitle = text("&Report");
    view.menu = {C::NewReport, C::EditStyles, kSeparator};
    const auto always = [](const S&) { return true; };
    const auto withPage = [](const S& s) { return s.currentPage; };
    view.commands = {{C::NewReport, always},
                     {C::EditStyles, always},
                     {C::Export, withPage},
                     {C::Print, withPage},
                     {C::ExportPdf, withPage}};
    view.make = [](ViewHost& host, AppContext& context) -> std::unique_ptr<AppView> {
        AppContext* shared = &context;
        ReportSources sources{context.tree(), context.conditions(),
                              [shared] { return shared->downloadRunning(); }};
        return std::make_unique<CReportDlg>(host, context.reports(), std::move(sources),
                                            editors(context.statistics()));
    };
    return view;
}

}  // namespace app
