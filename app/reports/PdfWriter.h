#pragma once

#include <QObject>
#include <QString>

#include <functional>

namespace app {

class CHtmlView;

// Writes what an HTML view shows to a PDF file: into a temporary file beside the target,
// renamed over it once complete, so a failure leaves any older file as it was. One file at a
// time; the document the view was last given is waited for.
class PdfWriter : public QObject {
    Q_OBJECT

public:
    explicit PdfWriter(CHtmlView& view, QObject* parent = nullptr);

    // Starts writing; false (and nothing starts) while another file is being written or when
    // no file can be made beside the target.
    bool write(const QString& path);
    bool busy() const { return !target_.isEmpty(); }

signals:
    void written(const QString& path, bool ok);

private:
    void printed(const QString& part, bool ok);

    CHtmlView& view_;
    QString target_;
};

// Runs `then` once the view shows what it was last given.
void whenLoaded(CHtmlView& view, std::function<void()> then);

}  // namespace app
