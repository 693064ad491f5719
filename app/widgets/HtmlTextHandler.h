#pragma once

#include <QByteArray>
#include <QHash>
#include <QUrl>
#include <QWebEngineUrlSchemeHandler>

namespace app {

// Serves the texts the HTML views show, under the views' own scheme: each text published gets
// an address of its own (so the engine never shows a cached older text) and is served until its
// view withdraws it. One handler serves every view of the shared profile. Lives on the
// user-interface thread, where the engine calls it.
class HtmlTextHandler : public QWebEngineUrlSchemeHandler {
    Q_OBJECT

public:
    using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;

    // Keeps html (UTF-8) and returns the address to load it from.
    QUrl publish(const QByteArray& html);
    // Forgets a published text; a later request for its address fails.
    void withdraw(const QUrl& address);

    void requestStarted(QWebEngineUrlRequestJob* job) override;

private:
    QHash<QUrl, QByteArray> texts_;
    quint64 generation_ = 0;
};

}  // namespace app
