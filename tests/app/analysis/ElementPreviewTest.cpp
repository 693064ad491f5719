// The element preview: one file per element under the program's name format, a document
// without its scripts and anything else as received, the files gone on clear, on destruction and
// (a crashed run's) at the next start but never a running program's, and a view that shows them
// without running a script or reaching the network.
#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include <sys/resource.h>

#include <csignal>
#include <cstdio>
#include <iostream>
#include <memory>
#include <string>

#include "app/analysis/ElementPreview.h"
#include "app/analysis/PreviewCache.h"
#include "app/widgets/HtmlViewPage.h"
#include "app/widgets/WebEngineSetup.h"
#include "engine/base/ContentKind.h"
#include "engine/items/WebItem.h"
#include "engine/url/ParsedUrl.h"

namespace {

constexpr int kTimeoutMs = 60000;
constexpr char kHoldSwitch[] = "--hold-preview-file";
const QByteArray kGif(
    "GIF89a\x01\0\x01\0\x80\0\0\xff\0\0\0\0\0,\0\0\0\0\x01\0\x01\0\0\x02\x02\x44\x01\0;", 35);

std::shared_ptr<engine::WebItem> element(const std::string& type, const std::string& body,
                                         bool overCap = false) {
    auto item = std::make_shared<engine::WebItem>(engine::ParsedUrl::parse("http://h/element"));
    item->beginTransfer(item->address());
    engine::TransferOutcome outcome;
    outcome.contentType = type;
    outcome.contentKind = engine::classify(type);
    outcome.body = body;
    outcome.bodyOverCap = overCap;
    item->endTransfer(std::move(outcome));
    return item;
}

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QStringList filesIn(const QString& folder) {
    QStringList names = QDir(folder).entryList(QDir::Files, QDir::Name);
    names.removeAll(QString::fromLatin1(app::PreviewFileLock::kLockFileName));
    return names;
}

void touch(const QString& path) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
}

QByteArray imageBytes(const char* format) {
    QImage image(160, 100, QImage::Format_RGB32);
    image.fill(Qt::red);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return buffer.data();
}

QString documentOf(app::CHtmlView& view) {
    QString html = QStringLiteral("<timeout>");
    bool done = false;
    view.page()->toHtml([&](const QString& text) { html = text, done = true; });
    (void)QTest::qWaitFor([&] { return done; }, kTimeoutMs);
    return html;
}

bool settle(app::CHtmlView& view) {
    return QTest::qWaitFor([&] { return view.isCreated() && !view.isLoading(); }, kTimeoutMs);
}

// Keeps a picture of the view when PAGELYST_PREVIEW_SHOTS names a folder, to look at.
void photograph(app::CHtmlView& view, const QString& name) {
    const QString folder = qEnvironmentVariable("PAGELYST_PREVIEW_SHOTS");
    if (folder.isEmpty()) return;
    QTest::qWait(500);  // the engine paints a moment after the load ends
    view.grab().save(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
}

// Another instance of the program: this executable started with kHoldSwitch, which writes one
// preview file and keeps it until it is killed, as a crash ends it.
class OtherInstance {
public:
    explicit OtherInstance(const QString& folder) {
        process_.start(QCoreApplication::applicationFilePath(), {kHoldSwitch, folder});
        process_.waitForReadyRead(kTimeoutMs);
        file = QString::fromLocal8Bit(process_.readLine()).trimmed();
    }
    ~OtherInstance() { crash(); }
    void crash() {
        process_.kill();
        process_.waitForFinished(kTimeoutMs);
    }
    QString file;

private:
    QProcess process_;
};

int holdPreviewFile(const char* folder) {
    app::PreviewCache cache(QString::fromLocal8Bit(folder));
    std::cout << cache.fileFor(*element("image/gif", "held")).path.toStdString() << std::endl;
    std::getchar();  // until killed
    return 0;
}

}  // namespace

class ElementPreviewTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void filesAreNamedWithRunningNumbers();
    void fileContent_data();
    void fileContent();
    void sameElementGivesTheSameFileUntilItsBodyChanges();
    void clearAndDestructionDeleteEveryFile();
    void leftoversAreDeletedAtStartButNotARunningInstancesFiles();
    void crashedInstancesFilesAreDeletedAtTheNextStart();
    void failedWriteLeavesNoFileAndNamesTheCause();
    void documentIsShownWithoutScriptsOrNetwork();
    void imagesAreShownFromTheirFile_data();
    void imagesAreShownFromTheirFile();
    void elementWithoutBodyShowsANote_data();
    void elementWithoutBodyShowsANote();
    void folderThatCannotBeMadeShowsTheCause();

private:
    std::unique_ptr<QTemporaryDir> dir_;
    QString folder_;  // inside dir_, ending in "/"
};

void ElementPreviewTest::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    folder_ = dir_->filePath(QStringLiteral("Temporary Files")) + QLatin1Char('/');
}

