#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <Archive>

#include "report/ReportItem.h"

namespace report {

// A user-editable recipe for an HTML page about the current web page: an ordered list of
// items rendered top to bottom with one style set. Owns its items; owned by the ReportManager.
class Report {
public:
    using Items = std::vector<std::unique_ptr<ReportItem>>;

    Report() = default;
    Report(std::string name, std::string description, std::int32_t styleId)
        : styleId_(styleId), name_(std::move(name)), description_(std::move(description)) {}
    Report(Report&&) = default;
    Report& operator=(Report&&) = default;

    // 0 until the manager adds the report.
    std::int32_t id() const { return id_; }
    void setId(std::int32_t id) { id_ = id; }
    // 0, or an id the manager does not hold, renders with the "Default" style set.
    std::int32_t styleId() const { return styleId_; }
    void setStyleId(std::int32_t styleId) { styleId_ = styleId; }
    const std::string& name() const { return name_; }
    void setName(std::string name) { name_ = std::move(name); }
    const std::string& description() const { return description_; }
    void setDescription(std::string description) { description_ = std::move(description); }

    const Items& items() const { return items_; }
    ReportItem& item(std::size_t index) { return *items_.at(index); }
    void append(std::unique_ptr<ReportItem> item);
    // Removes and returns the item at `index`; null when there is none.
    std::unique_ptr<ReportItem> remove(std::size_t index);
    // Exchanges two items (the editor's Up and Down); false when either index is out of range.
    bool swapItems(std::size_t a, std::size_t b);

    // The same style id, name and a deep copy of every item; id 0 and an empty description,
    // which the caller sets.
    Report clone() const;

    // One record of "lmreprt.cfg": id, style id, name, description, the item count and each
    // item as its kind number and data. Loading replaces the items; an unknown kind number
    // throws xlib::Exception, since its data could not be skipped.
    void serialize(bool storing, xlib::Archive& archive);

private:
    std::int32_t id_ = 0;
    std::int32_t styleId_ = 0;
    std::string name_;
    std::string description_;
    Items items_;
};

}  // namespace report
