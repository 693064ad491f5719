#include "report/ReportRenderer.h"

#include <optional>

namespace report {

std::string renderReport(const Report& report, const ReportStyle& style,
                         const query::QueryTable* elements) {
    return "<BODY class=\"bodystyle\">\n" + styleBlock(style) + renderItems(report, elements) +
           "</BODY>";
}

std::string renderItems(const Report& report, const query::QueryTable* elements) {
    std::string html;
    std::optional<ItemKind> previous;
    for (const auto& item : report.items()) {
        const ItemKind kind = item->kindId();
        const bool previousIsField = previous == ItemKind::Field;
        if (kind == ItemKind::Field && !previousIsField && previous != ItemKind::FieldSetBegin)
            html += "<TABLE class=\"field_set_format\">\n";
        else if (previousIsField && kind != ItemKind::Field)
            html += "</TABLE>\n";  // so an explicit Field Set End after a Field closes twice
        html += item->render(elements);
        previous = kind;
    }
    if (previous == ItemKind::Field) html += "</TABLE>\n";
    return html;
}

std::string styleBlock(const ReportStyle& style) {
    std::string css = "<style>\n";
    for (const auto& [className, declarations] : style.classes())
        if (className != "bodystyle") css += "." + className + "{" + declarations + "}\n";
    if (const auto body = style.declarations("bodystyle")) css += "BODY {" + *body + "}\n";
    return css + "</style>\n";
}

}  // namespace report
