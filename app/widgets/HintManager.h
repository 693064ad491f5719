#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <map>
#include <optional>

namespace app {

class CBalloon;
class HintStateStore;

// The hint balloons. A hint's stored state holds two permissions: bit 1 lets the balloon show
// at all, bit 2 lets the program raise it (missing state counts as both). Resting the pointer
// on a hint's window shows its balloon at the pointer after 500 ms; the program raising a hint
// shows it after 100 ms. Any mouse button or key the user presses outside the balloon closes
// it and cancels a balloon still waiting. A closed balloon stores 0 when "Do not show this
// again" was checked (silenced for good), else 1 (never raised again, still shown on the
// pointer). One balloon at a time; user-interface thread only.
class HintManager : public QObject {
    Q_OBJECT

public:
    static constexpr int kMayShow = 1;
    static constexpr int kMayRaise = 2;
    static constexpr int kDefaultState = kMayShow | kMayRaise;
    static constexpr int kHoverDelayMs = 500;
    static constexpr int kRaiseDelayMs = 100;

    // The store must outlive the manager.
    explicit HintManager(HintStateStore& store, QObject* parent = nullptr);
    ~HintManager() override;

    // Makes the hint known, belonging to window (or to none); without text it shows its
    // built-in text. Registering a number again replaces its record.
    void registerHint(int number, QWidget* window = nullptr, const QString& text = {});

    // The hint's stored state, kDefaultState when none is stored.
    int hintState(int number) const;

    // The program raises the hint: at the screen point, or without one next to its window (at
    // the pointer when it has none). False when its state refuses the raise; else the balloon
    // shows after the raise delay if its state still allows it then. Replaces a balloon that
    // is shown or waiting.
    bool showHint(int number, std::optional<QPoint> globalPoint = std::nullopt);

    // Closes the shown balloon as its Close button does and cancels a waiting one.
    void dismiss();

    // The balloon shown now, or null.
    CBalloon* balloon() const { return balloon_; }
    int shownHint() const { return balloon_ ? shown_ : 0; }
    // The hint waiting for its timer, 0 when none; and that timer's delay.
    int pendingHint() const { return timer_.isActive() ? pending_.number : 0; }
    int pendingDelayMs() const { return timer_.isActive() ? timer_.interval() : -1; }
    // Lets the waiting hint's time run out now, as its timer would; false when none waits.
    bool elapsePending();

signals:
    void hintShown(int number);
    void hintClosed(int number, bool doNotShowAgain);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Hint {
        QPointer<QWidget> window;
        QString text;
    };
    struct Pending {
        int number = 0;
        bool raised = false;  // else shown on the pointer resting on its window
        std::optional<QPoint> point;
    };

    const Hint* find(int number) const;
    QString textOf(int number) const;
    void schedule(const Pending& pending, int delayMs);
    void cancelPending();
    void onTimer();
    void open(int number, const std::optional<QPoint>& point);
    void onBalloonClosed(int number, bool doNotShowAgain);
    bool insideBalloon(QObject* object) const;
    void watchInput(bool on);
    void onWindowEvent(QWidget* window, QEvent* event);

    HintStateStore& store_;
    std::map<int, Hint> hints_;
    QTimer timer_;
    Pending pending_;
    CBalloon* balloon_ = nullptr;
    int shown_ = 0;
    bool watchingInput_ = false;
};

}  // namespace app
