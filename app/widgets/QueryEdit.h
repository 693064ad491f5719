#pragma once

#include <QPlainTextEdit>

#include <optional>
#include <string_view>

namespace app {

class QueryHighlighter;

// A run of characters of a query field.
struct ErrorSpan {
    int start = 0;
    int length = 0;
    bool operator==(const ErrorSpan&) const = default;
};

// Where in `statement` the error of a failed validation (validateQuery's text) points: the
// first text its message quotes, found ignoring case and blanks (the parser quotes its
// normalised, lower-case copy). None when the message quotes nothing, only the whole statement
// or text not in it.
std::optional<ErrorSpan> errorSpan(const QString& statement, std::string_view validation);

// The multi-line field of a statement (statistics, report fields and tables), highlighted as the
// parser reads it.
class QueryEdit : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit QueryEdit(QWidget* parent = nullptr);

    QueryHighlighter* highlighter() const { return highlighter_; }

    // Puts `text` at the caret in place of the selection, as one undoable step.
    void insertAtCaret(const QString& text);

    // Validates the statement; on failure shows the "Query Error" box over `boxParent`, selects
    // the text the error names (caret at its start) and returns false.
    bool validate(QWidget* boxParent);

private:
    QueryHighlighter* highlighter_;
};

}  // namespace app
