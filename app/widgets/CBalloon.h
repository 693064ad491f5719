#pragma once

#include <QPainterPath>
#include <QPoint>
#include <QString>
#include <QWidget>

class QCheckBox;
class QLabel;
class QPushButton;

namespace app {

// A balloon tool tip: the information icon, the hint text, the "Do not show this again" check
// box and a "Close" button, in a rounded box whose tail points at a screen point. It never takes
// the focus from the window the user works in. dismiss() (or the Close button) hides it and
// says once whether the box was checked; the owner deletes it.
class CBalloon : public QWidget {
    Q_OBJECT

public:
    explicit CBalloon(const QString& text, QWidget* parent = nullptr);

    // Shows the balloon with its tail's tip at the screen point; the box goes below the point
    // unless the screen has no room there, and is kept on the screen.
    void showAt(const QPoint& globalTip);
    // Shows it pointing at the middle of the widget's lower edge.
    void showNextTo(const QWidget* anchor);

    // Hides the balloon and emits dismissed, once.
    void dismiss();

    QString text() const;
    QPoint tip() const { return tip_; }
    bool doNotShowAgain() const;
    QCheckBox* doNotShowBox() const { return doNotShow_; }
    QPushButton* closeButton() const { return close_; }

signals:
    void dismissed(bool doNotShowAgain);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // The box with its tail, inset pixels inside the widget's edge.
    QPainterPath outline(qreal inset) const;

    QLabel* text_;
    QCheckBox* doNotShow_;
    QPushButton* close_;
    QPoint tip_;
    int tailX_ = 0;          // the tail's position along the box, in widget coordinates
    bool tailAbove_ = true;  // the box hangs below the point
    bool dismissed_ = false;
};

}  // namespace app
