#include "report/WaterfallDrawing.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

#include "engine/figures/BrowserSimulation.h"
#include "engine/figures/ConnectionSpeed.h"
#include "query/DisplayFormats.h"
#include "report/DrawingText.h"
#include "report/TimeAxis.h"
#include "report/WaterfallText.h"

namespace report {
namespace {

constexpr double kMargin = 10;
constexpr double kMinTickSpacing = 80;  // pixels between ticks, room for "1.005 s"
constexpr double kRightRoom = 32;       // half of the last tick's label
constexpr double kPlotGap = 16;         // between the last column and 0, room for half its label
constexpr double kMinPlotWidth = 160;
constexpr double kIndent = 8;  // per level below the page's document
constexpr int kMostIndentedLevel = 4;
constexpr double kMinBarWidth = 2;  // a bar of no time still shows
constexpr double kMinHitWidth = 5;

struct PaintInfo {
    std::string_view colour, name;
};

constexpr std::array<PaintInfo, 14> kPaints{{
    {"#ffffff", "background"},
    {"#202124", "text"},
    {"#5f6368", "muted"},
    {"#e2e4e8", "grid"},
    {"#f4f6f8", "stripe"},
    {"#f9cccc", "failed-row"},
    {"#fff0a8", "redirect-row"},
    {"#f28c18", "connect"},
    {"#9aa0a6", "send"},
    {"#2e9e4f", "wait"},
    {"#3b78e7", "receive"},
    {"#5f6368", "empty-bar"},
    {"#8e24aa", "browse-line"},
    {"#d93025", "download-line"},
}};

std::string timeText(std::uint32_t ms) {
    return query::formatTime(static_cast<std::int32_t>(std::min<std::uint32_t>(ms, INT32_MAX)));
}

// Lays out one picture: the columns and bands first, then the shapes in painting order.
class Painter {
public:
    Painter(const engine::Waterfall& waterfall, const WaterfallLayout& layout,
            const engine::Waterfall* actual)
        : w_(waterfall), layout_(layout), actual_(actual), font_(layout.fontSize) {
        out_.fontSize = font_;
        if (!w_.rows.empty()) pageHost_ = w_.rows.front().host;
        byLanes_ = layout.rows == WaterfallRows::Lanes;
        for (const engine::WaterfallRow& row : w_.rows) labels_.push_back(rowLabel(row, pageHost_));
        measureColumns();
        measureBands();
    }

    WaterfallDrawing draw() {
        rect({0, 0, out_.width, out_.height}, Paint::Background);
        drawHeading();
        drawRowBackgrounds();
        drawAxis();
        drawRowLabels();
        drawBars();
        drawTimeLines();
        drawLegend();
        // The legend wraps as it needs; the background, painted first, grows with it.
        out_.height = legendBottom_ + kMargin;
        std::get<RectShape>(out_.shapes.front()).box.height = out_.height;
        return std::move(out_);
    }

private:
    std::size_t rowCount() const {
        return byLanes_ ? engine::BrowserSimulation::kLanes : w_.rows.size();
    }
    double rowTop(std::size_t row) const { return rowsTop_ + layout_.rowHeight * row; }
    double barHeight() const { return std::round(layout_.rowHeight * 0.55); }
    double barTop(std::size_t row) const {
        return rowTop(row) + (layout_.rowHeight - barHeight()) / 2;
    }
    double xAt(std::uint64_t ms) const {
        return plotLeft_ + plotWidth_ * static_cast<double>(ms) / static_cast<double>(axis_.end);
    }

    void measureColumns() {
        double widest = textWidth(byLanes_ ? "Connection 4" : "Element", font_, true);
        if (!byLanes_) {
            for (std::size_t i = 0; i < w_.rows.size(); ++i)
                widest =
                    std::max(widest, indentOf(w_.rows[i]) + textWidth(labels_[i], font_, true));
        }
        const double width =
            std::max(layout_.width, 2 * kMargin + 120 + kMinPlotWidth + kRightRoom);
        nameWidth_ = std::clamp(widest + 10, 90.0, width * 0.32);
        laneWidth_ = byLanes_ ? 0 : textWidth("Lane", font_) + 14;
        plotLeft_ = kMargin + nameWidth_ + laneWidth_ + kPlotGap;
        plotWidth_ = std::max(kMinPlotWidth, width - kMargin - kRightRoom - plotLeft_);
        out_.width = plotLeft_ + plotWidth_ + kRightRoom + kMargin;
        const int intervals = static_cast<int>(plotWidth_ / kMinTickSpacing);
        axis_ = niceAxis(w_.downloadTime, intervals);
    }

