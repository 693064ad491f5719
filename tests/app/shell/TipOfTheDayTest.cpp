// The Tip of the Day dialog over a tips file of the test's own, and the command and start-up
// that show it in the real program.
#include <QCheckBox>
#include <QFile>
#include <QPushButton>
#include <QTest>

#include "app/shell/CTipDlg.h"
#include "persist/SettingsMap.h"
#include "persist/SettingsStore.h"
#include "persist/TipReader.h"
#include "tests/app/ProgramFixture.h"

namespace setting = persist::setting;

namespace {

void writeTips(const QString& path, const QByteArray& text) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
}

}  // namespace

class TipOfTheDayTest : public QObject {
    Q_OBJECT

private slots:
    // Next Tip shows the tip after the one shown; the next dialog goes on after the last tip
    // its predecessor showed.
    void nextTipAdvancesAndTheNextDialogGoesOn() {
        apptest::ProgramHome home;
        const QString tips = home.file(QStringLiteral("tips.txt"));
        writeTips(tips, "; heading\nfirst tip\nsecond tip\nthird tip\n");
        {
            app::CTipDlg dialog(tips);
            QCOMPARE(dialog.tipText(), QStringLiteral("first tip"));
            QVERIFY(dialog.nextButton()->isEnabled());
            QTest::mouseClick(dialog.nextButton(), Qt::LeftButton);
            QCOMPARE(dialog.tipText(), QStringLiteral("second tip"));
        }
        QCOMPARE(setting::kTipFilePos.get(), 31);
        app::CTipDlg again(tips);
        QCOMPARE(again.tipText(), QStringLiteral("third tip"));
        QTest::mouseClick(again.nextButton(), Qt::LeftButton);
        QCOMPARE(again.tipText(), QStringLiteral("first tip"));
    }

    // The check box starts as "StartUp" stands; Close stores it, closing otherwise does not.
    void closeStoresTheCheckBox_data() {
        QTest::addColumn<int>("stored");
        QTest::addColumn<bool>("checkedAtFirst");
        QTest::addColumn<bool>("byClose");
        QTest::addColumn<int>("storedAfter");
        QTest::newRow("on, unchecked, Close") << 1 << true << true << 0;
        QTest::newRow("off, checked, Close") << 0 << false << true << 1;
        QTest::newRow("on, unchecked, Escape") << 1 << true << false << 1;
        QTest::newRow("missing counts as on") << -1 << true << true << 0;
    }
    void closeStoresTheCheckBox() {
        QFETCH(int, stored);
        QFETCH(bool, checkedAtFirst);
        QFETCH(bool, byClose);
        QFETCH(int, storedAfter);
        apptest::ProgramHome home;
        const QString tips = home.file(QStringLiteral("tips.txt"));
        writeTips(tips, "a tip\n");
        if (stored >= 0) {
            setting::kTipStartUp.set(stored);
        } else {
            persist::deleteSection(persist::section::kTip);
        }
        app::CTipDlg dialog(tips);
        dialog.show();
        QCOMPARE(dialog.startUpBox()->isChecked(), checkedAtFirst);
        dialog.startUpBox()->click();
        if (byClose) {
            QTest::mouseClick(dialog.closeButton(), Qt::LeftButton);
        } else {
            QTest::keyClick(&dialog, Qt::Key_Escape);
        }
        QVERIFY(!dialog.isVisible());
        QCOMPARE(setting::kTipStartUp.get(), storedAfter);
    }

    // Without the file: the message in place of a tip, Next Tip off, no box, nothing stored.
    void missingFileSaysSoWithNextTipOff() {
        apptest::ProgramHome home;
        apptest::Answers answers;
        setting::kTipFilePos.set(12);
        {
            app::CTipDlg dialog(home.file(QStringLiteral("tips.txt")));
            QCOMPARE(dialog.tipText(),
                     QStringLiteral("Tips file does not exist in the prescribed directory"));
            QVERIFY(!dialog.nextButton()->isEnabled());
        }
        QVERIFY(answers.asked.isEmpty());
        QCOMPARE(setting::kTipFilePos.get(), 12);
    }

    // A stored place the file cannot move to is reported once; the tips start at the top.
    void unusablePlaceIsReported() {
        apptest::ProgramHome home;
        apptest::Answers answers;
        const QString tips = home.file(QStringLiteral("tips.txt"));
        writeTips(tips, "first tip\nsecond tip\n");
        setting::kTipTimeStamp.set(persist::TipReader::fileTimeStamp(tips.toStdString()));
        setting::kTipFilePos.set(-7);
        app::CTipDlg dialog(tips);
        QCOMPARE(answers.asked, QStringList{QStringLiteral("Trouble reading the tips file")});
        QCOMPARE(dialog.tipText(), QStringLiteral("first tip"));
    }

    // At start-up the tip shows only while "StartUp" is on; the command shows it always, once.
    void startUpAndCommand_data() {
        QTest::addColumn<int>("startUp");
        QTest::newRow("on") << 1;
        QTest::newRow("off") << 0;
    }
    void startUpAndCommand() {
        QFETCH(int, startUp);
        apptest::ProgramHome home;
        setting::kTipStartUp.set(startUp);
        apptest::Program program;
        QVERIFY(program.started);
        apptest::flushEvents();
        app::CApplication& application = program.application();
        QCOMPARE(application.tipDialog() != nullptr, startUp != 0);
        program.window().runCommand(app::CommandId::TipOfTheDay);
        QDialog* shown = application.tipDialog();
        QVERIFY(shown && shown->isVisible());
        QCOMPARE(shown->parentWidget(), &program.window());
        program.window().runCommand(app::CommandId::TipOfTheDay);
        QCOMPARE(application.tipDialog(), shown);
        QCOMPARE(program.window().findChildren<app::CTipDlg*>().size(), 1);
        shown->close();
        QTRY_VERIFY(!application.tipDialog());
    }
};

QTEST_MAIN(TipOfTheDayTest)
#include "TipOfTheDayTest.moc"
