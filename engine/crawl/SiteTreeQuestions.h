#pragma once

#include <string>
#include <string_view>

namespace engine {

// The questions the site tree's removals ask before they change anything; the desktop program
// shows them as message boxes, the command line answers them itself. Their texts are here, in
// one place every front end reads.
class SiteTreeQuestions {
public:
    enum class Answer { Yes, No, Cancel };

    static constexpr std::string_view kDeleteSelected =
        "Delete selected page(s) from the list?\n\nAll children of selected pages will be also "
        "deleted.";
    static constexpr std::string_view kDeleteAll = "Delete all pages from the list?";

    virtual ~SiteTreeQuestions() = default;
    // A Yes / No / Cancel question.
    virtual Answer ask(const std::string& question) = 0;
};

}  // namespace engine
