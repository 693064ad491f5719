#include "app/reports/PdfWriter.h"

#include <QPointer>

#include <string>
#include <string_view>
#include <utility>

#include "app/widgets/CHtmlView.h"
#include "report/ReportOutput.h"

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

PdfWriter::PdfWriter(CHtmlView& view, QObject* parent) : QObject(parent), view_(view) {}

bool PdfWriter::write(const QString& path) {
    if (busy()) return false;
    target_ = path;
    const QPointer<PdfWriter> self(this);
    whenLoaded(view_, [self] {
        if (self)
            self->view_.printToPdf([self](const QByteArray& pdf) {
                if (self) self->printed(pdf);
            });
    });
    return true;
}

void PdfWriter::printed(const QByteArray& pdf) {
    const QString target = std::exchange(target_, QString());
    if (pdf.isEmpty()) {
        emit written(target, tr("The report could not be printed as PDF: %1").arg(target));
        return;
    }
    std::string cause;
    const bool ok = report::writeExportFile(target.toStdString(),
                                            std::string_view(pdf.constData(), pdf.size()), &cause);
    emit written(target, ok ? QString() : QString::fromStdString(cause));
}

}  // namespace app
