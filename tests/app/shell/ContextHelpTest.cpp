#include "app/shell/ContextHelp.h"

#include <QDialogButtonBox>
#include <QDirIterator>
#include <QFile>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QWizard>

#include <set>

#include "app/shell/CAboutDlg.h"
#include "app/shell/CTipDlg.h"
#include "app/statistics/CNewStatPS.h"
#include "query/StatisticsCatalog.h"
#include "tests/app/ProgramFixture.h"

namespace {

QString sourceDir() {
    return qEnvironmentVariable("PAGELYST_TEST_SOURCE_DIR");
}

QString readAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll());
}

// What the help asked to open, in place of the browser.
struct Opened {
    Opened() {
        app::ContextHelp::setOpener([this](QWidget* parent, const QString& address) {
            parents.push_back(parent);
            addresses.push_back(address);
        });
    }
    ~Opened() { app::ContextHelp::setOpener({}); }
    std::vector<QWidget*> parents;
    QStringList addresses;
};

// A dialog the topic table does not know.
class UnknownDlg : public QDialog {
    Q_OBJECT

public:
    UnknownDlg() {
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
        Q_UNUSED(buttons);
    }
};

}  // namespace

class ContextHelpTest : public QObject {
    Q_OBJECT

private slots:
    // First: nothing else has installed the filter yet.
    void theProgramInstallsTheHelpAtStartUp() {
        QVERIFY(!app::ContextHelp::installed());
        apptest::ProgramHome home;
        apptest::Program program;
        QVERIFY(program.started);
        QVERIFY(app::ContextHelp::installed());
        app::CAboutDlg dialog;
        dialog.show();
        QVERIFY(dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Help) != nullptr);
    }

    void f1InADialogOpensItsOwnPage() {
        Opened opened;
        app::CAboutDlg dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTest::keyClick(&dialog, Qt::Key_F1);
        QCOMPARE(opened.addresses.size(), 1);
        QCOMPARE(opened.parents.front(), &dialog);
        QVERIFY(opened.addresses.front().startsWith(QStringLiteral("file:///")));
        QVERIFY2(opened.addresses.front().endsWith(
                     QStringLiteral("/share/pagelyst/help/getting-started.html#about")),
                 qPrintable(opened.addresses.front()));
    }

    void f1InADialogWithoutAButtonBoxOpensItsPage() {
        Opened opened;
        app::CTipDlg dialog(QStringLiteral("/nonexistent/tips.txt"));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));  // keys reach only the active window
        QTest::keyClick(&dialog, Qt::Key_F1);
        QCOMPARE(opened.addresses.size(), 1);
        QVERIFY(opened.addresses.front().endsWith(QStringLiteral("getting-started.html#tips")));
    }

    void f1InAnUnknownDialogOpensNothing() {
        Opened opened;
        UnknownDlg dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QTest::keyClick(&dialog, Qt::Key_F1);
        QVERIFY(opened.addresses.isEmpty());
    }

    void aKnownDialogWithAButtonBoxGetsOneHelpButton() {
        Opened opened;
        app::CAboutDlg dialog;
        dialog.show();
        dialog.hide();
        dialog.show();  // shown twice: still one button
        auto* buttons = dialog.findChild<QDialogButtonBox*>();
        QVERIFY(buttons != nullptr);
        QPushButton* help = buttons->button(QDialogButtonBox::Help);
        QVERIFY(help != nullptr);
        QCOMPARE(buttons->buttons().size(), 2);  // OK and Help
        help->click();
        QCOMPARE(opened.addresses.size(), 1);
        QVERIFY(opened.addresses.front().endsWith(QStringLiteral("#about")));
    }

    void aKnownWizardGetsItsHelpButton() {
        Opened opened;
        query::StatisticsCatalog catalog;
        app::CNewStatPS wizard(catalog);
        wizard.show();
        QVERIFY(wizard.testOption(QWizard::HaveHelpButton));
        QAbstractButton* help = wizard.button(QWizard::HelpButton);
        QVERIFY(help != nullptr && help->isVisible());
        help->click();
        QCOMPARE(opened.addresses.size(), 1);
        QVERIFY(opened.addresses.front().endsWith(QStringLiteral("views.html#statistics")));
    }

    void anUnknownDialogGetsNoHelpButton() {
        UnknownDlg dialog;
        dialog.show();
        QVERIFY(dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Help) == nullptr);
    }

    void everyTopicIsAPageAndAnchorOfTheHelp() {
        const QString help = sourceDir() + QStringLiteral("/app/help/");
        const QRegularExpression id(QStringLiteral("id=\"([a-z0-9-]+)\""));
        for (const app::ContextHelp::Topic& topic : app::ContextHelp::topics()) {
            const QString page = QString::fromLatin1(topic.page.data(), topic.page.size());
            const QString file = page.section(QLatin1Char('#'), 0, 0);
            const QString anchor = page.section(QLatin1Char('#'), 1);
            const QString html = readAll(help + file);
            QVERIFY2(!html.isEmpty(), qPrintable(page));
            if (anchor.isEmpty()) continue;
            QSet<QString> ids;
            for (const auto& match : id.globalMatch(html)) ids.insert(match.captured(1));
            QVERIFY2(ids.contains(anchor),
                     qPrintable(QString::fromLatin1(topic.dialog.data(), topic.dialog.size()) +
                                QStringLiteral(" -> ") + page));
        }
    }

    void everyDialogOfTheProgramHasATopic() {
        const QRegularExpression declared(
            QStringLiteral("class (C\\w+)(?: final)? : public Q(?:Dialog|Wizard)\\b"));
        std::set<QString> known;
        for (const app::ContextHelp::Topic& topic : app::ContextHelp::topics())
            known.insert(QString::fromLatin1(topic.dialog.data(), topic.dialog.size()));
        int dialogs = 0;
        QDirIterator it(sourceDir() + QStringLiteral("/app"), {QStringLiteral("*.h")}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString header = it.next();
            for (const auto& match : declared.globalMatch(readAll(header))) {
                ++dialogs;
                QVERIFY2(known.count(match.captured(1)) == 1,
                         qPrintable(match.captured(1) + QStringLiteral(" in ") + header));
            }
        }
        QVERIFY(dialogs >= 15);
    }
};

QTEST_MAIN(ContextHelpTest)
#include "ContextHelpTest.moc"
