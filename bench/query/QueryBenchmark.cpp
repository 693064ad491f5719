// The ten built-in statistics statements over generated element tables of 1,000 and 10,000
// rows, in microseconds per statement (parse and run). Grouping searches the result rows
// linearly for every source row, so its cost grows with rows x groups: the built-ins group a
// page's few hosts and types, and ManyHosts shows the other end, one host per ten rows.
#include "query/NumericValue.h"
#include "query/QueryEngine.h"
#include "query/StatisticsCatalog.h"
#include "query/StringValue.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace query;

// The statements the program ships with, as the statistics catalogue defines them.
const std::vector<std::pair<std::string, std::string>>& builtIns() {
    return StatisticsCatalog::builtIns();
}

constexpr std::array<const char*, 12> kTypes = {
    "text/html",        "image/gif",  "image/jpeg",
    "image/png",        "text/css",   "application/x-javascript",
    "text/plain",       "image/webp", "font/woff2",
    "application/json", "IMAGE/GIF",  "Text/Html"};

// A deterministic element table of `rows` rows on `hosts` hosts; times and sizes vary so that
// sorting has work to do.
std::shared_ptr<QueryTable> makeTable(int rows, int hosts) {
    auto table = std::make_shared<QueryTable>(std::vector<std::string>{
        "ID", "URL", "Host", "Element", "Protocol", "Type", "Time", "Size", "TimeWithChildren",
        "SizeWithChildren", "Speed", "PercentOfSize", "PercentOfTime", "PercentOfSizeWithChildren",
        "PercentOfTimeWithChildren", "BaseURL", "ConnectTime", "SendTime", "ReceiveTime"});
    std::uint32_t seed = 12345;
    const auto next = [&seed](std::uint32_t range) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<std::int32_t>((seed >> 8) % range);
    };
    for (int i = 0; i < rows; ++i) {
        const std::string host =
            "host" + std::to_string(next(static_cast<std::uint32_t>(hosts))) + ".example";
        const std::string element = "/item" + std::to_string(i);
        const std::int32_t time = 20 + next(3000), size = 100 + next(200000);
        QueryRow& row = table->appendRow();
        row.setCell(0, std::make_unique<IntegerValue>(i + 1));
        row.setCell(1, std::make_unique<StringValue>("http://" + host + element));
        row.setCell(2, std::make_unique<StringValue>(host));
        row.setCell(3, std::make_unique<StringValue>(element));
        row.setCell(4, std::make_unique<StringValue>("HTTP"));
        row.setCell(5, std::make_unique<StringValue>(
                           kTypes[static_cast<std::size_t>(next(kTypes.size()))]));
        row.setCell(6, std::make_unique<TimeValue>(time));
        row.setCell(7, std::make_unique<SizeValue>(size));
        row.setCell(8, std::make_unique<TimeValue>(time));
        row.setCell(9, std::make_unique<SizeValue>(size));
        row.setCell(10, std::make_unique<SpeedValue>(size * 1000.0 / time));
        row.setCell(11, std::make_unique<PercentValue>(size / (rows * 100000.0)));
        row.setCell(12, std::make_unique<PercentValue>(time / (rows * 1500.0)));
        row.setCell(13, std::make_unique<PercentValue>(size / (rows * 100000.0)));
        row.setCell(14, std::make_unique<PercentValue>(time / (rows * 1500.0)));
        row.setCell(15, std::make_unique<StringValue>("http://host0.example/"));
        row.setCell(16, std::make_unique<TimeValue>(next(100)));
        row.setCell(17, std::make_unique<TimeValue>(next(20)));
        row.setCell(18, std::make_unique<TimeValue>(time / 2));
    }
    return table;
}

const QueryTable& table(int rows, int hosts) {
    static std::map<std::pair<int, int>, std::shared_ptr<QueryTable>> tables;
    auto& made = tables[{rows, hosts}];
    if (!made) made = makeTable(rows, hosts);
    return *made;
}

void run(benchmark::State& state, const std::string& statement, const QueryTable& source) {
    std::size_t resultRows = 0;
    for (auto _ : state) {
        const QueryTablePtr result = runQuery(statement, source);
        resultRows = result->rowCount();
        benchmark::DoNotOptimize(result.get());
    }
    state.counters["result_rows"] = static_cast<double>(resultRows);
}

// Arguments: statement index (0-9), rows. A page's elements lie on a few dozen hosts.
void BuiltIn(benchmark::State& state) {
    const auto& [title, statement] = builtIns().at(static_cast<std::size_t>(state.range(0)));
    state.SetLabel(title);
    run(state, statement, table(static_cast<int>(state.range(1)), 40));
}
BENCHMARK(BuiltIn)
    ->ArgsProduct({benchmark::CreateDenseRange(0, 9, 1), {1000, 10000}})
    ->Unit(benchmark::kMicrosecond);

// "Size By Host" with one host per ten rows: 100 groups at 1,000 rows, 1,000 at 10,000.
void ManyHosts(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    state.SetLabel(builtIns().at(4).first);
    run(state, builtIns().at(4).second, table(rows, rows / 10));
}
BENCHMARK(ManyHosts)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
