#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>

namespace app {

// Every question and message box of the program goes through here, so that a test can answer
// them instead of a user (setAnswerer) and the texts stay in one form.
class MessageBoxes {
public:
    struct Box {
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QString caption;
        QString text;
        QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    };
    using Answerer = std::function<QMessageBox::StandardButton(const Box&)>;

    // The product title: the caption of boxes whose window gives none.
    static constexpr const char* kProductTitle = "Pagelyst";

    // Shows the box modally (owned by `parent`) and returns the button chosen.
    static QMessageBox::StandardButton show(QWidget* parent, const Box& box);

    // A Yes/No/Cancel question, under the product title unless a caption is given.
    static QMessageBox::StandardButton question(QWidget* parent, const QString& text,
                                                const QString& caption = {});
    static void error(QWidget* parent, const QString& caption, const QString& text);
    static void warning(QWidget* parent, const QString& caption, const QString& text);

    // Replaces the user for every later box; none restores the real boxes.
    static void setAnswerer(Answerer answerer);
};

}  // namespace app
