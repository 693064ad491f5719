#include "app/widgets/ColumnLayout.h"

#include <numeric>

namespace app {

std::optional<std::vector<int>> proportionalWidths(const std::vector<ProportionalColumn>& columns,
                                                   int clientWidth, int firstColumnMinimum,
                                                   bool forced) {
    const int sum = std::accumulate(
        columns.begin(), columns.end(), 0,
        [](int total, const ProportionalColumn& column) { return total + column.percent; });
    if (!forced && (sum <= 94 || sum >= 106)) return std::nullopt;
    if (columns.empty()) return std::vector<int>{};
    const double excess = (sum > 100 && sum < 105) ? sum - 100 : 0;
    const double factor = 1.0 - (excess / 100.0) / static_cast<double>(columns.size());
    std::vector<double> widths;
    widths.reserve(columns.size());
    for (std::size_t i = 0; i < columns.size(); ++i) {
        double bound = columns[i].minimumPixels;
        if (i == 0 && firstColumnMinimum > bound) bound = firstColumnMinimum;
        const double width = factor * clientWidth * (columns[i].percent / 100.0);
        widths.push_back(width <= bound ? bound : width);
    }
    widths.back() -= clientWidth * excess / 100.0;
    std::vector<int> pixels;
    pixels.reserve(widths.size());
    for (const double width : widths) pixels.push_back(static_cast<int>(width));
    return pixels;
}

}  // namespace app
