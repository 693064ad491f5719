// The embedded HTML view: it starts blank and only when needed, holds back what it is given
// while loading, runs no script, fetches nothing from the network, hands clicked links on
// without moving, and prints.
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QPrintDialog>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWebEngineView>

#include <functional>

#include "app/widgets/CHtmlView.h"
#include "app/widgets/CImageHtmlView.h"
#include "app/widgets/CMoreHtmlView.h"
#include "app/widgets/HtmlViewPage.h"
#include "app/widgets/LocalOnlyInterceptor.h"
#include "app/widgets/WebEngineSetup.h"

namespace {

constexpr int kLoadTimeoutMs = 60000;

// The view's current document as the engine serialises it.
QString documentOf(app::CHtmlView& view) {
    QString html;
    bool done = false;
    view.page()->toHtml([&](const QString& text) {
        html = text;
        done = true;
    });
    if (!QTest::qWaitFor([&] { return done; }, kLoadTimeoutMs)) return QStringLiteral("<timeout>");
    return html;
}

// Answers the modal dialog the next call opens: `answer` gets it once it shows and returns what
// went wrong, if anything. The dialog is closed whatever happens, so that the call returns and
// the test fails instead of waiting for a user.
class ModalAnswer {
public:
    explicit ModalAnswer(std::function<QString(QDialog&)> answer) {
        QTimer::singleShot(0, &guard_, [this, answer = std::move(answer)] {
            QDialog* dialog = nullptr;
            (void)QTest::qWaitFor(
                [&] {
                    return (dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()));
                },
                kLoadTimeoutMs);
            answered = dialog != nullptr;
            if (!dialog) {
                problem = QStringLiteral("no dialog was shown");
                return;
            }
            problem = answer(*dialog);
            if (dialog->isVisible()) dialog->reject();
        });
    }
    bool answered = false;
    QString problem;

private:
    QObject guard_;  // a call that opened no dialog leaves no answer behind
};

bool settle(app::CHtmlView& view) {
    return QTest::qWaitFor([&] { return view.isCreated() && !view.isLoading(); }, kLoadTimeoutMs);
}

// A loopback server that only counts who connects to it.
class CountingServer {
public:
    CountingServer() {
        server_.listen(QHostAddress::LocalHost);
        QObject::connect(&server_, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* s = server_.nextPendingConnection()) {
                ++connections;
                s->deleteLater();
            }
        });
    }
    QString base() const { return QStringLiteral("127.0.0.1:%1").arg(server_.serverPort()); }
    // The connections made so far, those the event loop has not reported yet among them.
    int count() {
        while (server_.waitForNewConnection(0) || server_.hasPendingConnections()) {
            while (QTcpSocket* s = server_.nextPendingConnection()) {
                ++connections;
                s->deleteLater();
            }
        }
        return connections;
    }
    int connections = 0;

private:
    QTcpServer server_;
};

}  // namespace

class HtmlViewTest : public QObject {
    Q_OBJECT

private slots:
    void chromiumFlagsAddTheSandboxSwitchOnlyForRoot_data();
    void chromiumFlagsAddTheSandboxSwitchOnlyForRoot();
    void onlyLocalSchemesAreAllowed_data();
    void onlyLocalSchemesAreAllowed();
    void navigationKindsAreDecided_data();
    void navigationKindsAreDecided();

    void isMadeOnlyWhenShownOrGivenContent();
    void startsBlank();
    void textGivenWhileLoadingIsShownAfterwards();
    void largeAndNonAsciiTextIsShownWhole();
    void showsFileByAddress();
    void missingFileEndsTheLoadAndTheViewGoesOn();
    void runsNoScript();
    void fetchesNothingFromTheNetwork();
    void refusesEvenItsOwnLoadOfANetworkAddress();
    void clickedLinkGoesToTheHandlerAndTheViewStays();
    void linkInsideTheDocumentStaysInTheView();
    void printsToPdf();
    void printsThroughThePrintDialog();
    void cancelledPrintDialogPrintsNothing();
};

void HtmlViewTest::chromiumFlagsAddTheSandboxSwitchOnlyForRoot_data() {
    QTest::addColumn<QByteArray>("current");
    QTest::addColumn<bool>("root");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("root, none") << QByteArray() << true << QByteArray("--no-sandbox");
    QTest::newRow("root, others") << QByteArray("--foo ") << true
                                  << QByteArray("--foo --no-sandbox");
    QTest::newRow("root, present")
        << QByteArray("--no-sandbox --foo") << true << QByteArray("--no-sandbox --foo");
    QTest::newRow("user, none") << QByteArray() << false << QByteArray();
    QTest::newRow("user, others") << QByteArray("--foo") << false << QByteArray("--foo");
}

