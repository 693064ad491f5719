// The real main window against servers that misbehave on purpose: while each run goes on the
// event loop keeps turning, the failure is told in words (the site tree's Status cell and the
// page's details), and Stop ends a run that would not end by itself, leaving the engine idle.
#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/analysis/CPageDetailsDlg.h"
#include "app/widgets/PropertyListCtrl.h"
#include "engine/http/CurlErrorMap.h"
#include "engine/items/ErrorText.h"
#include "report/SiteColumns.h"
#include "tests/app/ProgramFixture.h"
#include "tests/support/RawServer.h"
#include "tests/support/TestCertificates.h"
#include "tests/support/TestServer.h"

using app::CommandId;
using support::RawServer;
using namespace std::chrono_literals;

namespace {

// A run may hold the loop this long at most before the window counts as frozen.
constexpr qint64 kLongestGapMs = 1000;
// Hang guards: a run that fails by itself, and the end of a run after Stop.
constexpr int kRunGuardMs = 30000;
constexpr int kStopGuardMs = 10000;

struct HostileCase {
    const char* name;
    RawServer::Script script;  // the fault on a raw TCP server (HTTP, or a TLS handshake)
    bool https = false;
    // Never ends by itself within the program's own time-out: the user presses Stop.
    bool stop = false;
    std::int32_t result = 0;  // the transfer result the page must end with; 0: none
    // An HTTPS fault behind a good handshake: the route of a TLS test server, made for it.
    std::function<httplib::Server::Handler(const support::TestServer&)> route = {};
};

// One authority for every certificate of the suite; the program trusts it.
support::TestCertificateAuthority& authority() {
    static support::TestCertificateAuthority ca;
    return ca;
}

std::string headers(const std::string& extra) {
    return "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n" + extra + "\r\n";
}

const std::vector<HostileCase>& cases() {
    using C = RawServer::Connection;
    namespace e = engine::error;
    static const std::vector<HostileCase> all{
        {"delay before headers",
         [](C& c) {
             c.readRequest();
             c.waitForStop(3000ms);
             c.send(headers("Content-Length: 2\r\n") + "ok");
         },
         false, false, e::kTimeout},
        {"idle forever",
         [](C& c) {
             c.readRequest();
             c.waitForStop();
         },
         false, true},
        {"a body that never ends",
         [](C& c) {
             c.readRequest();
             c.send(headers(""));
             while (c.send(std::string(1024, 'x'))) std::this_thread::sleep_for(5ms);
         },
         false, true},
        {"headers that never end",
         [](C& c) {
             c.readRequest();
             c.send("HTTP/1.1 200 OK\r\n");
             for (int i = 0; c.send("X-Drip-" + std::to_string(i) + ": y\r\n"); ++i)
                 c.waitForStop(20ms);
         },
         false, true},
        {"one byte per half second",
         [](C& c) {
             c.readRequest();
             c.send(headers("Content-Length: 600\r\n"));
             for (int i = 0; i < 600 && c.send("x"); ++i) c.waitForStop(500ms);
         },
         false, true},
        {"close after headers",
         [](C& c) {
             c.readRequest();
             c.send(headers("Content-Length: 100\r\n"));
         },
         false, false, e::kConnectionAborted},
        {"reset mid-body",
         [](C& c) {
             c.readRequest();
             c.send(headers("Content-Length: 100000\r\n") + std::string(5000, 'x'));
             c.reset();
         },
         false, false, e::kConnectionReset},
        {"Content-Length longer than body",
         [](C& c) {
             c.readRequest();
             c.send(headers("Content-Length: 5000\r\n") + std::string(1000, 'x'));
         },
         false, false, e::kConnectionAborted},
        {"chunked without its last chunk",
         [](C& c) {
             c.readRequest();
             c.send(headers("Transfer-Encoding: chunked\r\n") + "5\r\nhello\r\n");
         },
         false, false, e::kConnectionAborted},
        {"empty reply", [](C& c) { c.readRequest(); }, false, false, e::kInvalidServerResponse},
        {"redirect loop",
         [](C& c) {
             while (!c.readRequest().empty()) {
                 if (!c.send("HTTP/1.1 302 Found\r\nLocation: /fault\r\nContent-Length: 0\r\n\r\n"))
                     break;
             }
         },
         false, false, e::kRedirectFailed},
        {"2 GiB+ Content-Length",
         [](C& c) {
             c.readRequest();
             c.send(headers("Content-Length: 3000000000\r\n") + std::string(1000, 'x'));
         },
         false, false, e::kConnectionAborted},
        {"garbage status line",
         [](C& c) {
             c.readRequest();
             c.send("SPDY/9 banana\r\n\r\n");
         },
         false, false, e::kInvalidServerResponse},
        {"one header of 1 MB",
         [](C& c) {
             c.readRequest();
             c.send("HTTP/1.1 200 OK\r\nX-Huge: " + std::string(1 << 20, 'h') + "\r\n\r\nok");
         },
         false, false, e::kInvalidServerResponse},
        {"TLS handshake fails",
         [](C& c) {
             c.send("not a TLS server hello\r\n\r\n");
             c.waitForStop(2000ms);
         },
         true, false, e::kSecureChannelError},
        {"HTTPS delay before headers", nullptr, true, false, e::kTimeout,
         [](const support::TestServer& s) -> httplib::Server::Handler {
             return [&s](const httplib::Request&, httplib::Response& r) {
                 s.pause(3000ms);
                 r.set_content("late", "text/html");
             };
         }},
        {"HTTPS idle forever", nullptr, true, true, 0,
         [](const support::TestServer& s) -> httplib::Server::Handler {
             return [&s](const httplib::Request&, httplib::Response&) { s.pause(10min); };
         }},
        {"HTTPS body that never ends", nullptr, true, true, 0,
         [](const support::TestServer& s) -> httplib::Server::Handler {
             return [&s](const httplib::Request&, httplib::Response& r) {
                 r.set_chunked_content_provider(
                     "text/html", [&s](std::size_t, httplib::DataSink& sink) {
                         const std::string block(1024, 'x');
                         while (s.pause(5ms) && sink.write(block.data(), block.size())) {
                         }
                         return false;
                     });
             };
         }},
        {"HTTPS redirect loop", nullptr, true, false, e::kRedirectFailed,
         [](const support::TestServer&) -> httplib::Server::Handler {
             return [](const httplib::Request&, httplib::Response& r) { r.set_redirect("/fault"); };
         }},
    };
    return all;
}

// Ticks every 50 ms and keeps the longest time between two ticks.
class LoopWatch {
public:
    LoopWatch() {
        timer_.setInterval(50);
        QObject::connect(&timer_, &QTimer::timeout,
                         [this] { longest_ = std::max(longest_, clock_.restart()); });
        clock_.start();
        timer_.start();
    }
    qint64 longestGapMs() { return std::max(longest_, clock_.elapsed()); }

private:
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 longest_ = 0;
};

// The rows of a property list as "property=value" texts.
QStringList rowsOf(const QAbstractItemModel& model) {
    QStringList rows;
    for (int row = 0; row < model.rowCount(); ++row)
        rows << model.index(row, 0).data().toString() + "=" + model.index(row, 1).data().toString();
    return rows;
}

// "case | expected | seen" for the robustness note, printed when the suite ends.
std::vector<std::string>& matrix() {
    static std::vector<std::string> rows;
    return rows;
}

}  // namespace

