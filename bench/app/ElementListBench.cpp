// Filling the element list with a page of 1,000 elements and sorting it by Time, as the
// Analysis view does when the page becomes current and when the user clicks the header:
// the real list control (model, raw-value proxy, columns) offscreen.
//   element_list
// Prints each fill and each sort (three rounds) and the medians.
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/shell/AppContext.h"
#include "app/widgets/CElementListCtrl.h"
#include "app/widgets/ElementListModel.h"
#include "engine/crawl/SiteTree.h"
#include "report/ElementColumns.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/TestServer.h"

namespace {

constexpr int kElements = 1000;

// One page showing 1,000 images whose sizes differ, so times and sizes differ too.
void servePage(support::TestServer& server) {
    server.get("/", [](const httplib::Request&, httplib::Response& out) {
        std::string body = "<html><head><title>Many</title></head><body>";
        for (int n = 0; n < kElements; ++n)
            body += "<img src=\"/i/" + std::to_string(n) + ".gif\">";
        out.set_content(body + "</body></html>", "text/html");
    });
    server.get(R"(/i/(\d+)\.gif)", [](const httplib::Request& request, httplib::Response& out) {
        const int n = std::stoi(request.matches[1]);
        out.set_content("GIF89a" + std::string(static_cast<std::size_t>(n * 37 % 4000), 'x'),
                        "image/gif");
    });
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double elapsedMs(const QElapsedTimer& clock) {
    return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

}  // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qt(argc, argv);
    QTemporaryDir home;
    qputenv("PAGELYST_HOME", home.path().toLocal8Bit());
    support::TestServer server;
    servePage(server);

    app::AppContext context;
    context.loadSettings();
    {
        apptest::RunWatcher run(context);
        context.tree().analyseAddress(server.url("/"));
        if (!run.waitForEnd(600000)) return 1;
    }
    const auto page = context.tree().displayOrder().front()->page;

    app::CElementListCtrl list;
    list.resize(900, 600);
    list.show();
    std::vector<double> fills, sorts;
    const int time = app::ElementListModel::columnOf(report::kElementTime);
    for (int round = 0; round < 3; ++round) {
        list.showPage(nullptr, 0);
        QElapsedTimer clock;
        clock.start();
        list.showPage(page, 0);
        QApplication::processEvents();
        fills.push_back(elapsedMs(clock));
        for (const Qt::SortOrder order : {Qt::AscendingOrder, Qt::DescendingOrder}) {
            clock.restart();
            list.sortByColumn(time, order);
            QApplication::processEvents();
            sorts.push_back(elapsedMs(clock));
        }
    }
    std::printf("rows: %d\n", list.elementModel()->rowCount());
    std::printf("fill:");
    for (double ms : fills) std::printf(" %.1f", ms);
    std::printf(" ms; median %.1f ms\nsort by Time:", median(fills));
    for (double ms : sorts) std::printf(" %.1f", ms);
    std::printf(" ms; median %.1f ms\n", median(sorts));
    context.shutDown();
    return 0;
}
