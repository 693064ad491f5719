#pragma once

#include <QString>
#include <QStringView>

#include <optional>
#include <utility>

namespace app {

struct FindOptions {
    bool down = true;
    bool wholeWord = false;
    bool matchCase = false;
};

// `text` with every UTF-16 unit lower-cased on its own, so that offsets into the copy are
// offsets into the text (QString::toLower may change the length).
QString foldSourceCase(QStringView text);

// The next match of `needle` in `text` as [start, end): going down, the first one starting at or
// after `selEnd`; going up, the last one ending at or before `selStart`. Without match case both
// are compared lower-cased; `folded`, when given, is foldSourceCase(text) kept by the caller.
// A whole-word match has no letter or digit right before or after it.
std::optional<std::pair<int, int>> findInSource(QStringView text, QStringView needle, int selStart,
                                                int selEnd, FindOptions options,
                                                const QString* folded = nullptr);

}  // namespace app
