#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include "app/settings/CSettingsPageConnection.h"
#include "app/settings/CSettingsPageFilters.h"
#include "app/settings/CSettingsPageOperation.h"
#include "app/settings/CSettingsSheet.h"
#include "persist/SettingsMap.h"
#include "persist/SettingsStore.h"
#include "tests/app/AppTestSupport.h"

using app::CSettingsPageConnection;
using app::CSettingsPageOperation;
using app::CSettingsSheet;

namespace {

CSettingsPageConnection& connectionPage(CSettingsSheet& sheet) {
    return *static_cast<CSettingsPageConnection*>(sheet.page(CSettingsSheet::kConnectionPage));
}
CSettingsPageOperation& operationPage(CSettingsSheet& sheet) {
    return *static_cast<CSettingsPageOperation*>(sheet.page(CSettingsSheet::kOperationPage));
}

}  // namespace

class CSettingsSheetTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        apptest::renewHome(home_);
        answers_ = std::make_unique<apptest::Answers>();
    }
    void cleanup() {
        answers_.reset();
        home_.reset();
    }

    void proxyFieldsOnlyForANamedProxy_data() {
        QTest::addColumn<int>("proxy");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("system settings") << 0 << false;
        QTest::newRow("not using proxy") << 1 << false;
        QTest::newRow("proxy server") << 2 << true;
    }
    void proxyFieldsOnlyForANamedProxy() {
        QFETCH(int, proxy);
        QFETCH(bool, enabled);
        CSettingsSheet sheet({}, conditions_);
        auto& page = connectionPage(sheet);
        page.proxyChoice(proxy)->click();
        QCOMPARE(page.serverField()->isEnabled(), enabled);
        QCOMPARE(page.portField()->isEnabled(), enabled);
    }

    void credentialsOnlyWhenRequired() {
        CSettingsSheet sheet({}, conditions_);
        auto& page = connectionPage(sheet);
        QVERIFY(!page.loginField()->isEnabled());
        QVERIFY(!page.passwordField()->isEnabled());
        page.authenticationChoice(true)->click();
        QVERIFY(page.loginField()->isEnabled());
        QVERIFY(page.passwordField()->isEnabled());
        QCOMPARE(page.passwordField()->echoMode(), QLineEdit::Password);
        page.authenticationChoice(false)->click();
        QVERIFY(!page.loginField()->isEnabled());
    }

    void pagesStartFromTheGivenSettings() {
        engine::EngineSettings settings;
        settings.connection.proxy = 2;
        settings.connection.proxyServer = "proxy.example";
        settings.connection.proxyPort = 3128;
        settings.operation.autoCheck = 2;
        settings.operation.showOrig = true;
        settings.limits.levelLimit = 3;
        CSettingsSheet sheet(settings, conditions_);
        QVERIFY(connectionPage(sheet).proxyChoice(2)->isChecked());
        QCOMPARE(connectionPage(sheet).portField()->text(), QString("3128"));
        QVERIFY(operationPage(sheet).scopeChoice(2)->isChecked());
        QVERIFY(operationPage(sheet).showOriginalBox()->isChecked());
        QCOMPARE(operationPage(sheet).levelLimitField()->text(), QString("3"));
    }

    void badValuesAreRefused_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("message");
        const QString port = "The port must be a whole number from 0 to 65535.";
        const QString level = "The level limit must be a whole number of 1 or more.";
        const QString pages = "The pages limit must be a whole number of 1 or more.";
        QTest::newRow("port above 65535") << "port"
                                          << "65536" << 0 << port;
        QTest::newRow("negative port") << "port"
                                       << "-1" << 0 << port;
        QTest::newRow("letters in the port") << "port"
                                             << "80a" << 0 << port;
        QTest::newRow("level limit 0") << "level"
                                       << "0" << 1 << level;
        QTest::newRow("level limit below 0") << "level"
                                             << "-3" << 1 << level;
        QTest::newRow("letters in the pages limit") << "pages"
                                                    << "ten" << 1 << pages;
        QTest::newRow("empty pages limit") << "pages"
                                           << "" << 1 << pages;
    }
    void badValuesAreRefused() {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(int, page);
        QFETCH(QString, message);
        CSettingsSheet sheet({}, conditions_);
        connectionPage(sheet).proxyChoice(2)->click();
        QLineEdit* edit = field == "port"    ? connectionPage(sheet).portField()
                          : field == "level" ? operationPage(sheet).levelLimitField()
                                             : operationPage(sheet).pageLimitField();
        edit->setText(text);
        sheet.accept();
        QCOMPARE(answers_->asked, QStringList{message});
        QCOMPARE(sheet.result(), int(QDialog::Rejected));
        QCOMPARE(sheet.currentPage(), page);
        QCOMPARE(persist::readIntValue(persist::section::kConnection, "Proxy"), std::nullopt);
    }

    void boundaryValuesAreTaken() {
        CSettingsSheet sheet({}, conditions_);
        connectionPage(sheet).proxyChoice(2)->click();
        connectionPage(sheet).portField()->setText("65535");
        operationPage(sheet).levelLimitField()->setText("1");
        sheet.accept();
        QVERIFY(answers_->asked.isEmpty());
        QCOMPARE(sheet.engineSettings().connection.proxyPort, 65535);
        QCOMPARE(sheet.engineSettings().limits.levelLimit, 1);
    }

    void aPortOfAnUnusedProxyIsNotRefused() {
        CSettingsSheet sheet({}, conditions_);
        connectionPage(sheet).portField()->setText("x");
        sheet.accept();
        QVERIFY(answers_->asked.isEmpty());
        QCOMPARE(sheet.engineSettings().connection.proxyPort, 0);
    }

    void nothingIsStoredUntilConfirmed() {
        CSettingsSheet sheet({}, conditions_);
        auto& page = connectionPage(sheet);
        page.proxyChoice(2)->click();
        page.serverField()->setText("127.0.0.1");
        page.portField()->setText("8080");
        page.authenticationChoice(true)->click();
        page.loginField()->setText("me");
        page.passwordField()->setText("secret");
        operationPage(sheet).scopeChoice(0)->click();
        operationPage(sheet).showOriginalBox()->setChecked(true);
        operationPage(sheet).pageLimitField()->setText("20");
        QCOMPARE(engine::loadSettings(), engine::EngineSettings{});
        QCOMPARE(sheet.engineSettings(), engine::EngineSettings{});
        sheet.accept();
        QCOMPARE(sheet.result(), int(QDialog::Accepted));
        engine::EngineSettings expected;
        expected.connection = {true, "me", "secret", 2, "127.0.0.1", 8080};
        expected.operation = {0, true};
        expected.limits.pageLimit = 20;
        QCOMPARE(sheet.engineSettings(), expected);
        QCOMPARE(engine::loadSettings(), expected);
    }

    void cancellingStoresNothing() {
        CSettingsSheet sheet({}, conditions_);
        operationPage(sheet).pageLimitField()->setText("20");
        sheet.reject();
        QCOMPARE(engine::loadSettings(), engine::EngineSettings{});
        QCOMPARE(sheet.engineSettings(), engine::EngineSettings{});
    }

    void confirmingReplacesAndStoresTheConditions() {
        conditions_ = report::FilterConditionList::makeDefaults();
        {
            CSettingsSheet sheet({}, conditions_);
            auto& page = *static_cast<app::CSettingsPageFilters*>(
                sheet.page(CSettingsSheet::kConditionsPage));
            page.selectRow(0);
            page.removeCondition();
            QCOMPARE(conditions_.conditions().size(), std::size_t{6});
            sheet.accept();
        }
        QCOMPARE(conditions_.conditions().size(), std::size_t{5});
        QCOMPARE(report::FilterConditionList::load().conditions(), conditions_.conditions());
    }

    void reopensOnTheLastConfirmedPage() {
        {
            CSettingsSheet sheet({}, conditions_);
            sheet.setCurrentPage(CSettingsSheet::kOperationPage);
            sheet.accept();
        }
        {
            CSettingsSheet sheet({}, conditions_);
            QCOMPARE(sheet.currentPage(), int(CSettingsSheet::kOperationPage));
            sheet.setCurrentPage(CSettingsSheet::kConnectionPage);
            sheet.reject();
        }
        CSettingsSheet sheet({}, conditions_);
        QCOMPARE(sheet.currentPage(), int(CSettingsSheet::kOperationPage));
        QCOMPARE(CSettingsSheet::lastConfirmedPage(), int(CSettingsSheet::kOperationPage));
    }

private:
    std::unique_ptr<apptest::ProgramHome> home_;
    std::unique_ptr<apptest::Answers> answers_;
    report::FilterConditionList conditions_;
};

QTEST_MAIN(CSettingsSheetTest)
#include "CSettingsSheetTest.moc"
