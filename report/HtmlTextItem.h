#pragma once

#include "report/ReportItem.h"

namespace report {

// A paragraph of class "normal_text" holding HTML the user wrote, inserted verbatim.
class HtmlTextItem final : public ReportItem {
public:
    HtmlTextItem() = default;
    explicit HtmlTextItem(std::string text) : text_(std::move(text)) {}

    const std::string& text() const { return text_; }
    void setText(std::string text) { text_ = std::move(text); }

    std::string render(const query::QueryTable* elements) const override;
    std::string kindName() const override { return "HTML Text"; }
    std::string displayText() const override { return text_; }
    ItemKind kindId() const override { return ItemKind::HtmlText; }
    std::unique_ptr<ReportItem> clone() const override;
    void serialize(bool storing, xlib::Archive& archive) override;

private:
    std::string text_;
};

}  // namespace report
