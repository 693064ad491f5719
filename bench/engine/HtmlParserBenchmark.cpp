// The HTML parser side by side with libxml2's HTML parser (htmlReadMemory) on the same generated
// documents of 1 MB and 10 MB: tables, links, images with several attributes each, scripts,
// option lists, runs of white space. Each iteration parses and frees the whole tree. After the
// runs a summary gives both speeds in MB/s of 2^20 bytes, their ratio, and how the time grows
// from 1 MB to 10 MB. The summary uses the best CPU time of five repetitions: the parsers are
// single-threaded and the machine running them is often shared, which inflates wall times.
#include "engine/html/HtmlParser.h"
#include "engine/html/HtmlScanner.h"

#include <benchmark/benchmark.h>
#include <libxml/HTMLparser.h>
#include <libxml/parser.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

// A page of `size` bytes or a little more, the same for every run. A small linear congruential
// generator keeps it independent of the standard library's distributions.
std::string generatedDocument(std::size_t size) {
    std::uint32_t state = 42;
    const auto next = [&state] { return state = state * 1664525u + 1013904223u; };
    std::string d =
        "<!DOCTYPE html>\n<html><head><title>Generated page</title>\n"
        "<link rel=\"stylesheet\" href=\"/css/site.css\"><base href=\"/\"></head>\n<body>\n";
    for (std::uint32_t n = 0; d.size() < size; ++n) {
        const std::string i = std::to_string(n);
        switch (next() >> 16 & 7) {
            case 0:
                d += "<div class=\"row r" + i + "\" id=\"d" + i + "\" data-x='" +
                     std::to_string(next() % 1000) + "'>\n  <p style=\"color:red\">Item " + i +
                     " with  several   words\r\n and lines.</p></div>\n";
                break;
            case 1:
                d += "<a href=\"/page/" + i + ".html\" title=\"Page " + i + "\" class=link>link " +
                     i + "</a>\n";
                break;
            case 2:
                d += "<img src=\"/img/p" + i + ".gif\" alt=\"picture " + i +
                     "\" width=120 height=80 border=0>\n";
                break;
            case 3:
                d += "<table border=0 cellpadding=2><tr><td background=\"bg" +
                     std::to_string(n % 50) + ".gif\">cell</td><td align=right>" + i +
                     "</td></tr></table>\n";
                break;
            case 4:
                d += "<script type=\"text/javascript\" src=\"/js/s" + std::to_string(n % 200) +
                     ".js\"></script>\n<script>var x" + i + " = a < b && c > d;</script>\n";
                break;
            case 5:
                d += "<form action=\"/f\"><select name=s><option value=1>one<option value=2>two"
                     "</select><input type=text name=q value=\"\"></form>\n";
                break;
            case 6:
                d += "<ul><li><a href='/l/" + i + "'>" + i + "</a><li>second<br>line</ul>\n";
                break;
            default:
                d += "<center><font face=\"Arial\" size=2 color=#333333>Plain &amp; text " + i +
                     "</font></center>\n";
                break;
        }
    }
    return d + "</body></html>\n";
}

const std::string& document(std::int64_t megabytes) {
    static std::map<std::int64_t, std::string> cache;
    auto [it, added] = cache.try_emplace(megabytes);
    if (added) it->second = generatedDocument(static_cast<std::size_t>(megabytes) << 20);
    return it->second;
}

void pagelystParse(benchmark::State& state) {
    const std::string& d = document(state.range(0));
    for (auto _ : state) {
        engine::HtmlDocument tree = engine::HtmlParser::parse(d);
        benchmark::DoNotOptimize(tree.root().firstChild());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(d.size()));
}

void libxml2Parse(benchmark::State& state) {
    const std::string& d = document(state.range(0));
    constexpr int kOptions =
        HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET | HTML_PARSE_COMPACT;
    for (auto _ : state) {
        htmlDocPtr tree =
            htmlReadMemory(d.data(), static_cast<int>(d.size()), nullptr, nullptr, kOptions);
        benchmark::DoNotOptimize(tree);
        xmlFreeDoc(tree);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(d.size()));
}

// The whole scan: parse, walk, resolve every reference and drop repeated addresses.
void pagelystScan(benchmark::State& state) {
    const std::string& d = document(state.range(0));
    const engine::ParsedUrl address = engine::ParsedUrl::parse("http://bench.example/index.html");
    for (auto _ : state) {
        engine::ScanResult result = engine::scanDocument(d, address, engine::kScanAll);
        benchmark::DoNotOptimize(result.elements.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(d.size()));
}

double minimum(const std::vector<double>& v) {
    return *std::min_element(v.begin(), v.end());
}

void configure(benchmark::internal::Benchmark* b) {
    b->Arg(1)
        ->Arg(10)
        ->Unit(benchmark::kMillisecond)
        ->Repetitions(5)
        ->ComputeStatistics("min", minimum);
}

BENCHMARK(pagelystParse)->Apply(configure);
BENCHMARK(libxml2Parse)->Apply(configure);
BENCHMARK(pagelystScan)->Apply(configure);

// Keeps the best time per benchmark and size, then prints the comparison.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Aggregate || run.aggregate_name != "min") continue;
            const double seconds =
                run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
            best_[run.run_name.function_name][std::stoll(run.run_name.args)] = seconds;
        }
        ConsoleReporter::ReportRuns(runs);
    }

    // Prints the comparison when every benchmark ran at both sizes (no filter left one out).
    void printSummary() const {
        if (best_.size() != 3) return;
        for (const auto& [name, bySize] : best_) {
            if (bySize.size() != 2) return;
        }
        std::printf("\nbest CPU time of 5  1 MB: MB/s       10 MB: MB/s     10 MB / 1 MB time\n");
        for (const auto& [name, bySize] : best_) {
            std::printf("%-16s %14.1f %18.1f %20.2f\n", name.c_str(), speed(bySize, 1),
                        speed(bySize, 10), seconds(bySize, 10) / seconds(bySize, 1));
        }
        const auto& ours = best_.at("pagelystParse");
        const auto& theirs = best_.at("libxml2Parse");
        std::printf("parse speed ratio pagelyst / libxml2: %.2f (1 MB), %.2f (10 MB)\n",
                    seconds(theirs, 1) / seconds(ours, 1), seconds(theirs, 10) / seconds(ours, 10));
    }

private:
    static double seconds(const std::map<std::int64_t, double>& bySize, std::int64_t mb) {
        return bySize.at(mb);
    }
    static double speed(const std::map<std::int64_t, double>& bySize, std::int64_t mb) {
        return static_cast<double>(document(mb).size()) / (1 << 20) / seconds(bySize, mb);
    }

    std::map<std::string, std::map<std::int64_t, double>> best_;
};

}  // namespace

int main(int argc, char** argv) {
    xmlInitParser();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printSummary();
    benchmark::Shutdown();
    xmlCleanupParser();
    return 0;
}
