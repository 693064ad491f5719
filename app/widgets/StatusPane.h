#pragma once

#include <QWidget>

namespace app {

// A pane of the status bar whose size does not follow every change of its text. The panes
// change with each message of a run; a label would have the whole window laid out again each
// time, and a long address in the stretching pane would widen the window. The stretching pane
// cuts a text too long for it with an ellipsis; a fitted pane grows to the widest text it has
// shown and never shrinks back.
class StatusPane : public QWidget {
    Q_OBJECT

public:
    enum class Fit { Stretch, Text };

    StatusPane(const QString& text, Fit fit, int minimumWidth, QWidget* parent = nullptr);

    QString text() const { return text_; }
    void setText(const QString& text);
    void setAlignment(Qt::Alignment alignment);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int textWidth(const QString& text) const;

    QString text_;
    Fit fit_;
    Qt::Alignment alignment_ = Qt::AlignLeft | Qt::AlignVCenter;
    mutable int widest_ = 0;  // remembered where the layout asks
};

}  // namespace app
