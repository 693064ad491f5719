#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include <memory>

#include "app/reports/CReportFieldSetDlg.h"
#include "app/reports/CReportNewItemDlg.h"
#include "app/reports/CReportTableDlg.h"
#include "app/reports/CReportTextDlg.h"
#include "app/reports/CReportTitleDlg.h"
#include "app/reports/ItemEditing.h"
#include "app/widgets/QueryEdit.h"
#include "query/ElementTable.h"
#include "query/StatisticsCatalog.h"
#include "report/TableItem.h"
#include "report/TitleItem.h"
#include "tests/app/reports/ModalDialogs.h"

using app::NewItemChoice;
using reporttest::BoxRecorder;
using reporttest::whenShown;

namespace {

QStringList texts(const QListWidget& list) {
    QStringList out;
    for (int row = 0; row < list.count(); ++row) out << list.item(row)->text();
    return out;
}

void choose(QListWidget& list, const QString& text) {
    list.setCurrentItem(list.findItems(text, Qt::MatchExactly).value(0));
}

// What an item dialog shows: its caption, then its fields in order.
QStringList shown(QWidget& dialog) {
    QStringList out{dialog.windowTitle()};
    if (auto* d = qobject_cast<app::CReportTitleDlg*>(&dialog))
        out << QString::number(d->levelBox()->value()) << d->textField()->text();
    if (auto* d = qobject_cast<app::CReportTextDlg*>(&dialog)) out << d->textField()->toPlainText();
    if (auto* d = qobject_cast<app::CReportFieldSetDlg*>(&dialog))
        out << d->nameField()->text() << d->queryField()->toPlainText();
    if (auto* d = qobject_cast<app::CReportTableDlg*>(&dialog))
        out << d->queryField()->toPlainText();
    return out;
}

void moveCaretToEnd(QPlainTextEdit& edit) {
    QTextCursor cursor = edit.textCursor();
    cursor.movePosition(QTextCursor::End);
    edit.setTextCursor(cursor);
}

}  // namespace

class ReportItemDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void theNewItemDialogListsTheKindsSortedWithTheSecondChosen() {
        app::CReportNewItemDlg dialog;
        QCOMPARE(dialog.windowTitle(), QString("Add New Report Item"));
        QCOMPARE(texts(*dialog.itemList()), QStringList({"Field", "HTML Text", "Table", "Title"}));
        QCOMPARE(dialog.itemList()->currentRow(), 1);
        QCOMPARE(dialog.choice(), NewItemChoice::HtmlText);
    }

    void theNewItemDialogDescribesTheChoice_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<int>("choice");
        QTest::addColumn<QString>("description");
        QTest::newRow("Title") << "Title" << 1 << "Title Object";
        QTest::newRow("HTML Text") << "HTML Text" << 2 << "Custom HTML Text";
        QTest::newRow("Field") << "Field" << 3 << "Field Object";
        QTest::newRow("Table") << "Table" << 4 << "Table";
    }
    void theNewItemDialogDescribesTheChoice() {
        QFETCH(QString, entry);
        QFETCH(int, choice);
        QFETCH(QString, description);
        app::CReportNewItemDlg dialog;
        choose(*dialog.itemList(), entry);
        QCOMPARE(int(dialog.choice()), choice);
        QCOMPARE(dialog.descriptionBox()->text(), description);
    }

    void eachChoiceOpensItsDialogPrefilled_data() {
        QTest::addColumn<int>("choice");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("Title") << 1 << QStringList({"Title Properties", "1", "New Title"});
        QTest::newRow("HTML Text") << 2 << QStringList({"HTML Text Properties", "New HTML Text"});
        QTest::newRow("Field") << 3
                               << QStringList(
                                      {"Field Set Properties", "New Field", "SELECT count(URL)"});
        QTest::newRow("Table") << 4
                               << QStringList({"Table Properties",
                                               "SELECT URL, PercentOfTime order by PercentOfTime"});
    }
    void eachChoiceOpensItsDialogPrefilled() {
        QFETCH(int, choice);
        QFETCH(QStringList, expected);
        const std::unique_ptr<report::ReportItem> item = app::newItem(NewItemChoice(choice));
        QVERIFY(item);
        const std::string before = item->displayText();
        QStringList seen;
        whenShown<QDialog>([&seen](QDialog& dialog) {
            seen = shown(dialog);
            dialog.reject();
        });
        QVERIFY(!app::editItem(nullptr, *item, catalog_));
        QCOMPARE(seen, expected);
        QCOMPARE(item->displayText(), before);
    }

    void theTitleLevelStaysWithinOneToTen_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<int>("level");
        QTest::newRow("lowest") << "1" << true << 1;
        QTest::newRow("highest") << "10" << true << 10;
        QTest::newRow("a digit too many is not taken") << "11" << true << 1;
        QTest::newRow("zero") << "0" << false << 0;
        QTest::newRow("nothing") << "" << false << 0;
    }
    void theTitleLevelStaysWithinOneToTen() {
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        QFETCH(int, level);
        BoxRecorder boxes;
        app::CReportTitleDlg dialog(report::TitleItem("T", 5));
        dialog.show();
        dialog.levelBox()->selectAll();
        QTest::keyClick(dialog.levelBox(), Qt::Key_Delete);
        QTest::keyClicks(dialog.levelBox(), typed);
        dialog.accept();
        QCOMPARE(dialog.isVisible(), !accepted);
        if (accepted) {
            QCOMPARE(dialog.levelBox()->value(), level);
            QVERIFY(boxes.boxes.empty());
            return;
        }
        QCOMPARE(boxes.boxes.size(), std::size_t(1));
        QCOMPARE(boxes.boxes[0].text, QString("Please enter an integer between 1 and 10."));
    }

    void theTableDialogListsFieldsAndStatisticsByName() {
        app::CReportTableDlg dialog(report::TableItem("select URL"), catalog_);
        const QStringList fields = texts(*dialog.fieldList());
        QCOMPARE(fields.size(), int(query::kElementColumns.size()));
        QVERIFY(fields.contains("PercentOfTimeWithChildren"));
        QStringList titles;
        for (const auto& definition : catalog_.definitions())
            titles << QString::fromStdString(definition.title);
        titles.sort(Qt::CaseInsensitive);
        QCOMPARE(texts(*dialog.statisticsList()), titles);
    }

    void insertAndLoadActOnTheChosenRow_data() {
        QTest::addColumn<bool>("load");
        QTest::addColumn<bool>("byEnter");
        QTest::newRow("Insert") << false << false;
        QTest::newRow("Enter in the fields") << false << true;
        QTest::newRow("Load") << true << false;
        QTest::newRow("Enter in the statistics") << true << true;
    }
    void insertAndLoadActOnTheChosenRow() {
        QFETCH(bool, load);
        QFETCH(bool, byEnter);
        const query::StatisticsDefinition chosen = catalog_.definitions().at(1);
        app::CReportTableDlg dialog(report::TableItem("SELECT "), catalog_);
        dialog.show();
        moveCaretToEnd(*dialog.queryField());
        QListWidget* list = load ? dialog.statisticsList() : dialog.fieldList();
        QPushButton* button = load ? dialog.loadButton() : dialog.insertButton();
        QVERIFY(!button->isEnabled());
        choose(*list, load ? QString::fromStdString(chosen.title) : QString("Host"));
        QVERIFY(button->isEnabled());
        if (byEnter)
            QTest::keyClick(list, Qt::Key_Return);
        else
            button->click();
        const QString expected = load ? QString::fromStdString(chosen.query) : "SELECT Host";
        QCOMPARE(dialog.queryField()->toPlainText(), expected);
        QVERIFY(dialog.isVisible());
        dialog.queryField()->undo();
        QCOMPARE(dialog.queryField()->toPlainText(), QString("SELECT "));
    }

    void okValidatesTheTableQuery_data() {
        QTest::addColumn<QString>("query");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("valid") << "select Host, SUM(Size) group by Host" << true;
        QTest::newRow("unknown column") << "select Name where ID = 1" << false;
    }
    void okValidatesTheTableQuery() {
        QFETCH(QString, query);
        QFETCH(bool, accepted);
        BoxRecorder boxes;
        report::TableItem item(query.toStdString());
        app::CReportTableDlg dialog(item, catalog_);
        dialog.show();
        QTest::mouseClick(dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok),
                          Qt::LeftButton);
        QCOMPARE(dialog.isVisible(), !accepted);
        if (accepted) {
            QVERIFY(boxes.boxes.empty());
            return;
        }
        QCOMPARE(boxes.boxes.size(), std::size_t(1));
        QCOMPARE(boxes.boxes[0].caption, QString("Query Error"));
        QCOMPARE(boxes.boxes[0].text,
                 QString::fromStdString(*query::validateQuery(query.toStdString())));
    }

private:
    const query::StatisticsCatalog catalog_;
};

QTEST_MAIN(ReportItemDialogsTest)
#include "ReportItemDialogsTest.moc"
