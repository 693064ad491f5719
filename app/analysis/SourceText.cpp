#include "app/analysis/SourceText.h"

#include <algorithm>

#include "app/analysis/SourceFind.h"

namespace app {
namespace {

// One step of decoding: the bytes the character at `p` takes, its code point in `code`. A byte
// that starts no well-formed sequence (overlong, surrogate, past U+10FFFF, cut short) stands
// for itself.
int decodeStep(const unsigned char* p, const unsigned char* end, char32_t& code) {
    const unsigned char lead = *p;
    int length = 0;
    char32_t min = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, min = 0x80, code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, min = 0x800, code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, min = 0x10000, code = lead & 0x07;
    } else {
        code = lead;
        return 1;
    }
    if (end - p < length) {
        code = lead;
        return 1;
    }
    for (int i = 1; i < length; ++i) {
        if ((p[i] & 0xC0) != 0x80) {
            code = lead;
            return 1;
        }
        code = (code << 6) | (p[i] & 0x3F);
    }
    if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        code = lead;
        return 1;
    }
    return length;
}

bool isNameChar(QChar c) {
    return c.isLetterOrNumber() || c == u'-' || c == u'_' || c == u':';
}

bool namedAt(QStringView text, qsizetype at, QStringView name) {
    return at + name.size() <= text.size() &&
           text.sliced(at, name.size()).compare(name, Qt::CaseInsensitive) == 0 &&
           (at + name.size() == text.size() || !isNameChar(text[at + name.size()]));
}

}  // namespace

void SourceText::setBytes(const QByteArray& bytes) {
    bytes_ = bytes;
    text_ = QString(bytes.size(), Qt::Uninitialized);
    lineStarts_.assign(1, 0);
    marks_.assign(1, Mark{0, 0, 0});
    plain_.clear();
    maxColumns_ = 0;
    folded_.clear();
    foldedMade_ = false;

    const auto* begin = reinterpret_cast<const unsigned char*>(bytes.constData());
    const auto* end = begin + bytes.size();
    char16_t* out = reinterpret_cast<char16_t*>(text_.data());
    char16_t* const outBegin = out;
    int column = 0;
    bool plain = true;
    const char16_t* marked = out;
    for (const unsigned char* p = begin; p < end;) {
        if (out - marked >= kMarkEvery) {
            marked = out;
            marks_.push_back({int(out - outBegin), std::uint32_t(p - begin), column});
        }
        const unsigned char byte = *p;
        if (byte < 0x80) {
            *out++ = byte;
            ++p;
            if (byte == '\n') {
                maxColumns_ = std::max(maxColumns_, column);
                plain_.push_back(plain);
                lineStarts_.push_back(int(out - outBegin));
                marks_.push_back({lineStarts_.back(), std::uint32_t(p - begin), 0});
                marked = out;
                column = 0;
                plain = true;
            } else if (byte == '\t') {
                column = advance(u'\t', column);
                plain = false;
            } else {
                ++column;
            }
            continue;
        }
        char32_t code = 0;
        p += decodeStep(p, end, code);
        ++column;
        if (code > 0xFFFF) {
            *out++ = QChar::highSurrogate(code);
            *out++ = QChar::lowSurrogate(code);
            plain = false;
        } else {
            *out++ = char16_t(code);
        }
    }
    maxColumns_ = std::max(maxColumns_, column);
    plain_.push_back(plain);
    text_.truncate(out - outBegin);
}

int SourceText::lineEnd(int line) const {
    if (line + 1 >= lineCount()) return size();
    int end = lineStart(line + 1) - 1;
    if (end > lineStart(line) && text_[end - 1] == u'\r') --end;
    return end;
}

int SourceText::lineOf(int pos) const {
    const auto next = std::upper_bound(lineStarts_.begin(), lineStarts_.end(), pos);
    return int(next - lineStarts_.begin()) - 1;
}

