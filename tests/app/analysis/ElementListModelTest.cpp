// The element list's model over a real page of a loopback site: its columns and texts, numbers
// sorted as numbers, a column set shown through the customisable list, live values with the
// order frozen, and refreshes that keep the rows in place. QAbstractItemModelTester watches
// every change.
#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTest>

#include "app/shell/AppContext.h"
#include "app/widgets/CMyListCtrl.h"
#include "app/widgets/ElementListModel.h"
#include "app/widgets/ItemRoles.h"
#include "app/widgets/RawValueSortModel.h"
#include "engine/crawl/SiteNode.h"
#include "report/ElementColumns.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/TestServer.h"

class ElementListModelTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        apptest::renewHome(home_);
        server_ = std::make_unique<support::TestServer>();
        server_->get("/", [](const httplib::Request&, httplib::Response& response) {
            response.set_content(R"(<html><body><img src="/large.gif"><img src="/small.gif">)"
                                 "</body></html>",
                                 "text/html");
        });
        for (const auto& [path, size] : {std::pair{"/small.gif", 1023}, {"/large.gif", 1024}}) {
            server_->get(path, [size](const httplib::Request&, httplib::Response& response) {
                response.set_content(std::string(static_cast<std::size_t>(size), 'g'), "image/gif");
            });
        }
        context_ = std::make_unique<app::AppContext>();
        context_->loadSettings();
        apptest::RunWatcher run(*context_);
        context_->tree().analyzeAll(server_->url("/"));
        QVERIFY(run.waitForEnd());
        model_ = std::make_unique<app::ElementListModel>();
        tester_ = std::make_unique<QAbstractItemModelTester>(
            model_.get(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        model_->setPage(context_->tree().roots().front()->page);
    }
    void cleanup() {
        tester_.reset();
        model_.reset();
        context_->shutDown();
        context_.reset();
        server_.reset();
        home_.reset();
    }

    void oneRowPerItemWithTheElementColumns() {
        QCOMPARE(model_->rowCount(), 3);
        QCOMPARE(model_->columnCount(), 13);
        QCOMPARE(cell(0, report::kElementName), QStringLiteral("/"));
        QCOMPARE(cell(1, report::kElementName), QStringLiteral("large.gif"));
        QCOMPARE(cell(2, report::kElementSize), QStringLiteral("1023 b"));
        QCOMPARE(cell(2, report::kElementStatus), QStringLiteral("Completed"));
        for (int column = 0; column < model_->columnCount(); ++column) {
            const std::uint32_t id = app::ElementListModel::columnId(column);
            QCOMPARE(app::ElementListModel::columnOf(id), column);
            QCOMPARE(model_->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString(),
                     QString::fromStdString(report::elementColumnHeader(id)));
            const auto align = model_->index(0, column).data(Qt::TextAlignmentRole);
            QCOMPARE(bool(align.value<Qt::Alignment>() & Qt::AlignRight),
                     report::isNumericElementColumn(id));
        }
        QCOMPARE(model_->rowOf(model_->figures(1)->item.get()), 1);
        QCOMPARE(model_->rowOf(nullptr), -1);
    }

    // The column set 4 + 32 shows exactly "Protocol" and "Size".
    void aColumnSetShowsExactlyItsColumns() {
        app::CMyListCtrl list("Test\\SourceList");
        for (int column = 0; column < model_->columnCount(); ++column) {
            const std::uint32_t id = app::ElementListModel::columnId(column);
            list.addColumn(column, QString::fromStdString(report::elementColumnHeader(id)), 10, 30,
                           (id & (4u + 32u)) != 0);
        }
        list.setModel(model_.get());
        list.rebuildColumns();
        QStringList shown;
        for (int column : list.displayOrder())
            shown << model_->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
        QCOMPARE(shown, (QStringList{QStringLiteral("Protocol"), QStringLiteral("Size")}));
    }

    // 1023 b before 1.00 kb, which their texts would put the other way round.
    void sizesSortAsNumbers() {
        app::RawValueSortModel sorted;
        sorted.setSourceModel(model_.get());
        sorted.sort(column(report::kElementSize), Qt::AscendingOrder);
        QCOMPARE(namesOf(sorted), (QStringList{"/", "small.gif", "large.gif"}));
    }

    // While a download runs "% Time" is empty and no row moves, whatever sort is asked for;
    // the sort asked for last is applied once the download ended.
    void liveValuesFreezeTheOrder() {
        app::RawValueSortModel sorted;
        sorted.setSourceModel(model_.get());
        sorted.sort(column(report::kElementSize), Qt::AscendingOrder);
        QVERIFY(!cell(1, report::kElementPercentTime).isEmpty());
        model_->setLive(true);
        sorted.setFrozen(true);
        for (int row = 0; row < model_->rowCount(); ++row)
            QCOMPARE(cell(row, report::kElementPercentTime), QString());
        sorted.sort(column(report::kElementSize), Qt::DescendingOrder);
        sorted.sort(column(report::kElementName), Qt::DescendingOrder);
        QCOMPARE(namesOf(sorted), (QStringList{"/", "small.gif", "large.gif"}));
        model_->setLive(false);
        sorted.setFrozen(false);
        QCOMPARE(namesOf(sorted), (QStringList{"small.gif", "large.gif", "/"}));
    }

    // Another connection or a refresh restates the cells without a reset: a selected row stays.
    void refreshesKeepTheRows() {
        QSignalSpy resets(model_.get(), &QAbstractItemModel::modelReset);
        QSignalSpy changes(model_.get(), &QAbstractItemModel::dataChanged);
        const QPersistentModelIndex selected = model_->index(2, 0);
        const int time = column(report::kElementTime);
        model_->setConnection(10);
        QCOMPARE(cell(2, report::kElementTime),
                 QString::fromStdString(
                     report::elementCell(*model_->figures(2), report::kElementTime, false).text));
        QVERIFY(cell(2, report::kElementTime) != QStringLiteral("0:00.000"));
        model_->refresh();
        QCOMPARE(resets.count(), 0);
        QCOMPARE(changes.count(), 2);
        QCOMPARE(selected.row(), 2);
        QCOMPARE(model_->index(2, time).data(app::role::kRawValue).value<report::SiteSortValue>(),
                 report::elementCell(*model_->figures(2), report::kElementTime, false).sortValue);
    }

private:
    static int column(std::uint32_t id) { return app::ElementListModel::columnOf(id); }
    QString cell(int row, std::uint32_t id) const {
        return model_->index(row, column(id)).data().toString();
    }
    static QStringList namesOf(const QAbstractItemModel& model) {
        QStringList names;
        for (int row = 0; row < model.rowCount(); ++row)
            names << model.index(row, column(report::kElementName)).data().toString();
        return names;
    }

    std::unique_ptr<apptest::ProgramHome> home_;
    std::unique_ptr<support::TestServer> server_;
    std::unique_ptr<app::AppContext> context_;
    std::unique_ptr<app::ElementListModel> model_;
    std::unique_ptr<QAbstractItemModelTester> tester_;
};

QTEST_MAIN(ElementListModelTest)
#include "ElementListModelTest.moc"
