#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <QTimer>

#include <optional>
#include <vector>

#include "app/statistics/CNewStatPP1.h"
#include "app/statistics/CNewStatPP2.h"
#include "app/statistics/CNewStatPS.h"
#include "app/statistics/CNewStatisticsDlg.h"
#include "app/statistics/StatisticsEditing.h"
#include "app/widgets/MessageBoxes.h"
#include "app/widgets/QueryEdit.h"
#include "app/widgets/QueryHighlighter.h"
#include "query/ElementTable.h"
#include "query/StatisticsCatalog.h"

using app::CNewStatisticsDlg;
using app::CNewStatPS;
using app::MessageBoxes;
using app::QueryEdit;

Q_DECLARE_METATYPE(std::optional<app::ErrorSpan>)

namespace {

constexpr const char* kInvalid = "select Name where ID = 1";
constexpr const char* kValid = "select Host, Count(Size) as 'Items' group by Host";

// Definitions whose alphabetical order differs from their id order and from a byte-wise one.
query::StatisticsCatalog smallCatalog() {
    query::StatisticsCatalog catalog;
    for (const auto& definition : catalog.definitions()) catalog.remove(definition.id);
    catalog.add("gamma", "select Type");
    catalog.add("Beta", "select Host");
    catalog.add("alpha", "select URL");
    return catalog;
}

QStringList texts(const QComboBox& box) {
    QStringList out;
    for (int row = 0; row < box.count(); ++row) out << box.itemText(row);
    return out;
}

QStringList texts(const QListWidget& list) {
    QStringList out;
    for (int row = 0; row < list.count(); ++row) out << list.item(row)->text();
    return out;
}

void chooseBase(CNewStatPS& wizard, const QString& title) {
    QComboBox* box = wizard.titlePage()->basedOnBox();
    box->setCurrentIndex(box->findText(title));
}

QString queryText(CNewStatPS& wizard) {
    return wizard.queryPage()->queryField()->toPlainText();
}

// The format the highlighter gave the character at `position` of a one-line field.
QTextCharFormat formatAt(const QueryEdit& edit, int position) {
    const QTextBlock block = edit.document()->firstBlock();
    for (const QTextLayout::FormatRange& range : block.layout()->formats())
        if (position >= range.start && position < range.start + range.length) return range.format;
    return {};
}

}  // namespace

class StatisticsDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        boxes_.clear();
        MessageBoxes::setAnswerer([this](const MessageBoxes::Box& box) {
            boxes_.push_back(box);
            return QMessageBox::Ok;
        });
    }
    void cleanup() { MessageBoxes::setAnswerer({}); }

    void basedOnListsTheTitlesAlphabetically() {
        const query::StatisticsCatalog catalog = smallCatalog();
        CNewStatPS wizard(catalog);
        QCOMPARE(texts(*wizard.titlePage()->basedOnBox()),
                 QStringList({"", "alpha", "Beta", "gamma"}));
        QCOMPARE(wizard.titlePage()->basedOn(), 0);
    }

    void theQueryPageTakesOverTheChosenQueryEachTimeItIsShown() {
        const query::StatisticsCatalog catalog = smallCatalog();
        CNewStatPS wizard(catalog);
        wizard.show();
        chooseBase(wizard, "Beta");
        wizard.next();
        QCOMPARE(queryText(wizard), QString("select Host"));

        wizard.queryPage()->queryField()->setPlainText("select Size");
        wizard.back();
        chooseBase(wizard, "gamma");
        wizard.next();
        QCOMPARE(queryText(wizard), QString("select Type"));
    }

    void withoutABaseTheQueryPageKeepsWhatWasWritten() {
        const query::StatisticsCatalog catalog = smallCatalog();
        CNewStatPS wizard(catalog);
        wizard.show();
        wizard.next();
        QCOMPARE(queryText(wizard), QString());
        wizard.queryPage()->queryField()->setPlainText("select Size");
        wizard.back();
        wizard.next();
        QCOMPARE(queryText(wizard), QString("select Size"));
    }

    void availableFieldsAreTheNineteenColumnsSortedAndRefilled() {
        const query::StatisticsCatalog catalog = smallCatalog();
        CNewStatPS wizard(catalog);
        wizard.show();
        wizard.next();
        wizard.back();
        wizard.next();
        const QStringList shown = texts(*wizard.queryPage()->fieldList());
        QCOMPARE(shown.size(), 19);
        for (int row = 1; row < shown.size(); ++row)
            QVERIFY2(shown[row - 1].compare(shown[row], Qt::CaseInsensitive) < 0,
                     qPrintable(shown[row - 1] + " before " + shown[row]));
        for (std::string_view name : query::kElementColumns)
            QVERIFY(shown.contains(QString::fromUtf8(name.data(), qsizetype(name.size()))));
    }

    void insertPutsTheFieldAtTheCaret_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("anchor");
        QTest::addColumn<int>("caret");
        QTest::addColumn<QString>("expected");
        QTest::newRow("after SELECT") << "SELECT , Size" << 7 << 7 << "SELECT Host, Size";
        QTest::newRow("in place of a selection")
            << "SELECT URL, Size" << 7 << 10 << "SELECT Host, Size";
        QTest::newRow("selected backwards") << "SELECT URL" << 10 << 7 << "SELECT Host";
        QTest::newRow("second line")
            << "SELECT URL\nwhere  = 'a'" << 17 << 17 << "SELECT URL\nwhere Host = 'a'";
    }
    void insertPutsTheFieldAtTheCaret() {
        QFETCH(QString, text);
        QFETCH(int, anchor);
        QFETCH(int, caret);
        QFETCH(QString, expected);
        const query::StatisticsCatalog catalog = smallCatalog();
        CNewStatPS wizard(catalog);
        wizard.show();
        wizard.next();
        app::CNewStatPP2& page = *wizard.queryPage();
        QVERIFY(!page.insertButton()->isEnabled());
        page.queryField()->setPlainText(text);
        QTextCursor cursor = page.queryField()->textCursor();
        cursor.setPosition(anchor);
        cursor.setPosition(caret, QTextCursor::KeepAnchor);
        page.queryField()->setTextCursor(cursor);
        page.fieldList()->setCurrentItem(page.fieldList()->findItems("Host", Qt::MatchExactly)[0]);

        QVERIFY(page.insertButton()->isEnabled());
        page.insertButton()->click();
        QCOMPARE(page.queryField()->toPlainText(), expected);
        QCOMPARE(page.queryField()->textCursor().position(), std::min(anchor, caret) + 4);

        page.queryField()->undo();
        QCOMPARE(page.queryField()->toPlainText(), text);
    }

    void finishChecksTheQuery_data() {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("invalid") << kInvalid << false;
        QTest::newRow("valid") << kValid << true;
    }
    void finishChecksTheQuery() {
        QFETCH(QString, statement);
        QFETCH(bool, accepted);
        const query::StatisticsCatalog catalog = smallCatalog();
        CNewStatPS wizard(catalog);
        wizard.show();
        wizard.next();
        wizard.queryPage()->queryField()->setPlainText(statement);
        wizard.button(QWizard::FinishButton)->click();
        checkOutcome(wizard, statement, accepted);
    }

    void okChecksTheQuery_data() { finishChecksTheQuery_data(); }
    void okChecksTheQuery() {
        QFETCH(QString, statement);
        QFETCH(bool, accepted);
        CNewStatisticsDlg dialog({4, "Hosts", statement.toStdString()});
        dialog.show();
        dialog.accept();
        checkOutcome(dialog, statement, accepted);
    }

    void theEditDialogShowsTheDefinition() {
        CNewStatisticsDlg dialog({4, "Hosts", "select Host"});
        QCOMPARE(dialog.windowTitle(), QString("Edit Statistics"));
        QCOMPARE(dialog.titleField()->text(), QString("Hosts"));
        QCOMPARE(dialog.queryField()->toPlainText(), QString("select Host"));
    }

    void newStatisticsAddsOnFinish() {
        query::StatisticsCatalog catalog = smallCatalog();
        QTimer::singleShot(0, [] {
            auto* wizard = qobject_cast<CNewStatPS*>(QApplication::activeModalWidget());
            QVERIFY(wizard);
            wizard->titlePage()->titleField()->setText("Hosts again");
            chooseBase(*wizard, "Beta");
            wizard->next();
            wizard->button(QWizard::FinishButton)->click();
        });
        QVERIFY(app::newStatistics(nullptr, catalog));
        const auto added = catalog.findByTitle("Hosts again");
        QVERIFY(added);
        QCOMPARE(added->query, std::string("select Host"));
        QCOMPARE(catalog.definitions().size(), std::size_t(4));
    }

    void newStatisticsCancelledAddsNothing() {
        query::StatisticsCatalog catalog = smallCatalog();
        QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
        QVERIFY(!app::newStatistics(nullptr, catalog));
        QCOMPARE(catalog.definitions().size(), std::size_t(3));
    }

    void editStatisticsModifiesOnOk() {
        query::StatisticsCatalog catalog = smallCatalog();
        const std::int32_t id = catalog.findByTitle("Beta")->id;
        QTimer::singleShot(0, [] {
            auto* dialog = qobject_cast<CNewStatisticsDlg*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            dialog->titleField()->setText("Types");
            dialog->queryField()->setPlainText("select Type");
            dialog->accept();
        });
        QVERIFY(app::editStatistics(nullptr, catalog, id));
        QCOMPARE(*catalog.find(id), (query::StatisticsDefinition{id, "Types", "select Type"}));
    }

    void editStatisticsOfAnUnknownIdDoesNothing() {
        query::StatisticsCatalog catalog = smallCatalog();
        QVERIFY(!app::editStatistics(nullptr, catalog, 99));
    }

    void theHighlighterMarksTheLanguage_data() {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("kind");
        const QString statement = "select Host, sum(Size) as 'Host Name' where type like 'x'";
        QTest::newRow("clause keyword") << statement << 0 << "keyword";
        QTest::newRow("column") << statement << 7 << "column";
        QTest::newRow("function") << statement << 13 << "function";
        QTest::newRow("column in a call") << statement << 17 << "column";
        QTest::newRow("alias keyword") << statement << 23 << "keyword";
        QTest::newRow("column name quoted") << statement << 27 << "text";
        QTest::newRow("lower-case column") << statement << 44 << "column";
        QTest::newRow("operator word") << statement << 49 << "keyword";
        QTest::newRow("call with a blank") << "select count (URL)" << 7 << "none";
        QTest::newRow("function name alone") << "select sum" << 7 << "none";
        QTest::newRow("unknown word") << "select hosts" << 7 << "none";
        QTest::newRow("unknown call") << "select median(Size)" << 7 << "none";
    }
    void theHighlighterMarksTheLanguage() {
        QFETCH(QString, statement);
        QFETCH(int, position);
        QFETCH(QString, kind);
        QueryEdit edit;
        edit.setPlainText(statement);
        const app::QueryHighlighter& h = *edit.highlighter();
        const QTextCharFormat format = formatAt(edit, position);
        const QTextCharFormat expected = kind == "keyword"    ? h.keywordFormat()
                                         : kind == "function" ? h.functionFormat()
                                         : kind == "column"   ? h.columnFormat()
                                         : kind == "text"     ? h.textFormat()
                                                              : QTextCharFormat();
        QCOMPARE(format, expected);
    }

    void aQuoteLeftOpenRunsIntoTheNextLine() {
        QueryEdit edit;
        edit.setPlainText("select Host where Host like 'a\nselect' and Size>1");
        const QTextBlock second = edit.document()->lastBlock();
        const auto formats = second.layout()->formats();
        QVERIFY(!formats.isEmpty());
        QCOMPARE(formats.first().start, 0);
        QCOMPARE(formats.first().length, 7);
        QCOMPARE(formats.first().format, edit.highlighter()->textFormat());
    }

    void theErrorSpanIsWhatTheMessageNames_data() {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<std::optional<app::ErrorSpan>>("span");
        using Span = std::optional<app::ErrorSpan>;
        QTest::newRow("unknown column") << kInvalid << Span({7, 4});
        QTest::newRow("on the second line") << "select Host, \nNme" << Span({14, 3});
        QTest::newRow("blanks inside a call") << "select Host, sum( Nme )" << Span({18, 3});
        QTest::newRow("unknown operator") << "select Host where Type lik 'x'" << Span({23, 3});
        QTest::newRow("unknown sort column") << "select Host order by Size" << Span({21, 4});
        QTest::newRow("the whole statement") << "select" << Span();
        QTest::newRow("nothing quoted") << "where Size>1" << Span();
    }
    void theErrorSpanIsWhatTheMessageNames() {
        QFETCH(QString, statement);
        QFETCH(std::optional<app::ErrorSpan>, span);
        const auto failure = query::validateQuery(statement.toStdString());
        QVERIFY(failure);
        const auto found = app::errorSpan(statement, *failure);
        QVERIFY2(found == span, failure->c_str());
    }

    void aFailedCheckPutsTheCaretOnTheError() {
        CNewStatisticsDlg dialog({4, "Hosts", kInvalid});
        dialog.show();
        dialog.accept();
        QCOMPARE(dialog.queryField()->textCursor().position(), 7);
        QCOMPARE(dialog.queryField()->textCursor().selectedText(), QString("Name"));
    }

private:
    void checkOutcome(QDialog& dialog, const QString& statement, bool accepted) {
        if (accepted) {
            QVERIFY(boxes_.empty());
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
            QVERIFY(!dialog.isVisible());
            return;
        }
        QCOMPARE(boxes_.size(), std::size_t(1));
        QCOMPARE(boxes_[0].caption, QString("Query Error"));
        QCOMPARE(boxes_[0].icon, QMessageBox::Critical);
        QCOMPARE(boxes_[0].text,
                 QString::fromStdString(*query::validateQuery(statement.toStdString())));
        QVERIFY(dialog.isVisible());
    }

    std::vector<MessageBoxes::Box> boxes_;
};

QTEST_MAIN(StatisticsDialogsTest)
#include "StatisticsDialogsTest.moc"
