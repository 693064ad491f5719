#include "app/widgets/HtmlViewPage.h"

#include <QWebEngineNewWindowRequest>
#include <QWebEngineSettings>

namespace app {

namespace {

void lockDown(QWebEngineSettings* s) {
    s->setAttribute(QWebEngineSettings::JavascriptEnabled, false);
    s->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    s->setAttribute(QWebEngineSettings::JavascriptCanAccessClipboard, false);
    s->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    s->setAttribute(QWebEngineSettings::PdfViewerEnabled, false);
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
    s->setAttribute(QWebEngineSettings::LocalStorageEnabled, false);
    s->setAttribute(QWebEngineSettings::HyperlinkAuditingEnabled, false);
    s->setAttribute(QWebEngineSettings::DnsPrefetchEnabled, false);
    s->setAttribute(QWebEngineSettings::WebGLEnabled, false);
    s->setAttribute(QWebEngineSettings::ScreenCaptureEnabled, false);
    s->setAttribute(QWebEngineSettings::NavigateOnDropEnabled, false);
    s->setAttribute(QWebEngineSettings::AllowRunningInsecureContent, false);
    s->setAttribute(QWebEngineSettings::ErrorPageEnabled, false);
    s->setAttribute(QWebEngineSettings::FocusOnNavigationEnabled, false);
    s->setDefaultTextEncoding(QStringLiteral("utf-8"));
}

}  // namespace

HtmlViewPage::Decision HtmlViewPage::decide(NavigationType type) {
    switch (type) {
        case NavigationTypeTyped:  // the view's own load
        case NavigationTypeReload:
            return Decision::Go;
        case NavigationTypeLinkClicked:
            return Decision::HandOver;
        default:  // form submissions, refreshes, redirects and history moves the view never asks
            return Decision::Refuse;
    }
}

HtmlViewPage::HtmlViewPage(QWebEngineProfile* profile, QObject* parent)
    : QWebEnginePage(profile, parent) {
    lockDown(settings());
    connect(this, &QWebEnginePage::newWindowRequested, this,
            [this](QWebEngineNewWindowRequest& request) { onNewWindow(request); });
}

bool HtmlViewPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool) {
    // A link to a place in the document shown stays in the view.
    const bool inDocument = url.hasFragment() && url.adjusted(QUrl::RemoveFragment) ==
                                                     this->url().adjusted(QUrl::RemoveFragment);
    if (type == NavigationTypeLinkClicked && inDocument) return true;
    switch (decide(type)) {
        case Decision::Go:
            return true;
        case Decision::HandOver:
            handOver(url);
            return false;
        case Decision::Refuse:
            return false;
    }
    return false;
}

void HtmlViewPage::onNewWindow(QWebEngineNewWindowRequest& request) {
    // A link with a target would open a window; it goes to the browser as any link does, and
    // no window is made (the request is left unanswered).
    if (request.isUserInitiated()) handOver(request.requestedUrl());
}

void HtmlViewPage::handOver(const QUrl& url) {
    if (linkHandler_ && url.isValid()) linkHandler_(url);
}

}  // namespace app
