// Loads arbitrary bytes as "lmreprt.cfg". Whatever the bytes: the manager holds either what
// the file holds or exactly the built-ins; what was loaded saves and loads back to the same
// bytes; the next report id is free and never an analysis report's; and every report renders
// over a small element table.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "query/NumericValue.h"
#include "query/QueryError.h"
#include "query/StringValue.h"
#include "report/ReportManager.h"

namespace {

const query::QueryTable& elements() {
    static const query::QueryTable table = [] {
        query::QueryTable t({"ID", "URL", "Size"});
        for (int i = 1; i <= 2; ++i) {
            query::QueryRow& row = t.appendRow();
            row.setCell(0, std::make_unique<query::IntegerValue>(i));
            row.setCell(1, std::make_unique<query::StringValue>("http://h/<" + std::to_string(i)));
            row.setCell(2, std::make_unique<query::SizeValue>(1000 * i));
        }
        return t;
    }();
    return table;
}

std::string saved(const report::ReportManager& manager) {
    xlib::MemoryOutputStream out;
    manager.save(out);
    return out.bytes();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    xlib::MemoryInputStream in(std::string_view(reinterpret_cast<const char*>(data), size));
    report::ReportManager manager;
    const bool loaded = manager.load(in);
    if (!loaded && (manager.reports().size() != 7 || manager.styles().size() != 4))
        __builtin_trap();

    const std::string first = saved(manager);
    xlib::MemoryInputStream again(first);
    report::ReportManager reloaded;
    if (!reloaded.load(again) || saved(reloaded) != first) __builtin_trap();

    // The built-ins' rendering is covered by the tests; render only what the file held.
    for (const auto& [id, report] : manager.reports()) {
        if (!loaded) break;
        try {
            manager.renderReport(id, &elements());
        } catch (const query::QueryError&) {
            // A Table item's failing query ends its rendering; the export reports it.
        }
    }
    const auto count = manager.reports().size();
    const std::int32_t id = manager.addReport(report::Report());
    if (id != 0 &&
        (id <= report::ReportManager::kReportIdBase || manager.reports().size() != count + 1))
        __builtin_trap();
    return 0;
}
