#include "cli/LineReport.h"

#include <cstdio>

#include "engine/figures/ConnectionSpeed.h"
#include "engine/figures/LineModel.h"
#include "engine/schedule/PageEntry.h"
#include "export/WaterfallSvg.h"
#include "report/WaterfallDrawing.h"

namespace cli {
namespace {

engine::LineFigures figuresOf(engine::PageEntry& page, const engine::NetworkLine& line,
                              const engine::BrowserCost& cost) {
    return engine::modelLine(page.figures(engine::kActualSpeed), line, cost);
}

std::string cell(std::uint32_t ms) {
    char text[32];
    std::snprintf(text, sizeof text, "%9u ms", ms);
    return text;
}

}  // namespace

void addLineFigures(nlohmann::json& document, const Pages& pages, const engine::NetworkLine& line,
                    const engine::BrowserCost& cost) {
    std::size_t index = 0;
    for (const auto& page : pages) {
        if (!page) continue;
        const engine::LineFigures figures = figuresOf(*page, line, cost);
        nlohmann::json& entry = document["pages"][index++]["line"];
        entry = {
            {"name", line.name},          {"down", line.downBitsPerSecond},
            {"up", line.upBitsPerSecond}, {"rtt", line.roundTripMs},
            {"load", figures.loadTime},   {"render", figures.renderTime},
        };
        if (cost.commitMs > 0 || cost.requestMs > 0) {
            entry["commit"] = cost.commitMs;
            entry["request"] = cost.requestMs;
        }
    }
}

std::string lineTable(const Pages& pages, const engine::NetworkLine& line,
                      const engine::BrowserCost& cost) {
    std::string out = "\nOn the line \"" + line.name + "\" (" +
                      std::to_string(line.downBitsPerSecond) + " / " +
                      std::to_string(line.upBitsPerSecond) + " bit/s, " +
                      std::to_string(line.roundTripMs) + " ms round trip):\n";
    out += "        Load       Render  Page\n";
    for (const auto& page : pages) {
        if (!page) continue;
        const engine::LineFigures figures = figuresOf(*page, line, cost);
        const std::string address =
            figures.waterfall.rows.empty() ? "" : figures.waterfall.rows.front().address;
        out += cell(figures.loadTime) + "  " + cell(figures.renderTime) + "  " + address + "\n";
    }
    const auto current = currentPage(pages);
    if (!current) return out;
    out += "\n       Start      Connect         Wait      Receive          End  Element\n";
    for (const engine::WaterfallRow& row : figuresOf(*current, line, cost).waterfall.rows) {
        out += cell(row.start) + "  " + cell(row.parts.connect) + "  " + cell(row.parts.wait) +
               "  " + cell(row.parts.receive) + "  " + cell(row.end) + "  " + row.address + "\n";
    }
    return out;
}

std::optional<std::string> writeLineWaterfall(const std::string& path, const Pages& pages,
                                              const engine::NetworkLine& line,
                                              const engine::BrowserCost& cost) {
    engine::Waterfall waterfall, actual;
    if (const auto page = currentPage(pages)) {
        waterfall = figuresOf(*page, line, cost).waterfall;
        actual = engine::waterfallOf(page->figures(engine::kActualSpeed));
    }
    // One row per element: a line's connections are more than the four lanes.
    report::WaterfallLayout layout;
    const report::WaterfallDrawing drawing = report::drawWaterfall(waterfall, layout, &actual);
    std::string error;
    if (exporting::writeWaterfallSvg(path, drawing, error)) return std::nullopt;
    return "cannot write " + path + ": " + error;
}

}  // namespace cli
