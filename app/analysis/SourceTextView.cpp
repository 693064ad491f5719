#include "app/analysis/SourceTextView.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QtMath>

#include <algorithm>

#include "app/analysis/CFindDialog.h"
#include "app/analysis/SourceTextAccessible.h"
#include "app/widgets/MessageBoxes.h"

namespace app {
namespace {

// How far before a painted row a link's value may begin and still be found.
constexpr int kLinkLookBehind = 4096;
// Space between the frame and the first column.
constexpr int kLeftMargin = 4;

bool isWordChar(QChar c) {
    return c.isLetterOrNumber() || c == u'_';
}

}  // namespace

SourceTextView::SourceTextView(QWidget* parent) : QAbstractScrollArea(parent) {
    static const bool accessible = (QAccessible::installFactory(accessibleSourceText), true);
    Q_UNUSED(accessible);
    setAccessibleName(tr("Page source"));
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setBackgroundRole(QPalette::Base);
    QFont fixed = QApplication::font();
    fixed.setFamily(QStringLiteral("Courier"));
    fixed.setStyleHint(QFont::TypeWriter);
    fixed.setFixedPitch(true);
    setFont(fixed);
    updateMetrics();
    dragScroll_.setInterval(50);
    connect(&dragScroll_, &QTimer::timeout, this, [this] { dragTo(dragPoint_); });
}

SourceTextView::~SourceTextView() = default;

void SourceTextView::setText(const QByteArray& source) {
    source_.setBytes(source);
    anchor_ = caret_ = 0;
    goalColumn_ = -1;
    wrapColumns_ = 0;
    layoutRows();
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    viewport()->update();
    if (QAccessible::isActive()) {
        QAccessibleEvent changed(this, QAccessible::VisibleDataChanged);
        QAccessible::updateAccessibility(&changed);
    }
    emit selectionChanged();
}

void SourceTextView::selectBytes(quint32 offset, quint32 length) {
    const int start = source_.charAtByte(offset);
    const int end = source_.charAtByte(offset + std::min(length, ~offset));
    selectRange(start, end);
    scrollToPosition(end);
    scrollToPosition(start);
}

void SourceTextView::selectRange(int start, int end) {
    start = std::clamp(start, 0, source_.size());
    end = std::clamp(end, 0, source_.size());
    if (start == anchor_ && end == caret_) return;
    anchor_ = start;
    caret_ = end;
    goalColumn_ = -1;
    viewport()->update();
    if (QAccessible::isActive()) {
        QAccessibleTextSelectionEvent selected(this, selectionStart(), selectionEnd());
        selected.setCursorPosition(caret_);
        QAccessible::updateAccessibility(&selected);
    }
    emit selectionChanged();
}

QString SourceTextView::selectedText() const {
    return text().mid(selectionStart(), selectionEnd() - selectionStart());
}

bool SourceTextView::find(const QString& needle, FindOptions options) {
    lastNeedle_ = needle;
    lastOptions_ = options;
    searched_ = true;
    const auto match = findInSource(text(), needle, selectionStart(), selectionEnd(), options,
                                    options.matchCase ? nullptr : &source_.folded());
    if (!match) {
        QWidget* owner = this;
        if (findDialog_ && findDialog_->isVisible()) owner = findDialog_;
        MessageBoxes::show(
            owner, {QMessageBox::Information, QString::fromLatin1(MessageBoxes::kProductTitle),
                    tr("Can't find the string '%1'.").arg(needle), QMessageBox::Ok});
        return false;
    }
    selectRange(match->first, match->second);
    scrollToPosition(match->second);
    scrollToPosition(match->first);
    return true;
}

bool SourceTextView::findNext() {
    if (!searched_ || lastNeedle_.isEmpty()) {
        showFindDialog();
        return false;
    }
    return find(lastNeedle_, lastOptions_);
}

void SourceTextView::showFindDialog() {
    if (!findDialog_) {
        findDialog_ = new CFindDialog(this);
        connect(findDialog_, &CFindDialog::findNext, this,
                [this](const QString& needle, FindOptions options) { find(needle, options); });
        findDialog_->setOptions(lastOptions_);
    }
    const QString selected = selectedText();
    if (!selected.isEmpty() && selected.size() < 256 && !selected.contains(u'\n'))
        findDialog_->setFindWhat(selected);
    else if (searched_)
        findDialog_->setFindWhat(lastNeedle_);
    findDialog_->show();
    findDialog_->raise();
    findDialog_->activateWindow();
}

CFindDialog* SourceTextView::findDialog() const {
    return findDialog_;
}

void SourceTextView::selectAll() {
    selectRange(0, source_.size());
}

void SourceTextView::copy() const {
    if (hasSelection()) QApplication::clipboard()->setText(selectedText());
}

void SourceTextView::setWordWrap(bool on) {
    if (wrap_ == on) return;
    const int top = rowStart(std::min(verticalScrollBar()->value(), rowCount() - 1));
    wrap_ = on;
    wrapColumns_ = 0;
    layoutRows();
    verticalScrollBar()->setValue(rowOf(top));
    viewport()->update();
}

// Rows: the lines themselves, or while wrapping the pieces of at most wrapColumns_ cells.

int SourceTextView::rowCount() const {
    return wrap_ ? int(rows_.size()) : source_.lineCount();
}

int SourceTextView::rowStart(int row) const {
    return wrap_ ? rows_[std::size_t(row)] : source_.lineStart(row);
}

int SourceTextView::rowEnd(int row) const {
    const int end = source_.lineEnd(source_.lineOf(rowStart(row)));
    return row + 1 < rowCount() ? std::min(end, rowStart(row + 1)) : end;
}

int SourceTextView::rowOf(int pos) const {
    if (!wrap_) return source_.lineOf(pos);
    return int(std::upper_bound(rows_.begin(), rows_.end(), pos) - rows_.begin()) - 1;
}

// Columns count from the row's start; an unwrapped line, which may be long, is walked from
// its nearest mark.
int SourceTextView::columnOf(int row, int pos) const {
    const int start = rowStart(row);
    pos = std::clamp(pos, start, rowEnd(row));
    if (source_.linePlain(source_.lineOf(start))) return pos - start;
    SourceText::Mark from{start, 0, 0};
    if (!wrap_) from = source_.markBefore(pos);
    int column = from.column;
    for (int at = from.pos; at < pos; ++at) column = SourceText::advance(text()[at], column);
    return column;
}

// The position `column` cells into the row: the boundary nearest it, or the character whose
// cell holds it (the row's end past its last).
int SourceTextView::walkToColumn(int row, int column, bool nearest) const {
    const int start = rowStart(row);
    const int end = rowEnd(row);
    const int line = source_.lineOf(start);
    if (source_.linePlain(line)) return std::clamp(start + column, start, end);
    SourceText::Mark from{start, 0, 0};
    if (!wrap_) from = source_.markAtColumn(line, column);
    for (int at = from.pos, left = from.column; at < end; ++at) {
        const int right = SourceText::advance(text()[at], left);
        if (right > column) return nearest && (column - left) * 2 >= right - left ? at + 1 : at;
        left = right;
    }
    return end;
}

int SourceTextView::positionAtColumn(int row, int column) const {
    return walkToColumn(row, column, true);
}

int SourceTextView::visibleRows() const {
    return (viewport()->height() + lineHeight_ - 1) / lineHeight_;
}

QRect SourceTextView::characterRect(int pos) const {
    const int row = rowOf(std::clamp(pos, 0, source_.size()));
    const int left = columnOf(row, pos);
    const int right = pos < rowEnd(row) ? columnOf(row, pos + 1) : left + 1;
    const int x = qRound(left * cellWidth_) + kLeftMargin - horizontalScrollBar()->value();
    return QRect(x, (row - verticalScrollBar()->value()) * lineHeight_,
                 std::max(1, qRound((right - left) * cellWidth_)), lineHeight_);
}

int SourceTextView::positionAt(QPoint point) const {
    const int row =
        std::clamp(verticalScrollBar()->value() + point.y() / lineHeight_ - (point.y() < 0 ? 1 : 0),
                   0, rowCount() - 1);
    const qreal x = std::max(0, point.x() - kLeftMargin + horizontalScrollBar()->value());
    return positionAtColumn(row, qRound(x / cellWidth_));
}

// The character whose cell holds `point`, or -1 past the end of its row.
int SourceTextView::cellIndexAt(QPoint point) const {
    const int row = verticalScrollBar()->value() + point.y() / lineHeight_;
    if (point.y() < 0 || row >= rowCount()) return -1;
    const int x = std::max(0, point.x() - kLeftMargin + horizontalScrollBar()->value());
    const int at = walkToColumn(row, int(x / cellWidth_), false);
    return at < rowEnd(row) ? at : -1;
}

void SourceTextView::scrollToPosition(int pos) {
    const int row = rowOf(std::clamp(pos, 0, source_.size()));
    QScrollBar* vertical = verticalScrollBar();
    const int whole = std::max(1, viewport()->height() / lineHeight_);
    if (row < vertical->value() || row >= vertical->value() + whole)
        vertical->setValue(row - whole / 3);
    QScrollBar* horizontal = horizontalScrollBar();
    const int x = qRound(columnOf(row, pos) * cellWidth_);
    const int margin = qRound(cellWidth_ * 4);
    if (x < horizontal->value() || x + margin > horizontal->value() + viewport()->width())
        horizontal->setValue(x - viewport()->width() / 2);
}

void SourceTextView::updateMetrics() {
    linkFont_ = font();
    linkFont_.setUnderline(true);
    const QFontMetricsF metrics(font());
    cellWidth_ = std::max<qreal>(1, metrics.horizontalAdvance(u'M'));
    lineHeight_ = std::max(1, qCeil(metrics.height()));
    ascent_ = metrics.ascent();
    wrapColumns_ = 0;
    layoutRows();
}

void SourceTextView::layoutRows() {
    if (wrap_) {
        const int columns = std::max(1, int((viewport()->width() - kLeftMargin) / cellWidth_));
        if (columns != wrapColumns_) {
            wrapColumns_ = columns;
            rows_ = source_.wrappedRows(columns);
        }
    } else {
        rows_.clear();
    }
    updateScrollBars();
}

void SourceTextView::updateScrollBars() {
    const int whole = std::max(1, viewport()->height() / lineHeight_);
    verticalScrollBar()->setRange(0, std::max(0, rowCount() - whole));
    verticalScrollBar()->setPageStep(whole);
    verticalScrollBar()->setSingleStep(1);
    const int width = wrap_ ? 0 : qCeil((source_.maxColumns() + 1) * cellWidth_) + kLeftMargin;
    horizontalScrollBar()->setRange(0, std::max(0, width - viewport()->width()));
    horizontalScrollBar()->setPageStep(viewport()->width());
    horizontalScrollBar()->setSingleStep(qCeil(cellWidth_));
}

void SourceTextView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    if (!wrap_) return updateScrollBars();
    const int top = rowStart(std::min(verticalScrollBar()->value(), rowCount() - 1));
    layoutRows();
    verticalScrollBar()->setValue(rowOf(top));
}

