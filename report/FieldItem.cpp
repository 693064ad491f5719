#include "report/FieldItem.h"

#include <exception>
#include <optional>

#include "query/QueryEngine.h"
#include "report/HtmlEscape.h"

namespace report {
namespace {

// The display text of the first value of the first row, if the result has one.
std::optional<std::string> firstValue(const query::QueryTable* elements, const std::string& q) {
    if (elements == nullptr) return std::nullopt;
    const query::QueryTablePtr result = query::runQuery(q, *elements);
    if (!result || result->rowCount() == 0) return std::nullopt;
    const query::QueryValue* value = result->row(0).cell(0);
    if (value == nullptr) return std::nullopt;
    return value->toText();
}

}  // namespace

std::string FieldItem::render(const query::QueryTable* elements) const {
    std::optional<std::string> value;
    try {
        value = firstValue(elements, query_);
    } catch (const std::exception&) {
        return {};
    }
    return "\t<TR>\n\t\t<TD><P class=\"field_name_format\">" + caption_ +
           "</P></TD>\n\t\t<TD><P class=\"field_value_format\">" +
           (value ? escapeHtml(*value) : std::string("N/A")) + "</P></TD>\n\t</TR>\n";
}

std::unique_ptr<ReportItem> FieldItem::clone() const {
    return std::make_unique<FieldItem>(*this);
}

void FieldItem::serialize(bool storing, xlib::Archive& archive) {
    xlib::serializeString(caption_, storing, archive);
    xlib::serializeString(query_, storing, archive);
}

}  // namespace report
