#include "app/widgets/CHtmlView.h"

#include <QPrintDialog>
#include <QPrinter>
#include <QShowEvent>
#include <QVBoxLayout>
#include <QWebEngineLoadingInfo>
#include <QWebEngineView>

#include "app/widgets/HtmlTextHandler.h"
#include "app/widgets/HtmlViewPage.h"
#include "app/widgets/HtmlViewProfile.h"
#include "app/widgets/LocalOnlyInterceptor.h"

namespace app {

namespace {

// The document a view has before it is given any: an empty head and body.
const QString kBlankDocument = QStringLiteral("<html><head></head><body></body></html>");

bool ended(QWebEngineLoadingInfo::LoadStatus status) {
    return status != QWebEngineLoadingInfo::LoadStartedStatus;
}

}  // namespace

CHtmlView::CHtmlView(QWidget* parent) : QWidget(parent), layout_(new QVBoxLayout(this)) {
    layout_->setContentsMargins(0, 0, 0, 0);
    setFocusPolicy(Qt::StrongFocus);
}

CHtmlView::~CHtmlView() {
    // The engine requires every page to go before its profile, which outlives every view.
    delete view_;
    delete page_;
    withdrawText();
}

void CHtmlView::withdrawText() {
    if (published_.isEmpty()) return;
    if (HtmlTextHandler* texts = htmlTextHandler()) texts->withdraw(published_);
    published_.clear();
}

void CHtmlView::showHtml(const QString& html) {
    display(Content{html, {}});
}

void CHtmlView::showFile(const QString& path) {
    display(Content{std::nullopt, QUrl::fromLocalFile(path)});
}

void CHtmlView::setLinkHandler(LinkHandler handler) {
    linkHandler_ = std::move(handler);
    if (page_) page_->setLinkHandler(linkHandler_);
}

void CHtmlView::print() {
    if (printer_) return;
    ensureCreated();
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    QPrintDialog dialog(printer.get(), this);
    if (dialog.exec() != QDialog::Accepted) return;
    printer_ = std::move(printer);
    view_->print(printer_.get());
}

void CHtmlView::printToPdf(std::function<void(const QByteArray&)> done) {
    ensureCreated();
    page_->printToPdf(done);
}

int CHtmlView::blockedRequests() const {
    return interceptor_ ? interceptor_->blocked() : 0;
}

QWebEngineView* CHtmlView::webView() {
    ensureCreated();
    return view_;
}

HtmlViewPage* CHtmlView::page() {
    ensureCreated();
    return page_;
}

void CHtmlView::showEvent(QShowEvent* event) {
    ensureCreated();
    QWidget::showEvent(event);
}

void CHtmlView::ensureCreated() {
    if (view_) return;
    interceptor_ = new LocalOnlyInterceptor(this);
    page_ = new HtmlViewPage(htmlViewProfile());
    page_->setUrlRequestInterceptor(interceptor_);
    page_->setLinkHandler(linkHandler_);
    connect(page_, &QWebEnginePage::loadingChanged, this,
            [this](const QWebEngineLoadingInfo& info) {
                if (ended(info.status()) && (expected_.isEmpty() || info.url() == expected_))
                    onLoadFinished(info.status() == QWebEngineLoadingInfo::LoadSucceededStatus);
            });
    connect(page_, &QWebEnginePage::renderProcessTerminated, this,
            [this] { onLoadFinished(false); });

    view_ = new QWebEngineView;
    view_->setPage(page_);
    connect(view_, &QWebEngineView::printFinished, this, [this](bool ok) {
        printer_.reset();
        emit printed(ok);
    });
    layout_->addWidget(view_);
    setFocusProxy(view_);
    load(Content{kBlankDocument, {}});
}

void CHtmlView::display(const Content& content) {
    ensureCreated();
    if (loading_) {
        heldBack_ = content;
    } else {
        load(content);
    }
}

void CHtmlView::load(const Content& content) {
    loading_ = true;
    if (!content.html) {
        expected_ = content.file;
        page_->load(content.file);
    } else if (HtmlTextHandler* texts = htmlTextHandler()) {
        withdrawText();
        published_ = texts->publish(content.html->toUtf8());
        expected_ = published_;
        page_->load(expected_);
    } else {
        // Without the view's scheme (prepareWebEngine was not called) the text goes as a data:
        // address, which the engine limits to 2 MB.
        expected_.clear();
        page_->setHtml(*content.html);
    }
}

void CHtmlView::onLoadFinished(bool ok) {
    if (!loading_) return;
    loading_ = false;
    if (heldBack_) {
        const Content next = *heldBack_;
        heldBack_.reset();
        load(next);
    }
    emit documentLoaded(ok);
}

}  // namespace app
