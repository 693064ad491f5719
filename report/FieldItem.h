#pragma once

#include "report/ReportItem.h"

namespace report {

// One row of a field table: the caption the user wrote (verbatim) and the first value of the
// query's result (escaped, since it comes from the network), or "N/A" when there is none.
class FieldItem final : public ReportItem {
public:
    FieldItem() = default;
    FieldItem(std::string caption, std::string query)
        : caption_(std::move(caption)), query_(std::move(query)) {}

    const std::string& caption() const { return caption_; }
    const std::string& query() const { return query_; }
    void setCaption(std::string caption) { caption_ = std::move(caption); }
    void setQuery(std::string query) { query_ = std::move(query); }

    // Never throws for a failing query: the item then renders as the empty string and the
    // rest of the report goes on.
    std::string render(const query::QueryTable* elements) const override;
    std::string kindName() const override { return "Field"; }
    std::string displayText() const override { return caption_; }
    ItemKind kindId() const override { return ItemKind::Field; }
    std::unique_ptr<ReportItem> clone() const override;
    void serialize(bool storing, xlib::Archive& archive) override;

private:
    std::string caption_;
    std::string query_;
};

}  // namespace report
