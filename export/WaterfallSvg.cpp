#include "export/WaterfallSvg.h"

#include <charconv>
#include <cmath>
#include <string_view>
#include <variant>

#include "export/OutputFile.h"
#include "report/DrawingText.h"
#include "report/HtmlEscape.h"

namespace exporting {
namespace {

using report::Paint;

// Two decimals at most, no trailing zeros, never an exponent or a locale's comma.
std::string number(double value) {
    if (!std::isfinite(value)) value = 0;
    char text[64];
    const auto [end, problem] =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 2);
    std::string_view written(text,
                             problem == std::errc() ? static_cast<std::size_t>(end - text) : 0);
    if (written.find('.') != std::string_view::npos) {
        while (written.back() == '0') written.remove_suffix(1);
        if (written.back() == '.') written.remove_suffix(1);
    }
    if (written.empty() || written == "-0") return "0";
    return std::string(written);
}

void appendEscaped(std::string& out, std::string_view text, bool keepNewlines = false) {
    out += report::escapeHtml(report::drawableText(text, keepNewlines));
}

// Appends the markup of one element piece by piece.
class Markup {
public:
    explicit Markup(std::string& out) : out_(out) {}

    Markup& open(std::string_view name) { return raw("<").raw(name); }
    Markup& attribute(std::string_view name, std::string_view value) {
        return raw(" ").raw(name).raw("=\"").raw(value).raw("\"");
    }
    Markup& attribute(std::string_view name, double value) {
        return attribute(name, std::string_view(number(value)));
    }
    Markup& paint(std::string_view property, Paint paint) {
        return attribute("class", report::nameOf(paint))
            .attribute(property, report::colourOf(paint));
    }
    Markup& box(const report::Box& box) {
        return attribute("x", box.x)
            .attribute("y", box.y)
            .attribute("width", box.width)
            .attribute("height", box.height);
    }
    Markup& raw(std::string_view text) {
        out_ += text;
        return *this;
    }
    Markup& text(std::string_view text, bool keepNewlines = false) {
        appendEscaped(out_, text, keepNewlines);
        return *this;
    }

private:
    std::string& out_;
};

std::string_view anchorName(report::TextAnchor anchor) {
    switch (anchor) {
        case report::TextAnchor::Middle:
            return "middle";
        case report::TextAnchor::End:
            return "end";
        case report::TextAnchor::Start:
            break;
    }
    return "start";
}

struct ShapeWriter {
    Markup& svg;

    void operator()(const report::RectShape& rect) const {
        svg.open("rect").box(rect.box).paint("fill", rect.fill).raw("/>\n");
    }
    void operator()(const report::LineShape& line) const {
        svg.open("line").attribute("x1", line.x1).attribute("y1", line.y1);
        svg.attribute("x2", line.x2).attribute("y2", line.y2).attribute("stroke-width", line.width);
        svg.paint("stroke", line.stroke).raw("/>\n");
    }
    void operator()(const report::TextShape& text) const {
        svg.open("text").attribute("x", text.x).attribute("y", text.y);
        svg.attribute("text-anchor", anchorName(text.anchor)).paint("fill", text.colour);
        if (text.bold) svg.attribute("font-weight", "bold");
        svg.raw(">").text(text.text).raw("</text>\n");
    }
};

}  // namespace

std::string waterfallSvg(const report::WaterfallDrawing& drawing) {
    std::string out;
    out.reserve(256 + drawing.shapes.size() * 96 + drawing.hits.size() * 256);
    Markup svg(out);
    const std::string width = number(drawing.width), height = number(drawing.height);
    svg.raw("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n").open("svg");
    svg.attribute("xmlns", "http://www.w3.org/2000/svg").attribute("version", "1.1");
    svg.attribute("width", width).attribute("height", height);
    svg.raw(" viewBox=\"0 0 ").raw(width).raw(" ").raw(height).raw("\"");
    svg.attribute("font-family", "DejaVu Sans, Helvetica, Arial, sans-serif");
    svg.attribute("font-size", drawing.fontSize).raw(">\n");
    for (const report::Shape& shape : drawing.shapes) std::visit(ShapeWriter{svg}, shape);
    // The bars' areas, invisible and on top, so that hovering anywhere on a bar shows its tip.
    svg.raw("<g class=\"hits\" fill=\"#000000\" fill-opacity=\"0\">\n");
    for (const report::BarHit& hit : drawing.hits) {
        svg.open("rect").box(hit.box).raw("><title>").text(hit.tip, true);
        svg.raw("</title></rect>\n");
    }
    svg.raw("</g>\n</svg>\n");
    return out;
}

bool writeWaterfallSvg(const std::string& path, const report::WaterfallDrawing& drawing,
                       std::string& error) {
    return saveText(path, waterfallSvg(drawing), error);
}

}  // namespace exporting
