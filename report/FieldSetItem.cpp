#include "report/FieldSetItem.h"

namespace report {

std::string FieldSetBeginItem::render(const query::QueryTable*) const {
    return "<TABLE class=\"field_set_format\">\n";
}

std::unique_ptr<ReportItem> FieldSetBeginItem::clone() const {
    return std::make_unique<FieldSetBeginItem>();
}

std::string FieldSetEndItem::render(const query::QueryTable*) const {
    return "</TABLE>\n";
}

std::unique_ptr<ReportItem> FieldSetEndItem::clone() const {
    return std::make_unique<FieldSetEndItem>();
}

}  // namespace report
