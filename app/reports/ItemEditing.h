#pragma once

#include <memory>

#include "app/reports/CReportNewItemDlg.h"

class QWidget;

namespace query {
class StatisticsCatalog;
}

namespace report {
class ReportItem;
}

namespace app {

// Whether the item's kind has a dialog; the field-set markers have none.
bool hasItemDialog(const report::ReportItem& item);

// Opens the dialog of the item's kind over `parent`, pre-filled with the item's data, and on
// OK copies the data back. Returns whether it did; false at once for a kind without a dialog.
bool editItem(QWidget* parent, report::ReportItem& item,
              const query::StatisticsCatalog& statistics);

// The item a new-item choice starts with, holding the texts its dialog shows first; null for
// None.
std::unique_ptr<report::ReportItem> newItem(NewItemChoice choice);

}  // namespace app
