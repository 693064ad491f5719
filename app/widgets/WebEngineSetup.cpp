#include "app/widgets/WebEngineSetup.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QList>
#include <QWebEngineUrlScheme>

namespace app {

namespace {

constexpr char kFlagsVariable[] = "QTWEBENGINE_CHROMIUM_FLAGS";
constexpr char kNoSandbox[] = "--no-sandbox";

bool& schemeRegistered() {
    static bool registered = false;
    return registered;
}

void registerViewScheme() {
    if (schemeRegistered()) return;
    QWebEngineUrlScheme scheme(kHtmlViewScheme);
    // With a host every text of the program has one origin ("pagelyst-view://text"), so that
    // showing the next text is a same-site navigation that keeps the view's renderer; with
    // path syntax each text was an opaque origin of its own and every load took twice as long.
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
    // Local: no page from another scheme may load or link to the program's own texts.
    scheme.setFlags(QWebEngineUrlScheme::LocalScheme);
    QWebEngineUrlScheme::registerScheme(scheme);
    schemeRegistered() = true;
}

}  // namespace

QByteArray chromiumFlags(const QByteArray& current, bool runningAsRoot) {
    if (!runningAsRoot) return current;
    const QList<QByteArray> flags = current.simplified().split(' ');
    if (flags.contains(kNoSandbox)) return current;
    return current.trimmed().isEmpty() ? QByteArray(kNoSandbox)
                                       : current.trimmed() + ' ' + kNoSandbox;
}

void prepareWebEngine() {
    if (QCoreApplication::instance() != nullptr) {
        qWarning("prepareWebEngine() must run before the QApplication is constructed");
    }
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    const QByteArray current = qgetenv(kFlagsVariable);
    const QByteArray flags = chromiumFlags(current, ::geteuid() == 0);
    if (flags != current) qputenv(kFlagsVariable, flags);
    registerViewScheme();
}

bool htmlViewSchemeRegistered() {
    return schemeRegistered();
}

}  // namespace app
