#pragma once

#include <QUrl>

#include <QWebEngineUrlRequestInterceptor>
#include <atomic>

namespace app {

// Keeps an HTML view off the network: every request whose scheme is not one of the local ones
// (file, data, about, qrc and the view's own) is blocked before it leaves, so a report about a
// hostile page can never call out, not even for an image. Runs on the engine's IO thread; it
// holds no state.
class LocalOnlyInterceptor : public QWebEngineUrlRequestInterceptor {
    Q_OBJECT

public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;

    // True when a request for url may be served.
    static bool allowed(const QUrl& url);

    void interceptRequest(QWebEngineUrlRequestInfo& info) override;

    // How many requests were blocked so far.
    int blocked() const { return blocked_.load(); }

private:
    std::atomic<int> blocked_{0};
};

}  // namespace app
