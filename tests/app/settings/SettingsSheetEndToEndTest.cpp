// The Settings command of the real window, its sheet answered in place of the user: confirmed
// conditions colour a finished page in the site tree and its details, a confirmed proxy carries
// the next run, and the crawl's stored Enabled value is the Auto toggle's.
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include <functional>

#include "app/main/PagelystApp.h"
#include "app/settings/CSettingsPageConnection.h"
#include "app/settings/CSettingsPageFilters.h"
#include "app/settings/CSettingsSheet.h"
#include "app/shell/CApplication.h"
#include "app/shell/CMainFrame.h"
#include "app/sitetree/CSiteTreeDlg.h"
#include "app/sitetree/SiteTreeModel.h"
#include "app/widgets/PropertyListModel.h"
#include "app/widgets/QtColor.h"
#include "persist/SettingsMap.h"
#include "persist/SettingsStore.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/RawServer.h"
#include "tests/support/TestServer.h"

using app::CommandId;
using app::CSettingsSheet;

namespace {

// Download on 14.4K takes more than `seconds`, highlighted with a named colour.
report::FilterCondition slowOn144K(int seconds, int colorIndex) {
    report::FilterCondition condition;
    condition.timeType = 1;
    condition.connectionType = 10;
    condition.threshold = seconds;
    condition.colorIndex = colorIndex;
    condition.name = report::generatedName(condition);
    return condition;
}

QColor named(int index) {
    return app::qtColor(report::kNamedColors[static_cast<std::size_t>(index)].color);
}

constexpr int kBisque = 5;
constexpr int kThistle = 31;

app::CSettingsPageFilters& conditionsPage(CSettingsSheet& sheet) {
    return *static_cast<app::CSettingsPageFilters*>(sheet.page(CSettingsSheet::kConditionsPage));
}

}  // namespace

class SettingsSheetEndToEndTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        apptest::renewHome(home_);
        program_ = std::make_unique<app::PagelystApp>();
        QVERIFY(program_->application().start({QStringLiteral("pagelyst")}));
        program_->application().context().conditions() = report::FilterConditionList{};
    }
    void cleanup() {
        CSettingsSheet::setRunner({});
        app::CSettingsPageFilters::setConditionEditor({});
        window().close();
        program_.reset();
        home_.reset();
    }

    void conditionsFromTheSheetColourAFinishedPage() {
        support::TestServer server;
        server.get("/", [](const httplib::Request&, httplib::Response& response) {
            response.set_content("<html><body>" + std::string(20000, ' ') + "</body></html>",
                                 "text/html");
        });
        analyze(server.url("/"));
        QVERIFY(!rowColor().isValid());

        std::deque<report::FilterCondition> answers{slowOn144K(2, kBisque),
                                                    slowOn144K(1, kThistle)};
        app::CSettingsPageFilters::setConditionEditor(
            [&answers](report::FilterCondition& condition, QWidget*) {
                condition = answers.front();
                answers.pop_front();
                return true;
            });
        settings([](CSettingsSheet& sheet) {
            conditionsPage(sheet).newCondition();
            conditionsPage(sheet).newCondition();
        });
        QCOMPARE(rowColor().value<QColor>(), named(kBisque));
        QVERIFY(detailsColors().contains(named(kBisque)));

        settings([](CSettingsSheet& sheet) {
            conditionsPage(sheet).selectRow(1);
            conditionsPage(sheet).moveCondition(-1);
        });
        QCOMPARE(rowColor().value<QColor>(), named(kThistle));
    }

    void aProxyFromTheSheetCarriesTheNextRun() {
        support::RawServer proxy([](support::RawServer::Connection& connection) {
            if (connection.readRequest().empty()) return;
            connection.send(
                "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: 13\r\n"
                "Connection: close\r\n\r\n<html></html>");
        });
        settings([&proxy](CSettingsSheet& sheet) {
            auto& page = *static_cast<app::CSettingsPageConnection*>(
                sheet.page(CSettingsSheet::kConnectionPage));
            page.proxyChoice(2)->click();
            page.serverField()->setText("127.0.0.1");
            page.portField()->setText(QString::number(proxy.port()));
        });
        analyze("http://pagelyst-proxied.invalid/start.html");
        const auto requests = proxy.requests();
        QVERIFY(!requests.empty());
        QVERIFY2(requests.front().rfind("GET http://pagelyst-proxied.invalid/start.html", 0) == 0,
                 requests.front().c_str());
    }

    // The sheet writes the crawl's Enabled value as the Auto toggle stands, not as loaded.
    void theStoredAutoFlagIsTheToggles() {
        window().runCommand(CommandId::Auto);
        QVERIFY(!program_->application().context().tree().crawlController().enabled);
        settings([](CSettingsSheet&) {});
        QCOMPARE(persist::readIntValue(persist::section::kAutoLoad, "Enabled", -1), 0);
    }

private:
    app::CMainFrame& window() { return *program_->application().mainWindow(); }
    app::CSiteTreeDlg& siteTree() {
        return *dynamic_cast<app::CSiteTreeDlg*>(window().mainView().activeAppView());
    }

    // Runs the Settings command; the sheet is edited by `edit` and confirmed.
    void settings(const std::function<void(CSettingsSheet&)>& edit) {
        int sheets = 0;
        CSettingsSheet::setRunner([&](CSettingsSheet& sheet) {
            ++sheets;
            edit(sheet);
            sheet.accept();
            return sheet.result();
        });
        window().updateCommands();
        QVERIFY(window().action(CommandId::Settings)->isEnabled());
        window().runCommand(CommandId::Settings);
        QCOMPARE(sheets, 1);
    }

    void analyze(const std::string& url) {
        apptest::RunWatcher run(program_->application().context());
        window().setAddressBarText(QString::fromStdString(url));
        window().runCommand(CommandId::Analyze);
        QVERIFY(run.waitForEnd());
        siteTree().model()->flush();
    }

    QVariant rowColor() {
        siteTree().model()->flush();
        return siteTree().model()->index(0, 0).data(Qt::BackgroundRole);
    }

    QList<QColor> detailsColors() {
        QList<QColor> colors;
        const app::PagePropertiesModel& details = *siteTree().details();
        for (int row = 0; row < details.rowCount(); ++row) {
            const QVariant color = details.index(row, 0).data(Qt::BackgroundRole);
            if (color.isValid()) colors << color.value<QColor>();
        }
        return colors;
    }

    std::unique_ptr<apptest::ProgramHome> home_;
    std::unique_ptr<app::PagelystApp> program_;
};

QTEST_MAIN(SettingsSheetEndToEndTest)
#include "SettingsSheetEndToEndTest.moc"
