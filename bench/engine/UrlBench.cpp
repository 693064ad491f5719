// What splitting and resolving addresses costs: the scanner resolves every reference of every
// document, so this runs thousands of times per page of a crawl.
#include <benchmark/benchmark.h>

#include "engine/url/ParsedUrl.h"

namespace {

void parseAbsolute(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(
            engine::ParsedUrl::parse("http://www.example.com:8080/dir/page.html?x=1#top"));
}
BENCHMARK(parseAbsolute);

void resolveRelative(benchmark::State& state) {
    const engine::ParsedUrl base = engine::ParsedUrl::parse("http://www.example.com/a/b/c.html");
    for (auto _ : state)
        benchmark::DoNotOptimize(engine::ParsedUrl::resolve(base, "../img/logo%20big.gif?v=2"));
}
BENCHMARK(resolveRelative);

}  // namespace

BENCHMARK_MAIN();
