#pragma once

#include <QObject>

#include <functional>

class QWidget;

namespace app {

// Gives Return and Enter in one widget an action of their own. A list view passes the key on
// after it is handled, so in a dialog it would also press the default button.
class EnterKeyFilter : public QObject {
    Q_OBJECT

public:
    // The filter belongs to `widget`.
    static void install(QWidget* widget, std::function<void()> action);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    EnterKeyFilter(QWidget* widget, std::function<void()> action);

    std::function<void()> action_;
};

}  // namespace app
