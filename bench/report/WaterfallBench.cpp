// The waterfall of a measured page of 1,000 elements (a document with 899 images and style
// sheets, and ten frames of ten images each), at "56K": the page's figures as computePage
// gives them, the waterfall taken from them, the drawing by elements and by lanes, its SVG text,
// and the lookup of the bar under the mouse. The desktop view redraws from the drawing when the
// connection changes and asks hitAt at every mouse move.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/figures/PageFigures.h"
#include "engine/figures/Waterfall.h"
#include "engine/items/ItemRegistry.h"
#include "engine/items/WebItem.h"
#include "export/WaterfallSvg.h"
#include "report/WaterfallDrawing.h"

namespace {

constexpr int kModem = 7;

std::shared_ptr<engine::WebItem> measured(engine::ManualClock& clock, const std::string& path,
                                          const std::string& type, std::uint32_t size,
                                          std::uint32_t ms) {
    auto item = std::make_shared<engine::WebItem>(
        engine::ParsedUrl::parse("http://bench.test/" + path), clock);
    item->beginTransfer(item->address());
    clock.advance(ms / 4);
    item->phaseNotification(engine::LoadPhase::Sending, "");
    item->phaseNotification(engine::LoadPhase::Receiving, "");
    clock.advance(ms / 4);
    item->firstResponseByte();
    clock.advance(ms / 2);
    engine::TransferOutcome outcome;
    outcome.statusCode = 200;
    outcome.contentType = type;
    outcome.contentKind = engine::classify(type);
    outcome.received = size;
    item->endTransfer(std::move(outcome));
    item->fillActualStats();
    return item;
}

// "f12.gif": built by appending, which GCC 12's -Wrestrict does not misread at -O3.
std::string fileName(const char* prefix, int number, const char* suffix) {
    std::string name = prefix;
    name += std::to_string(number);
    name += suffix;
    return name;
}

// The registry of the page; its root node in `root`.
struct Page {
    engine::ManualClock clock;
    engine::ItemRegistry registry;
    engine::ItemRegistry::Node* root = nullptr;

    Page() {
        const auto document = measured(clock, "index.html", "text/html", 80000, 120);
        root = registry.add(document, nullptr, 0);
        int n = 1;
        for (int frame = 0; frame < 10; ++frame, ++n) {
            const auto html =
                measured(clock, fileName("frame", frame, ".html"), "text/html", 4000, 40);
            engine::ItemRegistry::Node* node =
                registry.addUnder(html, root, static_cast<std::uint32_t>(n * 70));
            for (int image = 0; image < 10; ++image, ++n)
                registry.addUnder(measured(clock, fileName("f", n, ".gif"), "image/gif",
                                           1000 + n % 97 * 300, 20 + n % 13),
                                  node, static_cast<std::uint32_t>(image * 300));
        }
        for (; n < 1000; ++n) {
            const bool css = n % 50 == 0;
            registry.addUnder(
                measured(clock, fileName("e", n, css ? ".css" : ".gif"),
                         css ? "text/css" : "image/gif", 500 + n % 89 * 250, 15 + n % 17),
                root, static_cast<std::uint32_t>(n * 70));
        }
    }
};

Page& page() {
    static Page instance;
    return instance;
}

void PageFigures(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(engine::computePage(page().registry, page().root, kModem));
}
BENCHMARK(PageFigures)->Unit(benchmark::kMicrosecond);

void WaterfallModel(benchmark::State& state) {
    const engine::PageFigures figures = engine::computePage(page().registry, page().root, kModem);
    for (auto _ : state) benchmark::DoNotOptimize(engine::waterfallOf(figures));
    state.counters["rows"] = static_cast<double>(figures.items.size());
}
BENCHMARK(WaterfallModel)->Unit(benchmark::kMicrosecond);

void WaterfallDrawing(benchmark::State& state) {
    const auto rows = static_cast<report::WaterfallRows>(state.range(0));
    const engine::Waterfall waterfall =
        engine::computeWaterfall(page().registry, page().root, kModem);
    const engine::Waterfall actual = engine::computeWaterfall(page().registry, page().root, 0);
    for (auto _ : state)
        benchmark::DoNotOptimize(
            report::drawWaterfall(waterfall, report::WaterfallLayout{.rows = rows}, &actual));
}
BENCHMARK(WaterfallDrawing)
    ->ArgName("lanes")
    ->Arg(static_cast<int>(report::WaterfallRows::Elements))
    ->Arg(static_cast<int>(report::WaterfallRows::Lanes))
    ->Unit(benchmark::kMicrosecond);

// What a change of connection costs the view: the figures (cached by the page after the first
// time, computed here), the waterfall and the drawing.
void ConnectionChange(benchmark::State& state) {
    int connection = 1;
    for (auto _ : state) {
        const engine::Waterfall waterfall =
            engine::computeWaterfall(page().registry, page().root, connection);
        benchmark::DoNotOptimize(report::drawWaterfall(waterfall, report::WaterfallLayout{}));
        connection = connection % 10 + 1;
    }
}
BENCHMARK(ConnectionChange)->Unit(benchmark::kMicrosecond);

void WaterfallSvg(benchmark::State& state) {
    const report::WaterfallDrawing drawing = report::drawWaterfall(
        engine::computeWaterfall(page().registry, page().root, kModem), report::WaterfallLayout{});
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::string svg = exporting::waterfallSvg(drawing);
        bytes = svg.size();
        benchmark::DoNotOptimize(svg.data());
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(WaterfallSvg)->Unit(benchmark::kMicrosecond);

// One hover: the bar under a point, for points spread over the picture (most over bars).
void HitAt(benchmark::State& state) {
    const report::WaterfallDrawing drawing = report::drawWaterfall(
        engine::computeWaterfall(page().registry, page().root, kModem), report::WaterfallLayout{});
    std::vector<std::pair<double, double>> points;
    for (const report::BarHit& hit : drawing.hits)
        points.emplace_back(hit.box.x + hit.box.width / 2, hit.box.y + hit.box.height / 2);
    std::size_t i = 0;
    for (auto _ : state) {
        const auto& [x, y] = points[i++ % points.size()];
        benchmark::DoNotOptimize(drawing.hitAt(x, y));
    }
}
BENCHMARK(HitAt)->Unit(benchmark::kNanosecond);

}  // namespace

BENCHMARK_MAIN();
