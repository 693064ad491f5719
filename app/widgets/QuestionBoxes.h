#pragma once

#include "engine/crawl/SiteTreeQuestions.h"

class QWidget;

namespace app {

// The site tree's removal questions, asked as Yes/No/Cancel message boxes owned by `parent`.
class QuestionBoxes final : public engine::SiteTreeQuestions {
public:
    explicit QuestionBoxes(QWidget* parent) : parent_(parent) {}

    Answer ask(const std::string& question) override;

private:
    QWidget* parent_;
};

}  // namespace app
