#pragma once

#include <string>

#include "query/QueryTable.h"
#include "report/Report.h"
#include "report/ReportStyle.h"

// Turning a report into HTML. Every call runs each item's query afresh over `elements`, the
// current page's element table (null when there is none). A Table item's query::QueryError
// passes through to the caller; a Field item's is swallowed.
namespace report {

// "<BODY class="bodystyle">", the style block, the items, "</BODY>"; no <HTML> wrapper.
std::string renderReport(const Report& report, const ReportStyle& style,
                         const query::QueryTable* elements);

// The items in order; each run of consecutive Field items not opened by a Field Set Begin is
// wrapped in one field table.
std::string renderItems(const Report& report, const query::QueryTable* elements);

// The CSS block: one ".name{text}" line per class in byte-wise order, except "bodystyle",
// which becomes the last line "BODY {text}".
std::string styleBlock(const ReportStyle& style);

}  // namespace report
