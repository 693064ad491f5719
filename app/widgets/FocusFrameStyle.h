#pragma once

#include <QProxyStyle>

namespace app {

// Fusion outlines a dialog's default button in the highlight colour whether or not it has the
// keyboard, and draws nothing on a focused list without rows or a read-only text area, so a
// user who tabs onto one sees nothing change. This style adds what Fusion gives a focused field:
// a highlight outline, on a focused button or framed view once the keyboard moved the focus.
class FocusFrameStyle : public QProxyStyle {
    Q_OBJECT

public:
    FocusFrameStyle();

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
};

// Puts FocusFrameStyle in place of the application's style when that is Fusion; other styles
// show the focus themselves.
void showKeyboardFocusEverywhere();

}  // namespace app
