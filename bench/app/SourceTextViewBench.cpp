// The Analysis view's source view on a 10 MB page, offscreen at 900x600: opening it (setText and
// the first paint), a search through the whole text that finds nothing (the first without match
// case also lower-cases the text once), and scrolling by pages, lines and across, each painted.
// The same for one 10 MB line, as a minified page is, with and without word wrap.
//   source_text_view
// Prints the median and the slowest of each, in milliseconds.
#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "app/analysis/SourceTextView.h"
#include "app/widgets/MessageBoxes.h"

namespace {

constexpr qsizetype kSize = 10 * 1024 * 1024;

// Markup of a typical page: indented tags, links, a table cell background, some text with
// accents and a tab. `newlines` false joins it into one line.
QByteArray page(bool newlines) {
    QByteArray block;
    for (int n = 0; block.size() < 4096; ++n) {
        block += "  <tr><td background=\"img/cell" + QByteArray::number(n) +
                 ".gif\">\t<a href=\"/articles/" + QByteArray::number(n * 7) +
                 ".html\" class=\"item\">Caf\xC3\xA9 na\xC3\xAFve article number " +
                 QByteArray::number(n) + "</a></td></tr>\n";
    }
    if (!newlines) block.replace('\n', ' ');
    QByteArray html = "<html><head><title>Large</title></head><body><table>\n";
    while (html.size() < kSize) html += block;
    return html + "</table></body></html>\n";
}

struct Figures {
    double median;
    double worst;
};

Figures measure(int runs, const std::function<void()>& step) {
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        step();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times.back()};
}

void print(const char* what, Figures figures) {
    std::printf("%-44s median %8.2f ms   slowest %8.2f ms\n", what, figures.median, figures.worst);
}

void bench(app::SourceTextView& view, const char* name, const QByteArray& html, bool wrap) {
    std::printf("%s (%.1f MB%s)\n", name, double(html.size()) / (1024 * 1024),
                wrap ? ", word wrap" : "");
    view.setWordWrap(wrap);
    print("  open: setText + first paint", measure(5, [&] {
              view.setText(html);
              view.viewport()->repaint();
          }));
    print("  find, not there, first without match case", measure(1, [&] {
              view.selectRange(0, 0);
              view.find("no such text", {});
          }));
    print("  find, not there, without match case", measure(5, [&] {
              view.selectRange(0, 0);
              view.find("no such text", {});
          }));
    print("  find, not there, match case, whole word", measure(5, [&] {
              view.selectRange(0, 0);
              view.find("No Such Text", {true, true, true});
          }));
    print("  find the last link, up from the end", measure(5, [&] {
              view.selectRange(int(view.text().size()), int(view.text().size()));
              view.find("href", {false, false, false});
          }));
    QScrollBar* bar = view.verticalScrollBar();
    bar->setValue(0);
    print("  page down + paint", measure(300, [&] {
              bar->setValue(bar->value() + bar->pageStep());
              view.viewport()->repaint();
          }));
    print("  line down + paint", measure(300, [&] {
              bar->setValue(bar->value() + 1);
              view.viewport()->repaint();
          }));
    QScrollBar* across = view.horizontalScrollBar();
    across->setValue(across->maximum() / 2);
    print("  page right + paint", measure(300, [&] {
              across->setValue(across->value() + across->pageStep());
              view.viewport()->repaint();
          }));
    print("  select an element near the end (bytes)", measure(5, [&] {
              view.selectBytes(quint32(html.size() - 200), 20);
              view.viewport()->repaint();
          }));
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    app::MessageBoxes::setAnswerer([](const app::MessageBoxes::Box&) { return QMessageBox::Ok; });
    app::SourceTextView view;
    view.resize(900, 600);
    view.show();
    QApplication::processEvents();
    const QByteArray lines = page(true);
    const QByteArray oneLine = page(false);
    bench(view, "lines", lines, false);
    bench(view, "lines", lines, true);
    bench(view, "one line", oneLine, false);
    bench(view, "one line", oneLine, true);
    app::MessageBoxes::setAnswerer({});
    return 0;
}
