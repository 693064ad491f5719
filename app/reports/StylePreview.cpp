#include "app/reports/StylePreview.h"

#include "report/ReportRenderer.h"

namespace app {

std::string stylePreviewText(const report::ReportStyle& style) {
    const std::string block = report::styleBlock(style);
    std::string preview;
    preview.reserve(block.size() + block.size() / 8);
    for (const char c : block) {
        if (c == '\n') preview += "\r\r";
        preview += c;
    }
    return preview;
}

QString stylePreviewDisplay(const std::string& preview) {
    QString display = QString::fromStdString(preview);
    display.replace(QStringLiteral("\r\r\n"), QStringLiteral("\n"));
    return display;
}

}  // namespace app
