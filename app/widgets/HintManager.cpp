#include "app/widgets/HintManager.h"

#include <QCoreApplication>
#include <QCursor>
#include <QEvent>
#include <QWindow>

#include "app/widgets/CBalloon.h"
#include "app/widgets/HintStateStore.h"
#include "app/widgets/HintTexts.h"

namespace app {

namespace {

// The user's input that closes a balloon: any mouse button, in or out of a window's client
// area, and any key.
bool closesBalloon(QEvent::Type type) {
    switch (type) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::NonClientAreaMouseButtonPress:
        case QEvent::NonClientAreaMouseButtonRelease:
        case QEvent::NonClientAreaMouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
            return true;
        default:
            return false;
    }
}

}  // namespace

HintManager::HintManager(HintStateStore& store, QObject* parent) : QObject(parent), store_(store) {
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &HintManager::onTimer);
}

HintManager::~HintManager() {
    watchInput(false);
    // A balloon still shown goes without storing anything: the program is closing, the user
    // closed nothing.
    delete balloon_;
}

void HintManager::registerHint(int number, QWidget* window, const QString& text) {
    if (const Hint* old = find(number); old && old->window) old->window->removeEventFilter(this);
    hints_[number] = Hint{window, text};
    if (window) window->installEventFilter(this);
}

int HintManager::hintState(int number) const {
    const std::optional<int> stored = store_.read(number);
    // The settings store cannot tell a stored -1 from a missing value.
    return stored && *stored != -1 ? *stored : kDefaultState;
}

bool HintManager::showHint(int number, std::optional<QPoint> globalPoint) {
    if ((hintState(number) & kMayRaise) == 0) return false;
    if (balloon_) balloon_->dismiss();
    schedule(Pending{number, true, globalPoint}, kRaiseDelayMs);
    return true;
}

void HintManager::dismiss() {
    cancelPending();
    if (balloon_) balloon_->dismiss();
}

const HintManager::Hint* HintManager::find(int number) const {
    const auto it = hints_.find(number);
    return it == hints_.end() ? nullptr : &it->second;
}

QString HintManager::textOf(int number) const {
    const Hint* hint = find(number);
    return hint && !hint->text.isEmpty() ? hint->text : builtInHintText(number);
}

void HintManager::schedule(const Pending& pending, int delayMs) {
    pending_ = pending;
    timer_.start(delayMs);
    watchInput(true);
}

void HintManager::cancelPending() {
    timer_.stop();
    pending_ = {};
    if (!balloon_) watchInput(false);
}

bool HintManager::elapsePending() {
    if (!timer_.isActive()) return false;
    timer_.stop();
    onTimer();
    return true;
}

void HintManager::onTimer() {
    const Pending pending = pending_;
    pending_ = {};
    if ((hintState(pending.number) & kMayShow) == 0) {
        if (!balloon_) watchInput(false);
        return;
    }
    std::optional<QPoint> point = pending.point;
    if (!point) {
        const Hint* hint = find(pending.number);
        if (!pending.raised || !hint || !hint->window) point = QCursor::pos();
    }
    open(pending.number, point);
}

void HintManager::open(int number, const std::optional<QPoint>& point) {
    if (balloon_) balloon_->dismiss();
    balloon_ = new CBalloon(textOf(number));
    shown_ = number;
    connect(balloon_, &CBalloon::dismissed, this,
            [this, number](bool doNotShowAgain) { onBalloonClosed(number, doNotShowAgain); });
    if (point) {
        balloon_->showAt(*point);
    } else {
        balloon_->showNextTo(find(number)->window);
    }
    watchInput(true);
    emit hintShown(number);
}

void HintManager::onBalloonClosed(int number, bool doNotShowAgain) {
    store_.write(number, doNotShowAgain ? 0 : kMayShow);
    if (balloon_) balloon_->deleteLater();
    balloon_ = nullptr;
    shown_ = 0;
    if (!timer_.isActive()) watchInput(false);
    emit hintClosed(number, doNotShowAgain);
}

bool HintManager::insideBalloon(QObject* object) const {
    if (!balloon_) return false;
    if (auto* widget = qobject_cast<QWidget*>(object))
        return widget == balloon_ || balloon_->isAncestorOf(widget);
    return object == balloon_->windowHandle();
}

void HintManager::watchInput(bool on) {
    if (on == watchingInput_ || !QCoreApplication::instance()) return;
    watchingInput_ = on;
    if (on) {
        QCoreApplication::instance()->installEventFilter(this);
    } else {
        QCoreApplication::instance()->removeEventFilter(this);
    }
}

void HintManager::onWindowEvent(QWidget* window, QEvent* event) {
    if (balloon_ || (timer_.isActive() && pending_.raised)) return;
    int number = 0;
    for (const auto& [n, hint] : hints_) {
        if (hint.window == window) number = n;
    }
    if (number == 0) return;
    switch (event->type()) {
        case QEvent::Enter:
        case QEvent::MouseMove:  // the pointer moved: it rests from now on
            schedule(Pending{number, false, std::nullopt}, kHoverDelayMs);
            break;
        case QEvent::Leave:
            if (pending_.number == number) cancelPending();
            break;
        default:
            break;
    }
}

bool HintManager::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watchingInput_ && closesBalloon(type) && !insideBalloon(watched)) {
        cancelPending();
        if (balloon_) balloon_->dismiss();
    } else if (type == QEvent::Enter || type == QEvent::Leave || type == QEvent::MouseMove) {
        if (auto* widget = qobject_cast<QWidget*>(watched)) onWindowEvent(widget, event);
    }
    return false;
}

}  // namespace app
