#pragma once

#include <string>

namespace persist {

// The program's document folders, each ending in "/": profile items under the documents folder,
// the data folder (statistics and report definitions) under the application-data folder, and the
// temporary folder inside the data folder for element previews.
class DocumentFolders {
public:
    static std::string profileItems();
    static std::string data();
    static std::string temporary();

    // Creates the three folders with every missing parent, in that order. Returns whether all
    // of them exist as folders afterwards.
    static bool createAll();

    // Creates `path` and its missing parents; true when it is a folder afterwards.
    static bool create(const std::string& path);
};

}  // namespace persist
