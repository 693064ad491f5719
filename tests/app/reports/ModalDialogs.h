#pragma once
// Stand-ins for the user of the report editors' modal dialogs and message boxes.

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <vector>

#include "app/widgets/MessageBoxes.h"

namespace reporttest {

// Runs `act` on the modal dialog of type Dialog as soon as it is the active one. When none
// comes, the test fails and whatever modal window is open is closed, so exec() never hangs.
template <class Dialog>
void whenShown(std::function<void(Dialog&)> act, int tries = 100) {
    QTimer::singleShot(tries == 100 ? 0 : 10, [act = std::move(act), tries] {
        if (auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget())) {
            act(*dialog);
            return;
        }
        if (tries > 0) return whenShown<Dialog>(act, tries - 1);
        QTest::qFail("the expected dialog was not shown", __FILE__, __LINE__);
        if (QWidget* other = QApplication::activeModalWidget()) other->close();
    });
}

// Answers every message box with `answer` and keeps what it was shown.
class BoxRecorder {
public:
    explicit BoxRecorder(QMessageBox::StandardButton answer = QMessageBox::Ok) {
        app::MessageBoxes::setAnswerer([this, answer](const app::MessageBoxes::Box& box) {
            boxes.push_back(box);
            return answer;
        });
    }
    ~BoxRecorder() { app::MessageBoxes::setAnswerer({}); }
    BoxRecorder(const BoxRecorder&) = delete;
    BoxRecorder& operator=(const BoxRecorder&) = delete;

    std::vector<app::MessageBoxes::Box> boxes;
};

}  // namespace reporttest
