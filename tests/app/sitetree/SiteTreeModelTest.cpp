// The site tree's item model kept consistent by QAbstractItemModelTester while a crawl adds
// pages, the removals take them away and a scenario is cleared.
#include <QAbstractItemModelTester>
#include <QTest>

#include "app/shell/AppContext.h"
#include "app/sitetree/SiteTreeModel.h"
#include "engine/crawl/SiteNode.h"
#include "engine/schedule/PageEntry.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/TestServer.h"

namespace {

// "/" links two pages, "/a.html" one more: a tree three levels deep.
void serveSite(support::TestServer& server) {
    auto page = [](std::string body) {
        return [body](const httplib::Request&, httplib::Response& response) {
            response.set_content(
                "<html><head><title>t</title></head><body>" + body + "</body></html>", "text/html");
        };
    };
    server.get("/", page(R"(<a href="/a.html">a</a><a href="/b.html">b</a>)"));
    server.get("/a.html", page(R"(<a href="/c.html">c</a>)" + std::string(9000, ' ')));
    server.get("/b.html", page(std::string(10000, ' ')));
    server.get("/c.html", page("end"));
}

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
        home_ = std::make_unique<apptest::ProgramHome>();
        server_ = std::make_unique<support::TestServer>();
        serveSite(*server_);
        context_ = std::make_unique<app::AppContext>();
        context_->loadSettings();
        model_ = std::make_unique<app::SiteTreeModel>(*context_);
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