    void measureBands() {
        double y = kMargin;
        if (layout_.heading) {
            headingY_ = y + font_;
            y += font_ * 2;
        }
        axisLabelY_ = y + font_;
        rowsTop_ = y + font_ * 1.7;
        rowsBottom_ = rowTop(rowCount());
        upperLabelY_ = rowsBottom_ + font_ * 1.5;
        lowerLabelY_ = upperLabelY_ + font_ * 1.4;
        legendTop_ = lowerLabelY_ + font_ * 1.2;
        legendBottom_ = legendTop_;  // grows as the legend is laid out
        out_.height = legendTop_ + font_ * 4 + kMargin;
    }

    double indentOf(const engine::WaterfallRow& row) const {
        return kIndent * std::min(row.level, kMostIndentedLevel);
    }

    void rect(Box box, Paint fill) { out_.shapes.emplace_back(RectShape{box, fill}); }
    void line(double x1, double y1, double x2, double y2, Paint stroke, double width = 1) {
        out_.shapes.emplace_back(LineShape{x1, y1, x2, y2, stroke, width});
    }
    void text(double x, double y, std::string words, TextAnchor anchor, Paint colour,
              double maxWidth, bool bold = false) {
        words = elide(drawableText(words), maxWidth, font_, bold);
        out_.shapes.emplace_back(TextShape{x, y, std::move(words), anchor, colour, bold, maxWidth});
    }

    void drawHeading() {
        if (!layout_.heading) return;
        const auto& speed = engine::kConnectionSpeeds[static_cast<std::size_t>(
            engine::isConnectionIndex(w_.connectionIndex) ? w_.connectionIndex : 0)];
        std::string words = w_.name.empty() ? std::string(speed.name) : w_.name;
        if (!w_.rows.empty()) words += ": " + w_.rows.front().address;
        text(kMargin, headingY_, words, TextAnchor::Start, Paint::Text, out_.width - 2 * kMargin,
             true);
    }

    void drawRowBackgrounds() {
        const Box full{kMargin, 0, out_.width - 2 * kMargin, layout_.rowHeight};
        for (std::size_t i = 0; i < rowCount(); ++i) {
            Paint tint = i % 2 == 1 ? Paint::RowStripe : Paint::Background;
            if (!byLanes_) tint = rowTint(w_.rows[i], tint);
            if (tint == Paint::Background) continue;
            Box box = full;
            box.y = rowTop(i);
            rect(box, tint);
        }
        if (!byLanes_) return;
        // By lanes, the span of a failed or redirected element is tinted in its lane.
        for (const engine::WaterfallRow& row : w_.rows) {
            const Paint tint = rowTint(row, Paint::Background);
            if (tint == Paint::Background) continue;
            const double x = xAt(row.start);
            const auto lane = static_cast<std::size_t>(row.lane);
            rect({x, rowTop(lane), std::max(kMinBarWidth, xAt(row.end) - x), layout_.rowHeight},
                 tint);
        }
    }

    static Paint rowTint(const engine::WaterfallRow& row, Paint otherwise) {
        if (row.failed) return Paint::FailedRow;
        if (row.redirected) return Paint::RedirectRow;
        return otherwise;
    }

    void drawAxis() {
        const std::vector<std::uint64_t> ticks = axis_.ticks();
        for (std::uint64_t tick : ticks) {
            const double x = xAt(tick);
            line(x, rowsTop_, x, rowsBottom_, Paint::Grid);
            text(x, axisLabelY_, tickLabel(tick, axis_.step), TextAnchor::Middle, Paint::MutedText,
                 kMinTickSpacing - 6);
        }
        text(kMargin + 2, axisLabelY_, byLanes_ ? "Connection" : "Element", TextAnchor::Start,
             Paint::MutedText, nameWidth_ - 4, true);
        if (!byLanes_)
            text(kMargin + nameWidth_ + laneWidth_ / 2, axisLabelY_, "Lane", TextAnchor::Middle,
                 Paint::MutedText, laneWidth_);
    }

