// The page status list's model: one row of the core's texts under the model tester, the Status
// cell's progress only while the page downloads, and only changed cells announced.
#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

#include "app/pagestatus/PageStatusModel.h"
#include "app/widgets/ItemRoles.h"
#include "engine/schedule/PageState.h"

namespace {

using report::PageStatusColumn;

report::PageStatusFacts downloading(std::uint32_t finished, std::uint32_t expected) {
    report::PageStatusFacts facts;
    facts.address = "http://site.test/";
    facts.state = static_cast<std::uint32_t>(engine::PageState::InProcess);
    facts.finished = finished;
    facts.expected = expected;
    facts.downloadRunning = true;
    return facts;
}

QVariant cell(const app::PageStatusModel& model, PageStatusColumn column, int role) {
    return model.index(0, static_cast<int>(column)).data(role);
}

}  // namespace

class PageStatusModelTest : public QObject {
    Q_OBJECT

private slots:
    void oneRowUnderTheTester() {
        app::PageStatusModel model;
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(model.columnCount(), 6);
        QStringList headers;
        for (int c = 0; c < model.columnCount(); ++c)
            headers << model.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
        QCOMPARE(headers, (QStringList{"Page", "Status", "Elements", "Size", "Time", "Speed"}));
        QCOMPARE(cell(model, PageStatusColumn::Page, Qt::DisplayRole).toString(), "No Page");
        model.setRow(report::pageStatusRow(downloading(1, 2)));
        model.setRow(report::pageStatusRow(std::nullopt));
        QCOMPARE(model.index(0, 0).parent(), QModelIndex());
        QCOMPARE(model.rowCount(model.index(0, 0)), 0);
    }

    void progressOnlyInTheStatusCellWhileDownloading_data() {
        QTest::addColumn<int>("state");
        QTest::addColumn<int>("finished");
        QTest::addColumn<int>("expected");
        QTest::addColumn<QVariant>("progress");
        QTest::addRow("no elements yet") << 2 << 0 << 0 << QVariant(0);
        QTest::addRow("one of three") << 2 << 1 << 3 << QVariant(33);
        QTest::addRow("all but accounted") << 2 << 4 << 4 << QVariant(100);
        QTest::addRow("finished") << 4 << 4 << 4 << QVariant();
        QTest::addRow("aborting") << 32 << 1 << 4 << QVariant();
    }
    void progressOnlyInTheStatusCellWhileDownloading() {
        QFETCH(int, state);
        QFETCH(int, finished);
        QFETCH(int, expected);
        QFETCH(QVariant, progress);
        report::PageStatusFacts facts =
            downloading(static_cast<std::uint32_t>(finished), static_cast<std::uint32_t>(expected));
        facts.state = static_cast<std::uint32_t>(state);
        app::PageStatusModel model;
        model.setRow(report::pageStatusRow(facts));
        QCOMPARE(cell(model, PageStatusColumn::Status, app::role::kProgress), progress);
        for (PageStatusColumn other :
             {PageStatusColumn::Page, PageStatusColumn::Elements, PageStatusColumn::Time}) {
            QVERIFY(!cell(model, other, app::role::kProgress).isValid());
        }
    }

    void onlyChangedCellsAreAnnounced() {
        app::PageStatusModel model;
        model.setRow(report::pageStatusRow(downloading(1, 4)));
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        model.setRow(report::pageStatusRow(downloading(1, 4)));
        QCOMPARE(changed.count(), 0);
        // 25 % to 50 %: Status (its bar) and Elements change, nothing else.
        model.setRow(report::pageStatusRow(downloading(2, 4)));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed[0][0].toModelIndex().column(), static_cast<int>(PageStatusColumn::Status));
        QCOMPARE(changed[0][1].toModelIndex().column(),
                 static_cast<int>(PageStatusColumn::Elements));
        QCOMPARE(cell(model, PageStatusColumn::Elements, Qt::DisplayRole).toString(), "2 (4)");
    }
};

QTEST_MAIN(PageStatusModelTest)
#include "PageStatusModelTest.moc"