int SourceText::charAtByte(std::uint32_t offset) const {
    if (offset >= std::uint32_t(bytes_.size())) return size();
    const Mark mark =
        *(std::upper_bound(marks_.begin(), marks_.end(), offset,
                           [](std::uint32_t at, const Mark& m) { return at < m.byte; }) -
          1);
    const auto* begin = reinterpret_cast<const unsigned char*>(bytes_.constData());
    const auto* end = begin + bytes_.size();
    int pos = mark.pos;
    for (const unsigned char* p = begin + mark.byte; p < end;) {
        char32_t code = 0;
        const int length = decodeStep(p, end, code);
        if (p + length > begin + offset) break;
        p += length;
        pos += code > 0xFFFF ? 2 : 1;
    }
    return pos;
}

SourceText::Mark SourceText::markBefore(int pos) const {
    return *(std::upper_bound(marks_.begin(), marks_.end(), pos,
                              [](int at, const Mark& m) { return at < m.pos; }) -
             1);
}

SourceText::Mark SourceText::markAtColumn(int line, int column) const {
    const auto byPos = [](const Mark& m, int at) { return m.pos < at; };
    const auto first = std::lower_bound(marks_.begin(), marks_.end(), lineStart(line), byPos);
    const auto last = line + 1 < lineCount()
                          ? std::lower_bound(first, marks_.end(), lineStart(line + 1), byPos)
                          : marks_.end();
    const auto after = std::upper_bound(first + 1, last, column,
                                        [](int at, const Mark& m) { return at < m.column; });
    return *(after - 1);
}

const QString& SourceText::folded() const {
    if (!foldedMade_) {
        folded_ = foldSourceCase(text_);
        foldedMade_ = true;
    }
    return folded_;
}

std::vector<int> SourceText::wrappedRows(int columns) const {
    columns = std::max(columns, 1);
    // A row full at `limit` breaks after its last space, if that is in its second half.
    const auto breakBefore = [this](int start, int limit) {
        for (int at = limit; at > start + (limit - start) / 2; --at) {
            if (text_[at - 1] == u' ' || text_[at - 1] == u'\t') return at;
        }
        return limit;
    };
    std::vector<int> rows;
    rows.reserve(lineStarts_.size());
    for (int line = 0; line < lineCount(); ++line) {
        const int end = lineEnd(line);
        int start = lineStart(line);
        rows.push_back(start);
        if (linePlain(line)) {
            while (end - start > columns) {
                start = breakBefore(start, start + columns);
                rows.push_back(start);
            }
            continue;
        }
        for (int at = start, column = 0; at < end; ++at) {
            const int next = advance(text_[at], column);
            if (next > columns && at > start) {
                start = breakBefore(start, at);
                rows.push_back(start);
                at = start - 1;
                column = 0;
            } else {
                column = next;
            }
        }
    }
    return rows;
}

std::vector<std::pair<int, int>> sourceLinkSpans(QStringView text) {
    std::vector<std::pair<int, int>> spans;
    const qsizetype size = text.size();
    for (qsizetype at = 0; at < size; ++at) {
        const QChar c = text[at];
        if (c != u'h' && c != u'H' && c != u'b' && c != u'B') continue;
        // An attribute follows a space; inside another value it would follow a quote or '='.
        if (at > 0 && !text[at - 1].isSpace()) continue;
        qsizetype p = at;
        if (namedAt(text, at, u"href")) {
            p += 4;
        } else if (namedAt(text, at, u"background")) {
            p += 10;
        } else {
            continue;
        }
        while (p < size && text[p].isSpace()) ++p;
        if (p >= size || text[p] != u'=') continue;
        ++p;
        while (p < size && text[p].isSpace()) ++p;
        if (p >= size) break;
        qsizetype start = p;
        qsizetype stop = p;
        if (text[p] == u'"' || text[p] == u'\'') {
            const QChar quote = text[p];
            start = p + 1;
            stop = text.indexOf(quote, start);
            if (stop < 0) stop = size;
        } else {
            while (stop < size && !text[stop].isSpace() && text[stop] != u'>') ++stop;
        }
        if (stop > start) spans.emplace_back(int(start), int(stop));
        at = std::max(at, stop - 1);
    }
    return spans;
}

}  // namespace app
