#include "app/widgets/HtmlTextHandler.h"

#include <QBuffer>
#include <QWebEngineUrlRequestJob>

#include "app/widgets/WebEngineSetup.h"

namespace app {

QUrl HtmlTextHandler::publish(const QByteArray& html) {
    html_ = html;
    address_ = QUrl(
        QStringLiteral("%1:text/%2").arg(QString::fromLatin1(kHtmlViewScheme)).arg(++generation_));
    return address_;
}

void HtmlTextHandler::requestStarted(QWebEngineUrlRequestJob* job) {
    if (job->requestMethod() != "GET" || job->requestUrl() != address_) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    auto* body = new QBuffer(job);
    body->setData(html_);
    job->reply("text/html;charset=utf-8", body);
}

}  // namespace app
