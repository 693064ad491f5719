#include "cli/WaterfallFile.h"

#include "engine/figures/ConnectionSpeed.h"
#include "engine/figures/Waterfall.h"
#include "export/WaterfallSvg.h"
#include "report/WaterfallDrawing.h"

namespace cli {

std::optional<std::string> writeWaterfall(const std::string& path, const Pages& pages,
                                          int connection) {
    engine::Waterfall waterfall, actual;
    waterfall.connectionIndex = connection;
    if (const auto page = currentPage(pages)) {
        waterfall = engine::waterfallOf(page->figures(connection));
        actual = engine::waterfallOf(page->figures(engine::kActualSpeed));
    }
    const report::WaterfallDrawing drawing =
        report::drawWaterfall(waterfall, report::WaterfallLayout{}, &actual);
    std::string error;
    if (exporting::writeWaterfallSvg(path, drawing, error)) return std::nullopt;
    return "cannot write " + path + ": " + error;
}

}  // namespace cli
