#include "app/widgets/QuestionBoxes.h"

#include "app/widgets/MessageBoxes.h"

namespace app {

QuestionBoxes::Answer QuestionBoxes::ask(const std::string& question) {
    switch (MessageBoxes::question(parent_, QString::fromStdString(question))) {
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        default:
            return Answer::Cancel;
    }
}

}  // namespace app
