#include "app/widgets/HtmlTextHandler.h"

#include <QBuffer>
#include <QWebEngineUrlRequestJob>

#include "app/widgets/WebEngineSetup.h"

namespace app {

QUrl HtmlTextHandler::publish(const QByteArray& html) {
    const QUrl address(QStringLiteral("%1://text/%2")
                           .arg(QString::fromLatin1(kHtmlViewScheme))
                           .arg(++generation_));
    texts_.insert(address, html);
    return address;
}

void HtmlTextHandler::withdraw(const QUrl& address) {
    texts_.remove(address);
}

void HtmlTextHandler::requestStarted(QWebEngineUrlRequestJob* job) {
    const auto text = texts_.constFind(job->requestUrl());
    if (job->requestMethod() != "GET" || text == texts_.constEnd()) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    auto* body = new QBuffer(job);
    body->setData(*text);
    job->reply("text/html;charset=utf-8", body);
}

}  // namespace app
