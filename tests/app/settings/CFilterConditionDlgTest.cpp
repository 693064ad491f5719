#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include "app/settings/CFilterConditionDlg.h"

using app::CFilterConditionDlg;
using report::FilterCondition;

namespace {

FilterCondition browsing56K(int seconds, std::string name = {}) {
    FilterCondition condition;
    condition.connectionType = 7;
    condition.threshold = seconds;
    condition.name = name.empty() ? report::generatedName(condition) : std::move(name);
    return condition;
}

}  // namespace

class CFilterConditionDlgTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { CFilterConditionDlg::setColorChooser({}); }

    void anEmptyNameStartsAsTheGeneratedOne() {
        CFilterConditionDlg dialog(FilterCondition{});
        QCOMPARE(dialog.nameField()->text(),
                 QString("Browsing on Actual Speed takes more than 0 sec."));
        QVERIFY(dialog.automaticName());
    }

    void changingTheSecondsRenamesAnAutomaticName() {
        CFilterConditionDlg dialog(browsing56K(8));
        dialog.secondsBox()->setValue(10);
        QCOMPARE(dialog.nameField()->text(), QString("Browsing on 56K takes more than 10 sec."));
        QCOMPARE(dialog.condition().name, std::string("Browsing on 56K takes more than 10 sec."));
        QCOMPARE(dialog.condition().threshold, 10);
    }

    void theTimeTypeAndConnectionRenameToo() {
        CFilterConditionDlg dialog(browsing56K(8));
        dialog.timeTypeBox()->setCurrentIndex(1);
        dialog.connectionBox()->setCurrentIndex(4);
        QCOMPARE(dialog.nameField()->text(),
                 QString("Download on 256K Cable/DSL takes more than 8 sec."));
        QCOMPARE(dialog.condition().timeType, 1);
        QCOMPARE(dialog.condition().connectionType, 4);
    }

    void aWrittenNameStays() {
        CFilterConditionDlg dialog(browsing56K(8, "Slow"));
        QVERIFY(!dialog.automaticName());
        dialog.secondsBox()->setValue(10);
        QCOMPARE(dialog.nameField()->text(), QString("Slow"));
    }

    void typingANameMakesItManual() {
        CFilterConditionDlg dialog(browsing56K(8));
        QTest::keyClicks(dialog.nameField(), "!");
        QVERIFY(!dialog.automaticName());
        dialog.secondsBox()->setValue(9);
        QCOMPARE(dialog.nameField()->text(), QString("Browsing on 56K takes more than 8 sec.!"));
    }

    void emptyingTheNameMakesItAutomaticAgain() {
        CFilterConditionDlg dialog(browsing56K(8, "Slow"));
        dialog.nameField()->selectAll();
        QTest::keyClick(dialog.nameField(), Qt::Key_Backspace);
        QVERIFY(dialog.automaticName());
        dialog.secondsBox()->setValue(12);
        QCOMPARE(dialog.nameField()->text(), QString("Browsing on 56K takes more than 12 sec."));
    }

    void aNameTypedEqualToTheGeneratedOneIsAutomatic() {
        CFilterConditionDlg dialog(browsing56K(8, "x"));
        dialog.nameField()->clear();
        QTest::keyClicks(dialog.nameField(), "Browsing on 56K takes more than 8 sec.");
        QVERIFY(dialog.automaticName());
    }

    void okOnlyWhileTheSecondsAreNotZero_data() {
        QTest::addColumn<int>("seconds");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("0") << 0 << false;
        QTest::newRow("1") << 1 << true;
        QTest::newRow("3600") << 3600 << true;
    }
    void okOnlyWhileTheSecondsAreNotZero() {
        QFETCH(int, seconds);
        QFETCH(bool, enabled);
        CFilterConditionDlg dialog(browsing56K(5));
        dialog.secondsBox()->setValue(seconds);
        QCOMPARE(dialog.okButton()->isEnabled(), enabled);
        CFilterConditionDlg opened(browsing56K(seconds));
        QCOMPARE(opened.okButton()->isEnabled(), enabled);
    }

    void namesAreCutAt255Characters() {
        CFilterConditionDlg dialog(browsing56K(8));
        dialog.nameField()->clear();
        QTest::keyClicks(dialog.nameField(), QString(300, 'n'));
        QCOMPARE(dialog.condition().name.size(), std::size_t{255});
    }

    void theColourListHoldsTheNamedColours() {
        FilterCondition condition = browsing56K(8);
        condition.colorIndex = 5;
        CFilterConditionDlg dialog(condition);
        QCOMPARE(dialog.colorBox()->count(), 33);
        QCOMPARE(dialog.colorBox()->currentText(), QString("Bisque"));
        QCOMPARE(dialog.colorBox()->itemData(5, Qt::DecorationRole).value<QColor>(),
                 QColor(0xFF, 0xE4, 0xC4));
    }

    void aCustomColourAddsAndSelectsCustom() {
        FilterCondition condition = browsing56K(8);
        condition.customColor = report::rgb(1, 2, 3);
        CFilterConditionDlg dialog(condition);
        QCOMPARE(dialog.colorBox()->count(), 34);
        QCOMPARE(dialog.colorBox()->currentIndex(), 33);
        QCOMPARE(dialog.colorBox()->currentText(), QString("Custom"));
    }

    void theChooserSetsTheCustomColour() {
        CFilterConditionDlg::setColorChooser(
            [](const QColor&, QWidget*) { return std::optional<QColor>(QColor(10, 20, 30)); });
        CFilterConditionDlg dialog(browsing56K(8));
        dialog.chooseCustomColor();
        QCOMPARE(dialog.condition().customColor, report::rgb(10, 20, 30));
        QCOMPARE(dialog.colorBox()->currentText(), QString("Custom"));
    }

    void aCancelledChooserChangesNothing() {
        CFilterConditionDlg::setColorChooser(
            [](const QColor&, QWidget*) { return std::optional<QColor>(); });
        CFilterConditionDlg dialog(browsing56K(8));
        dialog.chooseCustomColor();
        QCOMPARE(dialog.condition().customColor, report::ColorRef{0});
        QCOMPARE(dialog.colorBox()->count(), 33);
    }

    void aNamedColourChosenAfterACustomOneTakesEffect() {
        FilterCondition condition = browsing56K(8);
        condition.customColor = report::rgb(1, 2, 3);
        CFilterConditionDlg dialog(condition);
        dialog.colorBox()->setCurrentIndex(12);
        QCOMPARE(dialog.condition().colorIndex, 12);
        QCOMPARE(report::colorOf(dialog.condition()), report::kNamedColors[12].color);
    }
};

QTEST_MAIN(CFilterConditionDlgTest)
#include "CFilterConditionDlgTest.moc"