    void drawRowLabels() {
        const double baseline = (layout_.rowHeight + font_ * 0.7) / 2;
        if (byLanes_) {
            for (std::size_t lane = 0; lane < rowCount(); ++lane)
                text(kMargin + 2, rowTop(lane) + baseline, "Connection " + std::to_string(lane + 1),
                     TextAnchor::Start, Paint::Text, nameWidth_ - 4);
            return;
        }
        for (std::size_t i = 0; i < w_.rows.size(); ++i) {
            const engine::WaterfallRow& row = w_.rows[i];
            const double indent = indentOf(row);
            text(kMargin + 2 + indent, rowTop(i) + baseline, labels_[i], TextAnchor::Start,
                 Paint::Text, nameWidth_ - 6 - indent, row.blocking);
            text(kMargin + nameWidth_ + laneWidth_ / 2, rowTop(i) + baseline,
                 std::to_string(row.lane + 1), TextAnchor::Middle, Paint::MutedText, laneWidth_);
        }
    }

    void drawBars() {
        std::vector<const engine::WaterfallRow*> actualOf;
        if (actual_ != nullptr) {
            for (const engine::WaterfallRow& row : actual_->rows) {
                const auto item = static_cast<std::size_t>(row.item);
                if (actualOf.size() <= item) actualOf.resize(item + 1, nullptr);
                actualOf[item] = &row;
            }
        }
        for (std::size_t i = 0; i < w_.rows.size(); ++i) {
            const engine::WaterfallRow& row = w_.rows[i];
            const std::size_t place = byLanes_ ? static_cast<std::size_t>(row.lane) : i;
            drawBar(row, place);
            const auto item = static_cast<std::size_t>(row.item);
            const engine::WaterfallRow* same = item < actualOf.size() ? actualOf[item] : nullptr;
            const double x = xAt(row.start);
            const double width = std::max(kMinHitWidth, xAt(row.end) - x);
            out_.hits.push_back({{x, rowTop(place), width, layout_.rowHeight},
                                 static_cast<int>(i),
                                 row.item,
                                 rowTip(row, w_.connectionIndex, same)});
        }
    }

    void drawBar(const engine::WaterfallRow& row, std::size_t place) {
        const double top = barTop(place), height = barHeight();
        const double left = xAt(row.start);
        if (row.end == row.start) {
            rect({left, top, kMinBarWidth, height}, Paint::EmptyBar);
        } else {
            const std::array<std::pair<std::uint32_t, Paint>, 4> parts{{
                {row.parts.connect, Paint::Connect},
                {row.parts.send, Paint::Send},
                {row.parts.wait, Paint::Wait},
                {row.parts.receive, Paint::Receive},
            }};
            std::uint64_t at = row.start;
            for (const auto& [length, paint] : parts) {
                if (length == 0) continue;
                const double x = xAt(at);
                at += length;
                rect({x, top, xAt(at) - x, height}, paint);
            }
        }
        if (row.blocking)
            rect({left, top - 3, std::max(kMinBarWidth, xAt(row.end) - left), 2},
                 Paint::BrowseLine);
        // By lanes, bars follow each other without a gap; a hairline shows where one begins.
        if (byLanes_ && row.start > 0) line(left, top, left, top + height, Paint::Background);
    }

    struct TimeLine {
        std::uint32_t ms;
        Paint paint;
        std::string words;
        double x, width;
    };

    // The download and browse lines run from the axis to their labels, one band each below the
    // rows. The line that reaches the lower band crosses the upper one, so the upper label is
    // placed, right or left of its line, where the other line does not run through it.
    void drawTimeLines() {
        const TimeLine download = timeLine(w_.downloadTime, Paint::DownloadLine, "Download time ");
        const TimeLine browse = timeLine(w_.browseTime, Paint::BrowseLine, "Browse time ");
        for (auto [upper, lower] : {std::pair{&download, &browse}, std::pair{&browse, &download}}) {
            for (bool right : {true, false}) {
                const double from = right ? upper->x + 4 : upper->x - 4 - upper->width;
                const bool fits = from >= kMargin && from + upper->width <= out_.width - kMargin;
                if (fits && (lower->x < from || lower->x > from + upper->width)) {
                    drawTimeLine(*upper, upperLabelY_, from);
                    drawTimeLine(*lower, lowerLabelY_, labelLeft(*lower));
                    return;
                }
            }
        }
        drawTimeLine(download, upperLabelY_, labelLeft(download));
        drawTimeLine(browse, lowerLabelY_, labelLeft(browse));
    }

