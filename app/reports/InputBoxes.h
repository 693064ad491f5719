#pragma once

#include <QString>

#include <functional>
#include <optional>

class QWidget;

namespace app {

// The style editor's one-line text questions go through here, so that a test can answer them
// instead of a user (setAnswerer), as MessageBoxes does for message boxes.
class InputBoxes {
public:
    struct Box {
        QString caption;
        QString prompt;
        QString text;  // shown selected, ready to be typed over
    };
    // The text on OK; none on Cancel.
    using Answerer = std::function<std::optional<QString>(const Box&)>;

    // Shows the box modally (owned by `parent`).
    static std::optional<QString> ask(QWidget* parent, const Box& box);

    // Replaces the user for every later box; none restores the real boxes.
    static void setAnswerer(Answerer answerer);
};

}  // namespace app
