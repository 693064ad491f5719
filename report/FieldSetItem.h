#pragma once

#include "report/ReportItem.h"

namespace report {

// The two markers of a two-column field table. They carry no data. The renderer wraps runs of
// Field items in a field table on its own, so stored reports hold these only when a file
// contains them.
class FieldSetBeginItem final : public ReportItem {
public:
    std::string render(const query::QueryTable* elements) const override;
    std::string kindName() const override { return "Field Set Begin"; }
    std::string displayText() const override { return "N/A"; }
    ItemKind kindId() const override { return ItemKind::FieldSetBegin; }
    std::unique_ptr<ReportItem> clone() const override;
    void serialize(bool, xlib::Archive&) override {}
};

class FieldSetEndItem final : public ReportItem {
public:
    std::string render(const query::QueryTable* elements) const override;
    std::string kindName() const override { return "Field Set End"; }
    std::string displayText() const override { return "N/A"; }
    ItemKind kindId() const override { return ItemKind::FieldSetEnd; }
    std::unique_ptr<ReportItem> clone() const override;
    void serialize(bool, xlib::Archive&) override {}
};

}  // namespace report
