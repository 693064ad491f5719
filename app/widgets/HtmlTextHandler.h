#pragma once

#include <QByteArray>
#include <QUrl>
#include <QWebEngineUrlSchemeHandler>

namespace app {

// Serves the one text an HTML view shows, under the view's own scheme. Each new text gets a new
// address, so the engine never shows a cached older text. Lives on the user-interface thread,
// where the engine calls it.
class HtmlTextHandler : public QWebEngineUrlSchemeHandler {
    Q_OBJECT

public:
    using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;

    // Keeps html (UTF-8) as the text to serve and returns the address to load it from.
    QUrl publish(const QByteArray& html);

    void requestStarted(QWebEngineUrlRequestJob* job) override;

private:
    QByteArray html_;
    QUrl address_;
    quint64 generation_ = 0;
};

}  // namespace app