void SourceTextView::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        updateMetrics();
        viewport()->update();
    }
}

// Painting: only the rows on screen, each cut where the selection or a link begins or ends.

void SourceTextView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    const int first = verticalScrollBar()->value();
    const int last = std::min(rowCount(), first + visibleRows());
    for (int row = first; row < last; ++row) paintRow(painter, row, (row - first) * lineHeight_);
}

void SourceTextView::paintRow(QPainter& painter, int row, int y) {
    const int start = rowStart(row);
    const int end = rowEnd(row);
    const int line = source_.lineOf(start);
    const QString& all = text();
    const qreal scrollX = horizontalScrollBar()->value() - kLeftMargin;
    const int firstColumn = std::max(0, int(scrollX / cellWidth_));
    const int lastColumn = firstColumn + int(viewport()->width() / cellWidth_) + 2;
    const int from = std::max(start, positionAtColumn(row, firstColumn) - 1);
    const int to = std::min(end, positionAtColumn(row, lastColumn) + 1);

    const int lookFrom = std::max(source_.lineStart(line), from - kLinkLookBehind);
    std::vector<std::pair<int, int>> links =
        sourceLinkSpans(QStringView(all).sliced(lookFrom, to - lookFrom));
    const int selStart = selectionStart();
    const int selEnd = selectionEnd();
    std::vector<int> cuts{from, to};
    for (const int cut : {selStart, selEnd}) {
        if (cut > from && cut < to) cuts.push_back(cut);
    }
    for (auto& [a, b] : links) {
        a += lookFrom, b += lookFrom;
        if (a > from && a < to) cuts.push_back(a);
        if (b > from && b < to) cuts.push_back(b);
    }
    std::sort(cuts.begin(), cuts.end());

    const QPalette& colors = palette();
    const QPalette::ColorGroup group = hasFocus() ? QPalette::Active : QPalette::Inactive;
    const qreal baseline = y + ascent_;
    int column = columnOf(row, from);
    QString run;
    for (std::size_t piece = 0; piece + 1 < cuts.size(); ++piece) {
        const int a = cuts[piece];
        const int b = cuts[piece + 1];
        if (a == b) continue;
        const bool selected = a >= selStart && a < selEnd;
        const bool link = std::any_of(links.begin(), links.end(), [a](const auto& span) {
            return a >= span.first && a < span.second;
        });
        int endColumn = column;
        for (int at = a; at < b; ++at) endColumn = SourceText::advance(all[at], endColumn);
        if (selected) {
            painter.fillRect(QRectF(column * cellWidth_ - scrollX, y,
                                    (endColumn - column) * cellWidth_, lineHeight_),
                             colors.brush(group, QPalette::Highlight));
        }
        painter.setFont(link ? linkFont_ : font());
        painter.setPen(colors.color(group, selected ? QPalette::HighlightedText
                                           : link   ? QPalette::Link
                                                    : QPalette::Text));
        // Printable ASCII goes out in runs; anything else in a cell of its own, so that a
        // fallback glyph of another width cannot shift the grid.
        int runColumn = column;
        const auto flush = [&] {
            if (run.isEmpty()) return;
            painter.drawText(QPointF(runColumn * cellWidth_ - scrollX, baseline), run);
            run.clear();
        };
        for (int at = a; at < b; ++at) {
            const QChar c = all[at];
            const int next = SourceText::advance(c, column);
            if (c.unicode() >= 0x20 && c.unicode() < 0x7F) {
                if (run.isEmpty()) runColumn = column;
                run.append(c);
            } else {
                flush();
                if (c.isHighSurrogate() && at + 1 < b) {
                    painter.drawText(QPointF(column * cellWidth_ - scrollX, baseline),
                                     QString(all.constData() + at, 2));
                } else if (c.isPrint() && !c.isSurrogate()) {
                    painter.drawText(QPointF(column * cellWidth_ - scrollX, baseline), QString(c));
                }
            }
            column = next;
        }
        flush();
    }
    // A selection that takes the line break shows it as one more cell.
    if (to == end && selStart <= end && selEnd > end && end < source_.size()) {
        painter.fillRect(QRectF(column * cellWidth_ - scrollX, y, cellWidth_, lineHeight_),
                         colors.brush(group, QPalette::Highlight));
    }
    if (hasFocus() && rowOf(caret_) == row && caret_ >= from && caret_ <= to) {
        const qreal x = columnOf(row, caret_) * cellWidth_ - scrollX;
        painter.fillRect(QRectF(x, y, 1, lineHeight_), colors.color(group, QPalette::Text));
    }
}

