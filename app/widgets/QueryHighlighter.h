#pragma once

#include <QSyntaxHighlighter>
#include <QTextCharFormat>

class QTextDocument;

namespace app {

// Colours a statement as the parser reads it: clause and operator words, a registered
// aggregate written directly before "(", the element table's column names, quoted text.
// Words inside quotes are text only; a quote left open runs on into the next line.
class QueryHighlighter : public QSyntaxHighlighter {
    Q_OBJECT

public:
    explicit QueryHighlighter(QTextDocument* document);

    const QTextCharFormat& keywordFormat() const { return keyword_; }
    const QTextCharFormat& functionFormat() const { return function_; }
    const QTextCharFormat& columnFormat() const { return column_; }
    const QTextCharFormat& textFormat() const { return text_; }

protected:
    void highlightBlock(const QString& text) override;

private:
    QTextCharFormat keyword_;
    QTextCharFormat function_;
    QTextCharFormat column_;
    QTextCharFormat text_;
};

}  // namespace app
