// The source view: the find routine over one table, link spans, and the view's selection,
// find, copy and context menu as the user meets them.
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include "app/analysis/CFindDialog.h"
#include "app/analysis/SourceFind.h"
#include "app/analysis/SourceText.h"
#include "app/analysis/SourceTextView.h"
#include "app/widgets/MessageBoxes.h"

using Range = std::pair<int, int>;

class SourceTextViewTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        view_ = std::make_unique<app::SourceTextView>();
        view_->resize(600, 300);
        view_->show();
        QVERIFY(QTest::qWaitForWindowExposed(view_.get()));
        app::MessageBoxes::setAnswerer([this](const app::MessageBoxes::Box& box) {
            boxes_.push_back(box);
            return QMessageBox::Ok;
        });
    }
    void cleanup() {
        app::MessageBoxes::setAnswerer({});
        boxes_.clear();
        view_.reset();
    }

    void findsAsTheOptionsSay_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("needle");
        QTest::addColumn<int>("selStart");
        QTest::addColumn<int>("selEnd");
        QTest::addColumn<QString>("options");  // d/u, then w (whole word), c (match case)
        QTest::addColumn<int>("found");        // the match's start, -1 for none
        QTest::newRow("upper case finds lower") << "<html><body>"
                                                << "BODY" << 0 << 0 << "d" << 7;
        QTest::newRow("match case refuses") << "<html><body>"
                                            << "BODY" << 0 << 0 << "dc" << -1;
        QTest::newRow("match case takes exact") << "Body body"
                                                << "body" << 0 << 0 << "dc" << 5;
        QTest::newRow("non-ASCII without case") << "x ÉTÉ"
                                                << "été" << 0 << 0 << "d" << 2;
        QTest::newRow("word: letter before") << "xbody body"
                                             << "body" << 0 << 0 << "dw" << 6;
        QTest::newRow("word: digit after") << "body2 (body)"
                                           << "BODY" << 0 << 0 << "dw" << 7;
        QTest::newRow("word: touched both sides") << "abodyb 1body"
                                                  << "body" << 0 << 0 << "dw" << -1;
        QTest::newRow("word: punctuation") << "<body>"
                                           << "body" << 0 << 0 << "dw" << 1;
        QTest::newRow("down: from the caret") << "ab ab"
                                              << "ab" << 0 << 0 << "d" << 0;
        QTest::newRow("down: after the selection") << "ab ab ab"
                                                   << "ab" << 0 << 2 << "d" << 3;
        QTest::newRow("up: before the selection") << "ab ab ab"
                                                  << "ab" << 6 << 8 << "u" << 3;
        QTest::newRow("up: ends at its start") << "abab"
                                               << "ab" << 3 << 4 << "u" << 0;
        QTest::newRow("up: whole word skips") << "ab xab ab"
                                              << "ab" << 7 << 9 << "uw" << 0;
        QTest::newRow("down: past the last") << "ab ab"
                                             << "ab" << 3 << 5 << "d" << -1;
        QTest::newRow("up: before the first") << "ab ab"
                                              << "ab" << 0 << 2 << "u" << -1;
        QTest::newRow("empty needle") << "ab"
                                      << "" << 0 << 0 << "d" << -1;
    }
    void findsAsTheOptionsSay() {
        QFETCH(QString, text);
        QFETCH(QString, needle);
        QFETCH(int, selStart);
        QFETCH(int, selEnd);
        QFETCH(QString, options);
        QFETCH(int, found);
        const app::FindOptions how{options.startsWith(u'd'), options.contains(u'w'),
                                   options.contains(u'c')};
        const auto match = app::findInSource(text, needle, selStart, selEnd, how);
        QCOMPARE(match ? match->first : -1, found);
        if (match) QCOMPARE(match->second, found + int(needle.size()));
        // The view's cached lower-case copy gives the same answer.
        const QString folded = app::foldSourceCase(text);
        QCOMPARE(app::findInSource(text, needle, selStart, selEnd, how, &folded), match);
    }

    void linksAreHrefAndBackgroundValues_data() {
        QTest::addColumn<QString>("html");
        QTest::addColumn<QStringList>("links");
        QTest::newRow("double quotes") << R"(<a href="a.html">a</a>)" << QStringList{"a.html"};
        QTest::newRow("single quotes, upper case") << "<A HREF='B.htm'>" << QStringList{"B.htm"};
        QTest::newRow("unquoted, spaced")
            << "<body background = bg.gif text=red>" << QStringList{"bg.gif"};
        QTest::newRow("unquoted to >") << "<a href=x.htm>" << QStringList{"x.htm"};
        QTest::newRow("two on a line")
            << R"(<a href="one"><td background="two">)" << QStringList{"one", "two"};
        QTest::newRow("other names")
            << R"(<a xhref="x" data-href="y" hrefs="z" src="s">)" << QStringList{};
        QTest::newRow("inside another value") << R"(<a title="href=y">)" << QStringList{};
        QTest::newRow("no value") << "<a href>href</a> href=" << QStringList{};
    }
    void linksAreHrefAndBackgroundValues() {
        QFETCH(QString, html);
        QFETCH(QStringList, links);
        QStringList found;
        for (const auto& [start, end] : app::sourceLinkSpans(html))
            found << html.mid(start, end - start);
        QCOMPARE(found, links);
    }

    void notFoundTellsAndKeepsTheSelection() {
        view_->setText("alpha beta");
        view_->selectRange(0, 5);
        QVERIFY(!view_->find("xyz", {}));
        QCOMPARE(boxes_.size(), 1u);
        QCOMPARE(boxes_[0].text, QStringLiteral("Can't find the string 'xyz'."));
        QCOMPARE(boxes_[0].caption, QStringLiteral("Pagelyst"));
        QCOMPARE(boxes_[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(selection(), Range(0, 5));
    }

    void findNextRepeatsTheLastSearch() {
        view_->setText("ab AB xab ab");
        QVERIFY(view_->find("AB", {true, true, false}));
        QCOMPARE(selection(), Range(0, 2));
        QVERIFY(view_->findNext());
        QCOMPARE(selection(), Range(3, 5));
        QVERIFY(view_->findNext());
        QCOMPARE(selection(), Range(10, 12));
        QVERIFY(!view_->findNext());
        QCOMPARE(boxes_.size(), 1u);
        QCOMPARE(selection(), Range(10, 12));
    }

    void findDialogSearchesTheView() {
        view_->setText("beta x beta");
        view_->selectRange(0, 4);
        view_->showFindDialog();
        app::CFindDialog* dialog = view_->findDialog();
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(dialog->findWhat(), QStringLiteral("beta"));
        QPushButton* next = nullptr;
        for (auto* button : dialog->findChildren<QPushButton*>())
            if (button->text() == "&Find Next") next = button;
        QVERIFY(next);
        next->click();
        QCOMPARE(selection(), Range(7, 11));
        QVERIFY(dialog->isVisible());
    }

    void selectBytesCountsCharacters_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("length");
        QTest::addColumn<QString>("selected");
        QTest::newRow("ASCII") << QByteArray("<p><a href=x>") << 3 << 2 << "<a";
        QTest::newRow("2, 3 and 4 bytes before")
            << QByteArray("\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80<a>") << 9 << 3 << "<a>";
        QTest::newRow("on a later line")
            << QByteArray("\xC3\xA9\r\n\xC3\xBC<p>") << 6 << 3 << "<p>";
        QTest::newRow("covers a character") << QByteArray("x\xE2\x82\xACy") << 1 << 3 << "€";
        QTest::newRow("invalid byte is Latin-1")
            << QByteArray("\xFF\xC3<b>") << 0 << 5 << "\u00FF\u00C3<b>";
    }
    void selectBytesCountsCharacters() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, offset);
        QFETCH(int, length);
        QFETCH(QString, selected);
        view_->setText(bytes);
        view_->selectBytes(quint32(offset), quint32(length));
        QCOMPARE(view_->selectedText(), selected);
    }

    // Far into one long line with tabs and accents, positions resume from the line's marks.
    void longLinesKeepTheirColumns() {
        QByteArray line;
        // Each piece takes 8 columns, 3 units and 4 bytes; its tab spans columns 8k + 2 to 8k + 8.
        for (int i = 0; i < 2000; ++i) line += "\t\xC3\xA9x";
        view_->setText(line + "<a>");
        const int margin = view_->characterRect(0).x();
        view_->selectBytes(8000, 3);
        QCOMPARE(view_->selectedText(), QStringLiteral("<a>"));
        const qreal cell = QFontMetricsF(view_->font()).horizontalAdvance(u'M');
        for (const int tab : {3 * 700, 3 * 1999}) {
            view_->scrollToPosition(tab);
            const QRect rect = view_->characterRect(tab);
            QVERIFY(view_->viewport()->rect().contains(rect.center()));
            QCOMPARE(rect.x() + view_->horizontalScrollBar()->value() - margin,
                     qRound((8 * (tab / 3) + 2) * cell));
            QCOMPARE(view_->positionAt(rect.topLeft() + QPoint(qRound(2 * cell), 0)), tab);
            QCOMPARE(view_->positionAt(rect.topLeft() + QPoint(qRound(4 * cell), 0)), tab + 1);
        }
    }

    void contextMenuCopiesOnlyInsideTheSelection() {
        view_->setText("hello world");
        view_->selectRange(0, 5);
        rightClick(view_->characterRect(2).center());
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(menu);
        QCOMPARE(menu->actions().size(), 1);
        QCOMPARE(menu->actions()[0]->text(), QStringLiteral("&Copy"));
        menu->actions()[0]->trigger();
        menu->close();
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("hello"));

        rightClick(view_->characterRect(8).topLeft() + QPoint(1, 1));
        QVERIFY(!QApplication::activePopupWidget());
        QVERIFY(!view_->hasSelection());
        QCOMPARE(view_->cursorPosition(), 8);
    }

    void ctrlAThenCtrlCCopiesEverything() {
        const QString text = QStringLiteral("<html>\n  <body>é</body>\n</html>");
        view_->setText(text.toUtf8());
        QSignalSpy changed(view_.get(), &app::SourceTextView::selectionChanged);
        QTest::keyClick(view_.get(), Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(changed.size(), 1);
        QTest::keyClick(view_.get(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), text);
    }

    void keysMoveTheCaret_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("from");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<Range>("selection");  // anchor, caret
        const QString lines = QStringLiteral("abcd\nx\r\nabcd");
        QTest::newRow("right") << lines << 0 << "Right" << Range(1, 1);
        QTest::newRow("right over CR LF") << lines << 6 << "Right" << Range(8, 8);
        QTest::newRow("left over CR LF") << lines << 8 << "Left" << Range(6, 6);
        QTest::newRow("end of row") << lines << 1 << "End" << Range(4, 4);
        QTest::newRow("shift+home") << lines << 11 << "Shift+Home" << Range(11, 8);
        QTest::newRow("down keeps the column") << lines << 3 << "Down, Down" << Range(11, 11);
        QTest::newRow("shift+down extends") << lines << 0 << "Shift+Down" << Range(0, 5);
        QTest::newRow("ctrl+end") << lines << 0 << "Ctrl+End" << Range(12, 12);
        QTest::newRow("shift+ctrl+home") << lines << 9 << "Shift+Ctrl+Home" << Range(9, 0);
        QTest::newRow("arrow collapses")
            << lines << 0 << "Shift+Right, Shift+Right, Left" << Range(0, 0);
    }
    void keysMoveTheCaret() {
        QFETCH(QString, text);
        QFETCH(int, from);
        QFETCH(QString, keys);
        QFETCH(Range, selection);
        view_->setText(text.toUtf8());
        view_->selectRange(from, from);
        const QKeySequence sequence = QKeySequence::fromString(keys);
        for (int i = 0; i < sequence.count(); ++i)
            QTest::keyClick(view_.get(), sequence[i].key(), sequence[i].keyboardModifiers());
        QCOMPARE(Range(view_->selectionStart() == view_->cursorPosition() ? view_->selectionEnd()
                                                                          : view_->selectionStart(),
                       view_->cursorPosition()),
                 selection);
    }

    void wordWrapBreaksFullRows_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("atSpace");
        QTest::newRow("no space: at the cell") << QByteArray(500, 'a') << false;
        QTest::newRow("after the last space") << QByteArray("words ").repeated(100) << true;
    }
    void wordWrapBreaksFullRows() {
        QFETCH(QByteArray, text);
        QFETCH(bool, atSpace);
        view_->setWordWrap(true);  // before any text, and resized so
        view_->resize(500, 300);
        view_->setWordWrap(false);
        view_->setText(text);
        const QRect cell = view_->characterRect(0);
        QCOMPARE(view_->characterRect(200).y(), 0);
        view_->setWordWrap(true);
        const int next = view_->positionAt(QPoint(cell.x(), cell.height()));
        const int width = view_->viewport()->width();
        QVERIFY(next > 0);
        QCOMPARE(view_->characterRect(next).topLeft(), cell.topLeft() + QPoint(0, cell.height()));
        QVERIFY(view_->characterRect(next - 1).right() < width);
        if (atSpace) {
            QCOMPARE(view_->text().mid(next - 1, 2), QStringLiteral(" w"));
        } else {
            QVERIFY(view_->characterRect(next - 1).right() + cell.width() + 1 >= width);
        }
        QCOMPARE(view_->positionAt(view_->characterRect(next + 3).topLeft()), next + 3);
    }

    void screenReadersSeeTextAndSelection() {
        view_->setText("<p>text</p>");
        view_->selectRange(3, 7);
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(view_.get());
        QVERIFY(accessible && accessible->textInterface());
        QVERIFY(!accessible->text(QAccessible::Name).isEmpty());
        QAccessibleTextInterface* text = accessible->textInterface();
        QCOMPARE(text->characterCount(), 11);
        QCOMPARE(text->text(0, 3), QStringLiteral("<p>"));
        int start = 0;
        int end = 0;
        text->selection(0, &start, &end);
        QCOMPARE(Range(start, end), Range(3, 7));
        QCOMPARE(text->cursorPosition(), 7);
    }

private:
    Range selection() const { return {view_->selectionStart(), view_->selectionEnd()}; }
    void rightClick(QPoint at) {
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, view_->viewport()->mapToGlobal(at));
        QApplication::sendEvent(view_->viewport(), &event);
    }

    std::unique_ptr<app::SourceTextView> view_;
    std::vector<app::MessageBoxes::Box> boxes_;
};

QTEST_MAIN(SourceTextViewTest)
#include "SourceTextViewTest.moc"
