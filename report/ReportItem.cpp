#include "report/ReportItem.h"

#include "report/FieldItem.h"
#include "report/FieldSetItem.h"
#include "report/HtmlTextItem.h"
#include "report/TableItem.h"
#include "report/TitleItem.h"

namespace report {

std::unique_ptr<ReportItem> createItem(std::int32_t kindId) {
    switch (static_cast<ItemKind>(kindId)) {
        case ItemKind::Title:
            return std::make_unique<TitleItem>();
        case ItemKind::HtmlText:
            return std::make_unique<HtmlTextItem>();
        case ItemKind::FieldSetBegin:
            return std::make_unique<FieldSetBeginItem>();
        case ItemKind::FieldSetEnd:
            return std::make_unique<FieldSetEndItem>();
        case ItemKind::Field:
            return std::make_unique<FieldItem>();
        case ItemKind::Table:
            return std::make_unique<TableItem>();
    }
    return nullptr;
}

}  // namespace report
