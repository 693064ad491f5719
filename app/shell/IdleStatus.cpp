#include "app/shell/IdleStatus.h"

#include <QTimer>

namespace app {

IdleStatus::IdleStatus() : text_(QString::fromLatin1(kReady)) {}

void IdleStatus::setText(const QString& text) {
    text_ = text;
    pending_ = true;
    if (queued_) return;
    queued_ = true;
    // A zero-time timer fires once the event queue is empty: the program is idle.
    QTimer::singleShot(0, this, [this] {
        queued_ = false;
        if (pending_) emit pushRequested();
    });
}

QString IdleStatus::take() {
    pending_ = false;
    return text_;
}

}  // namespace app
