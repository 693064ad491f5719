// The site tree's item model kept consistent by QAbstractItemModelTester while a crawl adds
// pages, the removals take them away and a scenario is cleared.
#include <QAbstractItemModelTester>
#include <QTest>
#include <QUrl>

#include "app/shell/AppContext.h"
#include "app/sitetree/SiteTreeModel.h"
#include "app/widgets/PropertyListModel.h"
#include "app/widgets/RawValueSortModel.h"
#include "engine/crawl/SiteNode.h"
#include "engine/schedule/PageEntry.h"
#include "tests/app/AppTestSupport.h"
#include "tests/app/SmallSite.h"
#include "tests/support/TestServer.h"

namespace {

struct AlwaysYes : engine::SiteTreeQuestions {
    Answer ask(const std::string&) override { return Answer::Yes; }
};

// Every row of the model, depth first, by its first column's text.
QStringList rowsOf(const QAbstractItemModel& model, const QModelIndex& parent = {}) {
    QStringList rows;
    for (int row = 0; row < model.rowCount(parent); ++row) {
        const QModelIndex index = model.index(row, 0, parent);
        rows << index.data().toString();
        rows << rowsOf(model, index);
    }
    return rows;
}

}  // namespace

class SiteTreeModelTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        apptest::renewHome(home_);
        server_ = std::make_unique<support::TestServer>();
        apptest::serveSmallSite(*server_);
        context_ = std::make_unique<app::AppContext>();
        context_->loadSettings();
        model_ = std::make_unique<app::SiteTreeModel>(context_->tree(), context_->conditions());
        tester_ = std::make_unique<QAbstractItemModelTester>(
            model_.get(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    }
    void cleanup() {
        tester_.reset();
        model_.reset();
        context_->shutDown();
        context_.reset();
        server_.reset();
        home_.reset();
    }

    void crawlAddsRowsInTreeOrder() {
        crawl();
        const QString root = QString::fromStdString(server_->url("/"));
        QCOMPARE(rowsOf(*model_),
                 (QStringList{root, root + "a.html", root + "c.html", root + "b.html"}));
        QCOMPARE(model_->columnCount(), 19);
        QCOMPARE(model_->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(),
                 QStringLiteral("URL"));
    }

    // Sizes sort as bytes: the 9 KB page before the 12 KB one, which the texts ("8.86 kb",
    // "11.78 kb") would put the other way round.
    void sortsByRawValueNotText() {
        crawl();
        app::RawValueSortModel sorted;
        sorted.setSourceModel(model_.get());
        int sizeColumn = 0;
        while (app::SiteTreeModel::columnId(sizeColumn) != report::kColumnSize) ++sizeColumn;
        sorted.sort(sizeColumn, Qt::AscendingOrder);
        const QModelIndex root = sorted.index(0, 0);
        QCOMPARE(sorted.rowCount(root), 2);
        const auto path = [&](int row) {
            return QUrl(sorted.index(row, 0, root).data().toString()).path();
        };
        QCOMPARE(path(0), QStringLiteral("/a.html"));
        QCOMPARE(path(1), QStringLiteral("/b.html"));
        QVERIFY(sorted.index(0, sizeColumn, root).data().toString() >
                sorted.index(1, sizeColumn, root).data().toString());
    }

    // The details rows follow the current page through resets without breaking the model.
    void detailsModelStaysConsistent() {
        crawl();
        app::PagePropertiesModel details(context_->conditions(),
                                         report::InformationForm::SingleConnection);
        QAbstractItemModelTester tester(&details,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        details.show(model_->node(model_->index(0, 0))->page, 0);
        QVERIFY(details.rowCount() > 1);
        QCOMPARE(details.index(0, 0).data().toString(), QStringLiteral("Page Information:"));
        details.show(nullptr, 0);
        QCOMPARE(details.rowCount(), 0);
    }

    void checkMarkFollowsThePageMark() {
        crawl();
        const QModelIndex first = model_->index(0, 0);
        QCOMPARE(first.data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
        QVERIFY(model_->setData(first, Qt::Unchecked, Qt::CheckStateRole));
        QCOMPARE(first.data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
        QVERIFY(!model_->node(first)->checked());
        QVERIFY(!model_->setData(model_->index(0, 1), Qt::Checked, Qt::CheckStateRole));
    }

    void removalsAndClearKeepTheModelConsistent() {
        crawl();
        AlwaysYes yes;
        const QModelIndex a = model_->index(0, 0, model_->index(0, 0));
        QVERIFY(context_->tree().deleteSelected({model_->node(a)}, yes));
        QCOMPARE(rowsOf(*model_).size(), 2);  // "/a.html" went with its child
        QVERIFY(context_->tree().deleteAll(yes));
        QCOMPARE(model_->rowCount(), 0);
        crawl();
        QCOMPARE(rowsOf(*model_).size(), 4);
        context_->tree().clear();
        QCOMPARE(model_->rowCount(), 0);
    }

private:
    // On an empty tree "Analyze All" analyses the typed address; the next one crawls below it.
    void crawl() {
        for (int pass = 0; pass < 2; ++pass) {
            apptest::RunWatcher run(*context_);
            context_->tree().analyzeAll(server_->url("/"));
            QVERIFY(run.waitForEnd());
        }
        model_->flush();
    }

    std::unique_ptr<apptest::ProgramHome> home_;
    std::unique_ptr<support::TestServer> server_;
    std::unique_ptr<app::AppContext> context_;
    std::unique_ptr<app::SiteTreeModel> model_;
    std::unique_ptr<QAbstractItemModelTester> tester_;
};

QTEST_MAIN(SiteTreeModelTest)
#include "SiteTreeModelTest.moc"
