#include "ElementFixture.h"

#include "query/ElementTable.h"
#include "query/NumericValue.h"
#include "query/StringValue.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace query::testing {
namespace {

struct Element {
    std::int32_t id;
    const char* url;
    const char* host;
    const char* element;
    const char* protocol;
    const char* type;
    std::int32_t time, size, timeWithChildren, sizeWithChildren;
    double speed, percentOfSize, percentOfTime, percentOfSizeWithChildren,
        percentOfTimeWithChildren;
    std::int32_t connect, send, receive;
};

constexpr const char* kBase = "http://www.example.com/";

// The page document holds the totals of the page in its with-children columns.
const Element kElements[] = {
    {1, "http://www.example.com/", "www.example.com", "/", "HTTP", "text/html", 400, 1000, 5000,
     10000, 2500, 0.10, 0.08, 1.0, 1.0, 50, 10, 200},
    {2, "http://www.example.com/logo.gif", "www.example.com", "/logo.gif", "HTTP", "image/gif", 100,
     3000, 100, 3000, 30000, 0.30, 0.02, 0.30, 0.02, 0, 5, 60},
    {3, "https://cdn.example.net/app.js", "cdn.example.net", "/app.js", "HTTPS",
     "application/x-javascript", 2900, 2000, 2900, 2000, 689.5, 0.20, 0.58, 0.20, 0.58, 300, 20,
     2000},
    {4, "http://www.example.com/bar.gif", "www.example.com", "/bar.gif", "HTTP", "image/gif", 200,
     500, 200, 500, 2500, 0.05, 0.04, 0.05, 0.04, 20, 5, 100},
    {5, "https://cdn.example.net/site.css", "cdn.example.net", "/site.css", "HTTPS", "text/css",
     300, 1500, 300, 1500, 5000, 0.15, 0.06, 0.15, 0.06, 0, 5, 200},
    {6, "http://ads.example.org/banner.gif", "ads.example.org", "/banner.gif", "HTTP", "IMAGE/GIF",
     400, 1200, 400, 1200, 3000, 0.12, 0.08, 0.12, 0.08, 60, 10, 250},
    {7, "http://WWW.Example.com/photo_50%.jpg", "WWW.Example.com", "/photo_50%.jpg", "HTTP",
     "image/jpeg", 600, 300, 600, 300, 500, 0.03, 0.12, 0.03, 0.12, 0, 5, 400},
    {8, "http://ads.example.org/track.js", "ads.example.org", "/track.js", "HTTP",
     "application/x-javascript", 100, 500, 100, 500, 5000, 0.05, 0.02, 0.05, 0.02, 40, 5, 30},
};

std::vector<std::string> elementColumns() {
    return {kElementColumns.begin(), kElementColumns.end()};
}

template <typename Value, typename... Args>
std::unique_ptr<QueryValue> make(Args... args) {
    return std::make_unique<Value>(args...);
}

void fill(QueryRow& row, const Element& e) {
    std::vector<std::unique_ptr<QueryValue>> cells;
    cells.push_back(make<IntegerValue>(e.id));
    cells.push_back(make<StringValue>(e.url));
    cells.push_back(make<StringValue>(e.host));
    cells.push_back(make<StringValue>(e.element));
    cells.push_back(make<StringValue>(e.protocol));
    cells.push_back(make<StringValue>(e.type));
    cells.push_back(make<TimeValue>(e.time));
    cells.push_back(make<SizeValue>(e.size));
    cells.push_back(make<TimeValue>(e.timeWithChildren));
    cells.push_back(make<SizeValue>(e.sizeWithChildren));
    cells.push_back(make<SpeedValue>(e.speed));
    cells.push_back(make<PercentValue>(e.percentOfSize));
    cells.push_back(make<PercentValue>(e.percentOfTime));
    cells.push_back(make<PercentValue>(e.percentOfSizeWithChildren));
    cells.push_back(make<PercentValue>(e.percentOfTimeWithChildren));
    cells.push_back(make<StringValue>(kBase));
    cells.push_back(make<TimeValue>(e.connect));
    cells.push_back(make<TimeValue>(e.send));
    cells.push_back(make<TimeValue>(e.receive));
    for (std::size_t i = 0; i < cells.size(); ++i) row.setCell(i, std::move(cells[i]));
}

QueryTable makeElements() {
    QueryTable table(elementColumns());
    for (const Element& element : kElements) fill(table.appendRow(), element);
    return table;
}

QueryTable makeWide() {
    std::vector<std::string> names;
    for (int i = 0; i < 1030; ++i) names.push_back("c" + std::to_string(i));
    QueryTable table(names);
    QueryRow& row = table.appendRow();
    for (int i = 0; i < 1030; ++i) row.setCell(static_cast<std::size_t>(i), make<IntegerValue>(i));
    return table;
}

}  // namespace

const QueryTable& fixtureTable(FixtureTable which) {
    static const QueryTable elements = makeElements();
    static const QueryTable noRows(elementColumns());
    static const QueryTable wide = makeWide();
    switch (which) {
        case FixtureTable::NoRows:
            return noRows;
        case FixtureTable::Wide:
            return wide;
        default:
            return elements;
    }
}

std::string render(const QueryTable& table) {
    std::string text;
    for (std::size_t c = 0; c < table.columnCount(); ++c)
        text += (c ? " | " : "") + table.columnName(c);
    for (const QueryRow& row : table) {
        text += '\n';
        for (std::size_t c = 0; c < row.cellCount(); ++c) {
            const QueryValue* cell = row.cell(c);
            text += (c ? " | " : "") + (cell ? cell->toText() : std::string("-"));
        }
    }
    return text;
}

}  // namespace query::testing
