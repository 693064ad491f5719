#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include <Archive>

#include "query/QueryTable.h"

namespace report {

// The kind number of a report item; it is also the item's tag in "lmreprt.cfg".
enum class ItemKind : std::int32_t {
    Title = 1,
    HtmlText = 2,
    FieldSetBegin = 3,
    FieldSetEnd = 4,
    Field = 5,
    Table = 6,
};

// One entry of a report: a heading, literal HTML, a caption/value pair or a table. Field and
// Table items take their data from a query over the current page's element table each time
// they are rendered; nothing is cached. Items are owned by their Report.
class ReportItem {
public:
    virtual ~ReportItem() = default;

    // The item's HTML for one rendering pass. `elements` is the table the item's query runs
    // over; null when there is no element table, which renders like a query without result.
    // Values from the table are escaped; text the user wrote is inserted verbatim.
    virtual std::string render(const query::QueryTable* elements) const = 0;
    // The kind's display name: "Title", "HTML Text", ...
    virtual std::string kindName() const = 0;
    // What the report editor lists for the item; "N/A" for the field-set markers.
    virtual std::string displayText() const = 0;
    virtual ItemKind kindId() const = 0;
    // A new item of the same kind with copies of all data.
    virtual std::unique_ptr<ReportItem> clone() const = 0;
    // The item's own data, without the kind number. Throws xlib::Exception.
    virtual void serialize(bool storing, xlib::Archive& archive) = 0;

protected:
    ReportItem() = default;
    ReportItem(const ReportItem&) = default;
    ReportItem& operator=(const ReportItem&) = default;
};

// An item of the given kind with empty data (empty texts, level 0), as the file reader makes
// it before reading its data; null for a number that names no kind.
std::unique_ptr<ReportItem> createItem(std::int32_t kindId);

}  // namespace report
