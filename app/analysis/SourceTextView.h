#pragma once

#include <QAbstractScrollArea>
#include <QByteArray>
#include <QFont>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <algorithm>
#include <vector>

#include "app/analysis/SourceFind.h"
#include "app/analysis/SourceText.h"

namespace app {

class CFindDialog;

// The page's HTML source, read-only, with selection, copy and find. Lines are indexed once when
// the text is set and only the rows on screen are laid out and painted, each character in a
// fixed cell, so that a document of many megabytes opens and scrolls at once. Attribute values
// of "href" and "background" are drawn as links. Positions are UTF-16 offsets into text().
// User-interface thread only.
class SourceTextView : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit SourceTextView(QWidget* parent = nullptr);
    ~SourceTextView() override;

    // The source as downloaded: UTF-8, any byte that is not read as Latin-1. Clears the
    // selection and scrolls to the top.
    void setText(const QByteArray& source);
    const QString& text() const { return source_.text(); }

    // Selects a range given in bytes of the source passed to setText (the place of an
    // element's tag) and scrolls it into view.
    void selectBytes(quint32 offset, quint32 length);
    // Selects [start, end) in characters with the caret at `end`; no scrolling.
    void selectRange(int start, int end);
    int selectionStart() const { return std::min(anchor_, caret_); }
    int selectionEnd() const { return std::max(anchor_, caret_); }
    int cursorPosition() const { return caret_; }
    bool hasSelection() const { return anchor_ != caret_; }
    QString selectedText() const;

    // Searches from the selection; selects and shows the match, or tells the user with "Can't
    // find the string '%s'." and keeps the selection. The search is remembered for findNext().
    bool find(const QString& needle, FindOptions options);
    // The last search again with the same options; with none yet, opens the find dialog.
    bool findNext();
    // The modeless find dialog, made on first use and filled with a one-line selection.
    void showFindDialog();
    CFindDialog* findDialog() const;

    void selectAll();
    // The selection to the clipboard; nothing without one.
    void copy() const;

    void setWordWrap(bool on);
    bool wordWrap() const { return wrap_; }

    // Geometry in viewport coordinates: a character's cell, and the position nearest a point.
    QRect characterRect(int pos) const;
    int positionAt(QPoint point) const;
    void scrollToPosition(int pos);

signals:
    void selectionChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    int rowCount() const;
    int rowStart(int row) const;
    int rowEnd(int row) const;
    int rowOf(int pos) const;
    int columnOf(int row, int pos) const;
    int positionAtColumn(int row, int column) const;
    int walkToColumn(int row, int column, bool nearest) const;
    int visibleRows() const;
    int cellIndexAt(QPoint point) const;

    void updateMetrics();
    void layoutRows();
    void updateScrollBars();
    void setCaret(int pos, bool extend);
    void moveCaret(int pos, bool extend);
    void dragTo(QPoint point);
    int stepPosition(int pos, int direction) const;
    void paintRow(QPainter& painter, int row, int y);

    SourceText source_;
    std::vector<int> rows_;  // row starts while wrapping
    bool wrap_ = false;
    int wrapColumns_ = 0;
    int anchor_ = 0;
    int caret_ = 0;
    int goalColumn_ = -1;

    QFont linkFont_;
    qreal cellWidth_ = 8;
    int lineHeight_ = 16;
    qreal ascent_ = 12;

    bool dragging_ = false;
    QPoint dragPoint_;
    QTimer dragScroll_;

    QString lastNeedle_;
    FindOptions lastOptions_;
    bool searched_ = false;
    QPointer<CFindDialog> findDialog_;
};

}  // namespace app
