#include "app/reports/PdfWriter.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

#include <filesystem>
#include <system_error>
#include <utility>

#include "app/widgets/CHtmlView.h"

namespace app {

void whenLoaded(CHtmlView& view, std::function<void()> then) {
    if (!view.isLoading()) {
        then();
        return;
    }
    // A text given while a load ran starts its own load when that one ends: wait again.
    QObject::connect(
        &view, &CHtmlView::documentLoaded, &view,
        [&view, then = std::move(then)](bool) mutable { whenLoaded(view, std::move(then)); },
        Qt::SingleShotConnection);
}

PdfWriter::PdfWriter(CHtmlView& view, QObject* parent) : QObject(parent), view_(view) {
    connect(&view_, &CHtmlView::pdfPrinted, this, &PdfWriter::printed);
}

bool PdfWriter::write(const QString& path) {
    if (busy()) return false;
    QTemporaryFile part(QFileInfo(path).absoluteDir().filePath(QStringLiteral(".pdf-XXXXXX")));
    part.setAutoRemove(false);
    if (!part.open()) return false;
    const QString written = part.fileName();
    part.close();
    target_ = path;
    whenLoaded(view_, [this, written] { view_.printToPdf(written); });
    return true;
}

void PdfWriter::printed(const QString& part, bool ok) {
    if (!busy()) return;  // a PDF someone else asked the view for
    const QString target = std::exchange(target_, QString());
    std::error_code error;
    if (ok) std::filesystem::rename(part.toStdString(), target.toStdString(), error);
    if (!ok || error) std::filesystem::remove(part.toStdString(), error);
    emit written(target, ok && !error);
}

}  // namespace app
