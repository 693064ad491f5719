#include "app/widgets/QueryHighlighter.h"

#include <QFont>

#include <algorithm>
#include <array>
#include <string>
#include <string_view>

#include "query/Aggregate.h"
#include "query/ElementTable.h"
#include "query/TextCase.h"

namespace app {
namespace {

// The words the parser cuts at. The clause keywords, TOP, AS, AND/OR, LIKE and the sort
// directions are private to the parser's sources, so they are named here once.
constexpr std::array<std::string_view, 12> kKeywords = {
    "select", "where", "group", "order", "by", "top", "as", "and", "or", "like", "asc", "desc"};

enum BlockState { kPlain = 0, kInQuote = 1 };

bool isWordStart(QChar c) {
    return c.isLetter() || c == u'_';
}

bool isWordChar(QChar c) {
    return c.isLetterOrNumber() || c == u'_';
}

bool isKeyword(const std::string& lower) {
    return std::find(kKeywords.begin(), kKeywords.end(), lower) != kKeywords.end();
}

bool isColumn(const std::string& lower) {
    return std::any_of(query::kElementColumns.begin(), query::kElementColumns.end(),
                       [&](std::string_view name) { return query::toLower(name) == lower; });
}

}  // namespace

QueryHighlighter::QueryHighlighter(QTextDocument* document) : QSyntaxHighlighter(document) {
    keyword_.setForeground(QColor(0x00, 0x00, 0xc0));
    keyword_.setFontWeight(QFont::Bold);
    function_.setForeground(QColor(0x80, 0x00, 0x80));
    column_.setForeground(QColor(0x00, 0x70, 0x70));
    text_.setForeground(QColor(0xa0, 0x30, 0x00));
}

void QueryHighlighter::highlightBlock(const QString& text) {
    qsizetype at = 0;
    bool inQuote = previousBlockState() == kInQuote;
    while (at < text.size()) {
        if (inQuote) {
            const qsizetype close = text.indexOf(u'\'', at);
            const qsizetype end = close < 0 ? text.size() : close + 1;
            setFormat(int(at), int(end - at), text_);
            at = end;
            inQuote = close < 0;
        } else if (text[at] == u'\'') {
            setFormat(int(at), 1, text_);
            ++at;
            inQuote = true;
        } else if (isWordStart(text[at])) {
            qsizetype end = at + 1;
            while (end < text.size() && isWordChar(text[end])) ++end;
            const std::string lower = query::toLower(text.mid(at, end - at).toStdString());
            const bool call = end < text.size() && text[end] == u'(';
            if (isKeyword(lower))
                setFormat(int(at), int(end - at), keyword_);
            else if (call && query::Aggregate::find(lower) != nullptr)
                setFormat(int(at), int(end - at), function_);
            else if (isColumn(lower))
                setFormat(int(at), int(end - at), column_);
            at = end;
        } else {
            ++at;
        }
    }
    setCurrentBlockState(inQuote ? kInQuote : kPlain);
}

}  // namespace app