class HostileServersTest : public QObject {
    Q_OBJECT

private slots:
    void cleanupTestCase() {
        std::printf("\n| case | expected | seen |\n|---|---|---|\n");
        for (const std::string& row : matrix()) std::printf("%s\n", row.c_str());
    }

    void runsThroughTheWindow_data() {
        QTest::addColumn<int>("index");
        for (std::size_t i = 0; i < cases().size(); ++i)
            QTest::newRow(cases()[i].name) << static_cast<int>(i);
    }

    void runsThroughTheWindow() {
        QFETCH(int, index);
        const HostileCase& fault = cases()[static_cast<std::size_t>(index)];
        apptest::ProgramHome home;
        std::unique_ptr<RawServer> raw;
        std::optional<support::TestServer> tls;
        std::string address;
        if (fault.route) {
            tls.emplace(authority().issue());
            tls->get("/fault", fault.route(*tls));
            address = tls->url("/fault");
        } else {
            raw = std::make_unique<RawServer>(fault.script);
            address = raw->url("/fault");
            if (fault.https) address = "https" + address.substr(4);
        }

        apptest::Program program;
        QVERIFY(program.started);
        // A failing case gives up after a second without progress, as the engine's own fault
        // suite does; the Stop cases keep the program's own time-out, far beyond the run.
        engine::TransferOptions options;
        if (!fault.stop) options.noProgressTimeoutMs = 1000;
        options.trustedCertificatesPem = authority().certificatePem();
        program.context().manager().setTransferOptions(options);
        LoopWatch loop;
        apptest::RunWatcher watcher(program.context());
        program.window().setAddressBarText(QString::fromStdString(address));
        program.window().updateCommands();
        program.window().runCommand(CommandId::Analyze);

        QString seen;
        if (fault.stop) {
            QTest::qWait(1500);
            QVERIFY2(!watcher.finished(), "the run ended before Stop");
            program.window().updateCommands();
            QVERIFY(program.window().action(CommandId::Stop)->isEnabled());
            program.window().runCommand(CommandId::Stop);
            QVERIFY2(watcher.waitForEnd(kStopGuardMs), "Stop did not end the run");
            seen = "stopped";
        } else {
            QVERIFY2(watcher.waitForEnd(kRunGuardMs), "the run did not end");
        }
        QVERIFY(!program.context().downloadRunning());
        program.siteTree().model()->flush();
        program.window().updateCommands();
        QVERIFY2(
            loop.longestGapMs() <= kLongestGapMs,
            qPrintable(QStringLiteral("the loop stood still for %1 ms").arg(loop.longestGapMs())));

        // The site tree's Status cell names the page's state in words.
        const auto order = program.context().tree().displayOrder();
        QCOMPARE(order.size(), std::size_t{1});
        const app::SiteTreeModel& model = *program.siteTree().model();
        QString status;
        for (int column = 0; column < model.columnCount(); ++column) {
            if (app::SiteTreeModel::columnId(column) == report::kColumnStatus)
                status = model.indexOf(order.front(), column).data().toString();
        }
        const QString expectedStatus = fault.stop ? "Canceled" : "Error";
        QCOMPARE(status, expectedStatus);

        // Show Details gives the cause in the transfer's own words.
        program.siteTree().selectNode(order.front());
        program.window().updateCommands();
        QVERIFY(program.window().action(CommandId::ShowDetails)->isEnabled());
        QStringList details;
        QTimer::singleShot(0, [&] {
            if (auto* dialog =
                    qobject_cast<app::CPageDetailsDlg*>(QApplication::activeModalWidget())) {
                details = rowsOf(*dialog->propertyList()->model());
                dialog->reject();
            }
        });
        program.window().runCommand(CommandId::ShowDetails);
        QVERIFY(!details.isEmpty());
        QString cause;
        if (fault.result != 0) {
            cause = QString::fromStdString(engine::errorText(fault.result));
            QVERIFY2(details.contains("Description=" + cause), qPrintable(details.join('|')));
        }

        // The window is ready for the next run.
        program.window().updateCommands();
        QVERIFY(program.window().action(CommandId::Analyze)->isEnabled());

        const QString expected = fault.stop ? "Stop ends it; Canceled" : "Error; \"" + cause + "\"";
        seen = QStringLiteral("%1%2; longest loop gap %3 ms")
                   .arg(seen.isEmpty() ? QString() : seen + ", ", status)
                   .arg(loop.longestGapMs());
        for (const QString& row : details) {
            if (row.startsWith("Description=")) seen += "; details: \"" + row.mid(12) + "\"";
        }
        matrix().push_back(QStringLiteral("| %1 | %2 | %3 |")
                               .arg(QString::fromLatin1(fault.name), expected, seen)
                               .toStdString());
    }
};

int main(int argc, char** argv) {
    QApplication qt(argc, argv);
    HostileServersTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "HostileServersTest.moc"
