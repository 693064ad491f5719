#pragma once

#include <QString>

#include <string>

namespace report {
class ReportStyle;
}

namespace app {

// The style editor's "CSS Preview": the set's style block with every "\n" made "\r\r\n", the
// soft line break of a multi-line edit box.
std::string stylePreviewText(const report::ReportStyle& style);

// The preview as a QPlainTextEdit shows it: one line per line of the block. The box would take
// each "\r" of "\r\r\n" as a line end of its own and show a blank line after every class.
QString stylePreviewDisplay(const std::string& preview);

}  // namespace app
