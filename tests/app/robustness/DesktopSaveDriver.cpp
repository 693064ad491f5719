// The desktop program making one save of one kind, or the check of what such saves left behind;
// desktop-interrupted-saves.sh kills it with SIGKILL in the middle of the save.
//
//   desktop_save_driver save KIND PATH GENERATION   starts the real program (PAGELYST_HOME
//                                                   names its home), gives it generation 1 or
//                                                   2 of KIND's content and has it save: exit 0,
//                                                   or 1 with what the user was told on stderr
//   desktop_save_driver check KIND PATH             prints the generation PATH holds, or "torn"
//
// KIND is statistics, report or settings (written when the program quits), scenario (Save
// Scenario) or csv, html, har (the exports, of a page served on loopback). With
// SAVE_DRIVER_PIDFILE set, the process id is written there once the program is up and only the
// save is left to do; with SAVE_DRIVER_DONEFILE set, that file is made once the save returned.
#include <unistd.h>

#include <QApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>

#include "app/main/PagelystApp.h"
#include "app/reports/CReportDlg.h"
#include "app/reports/ReportsRegistration.h"
#include "app/shell/CMainFrame.h"
#include "app/shell/ScenarioCommands.h"
#include "app/sitetree/CSiteTreeDlg.h"
#include "app/sitetree/SiteTreeRegistration.h"
#include "app/statistics/CStatisticsDlg.h"
#include "app/statistics/StatisticsRegistration.h"
#include "app/widgets/FileDialogs.h"
#include "app/widgets/MessageBoxes.h"
#include "app/widgets/WebEngineSetup.h"
#include "persist/ScenarioFile.h"
#include "persist/SettingsMap.h"
#include "persist/SettingsStore.h"
#include "platform/RegistryText.h"
#include "query/StatisticsCatalog.h"
#include "report/ReportManager.h"
#include "report/TableItem.h"
#include "report/TitleItem.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/TestServer.h"

