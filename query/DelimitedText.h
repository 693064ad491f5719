#pragma once

#include <string>

#include "query/QueryTable.h"

namespace query {

// The text form of a result for spreadsheets: a header line of the column titles, then one line
// per row of display texts (the same texts the views show), every field between `quote`s,
// fields joined by `separator`, every line ending in "\r\n". A quote inside a field is doubled,
// and a field that a spreadsheet would run as a formula (beginning with "=", "+", "-", "@", a
// tab or a carriage return) gets a leading apostrophe.
std::string writeDelimitedText(const QueryTable& table, const std::string& separator,
                               const std::string& quote);

}  // namespace query
