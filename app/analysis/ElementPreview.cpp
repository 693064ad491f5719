#include "app/analysis/ElementPreview.h"

#include <QWebEngineSettings>

#include "app/widgets/HtmlViewPage.h"
#include "engine/items/WebItem.h"

namespace app {

namespace {

const QString kBlank = QStringLiteral("<html><head></head><body></body></html>");

}  // namespace

ElementPreview::ElementPreview(QWidget* parent) : CImageHtmlView(parent) {}

ElementPreview::ElementPreview(const QString& folder, QWidget* parent)
    : CImageHtmlView(parent), cache_(folder) {}

QString ElementPreview::note(const QString& text) {
    return QStringLiteral("<HTML> <BODY> <FONT FACE=\"Tahoma\" size=2> %1 </BODY> </HTML>")
        .arg(text.toHtmlEscaped());
}

void ElementPreview::showElement(const std::shared_ptr<engine::WebItem>& item) {
    if (!item) {
        shown_.clear();
        showHtml(kBlank);
        return;
    }
    const std::shared_ptr<const std::string> body = item->body();
    const engine::ContentKind kind = item->contentKind();
    // The browser component offers these as downloads, which the view refuses: a note instead
    // of the previous element left standing.
    if (kind == engine::ContentKind::Flash || kind == engine::ContentKind::OctetStream) {
        shown_.clear();
        showHtml(note(tr("This kind of element cannot be shown here.")));
        return;
    }
    if (!body || body->empty()) {
        shown_.clear();
        showHtml(note(item->bodyOverCap() ? tr("The element is too large to be kept for preview.")
                                          : tr("No content was downloaded for this element.")));
        return;
    }
    const PreviewCache::File file = cache_.fileFor(*item);
    shown_ = file.path;
    if (file.path.isEmpty()) {
        showHtml(note(tr("The element cannot be previewed. %1").arg(file.error)));
        return;
    }
    // A local file carries no character set of its own; most documents today are UTF-8.
    page()->settings()->setDefaultTextEncoding(QStringLiteral("utf-8"));
    showFile(file.shown);
}

void ElementPreview::clear() {
    shown_.clear();
    cache_.clear();
    showHtml(kBlank);
}

}  // namespace app
