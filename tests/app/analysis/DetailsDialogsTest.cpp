// The page and element details over a real page of a loopback site (its document, an image
// served and one answered 404): the information rows in each state, the page dialog opening and
// closing its element list, the element dialog, and the Object Explorer over a registry built
// by hand. QAbstractItemModelTester watches the element rows.
#include <QAbstractItemModelTester>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>
#include <QTreeWidget>

#include "app/analysis/CObjectDetailsDlg.h"
#include "app/analysis/CObjectExplorer.h"
#include "app/analysis/CPageDetailsDlg.h"
#include "app/shell/AppContext.h"
#include "app/widgets/CElementListCtrl.h"
#include "app/widgets/PropertyListCtrl.h"
#include "app/widgets/PropertyListModel.h"
#include "engine/crawl/SiteNode.h"
#include "engine/items/ItemRegistry.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/TestServer.h"

namespace {

// The page kinds a dialog may be given.
enum class Page { None, NotLoaded, Loaded };

QStringList groupsOf(const QAbstractItemModel* model) {
    const auto* rows = qobject_cast<const app::PropertyListModel*>(model);
    QStringList captions;
    if (!rows) return captions;
    for (const auto& row : rows->rows())
        if (row.group) captions << QString::fromStdString(row.property);
    return captions;
}

QString valueOf(const QAbstractItemModel* model, const std::string& property) {
    const auto* rows = qobject_cast<const app::PropertyListModel*>(model);
    for (const auto& row : rows->rows())
        if (row.property == property) return QString::fromStdString(row.value);
    return QStringLiteral("(none)");
}

// The "0x%08X" identity of an object: the low 32 bits of its address.
QString identity(const void* object) {
    return QString::asprintf("0x%08X",
                             static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(object)));
}

// An Object Explorer row as the test expects it, its cells joined by "|".
QString row(const void* node, const engine::WebItem& item, int level, int size) {
    return QStringList{identity(node),
                       identity(&item) + "  " + QString::fromStdString(item.address().urlText),
                       QString::number(level), QString::number(size)}
        .join('|');
}

QStringList rowsOf(const QTreeWidget& list) {
    QStringList rows;
    for (int i = 0; i < list.topLevelItemCount(); ++i) {
        QStringList cells;
        for (int column = 0; column < list.columnCount(); ++column)
            cells << list.topLevelItem(i)->text(column);
        rows << cells.join('|');
    }
    return rows;
}

QString firstRowOf(const QAbstractItemModel* model) {
    return model->rowCount() > 0 ? model->index(0, 0).data().toString() : QString();
}

}  // namespace

Q_DECLARE_METATYPE(Page)

class DetailsDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        apptest::renewHome(home_);
        server_ = std::make_unique<support::TestServer>();
        server_->get("/", [](const httplib::Request&, httplib::Response& response) {
            response.set_content(
                R"(<html><head><title>Home</title></head><body><img src="/ok.gif">)"
                R"(<img src="/missing.gif"></body></html>)",
                "text/html");
        });
        server_->get("/ok.gif", [](const httplib::Request&, httplib::Response& response) {
            response.set_content(std::string(2048, 'g'), "image/gif");
        });
        server_->get("/missing.gif", [](const httplib::Request&, httplib::Response& response) {
            response.status = 404;
        });
        context_ = std::make_unique<app::AppContext>();
        context_->loadSettings();
        apptest::RunWatcher run(*context_);
        context_->tree().analyzeAll(server_->url("/"));
        QVERIFY(run.waitForEnd());
        loaded_ = context_->tree().roots().front()->page;
        QCOMPARE(loaded_->figures(0).items.size(), std::size_t{3});
    }
    void cleanupTestCase() {
        loaded_.reset();
        context_->shutDown();
        context_.reset();
        server_.reset();
        home_.reset();
    }

    void pageDetailsInEachState_data() {
        QTest::addColumn<Page>("page");
        QTest::addColumn<bool>("listShown");
        QTest::addColumn<QString>("firstRow");
        QTest::addColumn<QStringList>("groups");
        QTest::addColumn<bool>("canExpand");
        QTest::newRow("no page") << Page::None << false << QString() << QStringList() << false;
        QTest::newRow("not loaded")
            << Page::NotLoaded << true << QStringLiteral("Web page is not loaded.") << QStringList()
            << true;
        // The dialog's form: every connection's times, never one connection's load figures.
        QTest::newRow("loaded") << Page::Loaded << true << QStringLiteral("Page Information:")
                                << QStringList{"Page Information:", "Error(s) Information:",
                                               "Download / Browse Time:"}
                                << true;
    }
    void pageDetailsInEachState() {
        QFETCH(Page, page);
        QFETCH(bool, listShown);
        QFETCH(QString, firstRow);
        QFETCH(QStringList, groups);
        QFETCH(bool, canExpand);
        app::CPageDetailsDlg dialog(pageOf(page), 0, context_->conditions());
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Page Information"));
        QCOMPARE(dialog.caption()->text(), QStringLiteral("Web page details:"));
        const auto* stack = qobject_cast<QStackedWidget*>(dialog.propertyList()->parentWidget());
        QVERIFY(stack);
        QCOMPARE(stack->currentWidget() == dialog.propertyList(), listShown);
        if (!listShown) {
            const auto* label = qobject_cast<QLabel*>(stack->currentWidget());
            QVERIFY(label && label->text().contains(QStringLiteral("No web page selected.")));
        } else {
            QCOMPARE(firstRowOf(dialog.propertyList()->model()), firstRow);
            QCOMPARE(groupsOf(dialog.propertyList()->model()), groups);
        }
        QCOMPARE(dialog.moreButton()->isEnabled(), canExpand);
    }

    // "&More >>" opens the element list below with its first row chosen and the details
    // following it; "&Less <<" closes it and gives the dialog its height back.
    void moreOpensTheElementsAndLessClosesThem() {
        app::CPageDetailsDlg dialog(loaded_, 0, context_->conditions());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const int collapsed = dialog.height();
        QVERIFY(!dialog.elementList()->isVisible());

        QTest::mouseClick(dialog.moreButton(), Qt::LeftButton);
        apptest::flushEvents();
        QCOMPARE(dialog.moreButton()->text(), QStringLiteral("&Less <<"));
        QCOMPARE(dialog.caption()->text(), QStringLiteral("Web page element details:"));
        QVERIFY(dialog.elementList()->isVisible());
        QVERIFY(dialog.height() > collapsed);
        QCOMPARE(dialog.elementList()->currentIndex().row(), 0);
        QCOMPARE(dialog.elementList()->currentItem(), loaded_->rootItem());
        QCOMPARE(firstRowOf(dialog.propertyList()->model()),
                 QStringLiteral("Element Information:"));
        QCOMPARE(valueOf(dialog.propertyList()->model(), "Element"), QStringLiteral("/"));

        // The details follow the element chosen below.
        QVERIFY(dialog.elementList()->selectItem(item("/missing.gif").get()));
        QCOMPARE(valueOf(dialog.propertyList()->model(), "Element"), QStringLiteral("missing.gif"));
        QVERIFY(groupsOf(dialog.propertyList()->model()).contains("Error Information:"));

        QTest::mouseClick(dialog.moreButton(), Qt::LeftButton);
        apptest::flushEvents();
        QCOMPARE(dialog.moreButton()->text(), QStringLiteral("&More >>"));
        QCOMPARE(dialog.caption()->text(), QStringLiteral("Web page details:"));
        QVERIFY(!dialog.elementList()->isVisible());
        QCOMPARE(dialog.height(), collapsed);
        QCOMPARE(firstRowOf(dialog.propertyList()->model()), QStringLiteral("Page Information:"));

        // Opened again, the list starts from its first row whatever was chosen before.
        QTest::mouseClick(dialog.moreButton(), Qt::LeftButton);
        QCOMPARE(dialog.elementList()->currentIndex().row(), 0);
        QCOMPARE(valueOf(dialog.propertyList()->model(), "Element"), QStringLiteral("/"));
    }

    void elementRowsInEachState_data() {
        QTest::addColumn<Page>("page");
        QTest::addColumn<QString>("path");  // empty: no element
        QTest::addColumn<int>("title");
        QTest::addColumn<QStringList>("groups");
        // The rows in each state are the core's (its own suite); here: none, the title, refresh.
        QTest::newRow("no element") << Page::Loaded << QString() << 0 << QStringList();
        QTest::newRow("side list")
            << Page::Loaded << QStringLiteral("/ok.gif") << 1
            << QStringList{"General:", "Statistics (Actual Speed):", "Parent Element:"};
    }
    void elementRowsInEachState() {
        QFETCH(Page, page);
        QFETCH(QString, path);
        QFETCH(int, title);
        QFETCH(QStringList, groups);
        app::ElementPropertiesModel model(static_cast<report::ElementRowsTitle>(title));
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.show(pageOf(page), path.isEmpty() ? nullptr : item(path), 0);
        QCOMPARE(groupsOf(&model), groups);
        model.refresh();
        QCOMPARE(groupsOf(&model), groups);
    }

    void elementDialogShowsTheElement() {
        app::CObjectDetailsDlg dialog(loaded_, item("/ok.gif"), 3);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Element Information"));
        const QAbstractItemModel* rows = dialog.propertyList()->model();
        QCOMPARE(groupsOf(rows), (QStringList{"Element Information:",
                                              "Statistics (512K Cable/DSL):", "Parent Element:"}));
        QCOMPARE(valueOf(rows, "Size"), QStringLiteral("2.00 kb"));
        QCOMPARE(valueOf(rows, "Address"), QString::fromStdString(server_->url("/")));
        auto* close = dialog.findChild<QPushButton*>();
        QVERIFY(close && close->text() == QStringLiteral("Close"));
        dialog.show();
        QTest::mouseClick(close, Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }

    // One row per node: an item under two documents is two nodes of one object; "Refresh"
    // takes the tree as it is now.
    void objectExplorerListsEveryNode() {
        engine::ItemRegistry registry;
        auto make = [](const char* address, std::uint64_t size) {
            auto item = std::make_shared<engine::WebItem>(engine::ParsedUrl::parse(address));
            item->beginTransfer(item->address());
            engine::TransferOutcome outcome;
            outcome.received = size;
            item->endTransfer(outcome);
            return item;
        };
        const auto page = make("http://site.test/", 100);
        const auto frame = make("http://site.test/frame.html", 20);
        const auto image = make("http://site.test/i.gif", 3);
        const auto* top = registry.add(page, nullptr, 0);
        auto* framed = registry.add(frame, page.get(), 10);
        const auto* imageOnPage = registry.add(image, page.get(), 20);
        const auto* imageInFrame = registry.addUnder(image, framed, 5);

        app::CObjectExplorer explorer(registry);
        QCOMPARE(explorer.windowTitle(), QStringLiteral("Object Explorer"));
        QTreeWidget* list = explorer.list();
        QStringList headers;
        for (int column = 0; column < list->columnCount(); ++column)
            headers << list->headerItem()->text(column);
        QCOMPARE(headers, (QStringList{"Item", "Object", "Level", "Size"}));
        const QStringList all = {
            row(top, *page, 0, 100),
            row(framed, *frame, 1, 20),
            row(imageInFrame, *image, 2, 3),
            row(imageOnPage, *image, 1, 3),
        };
        QCOMPARE(rowsOf(*list), all);

        registry.remove(framed);
        QCOMPARE(rowsOf(*list), all);  // a snapshot until asked again
        QPushButton* refresh = nullptr;
        for (auto* button : explorer.findChildren<QPushButton*>())
            if (button->text() == QStringLiteral("Refresh")) refresh = button;
        QVERIFY(refresh);
        QTest::mouseClick(refresh, Qt::LeftButton);
        QCOMPARE(rowsOf(*list), (QStringList{all[0], all[3]}));
    }

private:
    std::shared_ptr<engine::PageEntry> pageOf(Page kind) {
        switch (kind) {
            case Page::None:
                return nullptr;
            case Page::NotLoaded:
                return engine::PageEntry::create(context_->manager(), server_->url("/never.html"));
            case Page::Loaded:
                return loaded_;
        }
        return nullptr;
    }
    std::shared_ptr<engine::WebItem> item(const QString& path) const {
        return context_->manager().registry().find(server_->url(path.toStdString()));
    }

    std::unique_ptr<apptest::ProgramHome> home_;
    std::unique_ptr<support::TestServer> server_;
    std::unique_ptr<app::AppContext> context_;
    std::shared_ptr<engine::PageEntry> loaded_;
};

QTEST_MAIN(DetailsDialogsTest)
#include "DetailsDialogsTest.moc"
