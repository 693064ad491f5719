// The uniform-row list (the site tree's) repaints a changed row that is shown, and only then: rows
// under a closed branch or scrolled out of view cost nothing, a row range repaints from its first
// row to its last, and top-level rows take the stock path.
#include <QPaintEvent>
#include <QStandardItemModel>
#include <QTest>

#include "app/widgets/UniformRowTreeView.h"
#include "tests/app/AppTestSupport.h"

namespace {

// Records the regions the view's viewport paints.
class PaintRecorder : public QObject {
public:
    QRegion painted;
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            painted += static_cast<QPaintEvent*>(event)->region();
            ++paints;
        }
        return false;
    }
};

// Which rows a case changes: a path of rows from the top, and how many siblings from there.
struct Change {
    QList<int> path;
    int count = 1;
};

}  // namespace

Q_DECLARE_METATYPE(Change)

class UniformRowTreeViewTest : public QObject {
    Q_OBJECT

private slots:
    // One top-level row with 60 children; the first child is open, the second closed, each with
    // one child of its own. About a dozen rows fit the view.
    void initTestCase() {
        auto* root = new QStandardItem(QStringLiteral("root"));
        for (int row = 0; row < 60; ++row) {
            auto* child = new QStandardItem(QStringLiteral("child %1").arg(row));
            if (row < 2)
                child->appendRow(
                    {new QStandardItem(QStringLiteral("grandchild")), new QStandardItem});
            root->appendRow({child, new QStandardItem(QStringLiteral("size"))});
        }
        model_.appendRow({root, new QStandardItem});
        view_.setModel(&model_);
        view_.resize(400, 300);
        view_.expand(model_.index(0, 0));
        view_.expand(index({0, 0}));
        view_.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view_));
        view_.viewport()->installEventFilter(&recorder_);
    }

    void repaintsOnlyShownRows_data() {
        QTest::addColumn<Change>("change");
        QTest::addColumn<bool>("painted");
        QTest::newRow("shown child") << Change{{0, 3}} << true;
        QTest::newRow("shown child of an open branch") << Change{{0, 0, 0}} << true;
        QTest::newRow("shown rows") << Change{{0, 3}, 4} << true;
        QTest::newRow("under a closed branch") << Change{{0, 1, 0}} << false;
        QTest::newRow("scrolled out of view") << Change{{0, 50}} << false;
        QTest::newRow("range from out of view") << Change{{0, 40}, 10} << false;
        QTest::newRow("top-level row") << Change{{0}} << true;
    }
    void repaintsOnlyShownRows() {
        QFETCH(Change, change);
        QFETCH(bool, painted);
        verifyRepaint(change, painted);
    }

    // With the first column hidden the row is found by the next one.
    void repaintsWithTheFirstColumnHidden() {
        view_.setColumnHidden(0, true);
        verifyRepaint(Change{{0, 3}}, true);
        view_.setColumnHidden(0, false);
    }

private:
    void verifyRepaint(const Change& change, bool painted) {
        apptest::flushEvents();  // earlier paints are done
        recorder_.painted = {};
        recorder_.paints = 0;

        const QModelIndex first = index(change.path);
        const QModelIndex last = first.siblingAtRow(first.row() + change.count - 1);
        emit model_.dataChanged(first, last.siblingAtColumn(model_.columnCount() - 1));

        // A repaint is a posted request: delivering every posted event shows whether one came.
        apptest::flushEvents();
        if (!painted) {
            QCOMPARE(recorder_.paints, 0);
            return;
        }
        QVERIFY(recorder_.paints > 0);
        for (const QModelIndex& row : {first, last}) {
            QVERIFY(recorder_.painted.contains(view_.visualRect(row.siblingAtColumn(1))));
        }
    }

    QModelIndex index(const QList<int>& path) const {
        QModelIndex at;
        for (int row : path) at = model_.index(row, 0, at);
        return at;
    }

    QStandardItemModel model_;
    app::UniformRowTreeView view_;
    PaintRecorder recorder_;
};

QTEST_MAIN(UniformRowTreeViewTest)
#include "UniformRowTreeViewTest.moc"
