// The status bar's panes: a new text never lays the window out again or widens it, except that a
// fitted pane grows once to a text wider than any before and keeps that width.
#include <QApplication>
#include <QMainWindow>
#include <QStatusBar>
#include <QTest>

#include "app/widgets/StatusPane.h"
#include "tests/app/AppTestSupport.h"

namespace {

// Counts the layout requests of every widget (the status bar's reach the window in turn).
class LayoutCounter : public QObject {
public:
    int requests = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::LayoutRequest) ++requests;
        return false;
    }
};

}  // namespace

class StatusPaneTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        window_ = std::make_unique<QMainWindow>();
        window_->setCentralWidget(new QWidget);
        message_ = new app::StatusPane(QStringLiteral("Ready"), app::StatusPane::Fit::Stretch, 0);
        pages_ = new app::StatusPane(QStringLiteral("No pages"), app::StatusPane::Fit::Text, 50);
        window_->statusBar()->addWidget(message_, 1);
        window_->statusBar()->addPermanentWidget(pages_);
        window_->resize(500, 200);
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
        apptest::flushEvents();
        qApp->installEventFilter(&counter_);
    }

    void stretchingPaneNeverLaysOut() {
        const int width = window_->width();
        for (const QString& text : {QStringLiteral("Loading http://localhost/a.html"),
                                    QStringLiteral("http://localhost/") + QString(400, 'x')}) {
            message_->setText(text);
            apptest::flushEvents();
            QCOMPARE(message_->text(), text);
        }
        QCOMPARE(counter_.requests, 0);
        QCOMPARE(window_->width(), width);
    }

    void fittedPaneGrowsOnceAndKeepsItsWidth() {
        const int narrow = pages_->width();
        pages_->setText(QStringLiteral("11111 pages in the tree"));
        apptest::flushEvents();  // the window's own layout follows the status bar's
        QVERIFY(pages_->width() > narrow);
        const int wide = pages_->width();
        const int requests = counter_.requests;
        QVERIFY(requests > 0);

        pages_->setText(QStringLiteral("2 pages"));
        apptest::flushEvents();
        QCOMPARE(pages_->width(), wide);
        QCOMPARE(counter_.requests, requests);
    }

    void cleanup() { qApp->removeEventFilter(&counter_); }

private:
    std::unique_ptr<QMainWindow> window_;
    app::StatusPane* message_ = nullptr;
    app::StatusPane* pages_ = nullptr;
    LayoutCounter counter_;
};

QTEST_MAIN(StatusPaneTest)
#include "StatusPaneTest.moc"
