#pragma once

#include "report/ReportItem.h"

namespace report {

// A heading of the given level holding a paragraph of class "title_text". The text is HTML the
// user wrote and is inserted verbatim.
class TitleItem final : public ReportItem {
public:
    TitleItem() = default;
    TitleItem(std::string text, std::int32_t level) : text_(std::move(text)), level_(level) {}

    const std::string& text() const { return text_; }
    std::int32_t level() const { return level_; }
    void setText(std::string text) { text_ = std::move(text); }
    void setLevel(std::int32_t level) { level_ = level; }

    std::string render(const query::QueryTable* elements) const override;
    std::string kindName() const override { return "Title"; }
    std::string displayText() const override { return text_; }
    ItemKind kindId() const override { return ItemKind::Title; }
    std::unique_ptr<ReportItem> clone() const override;
    void serialize(bool storing, xlib::Archive& archive) override;

private:
    std::string text_;
    std::int32_t level_ = 0;
};

}  // namespace report
