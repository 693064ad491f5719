#pragma once

#include <QIcon>
#include <QString>
#include <QWidget>

class QBoxLayout;
class QLabel;
class QSplitter;
class QTabBar;
class QToolButton;

namespace app {

// A view's side pane beside its main content: a caption above the pane's content and a tab
// strip at the pane's side. Pinned, the pane stays open beside the view (its size set by a
// splitter); unpinned, it collapses to its tab strip, and a click on the tab opens it again.
// Its five stored values are the strip's location, the pin state, the pane's width and height,
// and its active flag; the selected tab is kept for the store as well.
class CTabPane : public QWidget {
    Q_OBJECT

public:
    enum Location { Left = 0, Top = 1, Right = 2, Bottom = 3 };

    struct State {
        int location = Right;
        bool pinned = true;
        int width = 200;
        int height = 200;
        bool active = true;
        int selection = 1;

        bool operator==(const State&) const = default;
    };

    // Takes `main` (the view's own content) and `content` (what the pane holds) as children.
    CTabPane(QWidget* main, const QString& tabText, const QString& caption, const QIcon& image,
             QWidget* content, QWidget* parent = nullptr);

    void setState(const State& state);
    // The values to store: the current location, pin state, sizes and flags.
    State state() const;

    bool pinned() const { return state_.pinned; }
    void setPinned(bool pinned);
    void togglePinned() { setPinned(!state_.pinned); }

    QWidget* content() const { return content_; }
    QWidget* mainWidget() const { return main_; }
    // The pane's open part (caption and content); hidden while unpinned.
    QWidget* paneFrame() const { return frame_; }
    // The strip with the pane's tab (the button the pane opens from).
    QTabBar* tabStrip() const { return strip_; }

signals:
    void pinnedChanged(bool pinned);

private:
    void relayout();
    void rememberSize();

    QWidget* main_;
    QWidget* content_;
    QWidget* frame_;
    QSplitter* splitter_;
    QTabBar* strip_;
    QToolButton* pin_;
    QBoxLayout* layout_;
    State state_;
};

}  // namespace app