void ElementPreviewTest::filesAreNamedWithRunningNumbers() {
    app::PreviewCache cache(folder_);  // the folder is made when first needed
    const auto image = element("image/gif", "a");
    const auto document = element("text/html", "<p>b</p>");
    QCOMPARE(cache.fileFor(*image).path, folder_ + QStringLiteral("lmdata1.tmp"));
    QCOMPARE(cache.fileFor(*image).shown, folder_ + QStringLiteral("lmdata1.tmp"));
    QCOMPARE(cache.fileFor(*document).path, folder_ + QStringLiteral("lmdata2.tmp"));
    // The second name through which the engine takes a document for HTML.
    QCOMPARE(cache.fileFor(*document).shown, folder_ + QStringLiteral("lmdata2.tmp.html"));
    QCOMPARE(filesIn(folder_), QStringList({"lmdata1.tmp", "lmdata2.tmp", "lmdata2.tmp.html"}));
}

void ElementPreviewTest::fileContent_data() {
    QTest::addColumn<QString>("type");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QByteArray>("written");
    const QByteArray page =
        "<HEAD><SCRIPT src=a.js></SCRIPT></HEAD>\r\n<p>x  </p><script>f()</script>";
    QTest::newRow("document") << "text/html" << page << QByteArray("<HEAD></HEAD>\r\n<p>x  </p>");
    QTest::newRow("script") << "text/javascript" << QByteArray("w('<script>x</script>')")
                            << QByteArray("w('<script>x</script>')");
    QTest::newRow("css") << "text/css" << page << page;
    const QByteArray gif = kGif + QByteArray("<script>\0\xff", 10);
    QTest::newRow("gif") << "image/gif" << gif << gif;
}

void ElementPreviewTest::fileContent() {
    QFETCH(QString, type);
    QFETCH(QByteArray, body);
    QFETCH(QByteArray, written);
    app::PreviewCache cache(folder_);
    const app::PreviewCache::File file =
        cache.fileFor(*element(type.toStdString(), body.toStdString()));
    QCOMPARE(contentOf(file.path), written);
    QCOMPARE(contentOf(file.shown), written);
}

void ElementPreviewTest::sameElementGivesTheSameFileUntilItsBodyChanges() {
    app::PreviewCache cache(folder_);
    const auto item = element("image/gif", "old");
    const QString first = cache.fileFor(*item).path;
    QCOMPARE(cache.fileFor(*item).path, first);
    QCOMPARE(filesIn(folder_).size(), 1);
    engine::TransferOutcome again;
    again.body = "new";
    item->beginTransfer(item->address());
    item->endTransfer(std::move(again));
    const QString now = cache.fileFor(*item).path;
    QCOMPARE(now, folder_ + QStringLiteral("lmdata2.tmp"));  // a new address: no stale copy
    QCOMPARE(contentOf(now), QByteArray("new"));
    QCOMPARE(filesIn(folder_), QStringList({"lmdata2.tmp"}));
}

void ElementPreviewTest::clearAndDestructionDeleteEveryFile() {
    {
        app::PreviewCache cache(folder_);
        cache.fileFor(*element("text/html", "<p>x</p>"));
        cache.fileFor(*element("image/gif", "y"));
        cache.clear();
        QCOMPARE(filesIn(folder_), QStringList());
        cache.fileFor(*element("text/html", "<p>z</p>"));
        QCOMPARE(filesIn(folder_), QStringList({"lmdata3.tmp", "lmdata3.tmp.html"}));
    }
    QCOMPARE(filesIn(folder_), QStringList());
}

void ElementPreviewTest::leftoversAreDeletedAtStartButNotARunningInstancesFiles() {
    OtherInstance running(folder_);
    QCOMPARE(running.file, folder_ + QStringLiteral("lmdata1.tmp"));
    for (const char* name : {"lmdata2.tmp", "lmdata3.tmp", "lmdata3.tmp.html", "lmdata.tmp",
                             "lmdata5.tmp.bak", "xlmdata6.tmp"})
        touch(folder_ + QLatin1String(name));
    app::PreviewCache cache(folder_);
    QCOMPARE(filesIn(folder_),
             QStringList({"lmdata.tmp", "lmdata1.tmp", "lmdata5.tmp.bak", "xlmdata6.tmp"}));
    QCOMPARE(contentOf(running.file), QByteArray("held"));
    // Nor do two instances ever share a number.
    QCOMPARE(cache.fileFor(*element("image/gif", "x")).path,
             folder_ + QStringLiteral("lmdata2.tmp"));
}

void ElementPreviewTest::crashedInstancesFilesAreDeletedAtTheNextStart() {
    OtherInstance instance(folder_);
    instance.crash();
    QVERIFY(QFile::exists(instance.file));
    app::PreviewCache next(folder_);
    QVERIFY(!QFile::exists(instance.file));
}