namespace {

constexpr int kFailed = 1;
constexpr int kUsage = 2;
// Pages of a generation's scenario and elements of its exported page, per generation.
constexpr int kPerGeneration = 12;
const QString kUrls = QStringLiteral("urls");

std::string tag(int generation) {
    return "generation " + std::to_string(generation);
}

// The marker every address of a generation's page carries.
QString marker(int generation) {
    return QStringLiteral("/g%1/").arg(generation);
}

QByteArray readBytes(const std::string& path) {
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The page an export of generation N is made of: a root and N * kPerGeneration images.
void serveGeneration(support::TestServer& server, int generation) {
    const std::string prefix = marker(generation).toStdString();
    server.get(prefix + "index.html", [=](const httplib::Request&, httplib::Response& r) {
        std::string body = "<html><head><title>" + tag(generation) + "</title></head><body>";
        for (int i = 0; i < generation * kPerGeneration; ++i)
            body += "<img src=\"" + prefix + std::to_string(i) + ".gif\">";
        r.set_content(body + "</body></html>", "text/html");
    });
    server.get(prefix + R"(\d+\.gif)", [](const httplib::Request&, httplib::Response& r) {
        r.set_content(std::string(64, 'g'), "image/gif");
    });
}

void writePid() {
    if (const char* pidFile = std::getenv("SAVE_DRIVER_PIDFILE"))
        std::ofstream(pidFile) << ::getpid() << "\n";
}

void writeDone() {
    if (const char* doneFile = std::getenv("SAVE_DRIVER_DONEFILE")) std::ofstream(doneFile) << "\n";
}

int save(const std::string& kind, const QString& path, int generation) {
    persist::setting::kTipStartUp.set(0);
    QStringList told;
    app::MessageBoxes::setAnswerer([&](const app::MessageBoxes::Box& box) {
        told << box.text;
        return QMessageBox::Ok;
    });
    app::setPathChooser([&](const QString&) { return path; });
    support::TestServer server;
    serveGeneration(server, generation);
    int status = 0;
    {
        app::PagelystApp program;
        app::CApplication& application = program.application();
        if (!application.start({QStringLiteral("pagelyst")})) return kFailed;
        app::CMainFrame& window = *application.mainWindow();
        app::AppContext& context = application.context();
        const auto analyze = [&] {
            apptest::RunWatcher watcher(context);
            window.setAddressBarText(QString::fromStdString(
                server.url(marker(generation).toStdString() + "index.html")));
            window.updateCommands();
            window.runCommand(app::CommandId::Analyze);
            if (!watcher.waitForEnd()) return false;
            // The page becomes the current one, as a click on it in the tree makes it.
            auto* tree =
                dynamic_cast<app::CSiteTreeDlg*>(window.mainView().view(app::siteTreeKey()));
            tree->selectNode(context.tree().displayOrder().front());
            return true;
        };
        if (kind == "statistics") {
            context.statistics().add(tag(generation), "SELECT URL, Size");
            writePid();
            window.close();
            writeDone();
        } else if (kind == "report") {
            report::Report own(tag(generation), "", context.reports().styles().begin()->first);
            own.append(std::make_unique<report::TitleItem>(tag(generation), 1));
            context.reports().addReport(std::move(own));
            writePid();
            window.close();
            writeDone();
        } else if (kind == "settings") {
            writePid();
            context.addRecentAddress(QStringLiteral("http://g%1.example/").arg(generation));
            window.close();
            writeDone();
        } else if (kind == "scenario") {
            for (int i = 0; i < generation * kPerGeneration; ++i) {
                context.tree().addPage(QStringLiteral("http://pages.example%1%2.html")
                                           .arg(marker(generation))
                                           .arg(i)
                                           .toStdString(),
                                       nullptr);
            }
            writePid();
            app::ScenarioCommands::saveTo(&window, context, path);
            writeDone();
            window.close();
        } else if (kind == "csv" || kind == "html" || kind == "har") {
            if (!analyze()) return kFailed;
            if (kind == "csv") {
                const std::int32_t id = context.statistics().add(kUrls.toStdString(), "SELECT URL");
                window.runCommand(app::CommandId::ViewStatistics);
                auto* view = dynamic_cast<app::CStatisticsDlg*>(
                    window.mainView().view(app::statisticsKey()));
                view->chooseDefinition(id);
            } else if (kind == "html") {
                report::Report own(kUrls.toStdString(), "",
                                   context.reports().styles().begin()->first);
                own.append(std::make_unique<report::TableItem>("SELECT URL"));
                const std::int32_t id = context.reports().addReport(std::move(own));
                window.runCommand(app::CommandId::ViewReports);
                auto* view =
                    dynamic_cast<app::CReportDlg*>(window.mainView().view(app::reportsKey()));
                view->refreshReports();
                view->chooseReport(id);
            }
            window.updateCommands();
            writePid();
            window.runCommand(kind == "har" ? app::CommandId::ExportHar : app::CommandId::Export);
            writeDone();
            window.close();
        } else {
            std::cerr << "desktop_save_driver: unknown kind " << kind << "\n";
            return kUsage;
        }
        apptest::flushEvents();
    }
    app::setPathChooser({});
    app::MessageBoxes::setAnswerer({});
    if (!told.isEmpty()) {
        std::cerr << "desktop_save_driver: " << kind
                  << " not saved: " << told.join(QStringLiteral(" | ")).toStdString() << "\n";
        status = kFailed;
    }
    return status;
}

// Lines of an export that name an address of the generation's page.
int linesWith(const QByteArray& bytes, int generation) {
    return static_cast<int>(bytes.count(marker(generation).toUtf8()));
}

std::optional<int> generationOf(const std::string& kind, const std::string& path) {
    const QByteArray bytes = readBytes(path);
    for (int generation : {1, 2}) {
        const int other = 3 - generation;
        bool matches = false;
        if (kind == "statistics") {
            query::StatisticsCatalog catalog;
            // The second generation is the first with one more definition.
            matches = catalog.load(path) && catalog.findByTitle(tag(generation)) &&
                      (generation == 2 || !catalog.findByTitle(tag(other)));
        } else if (kind == "report") {
            report::ReportManager manager;
            bool mine = false;
            bool theirs = false;
            if (manager.load(path)) {
                for (const auto& [id, stored] : manager.reports()) {
                    mine = mine || stored.name() == tag(generation);
                    theirs = theirs || stored.name() == tag(other);
                }
            }
            matches = mine && (generation == 2 || !theirs);
        } else if (kind == "settings") {
            // Parsed first: reading a damaged store through the settings would move it aside.
            // The address typed last is the newest of the recent addresses.
            const auto end = persist::readIntValue(persist::section::kAddressMru, "mru_end");
            matches = platform::parseRegistryText(bytes.toStdString()).has_value() && end &&
                      persist::readStringValue(persist::section::kAddressMru,
                                               "mru" + std::to_string(*end - 1)) ==
                          "http://g" + std::to_string(generation) + ".example/";
        } else if (kind == "scenario") {
            try {
                const auto pages = persist::ScenarioFile::load(path);
                matches =
                    pages && static_cast<int>(pages->size()) == generation * kPerGeneration &&
                    QString::fromStdString(pages->back().address).contains(marker(generation));
            } catch (...) {
                matches = false;
            }
        } else if (kind == "csv") {
            // The header, the page and its images, each line ended by CR LF.
            matches = bytes.endsWith("\r\n") &&
                      bytes.count("\r\n") == generation * kPerGeneration + 2 &&
                      linesWith(bytes, generation) == generation * kPerGeneration + 1;
        } else if (kind == "html") {
            // A stored report's page ends with its body.
            matches = bytes.trimmed().toLower().endsWith("</body>") &&
                      linesWith(bytes, generation) >= generation * kPerGeneration + 1 &&
                      linesWith(bytes, other) == 0;
        } else if (kind == "har") {
            QJsonParseError error{};
            const QJsonDocument har = QJsonDocument::fromJson(bytes, &error);
            matches = error.error == QJsonParseError::NoError &&
                      har["log"]["entries"].toArray().size() == generation * kPerGeneration + 1 &&
                      linesWith(bytes, other) == 0;
        }
        if (matches) return generation;
    }
    return std::nullopt;
}

int usage() {
    std::cerr << "usage: desktop_save_driver save KIND PATH GENERATION | "
                 "desktop_save_driver check KIND PATH\n";
    return kUsage;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) return usage();
    const std::string command = argv[1];
    const std::string kind = argv[2];
    const std::string path = argv[3];
    if (command == "check" && argc == 4) {
        const auto generation = generationOf(kind, path);
        std::cout << (generation ? std::to_string(*generation) : std::string("torn")) << "\n";
        return generation ? 0 : kFailed;
    }
    if (command != "save" || argc != 5) return usage();
    const int generation = std::atoi(argv[4]);
    if (generation != 1 && generation != 2) return usage();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    app::prepareWebEngine();
    QApplication qt(argc, argv);
    return save(kind, QString::fromStdString(path), generation);
}
