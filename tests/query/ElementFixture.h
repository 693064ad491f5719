#pragma once

#include "query/QueryTable.h"

#include <string>

// The one table the query language is tested over: the element table's nineteen columns and
// eight elements of a page on three hosts. Host and type texts differ in letter case within a
// group, and the last element of each such group carries the odd case, so a result shows
// whether the last row won.
//
//  ID Host             Type                      Time  Size  Speed  %Size %Time
//   1 www.example.com  text/html                  400  1000   2500   .10   .08
//   2 www.example.com  image/gif                  100  3000  30000   .30   .02
//   3 cdn.example.net  application/x-javascript  2900  2000  689.5   .20   .58
//   4 www.example.com  image/gif                  200   500   2500   .05   .04
//   5 cdn.example.net  text/css                   300  1500   5000   .15   .06
//   6 ads.example.org  IMAGE/GIF                  400  1200   3000   .12   .08
//   7 WWW.Example.com  image/jpeg                 600   300    500   .03   .12
//   8 ads.example.org  application/x-javascript   100   500   5000   .05   .02
namespace query::testing {

enum class FixtureTable {
    Elements,  // the eight rows above
    NoRows,    // the same columns without rows
    Wide,      // 1030 columns named "c0" to "c1029", one row of integers
};

const QueryTable& fixtureTable(FixtureTable which = FixtureTable::Elements);

// A table as text: the column titles, then each row's display texts, cells joined by " | ",
// lines by "\n"; an absent cell shows as "-".
std::string render(const QueryTable& table);

}  // namespace query::testing