// The caret: keys and the mouse move it, Shift and dragging carry the selection along.

void SourceTextView::setCaret(int pos, bool extend) {
    const int goal = goalColumn_;
    selectRange(extend ? anchor_ : pos, pos);
    goalColumn_ = goal;
}

void SourceTextView::moveCaret(int pos, bool extend) {
    setCaret(pos, extend);
    scrollToPosition(caret_);
    viewport()->update();
}

// One character on, taking "\r\n" and a surrogate pair as one.
int SourceTextView::stepPosition(int pos, int direction) const {
    const QString& all = text();
    const int size = int(all.size());
    if (direction > 0) {
        if (pos >= size) return size;
        const bool pair =
            pos + 1 < size && ((all[pos] == u'\r' && all[pos + 1] == u'\n') ||
                               (all[pos].isHighSurrogate() && all[pos + 1].isLowSurrogate()));
        return pos + (pair ? 2 : 1);
    }
    if (pos <= 0) return 0;
    const bool pair =
        pos >= 2 && ((all[pos - 2] == u'\r' && all[pos - 1] == u'\n') ||
                     (all[pos - 2].isHighSurrogate() && all[pos - 1].isLowSurrogate()));
    return pos - (pair ? 2 : 1);
}

void SourceTextView::keyPressEvent(QKeyEvent* event) {
    if (event == QKeySequence::SelectAll) return selectAll();
    if (event == QKeySequence::Copy) return copy();
    if (event == QKeySequence::Find) return showFindDialog();
    if (event == QKeySequence::FindNext) {
        findNext();
        return;
    }
    const bool extend = event->modifiers() & Qt::ShiftModifier;
    const bool control = event->modifiers() & Qt::ControlModifier;
    const int row = rowOf(caret_);
    const auto toRow = [&](int target) {
        if (goalColumn_ < 0) goalColumn_ = columnOf(row, caret_);
        target = std::clamp(target, 0, rowCount() - 1);
        moveCaret(positionAtColumn(target, goalColumn_), extend);
    };
    const int page = std::max(1, viewport()->height() / lineHeight_ - 1);
    QScrollBar* vertical = verticalScrollBar();
    switch (event->key()) {
        case Qt::Key_Left:
            goalColumn_ = -1;
            return moveCaret(
                !extend && hasSelection() ? selectionStart() : stepPosition(caret_, -1), extend);
        case Qt::Key_Right:
            goalColumn_ = -1;
            return moveCaret(!extend && hasSelection() ? selectionEnd() : stepPosition(caret_, 1),
                             extend);
        case Qt::Key_Up:
            if (control) return vertical->setValue(vertical->value() - 1);
            return toRow(row - 1);
        case Qt::Key_Down:
            if (control) return vertical->setValue(vertical->value() + 1);
            return toRow(row + 1);
        case Qt::Key_PageUp:
            vertical->setValue(vertical->value() - page);
            return toRow(row - page);
        case Qt::Key_PageDown:
            vertical->setValue(vertical->value() + page);
            return toRow(row + page);
        case Qt::Key_Home:
            goalColumn_ = -1;
            return moveCaret(control ? 0 : rowStart(row), extend);
        case Qt::Key_End:
            goalColumn_ = -1;
            return moveCaret(control ? source_.size() : rowEnd(row), extend);
        default:
            QAbstractScrollArea::keyPressEvent(event);
    }
}