void ElementPreviewTest::failedWriteLeavesNoFileAndNamesTheCause() {
    app::PreviewCache cache(folder_);
    // A file size limit fails the write as a full disk does.
    rlimit old{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit small = old;
    small.rlim_cur = 100;
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    const app::PreviewCache::File file =
        cache.fileFor(*element("image/gif", std::string(500, 'x')));
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);
    QCOMPARE(file.path, QString());
    QCOMPARE(file.error, QStringLiteral("Cannot write %1lmdata1.tmp: File too large").arg(folder_));
    QCOMPARE(filesIn(folder_), QStringList());
    QCOMPARE(cache.fileFor(*element("image/gif", "x")).path,
             folder_ + QStringLiteral("lmdata2.tmp"));
}

void ElementPreviewTest::documentIsShownWithoutScriptsOrNetwork() {
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost));
    const auto document =
        element("text/html",
                QStringLiteral("<HTML><HEAD><TITLE>static</TITLE><SCRIPT>document.title="
                               "'script';</SCRIPT></HEAD><BODY><H1>Previewed page</H1>"
                               "<P id=\"x\">untouched</P><IMG src=\"http://127.0.0.1:%1/r.png\""
                               " width=80 height=40><SCRIPT>document.getElementById('x')"
                               ".textContent='changed';</SCRIPT><P>Gr\u00f6\u00dfe</P></BODY>"
                               "</HTML>")
                    .arg(server.serverPort())
                    .toStdString());
    app::ElementPreview view(folder_);
    view.resize(480, 320);
    view.show();
    view.showElement(document);
    QVERIFY(settle(view));
    QCOMPARE(view.page()->url(), QUrl::fromLocalFile(folder_ + QStringLiteral("lmdata1.tmp.html")));
    QCOMPARE(view.page()->title(), QStringLiteral("static"));
    const QString shown = documentOf(view);
    QVERIFY2(shown.contains(QStringLiteral("<p id=\"x\">untouched</p>")), qPrintable(shown));
    QVERIFY(!shown.contains(QStringLiteral("<script"), Qt::CaseInsensitive));
    QVERIFY(shown.contains(QStringLiteral("/r.png")) &&
            shown.contains(QStringLiteral("Gr\u00f6\u00dfe")));
    photograph(view, QStringLiteral("preview-document"));
    // The load ended once the image was refused (by the engine itself: a local page may not
    // reach a remote address).
    QVERIFY(!server.waitForNewConnection(0) && !server.hasPendingConnections());
}

void ElementPreviewTest::imagesAreShownFromTheirFile_data() {
    QTest::addColumn<QString>("type");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("size");
    QTest::newRow("gif") << "image/gif" << kGif << "(1\u00d71)";
    QTest::newRow("png") << "image/png" << imageBytes("PNG") << "(160\u00d7100)";
    QTest::newRow("jpeg") << "image/jpeg" << imageBytes("JPEG") << "(160\u00d7100)";
}

void ElementPreviewTest::imagesAreShownFromTheirFile() {
    QFETCH(QString, type);
    QFETCH(QByteArray, body);
    QFETCH(QString, size);
    app::ElementPreview view(folder_);
    view.resize(320, 200);
    view.show();
    view.showElement(element(type.toStdString(), body.toStdString()));
    QVERIFY(settle(view));
    QCOMPARE(view.page()->url(), QUrl::fromLocalFile(folder_ + QStringLiteral("lmdata1.tmp")));
    // The engine's image document is titled with the image's size.
    QCOMPARE(view.page()->title(), QStringLiteral("lmdata1.tmp ") + size);
    photograph(view, QStringLiteral("preview-") + QString::fromLatin1(QTest::currentDataTag()));
}

void ElementPreviewTest::elementWithoutBodyShowsANote_data() {
    QTest::addColumn<bool>("overCap");
    QTest::addColumn<QString>("note");
    QTest::newRow("nothing") << false << "No content was downloaded for this element.";
    QTest::newRow("too large") << true << "The element is too large to be kept for preview.";
}

void ElementPreviewTest::elementWithoutBodyShowsANote() {
    QFETCH(bool, overCap);
    QFETCH(QString, note);
    app::ElementPreview view(folder_);
    view.showElement(element("text/html", "", overCap));
    QVERIFY(settle(view));
    QVERIFY(documentOf(view).contains(note));
    QCOMPARE(view.cache().size(), std::size_t(0));
}

void ElementPreviewTest::folderThatCannotBeMadeShowsTheCause() {
    touch(dir_->filePath(QStringLiteral("file")));
    app::ElementPreview view(dir_->filePath(QStringLiteral("file/Temporary Files/")));
    view.resize(480, 200);
    view.show();
    view.showElement(element("image/gif", "GIF89a"));
    QVERIFY(settle(view));
    const QString shown = documentOf(view);
    QVERIFY2(shown.contains(QStringLiteral("The element cannot be previewed. The folder ")) &&
                 shown.contains(QStringLiteral("cannot be made: Not a directory")),
             qPrintable(shown));
    photograph(view, QStringLiteral("preview-error"));
}

int main(int argc, char** argv) {
    if (argc == 3 && qstrcmp(argv[1], kHoldSwitch) == 0) return holdPreviewFile(argv[2]);
    app::prepareWebEngine();
    QApplication qt(argc, argv);
    ElementPreviewTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "ElementPreviewTest.moc"