    TimeLine timeLine(std::uint32_t ms, Paint paint, const std::string& caption) const {
        std::string words = caption + timeText(ms);
        const double width = textWidth(words, font_, true);
        return {ms, paint, std::move(words), xAt(ms), width};
    }

    // Right of the line when it fits, else left of it, kept inside the picture.
    double labelLeft(const TimeLine& timeLine) const {
        const double right = timeLine.x + 4;
        if (right + timeLine.width <= out_.width - kMargin) return right;
        return std::clamp(timeLine.x - 4 - timeLine.width, kMargin,
                          std::max(kMargin, out_.width - kMargin - timeLine.width));
    }

    void drawTimeLine(const TimeLine& timeLine, double labelY, double labelX) {
        line(timeLine.x, rowsTop_ - 2, timeLine.x, labelY - font_ * 0.9, timeLine.paint, 1.5);
        text(labelX, labelY, timeLine.words, TextAnchor::Start, timeLine.paint,
             out_.width - kMargin - labelX, true);
    }

    void drawLegend() {
        struct Entry {
            Paint paint;
            const char* words;
            bool asLine;
        };
        static constexpr Entry kEntries[] = {
            {Paint::Connect, "Connect", false},
            {Paint::Send, "Send", false},
            {Paint::Wait, "Wait", false},
            {Paint::Receive, "Receive", false},
            {Paint::FailedRow, "Failed", false},
            {Paint::RedirectRow, "Redirected", false},
            {Paint::BrowseLine, "Holds up the browse time", true},
            {Paint::DownloadLine, "Download time", true},
        };
        double x = kMargin, y = legendTop_ + font_ * 0.4;
        const double swatch = font_ * 0.85;
        for (const Entry& entry : kEntries) {
            const double width = swatch + 5 + textWidth(entry.words, font_) + 16;
            if (x + width > out_.width - kMargin && x > kMargin) {
                x = kMargin;
                y += font_ * 1.6;
            }
            if (entry.asLine)
                rect({x, y + swatch / 2 - 1, swatch, 2}, entry.paint);
            else
                rect({x, y, swatch, swatch}, entry.paint);
            text(x + swatch + 5, y + swatch * 0.9, entry.words, TextAnchor::Start, Paint::Text,
                 width);
            x += width;
        }
        legendBottom_ = y + font_ * 1.4;
    }

    const engine::Waterfall& w_;
    const WaterfallLayout& layout_;
    const engine::Waterfall* actual_;
    const double font_;
    bool byLanes_ = false;
    std::string pageHost_;
    std::vector<std::string> labels_;
    TimeAxis axis_;
    double nameWidth_ = 0, laneWidth_ = 0, plotLeft_ = 0, plotWidth_ = 0;
    double headingY_ = 0, axisLabelY_ = 0, rowsTop_ = 0, rowsBottom_ = 0;
    double upperLabelY_ = 0, lowerLabelY_ = 0, legendTop_ = 0, legendBottom_ = 0;
    WaterfallDrawing out_;
};

}  // namespace

std::string_view colourOf(Paint paint) {
    return kPaints[static_cast<std::size_t>(paint)].colour;
}

std::string_view nameOf(Paint paint) {
    return kPaints[static_cast<std::size_t>(paint)].name;
}

int WaterfallDrawing::hitAt(double x, double y) const {
    for (std::size_t i = hits.size(); i-- > 0;)
        if (hits[i].box.contains(x, y)) return static_cast<int>(i);
    return -1;
}

WaterfallDrawing drawWaterfall(const engine::Waterfall& waterfall, const WaterfallLayout& layout,
                               const engine::Waterfall* actual) {
    return Painter(waterfall, layout, actual).draw();
}

}  // namespace report
