#pragma once

#include <QUrl>
#include <QWebEnginePage>

#include <functional>

class QWebEngineNewWindowRequest;

namespace app {

// The page of an HTML view: it goes only where the view sends it. A link the user clicks is
// handed to the link handler (the program opens it in the user's browser) and the page stays;
// form submissions, refreshes and anything else the document starts by itself are refused.
class HtmlViewPage : public QWebEnginePage {
    Q_OBJECT

public:
    using LinkHandler = std::function<void(const QUrl&)>;

    enum class Decision { Go, Refuse, HandOver };
    // What becomes of a navigation request of the given kind.
    static Decision decide(NavigationType type);

    HtmlViewPage(QWebEngineProfile* profile, QObject* parent = nullptr);

    void setLinkHandler(LinkHandler handler) { linkHandler_ = std::move(handler); }

    // Public so that a test can put a navigation to the page as the engine does.
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;

private:
    void onNewWindow(QWebEngineNewWindowRequest& request);
    void handOver(const QUrl& url);

    LinkHandler linkHandler_;
};

}  // namespace app
