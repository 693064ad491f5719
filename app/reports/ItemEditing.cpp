#include "app/reports/ItemEditing.h"

#include "app/reports/CReportFieldSetDlg.h"
#include "app/reports/CReportTableDlg.h"
#include "app/reports/CReportTextDlg.h"
#include "app/reports/CReportTitleDlg.h"
#include "report/FieldItem.h"
#include "report/HtmlTextItem.h"
#include "report/TableItem.h"
#include "report/TitleItem.h"

namespace app {
namespace {

template <class Item, class Dialog, class... Context>
bool runDialog(QWidget* parent, report::ReportItem& item, const Context&... context) {
    auto& typed = static_cast<Item&>(item);
    Dialog dialog(typed, context..., parent);
    if (dialog.exec() != QDialog::Accepted) return false;
    dialog.copyTo(typed);
    return true;
}

}  // namespace

bool hasItemDialog(const report::ReportItem& item) {
    const report::ItemKind kind = item.kindId();
    return kind != report::ItemKind::FieldSetBegin && kind != report::ItemKind::FieldSetEnd;
}

// The kind number names the item's class, so the casts below are exact.
bool editItem(QWidget* parent, report::ReportItem& item,
              const query::StatisticsCatalog& statistics) {
    switch (item.kindId()) {
        case report::ItemKind::Title:
            return runDialog<report::TitleItem, CReportTitleDlg>(parent, item);
        case report::ItemKind::HtmlText:
            return runDialog<report::HtmlTextItem, CReportTextDlg>(parent, item);
        case report::ItemKind::Field:
            return runDialog<report::FieldItem, CReportFieldSetDlg>(parent, item);
        case report::ItemKind::Table:
            return runDialog<report::TableItem, CReportTableDlg>(parent, item, statistics);
        case report::ItemKind::FieldSetBegin:
        case report::ItemKind::FieldSetEnd:
            break;
    }
    return false;
}

std::unique_ptr<report::ReportItem> newItem(NewItemChoice choice) {
    switch (choice) {
        case NewItemChoice::Title:
            return std::make_unique<report::TitleItem>("New Title", 1);
        case NewItemChoice::HtmlText:
            return std::make_unique<report::HtmlTextItem>("New HTML Text");
        case NewItemChoice::Field:
            return std::make_unique<report::FieldItem>("New Field", "SELECT count(URL)");
        case NewItemChoice::Table:
            return std::make_unique<report::TableItem>(
                "SELECT URL, PercentOfTime order by PercentOfTime");
        case NewItemChoice::None:
            break;
    }
    return nullptr;
}

}  // namespace app