void HtmlViewTest::chromiumFlagsAddTheSandboxSwitchOnlyForRoot() {
    QFETCH(QByteArray, current);
    QFETCH(bool, root);
    QFETCH(QByteArray, expected);
    QCOMPARE(app::chromiumFlags(current, root), expected);
}

void HtmlViewTest::onlyLocalSchemesAreAllowed_data() {
    QTest::addColumn<QString>("url");
    QTest::addColumn<bool>("allowed");
    for (const char* url : {"http://127.0.0.1/a.png", "HTTPS://example.com/", "ftp://h/f",
                            "ws://h/s", "wss://h/s", "gopher://h/", "chrome://gpu"})
        QTest::newRow(url) << QString::fromLatin1(url) << false;
    for (const char* url : {"file:///tmp/x.html", "data:text/html,x", "about:blank", "qrc:/a",
                            "pagelyst-view://text/1"})
        QTest::newRow(url) << QString::fromLatin1(url) << true;
}

void HtmlViewTest::onlyLocalSchemesAreAllowed() {
    QFETCH(QString, url);
    QFETCH(bool, allowed);
    QCOMPARE(app::LocalOnlyInterceptor::allowed(QUrl(url)), allowed);
}

void HtmlViewTest::navigationKindsAreDecided_data() {
    using Page = app::HtmlViewPage;
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("decision");
    const auto row = [](const char* name, QWebEnginePage::NavigationType type, Page::Decision d) {
        QTest::newRow(name) << int(type) << int(d);
    };
    row("typed", Page::NavigationTypeTyped, Page::Decision::Go);
    row("reload", Page::NavigationTypeReload, Page::Decision::Go);
    row("link", Page::NavigationTypeLinkClicked, Page::Decision::HandOver);
    row("form", Page::NavigationTypeFormSubmitted, Page::Decision::Refuse);
    row("history", Page::NavigationTypeBackForward, Page::Decision::Refuse);
    row("redirect", Page::NavigationTypeRedirect, Page::Decision::Refuse);
    row("other", Page::NavigationTypeOther, Page::Decision::Refuse);
}

void HtmlViewTest::navigationKindsAreDecided() {
    QFETCH(int, type);
    QFETCH(int, decision);
    QCOMPARE(int(app::HtmlViewPage::decide(QWebEnginePage::NavigationType(type))), decision);
}

void HtmlViewTest::isMadeOnlyWhenShownOrGivenContent() {
    app::CMoreHtmlView shown;
    app::CMoreHtmlView given;
    QVERIFY(!shown.isCreated());
    QVERIFY(!given.isCreated());
    shown.show();
    given.showHtml(QStringLiteral("<BODY>x</BODY>"));
    QVERIFY(shown.isCreated());
    QVERIFY(given.isCreated());
    QVERIFY(settle(shown));
    QVERIFY(settle(given));
}

void HtmlViewTest::startsBlank() {
    app::CMoreHtmlView view;
    QSignalSpy loaded(&view, &app::CHtmlView::documentLoaded);
    view.show();
    QVERIFY(view.isLoading());
    QVERIFY(settle(view));
    QCOMPARE(loaded.count(), 1);
    QCOMPARE(loaded.at(0).at(0).toBool(), true);
    QCOMPARE(documentOf(view), QStringLiteral("<html><head></head><body></body></html>"));
}

void HtmlViewTest::textGivenWhileLoadingIsShownAfterwards() {
    app::CMoreHtmlView view;
    QSignalSpy loaded(&view, &app::CHtmlView::documentLoaded);
    view.show();
    QVERIFY(view.isLoading());  // the blank start page
    view.showHtml(QStringLiteral("<BODY>first</BODY>"));
    view.showHtml(QStringLiteral("<BODY>second</BODY>"));
    QVERIFY(view.isLoading());
    QVERIFY(settle(view));
    // The blank page, then only the latest text held back.
    QCOMPARE(loaded.count(), 2);
    const QString shown = documentOf(view);
    QVERIFY2(shown.contains(QStringLiteral("second")), qPrintable(shown));
    QVERIFY(!shown.contains(QStringLiteral("first")));
}

