#include "export/WaterfallSvg.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "report/DrawingText.h"
#include "tests/platform/TempHome.h"
#include "tests/report/WaterfallSample.h"

namespace {

namespace fs = std::filesystem;
using report::WaterfallLayout;
using report::WaterfallRows;

// A small XML well-formedness check: a declaration, then elements whose tags nest and match,
// attributes quoted, and "<" or "&" in text and values only as references ("&#39;" for "'").
std::string xmlProblem(std::string_view xml) {
    const auto entityAt = [&](std::size_t i) {
        for (std::string_view e : {"&amp;", "&lt;", "&gt;", "&quot;", "&#39;"})
            if (xml.substr(i, e.size()) == e) return true;
        return false;
    };
    if (xml.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n", 0) != 0) return "declaration";
    std::vector<std::string> open;
    std::size_t i = xml.find('\n') + 1;
    while (i < xml.size()) {
        if (xml[i] == '&' && !entityAt(i)) return "bare & at " + std::to_string(i);
        if (xml[i] != '<') {
            ++i;
            continue;
        }
        const std::size_t end = xml.find('>', i);
        if (end == std::string_view::npos) return "unclosed tag";
        std::string_view tag = xml.substr(i + 1, end - i - 1);
        i = end + 1;
        if (tag.front() == '/') {
            if (open.empty() || open.back() != tag.substr(1))
                return "mismatched </" + std::string(tag);
            open.pop_back();
            continue;
        }
        const bool empty = tag.back() == '/';
        if (empty) tag.remove_suffix(1);
        const std::string name(tag.substr(0, tag.find(' ')));
        // Attribute values: every quote pairs up, no "<", references only.
        std::size_t quotes = 0;
        for (std::size_t k = 0; k < tag.size(); ++k) {
            if (tag[k] == '"') ++quotes;
            if (tag[k] == '<') return "< inside <" + name;
            if (tag[k] == '&' && !entityAt(static_cast<std::size_t>(tag.data() - xml.data()) + k))
                return "bare & inside <" + name;
        }
        if (quotes % 2 != 0) return "unpaired quote in <" + name;
        if (!empty) open.push_back(name);
    }
    return open.empty() ? "" : "unclosed <" + open.back();
}

class WaterfallSvg : public ::testing::Test {
protected:
    static std::string svgOf(const engine::Waterfall& waterfall, WaterfallRows rows) {
        const engine::Waterfall actual = report::testing::sampleWaterfall(0);
        return exporting::waterfallSvg(
            report::drawWaterfall(waterfall, WaterfallLayout{.rows = rows}, &actual));
    }
    // xmllint's verdict when it is installed: 0 for a well-formed file.
    int xmllint(const std::string& svg) const {
        if (std::system("command -v xmllint >/dev/null 2>&1") != 0) return 0;
        const fs::path file = home_.path() / "check.svg";
        std::ofstream(file, std::ios::binary) << svg;
        return std::system(("xmllint --noout " + file.string() + " 2>/dev/null").c_str());
    }

    testing_support::TempHome home_;
};

TEST_F(WaterfallSvg, IsWellFormedInBothRowModes) {
    for (WaterfallRows rows : {WaterfallRows::Elements, WaterfallRows::Lanes}) {
        const std::string svg = svgOf(report::testing::sampleWaterfall(), rows);
        EXPECT_EQ(xmlProblem(svg), "");
        EXPECT_EQ(xmllint(svg), 0);
        EXPECT_NE(svg.find("<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\""),
                  std::string::npos);
    }
}

TEST_F(WaterfallSvg, WritesEveryShapeAndEveryTip) {
    const engine::Waterfall waterfall = report::testing::sampleWaterfall();
    const report::WaterfallDrawing drawing = report::drawWaterfall(waterfall, WaterfallLayout{});
    const std::string svg = exporting::waterfallSvg(drawing);
    const auto count = [&](std::string_view needle) {
        std::size_t n = 0;
        for (auto at = svg.find(needle); at != std::string::npos; at = svg.find(needle, at + 1))
            ++n;
        return n;
    };
    std::size_t rects = 0, lines = 0, texts = 0;
    for (const report::Shape& shape : drawing.shapes) {
        rects += std::holds_alternative<report::RectShape>(shape);
        lines += std::holds_alternative<report::LineShape>(shape);
        texts += std::holds_alternative<report::TextShape>(shape);
    }
    EXPECT_EQ(count("<rect "), rects + drawing.hits.size());
    EXPECT_EQ(count("<line "), lines);
    EXPECT_EQ(count("<text "), texts);
    EXPECT_EQ(count("<title>"), waterfall.rows.size());
    EXPECT_NE(svg.find("class=\"connect\" fill=\"#f28c18\""), std::string::npos);
    EXPECT_NE(svg.find("<title>http://site.test/style.css\n"), std::string::npos);
    // Numbers as SVG reads them: a point, no exponent.
    EXPECT_EQ(svg.find("e+"), std::string::npos);
    EXPECT_EQ(svg.find(",5"), std::string::npos);
}

TEST_F(WaterfallSvg, HostileNamesStayText) {
    engine::Waterfall hostile = report::testing::sampleWaterfall();
    hostile.rows[1].path = "<b onload=x>\"'&amp;\x01\xff.css";
    hostile.rows[1].address = "http://site.test/</title><script>x</script>\x1b";
    hostile.rows[2].host = "evil.test\"><image href=\"http://evil.test/x.png\"/>";
    const std::string svg = svgOf(hostile, WaterfallRows::Elements);
    EXPECT_EQ(xmlProblem(svg), "");
    EXPECT_EQ(xmllint(svg), 0);
    EXPECT_EQ(svg.find("<script"), std::string::npos);
    EXPECT_EQ(svg.find("<image"), std::string::npos);
    EXPECT_NE(svg.find(">&lt;b onload=x&gt;&quot;&#39;&amp;amp;\xEF\xBF\xBD\xEF\xBF\xBD.css<"),
              std::string::npos);
    EXPECT_NE(svg.find("<title>http://site.test/&lt;/title&gt;&lt;script&gt;x&lt;/script&gt;"
                       "\xEF\xBF\xBD\n"),
              std::string::npos);
    EXPECT_EQ(report::drawableText(svg, true), svg) << "not valid UTF-8 without controls";
}

TEST_F(WaterfallSvg, NeedsNothingFromOutside) {
    const std::string svg = svgOf(report::testing::sampleWaterfall(), WaterfallRows::Elements);
    for (const char* reference : {"href", "url(", "<image", "<script", "<style", "<use", "@import"})
        EXPECT_EQ(svg.find(reference), std::string::npos) << reference;
}

TEST_F(WaterfallSvg, IsSavedOnlyWhole) {
    const report::WaterfallDrawing drawing =
        report::drawWaterfall(report::testing::sampleWaterfall(), WaterfallLayout{});
    std::string error;
    const fs::path path = home_.path() / "page.svg";
    ASSERT_TRUE(exporting::writeWaterfallSvg(path.string(), drawing, error)) << error;
    EXPECT_EQ(testing_support::readFile(path), exporting::waterfallSvg(drawing));

    const fs::path nowhere = home_.path() / "missing-folder" / "page.svg";
    EXPECT_FALSE(exporting::writeWaterfallSvg(nowhere.string(), drawing, error));
    EXPECT_NE(error.find(nowhere.string()), std::string::npos) << error;
}

}  // namespace
