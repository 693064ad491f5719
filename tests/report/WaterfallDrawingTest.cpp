#include "report/WaterfallDrawing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <ostream>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "report/DrawingText.h"
#include "tests/report/WaterfallSample.h"

namespace {

using report::LineShape;
using report::Paint;
using report::RectShape;
using report::TextShape;
using report::WaterfallDrawing;
using report::WaterfallLayout;
using report::WaterfallRows;
using report::testing::sampleWaterfall;

template <typename T>
std::vector<T> shapesOf(const WaterfallDrawing& drawing) {
    std::vector<T> found;
    for (const report::Shape& shape : drawing.shapes)
        if (const T* s = std::get_if<T>(&shape)) found.push_back(*s);
    return found;
}

std::vector<RectShape> rectsOf(const WaterfallDrawing& drawing, Paint paint) {
    std::vector<RectShape> found;
    for (const RectShape& r : shapesOf<RectShape>(drawing))
        if (r.fill == paint) found.push_back(r);
    return found;
}

// The same above the legend, which shows a swatch of every paint.
std::vector<RectShape> rowRectsOf(const WaterfallDrawing& drawing, Paint paint) {
    std::vector<RectShape> found = rectsOf(drawing, paint);
    const double rowsEnd = drawing.hits.back().box.y + drawing.hits.back().box.height;
    std::erase_if(found, [&](const RectShape& r) { return r.box.y >= rowsEnd; });
    return found;
}

std::optional<TextShape> textStarting(const WaterfallDrawing& drawing, const std::string& start) {
    for (const TextShape& t : shapesOf<TextShape>(drawing))
        if (t.text.rfind(start, 0) == 0) return t;
    return std::nullopt;
}

LineShape lineOf(const WaterfallDrawing& drawing, Paint paint) {
    for (const LineShape& l : shapesOf<LineShape>(drawing))
        if (l.stroke == paint) return l;
    throw std::runtime_error("no line");
}

// The span a text covers, by the layout's own measure.
struct Span {
    double left, right;
};
Span spanOf(const TextShape& t, double fontSize) {
    const double width = report::textWidth(t.text, fontSize, t.bold);
    const double left = t.anchor == report::TextAnchor::Start    ? t.x
                        : t.anchor == report::TextAnchor::Middle ? t.x - width / 2
                                                                 : t.x - width;
    return {left, left + width};
}

class Drawing : public ::testing::Test {
protected:
    engine::Waterfall waterfall_ = sampleWaterfall();
    WaterfallDrawing drawing_ = report::drawWaterfall(waterfall_, WaterfallLayout{});
    // The bar of a row in element mode: its hit area spans it.
    const report::BarHit& hitOf(int row) const {
        return drawing_.hits[static_cast<std::size_t>(row)];
    }
    double scale() const {  // pixels per millisecond, from the large image's bar
        const report::Box& box = hitOf(3).box;
        return box.width / (waterfall_.rows[3].end - waterfall_.rows[3].start);
    }
};

TEST_F(Drawing, EachElementHasARowWithItsNameAndLane) {
    double lastY = 0;
    for (const char* name : {"site.test/", "style.css", "logo.gif", "large.jpg?size=big",
                             "missing.gif", "moved.gif", "empty.gif"}) {
        const auto label = textStarting(drawing_, name);
        ASSERT_TRUE(label.has_value()) << name;
        EXPECT_GT(label->y, lastY) << name;
        lastY = label->y;
    }
    const auto texts = shapesOf<TextShape>(drawing_);
    const TextShape css = *textStarting(drawing_, "style.css");
    const bool laneBeside = std::any_of(texts.begin(), texts.end(), [&](const TextShape& t) {
        return t.text == "2" && t.y == css.y;  // style.css runs on the second connection
    });
    EXPECT_TRUE(laneBeside);
    EXPECT_TRUE(css.bold);  // it holds up the browse time
    EXPECT_FALSE(textStarting(drawing_, "logo.gif")->bold);
}

TEST_F(Drawing, ABarIsOneRectanglePerPhaseEndToEndInThePhaseColours) {
    // The document's bar: connect 100, send 10, wait 50, receive 140 from 0.
    const std::vector<std::pair<Paint, double>> phases{
        {Paint::Connect, 100}, {Paint::Send, 10}, {Paint::Wait, 50}, {Paint::Receive, 140}};
    double x = hitOf(0).box.x;
    for (const auto& [paint, ms] : phases) {
        const RectShape first = rectsOf(drawing_, paint).front();
        EXPECT_NEAR(first.box.x, x, 1e-6) << report::nameOf(paint);
        EXPECT_NEAR(first.box.width, ms * scale(), 1e-6) << report::nameOf(paint);
        x += first.box.width;
    }
    EXPECT_EQ(report::colourOf(Paint::Connect), "#f28c18");
    EXPECT_EQ(report::colourOf(Paint::Receive), "#3b78e7");
}

TEST_F(Drawing, FailedRowsAreRedAndRedirectedOnesYellow) {
    const auto rowBox = [&](int row) { return hitOf(row).box; };
    const auto tinted = [&](Paint paint, int row) {
        const auto rects = rowRectsOf(drawing_, paint);
        return std::any_of(rects.begin(), rects.end(), [&](const RectShape& r) {
            return r.box.y == rowBox(row).y && r.box.height == rowBox(row).height;
        });
    };
    EXPECT_TRUE(tinted(Paint::FailedRow, 4));
    EXPECT_TRUE(tinted(Paint::FailedRow, 6));
    EXPECT_TRUE(tinted(Paint::RedirectRow, 5));
    EXPECT_EQ(rowRectsOf(drawing_, Paint::FailedRow).size(), 2u);
    EXPECT_EQ(rowRectsOf(drawing_, Paint::RedirectRow).size(), 1u);
}

TEST_F(Drawing, BarsThatHoldUpTheBrowseTimeAreMarked) {
    const auto marks = rectsOf(drawing_, Paint::BrowseLine);
    std::set<int> marked;
    for (const RectShape& mark : marks) {
        for (std::size_t i = 0; i < drawing_.hits.size(); ++i)
            if (drawing_.hits[i].box.contains(mark.box.x + 0.5, mark.box.y))
                marked.insert(static_cast<int>(i));
    }
    ASSERT_GE(marks.size(), 2u);
    EXPECT_EQ(marked, (std::set<int>{0, 1}));  // the document and the style sheet
}

TEST_F(Drawing, TheTimeLinesStandWhereTheBarsEnd) {
    const LineShape download = lineOf(drawing_, Paint::DownloadLine);
    const LineShape browse = lineOf(drawing_, Paint::BrowseLine);
    const report::Box& large = hitOf(3).box;  // ends at the download time
    EXPECT_NEAR(download.x1, large.x + large.width, 1e-6);
    EXPECT_NEAR(browse.x1, hitOf(1).box.x + hitOf(1).box.width, 1e-6);  // the style sheet's end
    EXPECT_TRUE(textStarting(drawing_, "Download time 0:01.250").has_value());
    EXPECT_TRUE(textStarting(drawing_, "Browse time 0:00.400").has_value());
    // Both lines cross every row.
    EXPECT_LE(download.y1, hitOf(0).box.y);
    EXPECT_GE(download.y2, hitOf(6).box.y + hitOf(6).box.height);
}

TEST_F(Drawing, TheAxisFitsThePageInRoundSteps) {
    std::vector<TextShape> ticks;
    for (const TextShape& t : shapesOf<TextShape>(drawing_))
        if (t.colour == Paint::MutedText && t.y < hitOf(0).box.y && t.text != "Element" &&
            t.text != "Lane")
            ticks.push_back(t);
    std::vector<std::string> labels;
    for (const TextShape& t : ticks) labels.push_back(t.text);
    EXPECT_EQ(labels, (std::vector<std::string>{"0", "200 ms", "400 ms", "600 ms", "800 ms", "1 s",
                                                "1.2 s", "1.4 s"}));
    for (std::size_t i = 1; i < ticks.size(); ++i)
        EXPECT_LT(spanOf(ticks[i - 1], drawing_.fontSize).right,
                  spanOf(ticks[i], drawing_.fontSize).left);
    EXPECT_LE(spanOf(ticks.back(), drawing_.fontSize).right, drawing_.width);
}

TEST_F(Drawing, HitsNameTheElementAndTellItsFigures) {
    ASSERT_EQ(drawing_.hits.size(), waterfall_.rows.size());
    for (std::size_t i = 0; i < drawing_.hits.size(); ++i) {
        const report::BarHit& hit = drawing_.hits[i];
        EXPECT_EQ(hit.row, static_cast<int>(i));
        EXPECT_EQ(hit.item, waterfall_.rows[i].item);
        EXPECT_EQ(drawing_.hitAt(hit.box.x + 1, hit.box.y + hit.box.height / 2),
                  static_cast<int>(i));
    }
    EXPECT_EQ(drawing_.hitAt(1, 1), -1);
    EXPECT_EQ(hitOf(3).tip.rfind("http://site.test/images/large.jpg?size=big\n", 0), 0u);
    EXPECT_EQ(hitOf(3).tip.find("Actual Speed"), std::string::npos);  // none was given

    const engine::Waterfall actual = sampleWaterfall(0);
    const WaterfallDrawing both = report::drawWaterfall(waterfall_, WaterfallLayout{}, &actual);
    EXPECT_NE(both.hits[3].tip.find("\nActual Speed: connect 0:00.020"), std::string::npos);
}

TEST_F(Drawing, HostileNamesBecomeDrawableTextThatFitsItsColumn) {
    engine::Waterfall hostile = sampleWaterfall();
    hostile.rows[2].path = "a\x01\x1b[31m\xff\xfe<script>&" + std::string(400, 'W') + ".gif";
    const WaterfallDrawing drawing = report::drawWaterfall(hostile, WaterfallLayout{});
    for (const TextShape& t : shapesOf<TextShape>(drawing)) {
        EXPECT_EQ(report::drawableText(t.text), t.text);
        EXPECT_LE(report::textWidth(t.text, drawing.fontSize, t.bold), t.maxWidth + 1e-6) << t.text;
    }
    const auto name = textStarting(drawing, "a\xEF\xBF\xBD");
    ASSERT_TRUE(name.has_value());
    EXPECT_NE(name->text.find("\xE2\x80\xA6"), std::string::npos);  // elided
}

TEST_F(Drawing, ByLanesEachConnectionIsARowOfItsBars) {
    const WaterfallDrawing lanes =
        report::drawWaterfall(waterfall_, WaterfallLayout{.rows = WaterfallRows::Lanes});
    std::vector<double> laneY;
    for (int lane = 1; lane <= 4; ++lane) {
        const auto label = textStarting(lanes, "Connection " + std::to_string(lane));
        ASSERT_TRUE(label.has_value());
        laneY.push_back(label->y);
    }
    ASSERT_EQ(lanes.hits.size(), waterfall_.rows.size());
    for (const report::BarHit& hit : lanes.hits) {
        const auto lane = static_cast<std::size_t>(waterfall_.rows[hit.row].lane);
        EXPECT_GT(laneY[lane], hit.box.y);
        EXPECT_LT(laneY[lane], hit.box.y + hit.box.height);
    }
    // A failed element's span is tinted within its lane, not the whole row.
    const auto failed = rowRectsOf(lanes, Paint::FailedRow);
    ASSERT_EQ(failed.size(), 2u);
    EXPECT_NEAR(failed[0].box.x, lanes.hits[4].box.x, 1e-6);
    EXPECT_LT(failed[0].box.width, 0.1 * lanes.width);
}

TEST(DrawingLayout, AnEmptyPageDrawsItsFrameWithoutBars) {
    engine::Waterfall empty;
    const WaterfallDrawing drawing = report::drawWaterfall(empty, WaterfallLayout{});
    EXPECT_TRUE(drawing.hits.empty());
    EXPECT_TRUE(textStarting(drawing, "Download time 0:00.000").has_value());
    EXPECT_TRUE(textStarting(drawing, "Actual Speed").has_value());
}

// Every shape inside the picture, and the two time labels apart, whatever the width, row mode
// and the places of the lines.
struct Case {
    double width;
    WaterfallRows rows;
    std::uint32_t browse, download;
};

void PrintTo(const Case& c, std::ostream* out) {
    *out << c.width << " px, " << (c.rows == WaterfallRows::Lanes ? "lanes" : "elements")
         << ", browse " << c.browse << ", download " << c.download;
}

class EveryLayout : public ::testing::TestWithParam<Case> {};

INSTANTIATE_TEST_SUITE_P(Drawing, EveryLayout,
                         ::testing::Values(Case{1000, WaterfallRows::Elements, 400, 1250},
                                           Case{1000, WaterfallRows::Lanes, 400, 1250},
                                           Case{300, WaterfallRows::Elements, 400, 1250},
                                           Case{2400, WaterfallRows::Lanes, 400, 1250},
                                           Case{1000, WaterfallRows::Elements, 1250, 1250},
                                           Case{1000, WaterfallRows::Elements, 1150, 1250},
                                           Case{1000, WaterfallRows::Elements, 0, 1250},
                                           Case{600, WaterfallRows::Elements, 1249, 1250}));

TEST_P(EveryLayout, ShapesStayInsideAndTimeLabelsApart) {
    engine::Waterfall waterfall = sampleWaterfall();
    waterfall.browseTime = GetParam().browse;
    waterfall.downloadTime = GetParam().download;
    const WaterfallDrawing d = report::drawWaterfall(
        waterfall, WaterfallLayout{.rows = GetParam().rows, .width = GetParam().width});
    EXPECT_GE(d.width, GetParam().width);
    for (const RectShape& r : shapesOf<RectShape>(d)) {
        EXPECT_GE(r.box.x, 0);
        EXPECT_LE(r.box.x + r.box.width, d.width + 1e-6);
        EXPECT_LE(r.box.y + r.box.height, d.height + 1e-6);
    }
    for (const TextShape& t : shapesOf<TextShape>(d)) {
        const Span span = spanOf(t, d.fontSize);
        EXPECT_GE(span.left, 0) << t.text;
        EXPECT_LE(span.right, d.width + 1e-6) << t.text;
        EXPECT_LE(t.y, d.height) << t.text;
    }
    const TextShape download = *textStarting(d, "Download time");
    const TextShape browse = *textStarting(d, "Browse time");
    EXPECT_NE(download.y, browse.y);
    // The line that runs on to the lower label never crosses the upper one.
    const bool downloadUpper = download.y < browse.y;
    const TextShape& upper = downloadUpper ? download : browse;
    const LineShape other = lineOf(d, downloadUpper ? Paint::BrowseLine : Paint::DownloadLine);
    const Span span = spanOf(upper, d.fontSize);
    EXPECT_TRUE(other.x1 < span.left || other.x1 > span.right) << upper.text;
}

}  // namespace
