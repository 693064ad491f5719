// The settings sheet against the running program's core: conditions confirmed on the sheet
// colour a finished page in the site tree, and a proxy confirmed on it carries the next run.
#include <QTest>

#include "app/settings/CSettingsPageConnection.h"
#include "app/settings/CSettingsPageFilters.h"
#include "app/settings/CSettingsSheet.h"
#include "app/shell/AppContext.h"
#include "app/sitetree/SiteTreeModel.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/RawServer.h"
#include "tests/support/TestServer.h"

#include <QLineEdit>
#include <QRadioButton>

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
    const auto color = report::kNamedColors[static_cast<std::size_t>(index)].color;
    return QColor(int(color & 0xff), int((color >> 8) & 0xff), int((color >> 16) & 0xff));
}

constexpr int kBisque = 5;
constexpr int kThistle = 31;

}  // namespace

class SettingsSheetEndToEndTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        home_ = std::make_unique<apptest::ProgramHome>();
        context_ = std::make_unique<app::AppContext>();
        context_->loadSettings();
        context_->conditions() = report::FilterConditionList{};
        model_ = std::make_unique<app::SiteTreeModel>(*context_);
    }
    void cleanup() {
        app::CSettingsPageFilters::setConditionEditor({});
        model_.reset();
        context_->shutDown();
        context_.reset();
        home_.reset();
    }

    void conditionsFromTheSheetColourAFinishedPage() {
        support::TestServer server;
        server.get("/", [](const httplib::Request&, httplib::Response& response) {
            response.set_content("<html><body>" + std::string(20000, ' ') + "</body></html>",
                                 "text/html");
        });
        run(server.url("/"));
        QVERIFY(!model_->index(0, 0).data(Qt::BackgroundRole).isValid());

        std::deque<report::FilterCondition> answers{slowOn144K(2, kBisque),
                                                    slowOn144K(1, kThistle)};
        app::CSettingsPageFilters::setConditionEditor(
            [&answers](report::FilterCondition& condition, QWidget*) {
                condition = answers.front();
                answers.pop_front();
                return true;
            });
        {
            CSettingsSheet sheet(context_->manager().settings(), context_->conditions());
            auto& page = conditionsPage(sheet);
            page.newCondition();
            page.newCondition();
            sheet.accept();
        }
        model_->conditionsChanged();
        QCOMPARE(model_->index(0, 0).data(Qt::BackgroundRole).value<QColor>(), named(kBisque));

        {
            CSettingsSheet sheet(context_->manager().settings(), context_->conditions());
            auto& page = conditionsPage(sheet);
            page.selectRow(1);
            page.moveCondition(-1);
            sheet.accept();
        }
        model_->conditionsChanged();
        QCOMPARE(model_->index(0, 0).data(Qt::BackgroundRole).value<QColor>(), named(kThistle));
    }

    void aProxyFromTheSheetCarriesTheNextRun() {
        support::RawServer proxy([](support::RawServer::Connection& connection) {
            if (connection.readRequest().empty()) return;
            connection.send(
                "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: 13\r\n"
                "Connection: close\r\n\r\n<html></html>");
        });
        {
            CSettingsSheet sheet(context_->manager().settings(), context_->conditions());
            auto& page = *static_cast<app::CSettingsPageConnection*>(
                sheet.page(CSettingsSheet::kConnectionPage));
            page.proxyChoice(2)->click();
            page.serverField()->setText("127.0.0.1");
            page.portField()->setText(QString::number(proxy.port()));
            sheet.accept();
            context_->manager().setSettings(sheet.engineSettings());
            context_->applyCrawlSettings();
        }
        run("http://pagelyst-proxied.invalid/start.html");
        const auto requests = proxy.requests();
        QVERIFY(!requests.empty());
        QVERIFY2(requests.front().rfind("GET http://pagelyst-proxied.invalid/start.html", 0) == 0,
                 requests.front().c_str());
    }

private:
    static app::CSettingsPageFilters& conditionsPage(CSettingsSheet& sheet) {
        return *static_cast<app::CSettingsPageFilters*>(
            sheet.page(CSettingsSheet::kConditionsPage));
    }

    void run(const std::string& url) {
        apptest::RunWatcher watcher(*context_);
        context_->tree().analyzeAll(url);
        QVERIFY(watcher.waitForEnd());
        model_->flush();
    }

    std::unique_ptr<apptest::ProgramHome> home_;
    std::unique_ptr<app::AppContext> context_;
    std::unique_ptr<app::SiteTreeModel> model_;
};

QTEST_MAIN(SettingsSheetEndToEndTest)
#include "SettingsSheetEndToEndTest.moc"
