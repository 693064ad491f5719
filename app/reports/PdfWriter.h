#pragma once

#include <QObject>
#include <QString>

#include <functional>

namespace app {

class CHtmlView;

// Writes what an HTML view shows to a PDF file, whole or not at all: a failure leaves any older
// file as it was and says why. One file at a time; the document the view was last given is
// waited for.
class PdfWriter : public QObject {
    Q_OBJECT

public:
    explicit PdfWriter(CHtmlView& view, QObject* parent = nullptr);

    // Starts writing; false (and nothing starts) while another file is being written.
    bool write(const QString& path);
    bool busy() const { return !target_.isEmpty(); }

signals:
    // `cause` is empty when the file was written, else what stopped it, naming the file.
    void written(const QString& path, const QString& cause);

private:
    void printed(const QByteArray& pdf);

    CHtmlView& view_;
    QString target_;
};

// Runs `then` once the view shows what it was last given.
void whenLoaded(CHtmlView& view, std::function<void()> then);

}  // namespace app
