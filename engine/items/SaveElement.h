#pragma once

#include <string>
#include <string_view>

#include "engine/base/ContentKind.h"
#include "engine/items/WebItem.h"

namespace engine {

// "Save Element As": the dialog's default extension and filter for an item, and the writing of
// its body. The dialog itself belongs to the desktop program.
class SaveElement {
public:
    static constexpr std::string_view kTitle = "Save Element As";

    struct DialogChoice {
        std::string extension;  // without the dot; empty for none
        std::string filter;     // "Name (*.ext)|*.ext|...||" as the dialog takes it
    };

    // By content kind; for an unlisted kind, the object path's extension when it has one of 1 to
    // 5 characters (read from the last path segment, without the query).
    static DialogChoice choiceFor(ContentKind kind, std::string_view objectPath);

    // The folder the dialog starts in: that of the last file saved this way (empty at first).
    std::string initialFolder() const { return folder_; }

    // The user confirmed `path`: remembers its folder and writes the item's body bytes to it,
    // replacing an existing file only once the new one is complete. False (and no message)
    // when the file cannot be written.
    bool save(const WebItem& item, const std::string& path);

private:
    std::string folder_;
};

}  // namespace engine
