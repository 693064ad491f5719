#pragma once

#include "report/ReportItem.h"

namespace report {

// A query's whole result as a table: a header row of column titles, then one row per result
// row with alternating row classes. Cell texts are escaped; column titles come from the
// statement the user wrote and are kept.
class TableItem final : public ReportItem {
public:
    TableItem() = default;
    explicit TableItem(std::string query) : query_(std::move(query)) {}

    const std::string& query() const { return query_; }
    void setQuery(std::string query) { query_ = std::move(query); }

    // "No data" when there is no result table. A failing query raises query::QueryError,
    // which ends the whole rendering: the export reports it.
    std::string render(const query::QueryTable* elements) const override;
    std::string kindName() const override { return "Table"; }
    std::string displayText() const override { return query_; }
    ItemKind kindId() const override { return ItemKind::Table; }
    std::unique_ptr<ReportItem> clone() const override;
    void serialize(bool storing, xlib::Archive& archive) override;

private:
    std::string query_;
};

}  // namespace report
