#pragma once
// The caption of a control: a label whose mnemonic moves the focus to it. A list, tree or table
// is announced by its own name only, never by a label beside it, so the caption names it too.

#include <QString>

class QLabel;
class QWidget;

namespace app {

// A label reading `text` for `buddy`, which takes the text (without its '&' and colon) as its
// accessible name unless it has one.
QLabel* captionFor(const QString& text, QWidget* buddy);

// The words a caption says: "&Visible Columns:" is "Visible Columns".
QString captionWords(QString text);

}  // namespace app