void HtmlViewTest::largeAndNonAsciiTextIsShownWhole() {
    // Far beyond what a data: address can carry.
    const QString row = QStringLiteral("<TR><TD>Gr\u00f6\u00dfe \u20ac</TD></TR>\n");
    QString report = QStringLiteral("<BODY><TABLE>");
    while (report.size() < 3 * 1024 * 1024) report += row;
    report += QStringLiteral("<TR><TD>last row</TD></TR></TABLE></BODY>");
    app::CMoreHtmlView view;
    view.showHtml(report);
    QVERIFY(settle(view));
    const QString shown = documentOf(view);
    QVERIFY(shown.contains(QStringLiteral("last row")));
    QVERIFY(shown.contains(QStringLiteral("Gr\u00f6\u00dfe \u20ac")));
}

void HtmlViewTest::showsFileByAddress() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("element 1.html"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("<html><body><p>from the file</p></body></html>");
    file.close();
    app::CImageHtmlView view;
    view.showFile(path);
    QVERIFY(settle(view));
    QCOMPARE(view.page()->url(), QUrl::fromLocalFile(path));
    QVERIFY(documentOf(view).contains(QStringLiteral("from the file")));
}

void HtmlViewTest::missingFileEndsTheLoadAndTheViewGoesOn() {
    QTemporaryDir dir;
    app::CImageHtmlView view;
    view.show();
    QVERIFY(settle(view));
    QSignalSpy loaded(&view, &app::CHtmlView::documentLoaded);
    view.showFile(dir.filePath(QStringLiteral("gone.png")));
    QVERIFY(loaded.wait(kLoadTimeoutMs));
    QCOMPARE(loaded.at(0).at(0).toBool(), false);
    QVERIFY(!view.isLoading());
    view.showHtml(QStringLiteral("<BODY>after</BODY>"));
    QVERIFY(settle(view));
    QVERIFY(documentOf(view).contains(QStringLiteral("after")));
}

void HtmlViewTest::runsNoScript() {
    app::CMoreHtmlView view;
    view.showHtml(QStringLiteral(
        "<HTML><HEAD><TITLE>static</TITLE><SCRIPT>document.title='script';</SCRIPT></HEAD>"
        "<BODY onload=\"document.title='onload'\"><P id=\"x\">untouched</P>"
        "<SCRIPT>document.getElementById('x').textContent='changed';"
        "document.body.appendChild(document.createElement('hr'));</SCRIPT></BODY></HTML>"));
    // The load ends after the onload handlers ran, and reading the document back waits for
    // everything the page did before.
    QVERIFY(settle(view));
    const QString shown = documentOf(view);
    QCOMPARE(view.page()->title(), QStringLiteral("static"));
    QVERIFY(shown.contains(QStringLiteral("<p id=\"x\">untouched</p>")));
    QVERIFY(!shown.contains(QStringLiteral("<hr>")));
}

void HtmlViewTest::fetchesNothingFromTheNetwork() {
    CountingServer server;
    const QString base = server.base();
    app::CMoreHtmlView view;
    view.showHtml(QStringLiteral("<HTML><HEAD><LINK rel=\"stylesheet\" href=\"http://%1/s.css\">"
                                 "</HEAD><BODY><IMG src=\"http://%1/a.png\">"
                                 "<IMG src=\"https://%1/b.png\"><IFRAME src=\"http://%1/f\">"
                                 "</IFRAME><P style=\"background:url(http://%1/c.png)\">x</P>"
                                 "</BODY></HTML>")
                      .arg(base));
    // The load ends once every element was asked for (or refused).
    QVERIFY(settle(view));
    QCOMPARE(server.count(), 0);
    QVERIFY(documentOf(view).contains(QStringLiteral("<p style=")));
}

void HtmlViewTest::refusesEvenItsOwnLoadOfANetworkAddress() {
    CountingServer server;
    app::CMoreHtmlView view;
    view.show();
    QVERIFY(settle(view));
    view.page()->load(QUrl(QStringLiteral("http://%1/page.html").arg(server.base())));
    QTRY_VERIFY_WITH_TIMEOUT(view.blockedRequests() == 1, kLoadTimeoutMs);
    QCOMPARE(server.count(), 0);
}

