#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <cstdint>
#include <utility>
#include <vector>

namespace app {

// A page's source as the source view shows it: the bytes decoded once and its lines indexed, so
// that the view touches only the lines it paints. Bytes that are not UTF-8 are read as Latin-1
// (one character each): pages of that age are often Latin-1, and every byte keeps a character
// of its own, so a byte offset always maps to one character.
class SourceText {
public:
    static constexpr int kTabWidth = 8;

    // A place where decoding can resume: every line start and every kMarkEvery units within
    // a line, so that a long line (a minified page is one) is never walked from its start.
    struct Mark {
        int pos;
        std::uint32_t byte;
        int column;
    };
    static constexpr int kMarkEvery = 1024;

    void setBytes(const QByteArray& bytes);

    const QString& text() const { return text_; }
    int size() const { return int(text_.size()); }
    int lineCount() const { return int(lineStarts_.size()); }
    int lineStart(int line) const { return lineStarts_[std::size_t(line)]; }
    // Where the line's text ends, before its "\n" or "\r\n".
    int lineEnd(int line) const;
    int lineOf(int pos) const;
    // A plain line has no tab and no surrogate pair: each unit is one column.
    bool linePlain(int line) const { return plain_[std::size_t(line)] != 0; }
    int maxColumns() const { return maxColumns_; }
    // The last mark at or before `pos`, and the last of `line` at or before `column`.
    Mark markBefore(int pos) const;
    Mark markAtColumn(int line, int column) const;

    // The character where the byte at `offset` starts (the end for offsets past it).
    int charAtByte(std::uint32_t offset) const;

    // The text lower-cased unit by unit, made on first use.
    const QString& folded() const;

    // The columns a unit takes after `column`: tabs to the next stop, a low surrogate none.
    static int advance(QChar c, int column) {
        if (c == u'\t') return (column / kTabWidth + 1) * kTabWidth;
        return c.isLowSurrogate() ? column : column + 1;
    }

    // Row starts with rows at most `columns` cells wide: a line breaks after the last space of
    // a full row when that lies in the row's second half, otherwise at the cell.
    std::vector<int> wrappedRows(int columns) const;

private:
    QByteArray bytes_;
    QString text_;
    // Empty, the text is one empty line.
    std::vector<int> lineStarts_{0};
    std::vector<Mark> marks_{{0, 0, 0}};
    std::vector<std::uint8_t> plain_{1};
    int maxColumns_ = 0;
    mutable QString folded_;
    mutable bool foldedMade_ = false;
};

// The values of "href" and "background" attributes in `text`, as [start, end) offsets: the
// value inside its quotes, or up to a space or ">" when unquoted. A name counts after a space
// or at the start of `text`.
std::vector<std::pair<int, int>> sourceLinkSpans(QStringView text);

}  // namespace app