void SourceTextView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    goalColumn_ = -1;
    setCaret(positionAt(event->position().toPoint()), event->modifiers() & Qt::ShiftModifier);
    dragging_ = true;
}

void SourceTextView::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_) return;
    dragPoint_ = event->position().toPoint();
    dragTo(dragPoint_);
    if (viewport()->rect().contains(dragPoint_)) {
        dragScroll_.stop();
    } else if (!dragScroll_.isActive()) {
        dragScroll_.start();
    }
}

void SourceTextView::dragTo(QPoint point) {
    QScrollBar* vertical = verticalScrollBar();
    if (point.y() < 0) vertical->setValue(vertical->value() - 1);
    if (point.y() >= viewport()->height()) vertical->setValue(vertical->value() + 1);
    const QPoint inside(point.x(), std::clamp(point.y(), 0, viewport()->height() - 1));
    setCaret(positionAt(inside), true);
    scrollToPosition(caret_);
}

void SourceTextView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    dragging_ = false;
    dragScroll_.stop();
}

void SourceTextView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const int at = cellIndexAt(event->position().toPoint());
    if (at < 0 || !isWordChar(text()[at])) return;
    int start = at;
    int end = at;
    while (start > 0 && isWordChar(text()[start - 1])) --start;
    while (end < source_.size() && isWordChar(text()[end])) ++end;
    selectRange(start, end);
}

void SourceTextView::contextMenuEvent(QContextMenuEvent* event) {
    QPoint where = event->globalPos();
    if (event->reason() == QContextMenuEvent::Mouse) {
        const int at = cellIndexAt(event->pos());
        if (at < selectionStart() || at >= selectionEnd()) {
            moveCaret(positionAt(event->pos()), false);
            return;
        }
    } else if (hasSelection()) {
        where = viewport()->mapToGlobal(characterRect(caret_).bottomLeft());
    } else {
        return;
    }
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addAction(tr("&Copy"), this, &SourceTextView::copy);
    menu->popup(where);
}

void SourceTextView::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void SourceTextView::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

}  // namespace app
