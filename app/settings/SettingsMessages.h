#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>

class QWidget;

namespace app {

// The message boxes of the settings sheet, replaceable so that tests can stand in for the user.
class SettingsMessages {
public:
    // Tells the user why the value in `field` is refused.
    using Warner = std::function<void(QWidget* field, const QString& text)>;
    // Asks a Yes/No/Cancel question and returns the answer.
    using Asker = std::function<QMessageBox::StandardButton(QWidget* parent, const QString& text)>;

    static void warn(QWidget* field, const QString& text);
    static QMessageBox::StandardButton ask(QWidget* parent, const QString& text);

    // None: the real message boxes.
    static void setWarner(Warner warner);
    static void setAsker(Asker asker);
};

}  // namespace app
