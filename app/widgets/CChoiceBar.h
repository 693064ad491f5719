#pragma once

#include <QIcon>
#include <QString>
#include <QWidget>

#include <vector>

class QButtonGroup;
class QLabel;
class QTimer;
class QToolButton;
class QVBoxLayout;

namespace app {

// The selection bar that fills the main window's client area: a column of views on the left
// (131 pixels wide, with the connection type selector at its foot), a 50-pixel header above the
// active view with its title and description, and the active view below it with a 5-pixel
// margin right and below. While a download runs the header shows an activity animation.
class CChoiceBar : public QWidget {
    Q_OBJECT

public:
    static constexpr int kColumnWidth = 131;
    static constexpr int kHeaderHeight = 50;
    static constexpr int kMargin = 5;
    static constexpr int kAnimationFrames = 8;

    struct Entry {
        int key = 0;
        QString shortName;
        QString title;
        QString description;
        QIcon image;
        QWidget* view = nullptr;  // reparented into the bar; none: listed but not available
        bool listed = true;       // shown in the column (the Page Status view is not)
    };

    explicit CChoiceBar(QWidget* parent = nullptr);

    void addEntry(const Entry& entry);
    // Puts a labelled control (the connection type selector) at the foot of the column.
    void setFooter(const QString& label, QWidget* control);

    // Shows the view with this key and its header; false for an unknown key or a key that has
    // no view. Does not change the focus.
    bool show(int key);
    int current() const { return current_; }
    QWidget* view(int key) const;
    // The place of a view: x 131, y 50, the client size less 136 by 55.
    QRect viewRect() const;
    // Replaces the header's title for a key (the Page Status view shows its page's status).
    void setTitle(int key, const QString& title);
    QString title(int key) const;

    void startAnimation();
    void stopAnimation();
    int animationFrame() const { return frame_; }

signals:
    // The user chose a view in the column.
    void viewRequested(int key);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    const Entry* find(int key) const;
    void placeCurrent();

    std::vector<Entry> entries_;
    std::vector<QToolButton*> buttons_;
    QButtonGroup* group_;
    QVBoxLayout* column_;
    QWidget* columnWidget_;
    QTimer* animation_;
    int current_ = -1;
    int frame_ = -1;
    QSize placedFor_;
};

}  // namespace app
