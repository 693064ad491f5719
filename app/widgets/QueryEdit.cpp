#include "app/widgets/QueryEdit.h"

#include <QFontDatabase>
#include <QTextCursor>

#include <string>
#include <vector>

#include "app/widgets/MessageBoxes.h"
#include "app/widgets/QueryHighlighter.h"
#include "query/ElementTable.h"
#include "query/StatisticsView.h"

namespace app {
namespace {

// validateQuery's text ends with the error's own message after this line.
constexpr std::string_view kDescription = "\nDescription:\n";

// `text` without white space, lower case, and for every character kept its index in `text`.
QString squeezed(const QString& text, std::vector<int>* positions) {
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isSpace()) continue;
        out += text[i].toLower();
        if (positions) positions->push_back(int(i));
    }
    return out;
}

}  // namespace

std::optional<ErrorSpan> errorSpan(const QString& statement, std::string_view validation) {
    const std::size_t description = validation.rfind(kDescription);
    if (description == std::string_view::npos) return std::nullopt;
    const std::string_view message = validation.substr(description + kDescription.size());
    const std::size_t open = message.find('\'');
    const std::size_t close = open == std::string_view::npos ? open : message.find('\'', open + 1);
    if (close == std::string_view::npos) return std::nullopt;

    std::vector<int> positions;
    const QString haystack = squeezed(statement, &positions);
    const QString needle = squeezed(
        QString::fromUtf8(message.data() + open + 1, qsizetype(close - open - 1)), nullptr);
    if (needle.isEmpty() || needle == haystack) return std::nullopt;
    const qsizetype found = haystack.indexOf(needle);
    if (found < 0) return std::nullopt;
    const int start = positions[std::size_t(found)];
    const int end = positions[std::size_t(found + needle.size() - 1)] + 1;
    return ErrorSpan{start, end - start};
}

QueryEdit::QueryEdit(QWidget* parent)
    : QPlainTextEdit(parent), highlighter_(new QueryHighlighter(document())) {
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    setTabChangesFocus(true);
}

void QueryEdit::insertAtCaret(const QString& text) {
    QTextCursor cursor = textCursor();
    cursor.insertText(text);
    setTextCursor(cursor);
    setFocus();
}

bool QueryEdit::validate(QWidget* boxParent) {
    const QString statement = toPlainText();
    const std::optional<std::string> failure = query::validateQuery(statement.toStdString());
    if (!failure) return true;
    MessageBoxes::error(boxParent, QString::fromLatin1(query::kQueryErrorCaption),
                        QString::fromStdString(*failure));
    if (const std::optional<ErrorSpan> span = errorSpan(statement, *failure)) {
        QTextCursor cursor = textCursor();
        cursor.setPosition(span->start + span->length);
        cursor.setPosition(span->start, QTextCursor::KeepAnchor);
        setTextCursor(cursor);
    }
    setFocus();
    return false;
}

}  // namespace app
