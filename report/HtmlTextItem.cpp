#include "report/HtmlTextItem.h"

namespace report {

std::string HtmlTextItem::render(const query::QueryTable*) const {
    return "<P class=\"normal_text\">" + text_ + "</P>\n";
}

std::unique_ptr<ReportItem> HtmlTextItem::clone() const {
    return std::make_unique<HtmlTextItem>(*this);
}

void HtmlTextItem::serialize(bool storing, xlib::Archive& archive) {
    xlib::serializeString(text_, storing, archive);
}

}  // namespace report