void HtmlViewTest::clickedLinkGoesToTheHandlerAndTheViewStays() {
    QList<QUrl> opened;
    app::CMoreHtmlView view;
    view.setLinkHandler([&](const QUrl& url) { opened.append(url); });
    view.resize(400, 300);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.showHtml(
        QStringLiteral("<BODY style=\"margin:0\"><A href=\"http://127.0.0.1:9/page.html\" "
                       "style=\"display:block;width:400px;height:150px\">top</A>"
                       "<A href=\"http://127.0.0.1:9/other.html\" target=\"_blank\" "
                       "style=\"display:block;width:400px;height:150px\">bottom</A></BODY>"));
    QVERIFY(settle(view));
    const QUrl shown = view.page()->url();
    QWidget* input = view.webView()->focusProxy();
    QVERIFY(input);
    // The engine takes input once it has drawn the document.
    QVERIFY(QTest::qWaitFor(
        [&] {
            QTest::mouseClick(input, Qt::LeftButton, {}, QPoint(200, 75));
            return QTest::qWaitFor([&] { return !opened.isEmpty(); }, 500);
        },
        kLoadTimeoutMs));
    QTest::mouseClick(input, Qt::LeftButton, {}, QPoint(200, 225));
    const QUrl top(QStringLiteral("http://127.0.0.1:9/page.html"));
    const QUrl bottom(QStringLiteral("http://127.0.0.1:9/other.html"));
    QTRY_VERIFY_WITH_TIMEOUT(opened.contains(bottom), kLoadTimeoutMs);
    // A click retried above may have been taken late, but the engine takes clicks in order:
    // the top link's hand-overs, then the bottom one's, once.
    QCOMPARE(opened.count(bottom), 1);
    QCOMPARE(opened.last(), bottom);
    QCOMPARE(opened.count(top), opened.size() - 1);
    QCOMPARE(view.page()->url(), shown);
    QVERIFY(!view.isLoading());
}

void HtmlViewTest::linkInsideTheDocumentStaysInTheView() {
    int opened = 0;
    app::CMoreHtmlView view;
    view.setLinkHandler([&](const QUrl&) { ++opened; });
    view.showHtml(QStringLiteral("<BODY><A name=\"end\">end</A></BODY>"));
    QVERIFY(settle(view));
    QUrl place = view.page()->url();
    place.setFragment(QStringLiteral("end"));
    QVERIFY(view.page()->acceptNavigationRequest(place, QWebEnginePage::NavigationTypeLinkClicked,
                                                 true));
    QVERIFY(!view.page()->acceptNavigationRequest(QUrl(QStringLiteral("http://h/#end")),
                                                  QWebEnginePage::NavigationTypeLinkClicked, true));
    QCOMPARE(opened, 1);
}

void HtmlViewTest::printsToPdf() {
    app::CMoreHtmlView view;
    view.showHtml(QStringLiteral("<BODY><H1>General Web Page Analysis Report</H1></BODY>"));
    QVERIFY(settle(view));
    QByteArray bytes;
    bool done = false;
    view.printToPdf([&](const QByteArray& pdf) {
        bytes = pdf;
        done = true;
    });
    QTRY_VERIFY_WITH_TIMEOUT(done, kLoadTimeoutMs);
    QVERIFY(bytes.startsWith("%PDF-"));
    QVERIFY(bytes.size() > 1000);
}

void HtmlViewTest::printsThroughThePrintDialog() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("printed.pdf"));
    app::CMoreHtmlView view;
    view.showHtml(QStringLiteral("<BODY><H1>Consolidated Site Analysis Report</H1></BODY>"));
    QVERIFY(settle(view));
    QSignalSpy printed(&view, &app::CHtmlView::printed);
    // The user prints to a file: the only printer a machine without a print server has.
    ModalAnswer answer([&](QDialog& dialog) -> QString {
        auto* file = dialog.findChild<QLineEdit*>(QStringLiteral("filename"));
        if (!qobject_cast<QPrintDialog*>(&dialog) || !file)
            return QStringLiteral("no print dialog");
        file->setText(path);
        dialog.accept();
        return {};
    });
    view.print();
    QVERIFY2(answer.answered && answer.problem.isEmpty(), qPrintable(answer.problem));
    QVERIFY(printed.wait(kLoadTimeoutMs));
    QVERIFY(printed.at(0).at(0).toBool());
    QFile pdf(path);
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    QVERIFY(pdf.readAll().startsWith("%PDF-"));
}

void HtmlViewTest::cancelledPrintDialogPrintsNothing() {
    app::CMoreHtmlView view;
    view.showHtml(QStringLiteral("<BODY>x</BODY>"));
    QVERIFY(settle(view));
    QSignalSpy printed(&view, &app::CHtmlView::printed);
    ModalAnswer answer([](QDialog& dialog) -> QString {
        dialog.reject();
        return {};
    });
    view.print();
    QVERIFY2(answer.answered && answer.problem.isEmpty(), qPrintable(answer.problem));
    QVERIFY(!view.isPrinting());  // no job was started, so none can report later
    QCOMPARE(printed.count(), 0);
}

int main(int argc, char** argv) {
    app::prepareWebEngine();
    QApplication qt(argc, argv);
    HtmlViewTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "HtmlViewTest.moc"
