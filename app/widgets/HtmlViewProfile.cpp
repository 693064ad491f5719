#include "app/widgets/HtmlViewProfile.h"

#include <QCoreApplication>
#include <QPointer>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>

#include "app/widgets/HtmlTextHandler.h"
#include "app/widgets/WebEngineSetup.h"

namespace app {

namespace {

struct Shared {
    QPointer<QWebEngineProfile> profile;
    QPointer<HtmlTextHandler> texts;
};

Shared& shared() {
    static Shared instance;
    return instance;
}

void make() {
    // Owned by the application object, so it goes after every window and its views' pages.
    auto* profile = new QWebEngineProfile(QCoreApplication::instance());  // no name: off the record
    profile->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
    profile->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
    QObject::connect(profile, &QWebEngineProfile::downloadRequested, profile,
                     [](QWebEngineDownloadRequest* download) { download->cancel(); });
    shared().profile = profile;
    if (htmlViewSchemeRegistered()) {
        shared().texts = new HtmlTextHandler(profile);
        profile->installUrlSchemeHandler(kHtmlViewScheme, shared().texts);
    }
}

}  // namespace

QWebEngineProfile* htmlViewProfile() {
    if (!shared().profile) make();
    return shared().profile;
}

HtmlTextHandler* htmlTextHandler() {
    htmlViewProfile();
    return shared().texts;
}

}  // namespace app
