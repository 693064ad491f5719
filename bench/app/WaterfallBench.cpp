// The Waterfall view's picture of a page of 1,000 elements: making the drawing (the core's
// layout and the shapes' bounds), painting all of it, painting one screenful of it as a scroll
// does, and a hover (the hit under the pointer and its tip), at "Actual Speed" and at 56K.
//   waterfall_view
// Prints each round (three) and the medians.
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/shell/AppContext.h"
#include "app/waterfall/WaterfallCanvas.h"
#include "app/waterfall/WaterfallPainting.h"
#include "engine/crawl/SiteTree.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/TestServer.h"

namespace {

constexpr int kElements = 1000;
constexpr int kHovers = 1000;

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

void print(const char* what, const std::vector<double>& values, const char* unit) {
    std::printf("%s:", what);
    for (double value : values) std::printf(" %.2f", value);
    std::printf(" %s; median %.2f %s\n", unit, median(values), unit);
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
    const engine::Waterfall actual = engine::waterfallOf(page->figures(0));

    app::WaterfallCanvas canvas;
    canvas.setDrawingWidth(1200);
    for (const int connection : {0, 7}) {
        const engine::Waterfall shown = engine::waterfallOf(page->figures(connection));
        std::vector<double> builds, fullPaints, screenPaints, hovers;
        for (int round = 0; round < 3; ++round) {
            QElapsedTimer clock;
            clock.start();
            canvas.setWaterfall(shown, actual);
            builds.push_back(elapsedMs(clock));

            const report::WaterfallDrawing& drawing = canvas.drawing();
            const std::vector<QRectF> bounds = app::shapeBounds(drawing);
            QImage image(canvas.size(), QImage::Format_RGB32);
            clock.restart();
            {
                QPainter painter(&image);
                app::paintWaterfall(painter, drawing, bounds, QRectF(image.rect()));
            }
            fullPaints.push_back(elapsedMs(clock));

            QImage screen(1200, 800, QImage::Format_RGB32);
            clock.restart();
            {
                QPainter painter(&screen);
                const QRectF exposed(0, drawing.height / 2, 1200, 800);
                painter.translate(0, -exposed.y());
                app::paintWaterfall(painter, drawing, bounds, exposed);
            }
            screenPaints.push_back(elapsedMs(clock));

            clock.restart();
            std::size_t tipChars = 0;
            for (int n = 0; n < kHovers; ++n) {
                const report::BarHit& bar =
                    drawing.hits[static_cast<std::size_t>(n) % drawing.hits.size()];
                const QPoint at(static_cast<int>(bar.box.x + bar.box.width / 2),
                                static_cast<int>(bar.box.y + bar.box.height / 2));
                tipChars += static_cast<std::size_t>(canvas.tipAt(at).size());
            }
            hovers.push_back(elapsedMs(clock) * 1000.0 / kHovers);
            if (tipChars == 0) return 2;
        }
        std::printf("connection %d: rows %zu, shapes %zu, hits %zu, picture %.0f x %.0f\n",
                    connection, canvas.waterfall().rows.size(), canvas.drawing().shapes.size(),
                    canvas.drawing().hits.size(), canvas.drawing().width, canvas.drawing().height);
        print("  drawing build", builds, "ms");
        print("  full paint", fullPaints, "ms");
        print("  one screen (1200 x 800) paint", screenPaints, "ms");
        print("  hover (hitAt + tip)", hovers, "us");
    }
    context.shutDown();
    return 0;
}
