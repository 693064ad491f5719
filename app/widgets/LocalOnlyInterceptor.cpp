#include "app/widgets/LocalOnlyInterceptor.h"

#include <QString>

#include <array>

#include "app/widgets/WebEngineSetup.h"

namespace app {

bool LocalOnlyInterceptor::allowed(const QUrl& url) {
    // An allow-list: a scheme this list does not know (http, https, ftp, ws, wss, and any that
    // a later engine adds) is refused.
    static const std::array<QString, 5> local = {QStringLiteral("file"), QStringLiteral("data"),
                                                 QStringLiteral("about"), QStringLiteral("qrc"),
                                                 QString::fromLatin1(kHtmlViewScheme)};
    const QString scheme = url.scheme().toLower();
    for (const QString& allowedScheme : local) {
        if (scheme == allowedScheme) return true;
    }
    return false;
}

void LocalOnlyInterceptor::interceptRequest(QWebEngineUrlRequestInfo& info) {
    if (allowed(info.requestUrl())) return;
    info.block(true);
    ++blocked_;
}

}  // namespace app
