#pragma once

#include <QObject>
#include <QString>

namespace app {

// The application's idle status text: the first pane of the active main window's status bar.
// Setters raise the push flag; the text reaches the bar at the next idle moment (one queued
// call however many texts were set meanwhile), and also while a download runs.
class IdleStatus : public QObject {
    Q_OBJECT

public:
    static constexpr const char* kReady = "Ready";

    IdleStatus();

    void setText(const QString& text);
    const QString& text() const { return text_; }
    bool pushPending() const { return pending_; }
    // Clears the flag and returns the text to show.
    QString take();

signals:
    // Emitted at the idle moment after a setText: the active window shows take().
    void pushRequested();

private:
    QString text_;
    bool pending_ = false;
    bool queued_ = false;
};

}  // namespace app
