#include "app/reports/EnterKeyFilter.h"

#include <QKeyEvent>
#include <QWidget>

#include <utility>

namespace app {

void EnterKeyFilter::install(QWidget* widget, std::function<void()> action) {
    widget->installEventFilter(new EnterKeyFilter(widget, std::move(action)));
}

EnterKeyFilter::EnterKeyFilter(QWidget* widget, std::function<void()> action)
    : QObject(widget), action_(std::move(action)) {}

bool EnterKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) return false;
    action_();
    return true;
}

}  // namespace app
