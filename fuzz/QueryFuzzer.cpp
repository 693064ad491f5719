// Runs arbitrary statement text over fixed tables: the element table's nineteen columns (every
// value kind) with a few rows, one row with absent cells and one whose Size column holds text,
// and the same columns without rows. Only QueryError may come out; a result never has more
// rows than its source.
#include "query/ElementTable.h"
#include "query/NumericValue.h"
#include "query/QueryEngine.h"
#include "query/QueryError.h"
#include "query/StringValue.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace {

using namespace query;

std::vector<std::string> columns() {
    return {kElementColumns.begin(), kElementColumns.end()};
}

void fill(QueryRow& row, std::int32_t id, const char* host, const char* type, std::int32_t n,
          double share) {
    row.setCell(0, std::make_unique<IntegerValue>(id));
    row.setCell(1, std::make_unique<StringValue>(std::string("http://") + host + "/x"));
    row.setCell(2, std::make_unique<StringValue>(host));
    row.setCell(3, std::make_unique<StringValue>("/x"));
    row.setCell(4, std::make_unique<StringValue>("HTTP"));
    row.setCell(5, std::make_unique<StringValue>(type));
    row.setCell(6, std::make_unique<TimeValue>(n));
    row.setCell(7, std::make_unique<SizeValue>(n * 3));
    row.setCell(8, std::make_unique<TimeValue>(-n));
    row.setCell(9, std::make_unique<SizeValue>(INT32_MAX - n));
    row.setCell(10, std::make_unique<SpeedValue>(n * 1.5));
    row.setCell(11, std::make_unique<PercentValue>(share));
    row.setCell(12, std::make_unique<PercentValue>(1 - share));
    row.setCell(13, std::make_unique<PercentValue>(share / 2));
    row.setCell(14, std::make_unique<PercentValue>(share * 2));
    row.setCell(15, std::make_unique<StringValue>("http://a/"));
    row.setCell(16, std::make_unique<TimeValue>(n / 2));
    row.setCell(17, std::make_unique<TimeValue>(INT32_MIN + n));
    row.setCell(18, std::make_unique<TimeValue>(n % 7));
}

QueryTable makeElements() {
    QueryTable table(columns());
    fill(table.appendRow(), 1, "a.example", "text/html", 400, 0.25);
    fill(table.appendRow(), 2, "A.Example", "image/gif", 100, 0.5);
    fill(table.appendRow(), 3, "b.example", "IMAGE/GIF", 2900, 0.125);
    table.appendRow().setCell(2, std::make_unique<StringValue>("c.example"));  // mostly absent
    fill(table.appendRow(), 5, "b.example", "text/css", 7, 0.125);
    table.row(4).setCell(7, std::make_unique<StringValue>("not a size"));
    return table;
}

void run(std::string_view statement, const QueryTable& source) {
    try {
        const QueryTablePtr result = runQuery(statement, source);
        if (!result || result->rowCount() > source.rowCount()) __builtin_trap();
        for (const QueryRow& row : *result)
            for (std::size_t c = 0; c < row.cellCount(); ++c)
                if (const QueryValue* cell = row.cell(c)) cell->toText();
    } catch (const QueryError& error) {
        if (error.message().size() > QueryError::kMaxLength) __builtin_trap();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const QueryTable elements = makeElements();
    static const QueryTable noRows(columns());
    const std::string_view statement(reinterpret_cast<const char*>(data), size);
    run(statement, elements);
    run(statement, noRows);
    return 0;
}
