#include "report/TitleItem.h"

namespace report {

std::string TitleItem::render(const query::QueryTable*) const {
    const std::string level = std::to_string(level_);
    return "<H" + level + "><P class=\"title_text\">" + text_ + " </P></H" + level + ">\n";
}

std::unique_ptr<ReportItem> TitleItem::clone() const {
    return std::make_unique<TitleItem>(*this);
}

void TitleItem::serialize(bool storing, xlib::Archive& archive) {
    xlib::serializeString(text_, storing, archive);
    xlib::serializeInt(level_, storing, archive);
}

}  // namespace report
