#include "app/analysis/SourceFind.h"

#include <algorithm>

namespace app {
namespace {

bool isWordChar(QChar c) {
    return c.isLetter() || c.isDigit();
}

bool standsAlone(QStringView text, int start, int end) {
    return (start == 0 || !isWordChar(text[start - 1])) &&
           (end >= text.size() || !isWordChar(text[end]));
}

}  // namespace

QString foldSourceCase(QStringView text) {
    QString folded(text.size(), Qt::Uninitialized);
    QChar* out = folded.data();
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x80) {
            *out++ = QChar(u >= 'A' && u <= 'Z' ? char16_t(u + 32) : u);
        } else {
            // Surrogates map to themselves: a unit alone has no case.
            *out++ = c.toLower();
        }
    }
    return folded;
}

std::optional<std::pair<int, int>> findInSource(QStringView text, QStringView needle, int selStart,
                                                int selEnd, FindOptions options,
                                                const QString* folded) {
    const int size = int(needle.size());
    if (size == 0 || size > text.size()) return std::nullopt;
    QString ownFolded;
    QString foldedNeedle;
    QStringView haystack = text;
    QStringView wanted = needle;
    if (!options.matchCase) {
        if (!folded) ownFolded = foldSourceCase(text);
        haystack = folded ? QStringView(*folded) : QStringView(ownFolded);
        foldedNeedle = foldSourceCase(needle);
        wanted = foldedNeedle;
    }
    const int length = int(haystack.size());
    selStart = std::clamp(selStart, 0, length);
    selEnd = std::clamp(selEnd, selStart, length);
    if (options.down) {
        for (qsizetype at = haystack.indexOf(wanted, selEnd); at >= 0;
             at = haystack.indexOf(wanted, at + 1)) {
            if (!options.wholeWord || standsAlone(text, int(at), int(at) + size))
                return std::pair{int(at), int(at) + size};
        }
    } else {
        for (qsizetype from = selStart - size; from >= 0; --from) {
            const qsizetype at = haystack.lastIndexOf(wanted, from);
            if (at < 0) break;
            if (!options.wholeWord || standsAlone(text, int(at), int(at) + size))
                return std::pair{int(at), int(at) + size};
            from = at;
        }
    }
    return std::nullopt;
}

}  // namespace app
