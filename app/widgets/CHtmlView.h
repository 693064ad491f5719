#pragma once

#include <QString>
#include <QUrl>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class QPrinter;
class QVBoxLayout;
class QWebEngineView;

namespace app {

class HtmlViewPage;
class LocalOnlyInterceptor;

// An embedded HTML view: shows HTML text the program built or a local file, and prints it.
// The browser component is made when the view is first shown or first given something to show,
// so a program with many views starts fast. The view starts with a blank document; what it is
// given while a document is still loading is held back and shown when that load ends (the
// latest one given wins). It runs no script, loads no plugin and fetches nothing from the
// network; a clicked link goes to the link handler and the view stays where it is. Every view
// shares one off-the-record profile (htmlViewProfile), so nothing it shows leaves a trace on
// disk.
class CHtmlView : public QWidget {
    Q_OBJECT

public:
    using LinkHandler = std::function<void(const QUrl&)>;

    explicit CHtmlView(QWidget* parent = nullptr);
    ~CHtmlView() override;

    // Displays the complete HTML text, replacing what the view showed.
    void showHtml(const QString& html);
    // Displays the local file at path, by its "file://" address.
    void showFile(const QString& path);

    // Where clicked links go (the program's Open in Browser); without one they go nowhere.
    void setLinkHandler(LinkHandler handler);

    // Prints the current document through the print dialog; does nothing when the user cancels
    // or a print job of this view is still under way.
    void print();
    // Prints the current document as PDF; `done` is given its bytes, or nothing when printing
    // failed. The caller writes the file, so it can tell why a write failed.
    void printToPdf(std::function<void(const QByteArray&)> done);

    // True while a print job of this view is under way.
    bool isPrinting() const { return printer_ != nullptr; }
    // True once the browser component exists.
    bool isCreated() const { return view_ != nullptr; }
    // True while a document is loading (what is given meanwhile is held back).
    bool isLoading() const { return loading_; }
    // How many requests for network addresses the view refused.
    int blockedRequests() const;
    // The browser component and its page, made on first use.
    QWebEngineView* webView();
    HtmlViewPage* page();

signals:
    // A document the view was given (or its blank start page) finished loading.
    void documentLoaded(bool ok);
    void printed(bool ok);

protected:
    void showEvent(QShowEvent* event) override;

private:
    struct Content {
        std::optional<QString> html;  // else a file address
        QUrl file;
    };

    void ensureCreated();
    void display(const Content& content);
    void load(const Content& content);
    void onLoadFinished(bool ok);

    void withdrawText();

    QVBoxLayout* layout_;
    LinkHandler linkHandler_;
    LocalOnlyInterceptor* interceptor_ = nullptr;
    HtmlViewPage* page_ = nullptr;
    QWebEngineView* view_ = nullptr;
    std::unique_ptr<QPrinter> printer_;
    bool loading_ = false;
    QUrl expected_;   // the address being loaded; empty when it cannot be known
    QUrl published_;  // the text this view has published to the shared profile
    std::optional<Content> heldBack_;
};

}  // namespace app
