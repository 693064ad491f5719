// Sorting the site tree's list of 10,000 crawled pages by Size and by Time, as a click on the
// column's header does: the site tree model under the raw-value sort proxy, offscreen.
//   site_tree_sort
// Prints the time of each sort (ascending, then descending, three rounds) and the median.
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "app/shell/AppContext.h"
#include "app/sitetree/SiteTreeModel.h"
#include "app/widgets/RawValueSortModel.h"
#include "engine/crawl/SiteTree.h"
#include "report/SiteColumns.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/TestServer.h"

namespace {

constexpr int kSitePages = 11111;
constexpr int kPageLimit = 10000;

// Page n links to pages 10n+1 to 10n+10; sizes differ from page to page.
void serveSite(support::TestServer& server) {
    server.get(R"(/p/(\d+)\.html)", [](const httplib::Request& request, httplib::Response& out) {
        const int n = std::stoi(request.matches[1]);
        std::string body = "<html><head><title>Page " + std::to_string(n) + "</title></head><body>";
        for (int c = 1; c <= 10 && 10 * n + c < kSitePages; ++c)
            body += "<a href=\"/p/" + std::to_string(10 * n + c) + ".html\">link</a>";
        body += std::string(static_cast<std::size_t>(n % 997), ' ');
        out.set_content(body + "</body></html>", "text/html");
    });
}

int columnOf(std::uint32_t id) {
    for (int column = 0;; ++column) {
        if (app::SiteTreeModel::columnId(column) == id) return column;
    }
}

// Visits every row, as a list with every branch open does: the proxy keeps an order for each
// parent it was asked about, and a sort orders all of them.
int visit(const QAbstractItemModel& model, const QModelIndex& parent = {}) {
    int rows = model.rowCount(parent);
    for (int row = 0; row < model.rowCount(parent); ++row)
        rows += visit(model, model.index(row, 0, parent));
    return rows;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qt(argc, argv);
    QTemporaryDir home;
    qputenv("PAGELYST_HOME", home.path().toLocal8Bit());
    support::TestServer server;
    serveSite(server);

    app::AppContext context;
    context.loadSettings();
    engine::CrawlController& crawl = context.tree().crawlController();
    crawl.pageLimit = kPageLimit;
    crawl.levelLimit = 5;
    app::SiteTreeModel model(context.tree(), context.conditions());
    {
        apptest::RunWatcher first(context);
        context.tree().analyzeAll(server.url("/p/0.html"));
        if (!first.waitForEnd(600000)) return 1;
    }
    apptest::RunWatcher run(context);
    context.tree().analyzeAll("");
    if (!run.waitForEnd(1800000)) return 1;
    model.flush();
    std::printf("pages in the tree: %zu\n", context.tree().pageCount());

    app::RawValueSortModel sorted;
    sorted.setSourceModel(&model);
    std::printf("rows shown: %d\n", visit(sorted));
    for (const auto& [name, id] :
         {std::pair{"Size", report::kColumnSize}, std::pair{"Time", report::kColumnTime}}) {
        std::vector<double> times;
        for (int round = 0; round < 3; ++round) {
            for (const Qt::SortOrder order : {Qt::AscendingOrder, Qt::DescendingOrder}) {
                QElapsedTimer clock;
                clock.start();
                sorted.sort(columnOf(id), order);
                times.push_back(clock.nsecsElapsed() / 1e6);
            }
        }
        std::printf("sort by %s:", name);
        for (double ms : times) std::printf(" %.1f", ms);
        std::printf(" ms; median %.1f ms\n", median(times));
    }
    context.shutDown();
    return 0;
}
