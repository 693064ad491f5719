#pragma once

#include <string>

namespace platform {

// The folders every file the program reads or writes is placed under. Each answer is computed
// from the environment at the time of the call, so nothing is cached.
//
// When PAGELYST_HOME is set it replaces the home directory, and the XDG_* variables, which
// point into the real user's home, are ignored: a test or a second profile never touches the
// user's own files.
class SpecialFolders {
public:
    // PAGELYST_HOME, else HOME, else the home directory of the user's account entry.
    static std::string home();
    // Where the settings store lives: $XDG_CONFIG_HOME/pagelyst, else <home>/.config/pagelyst.
    static std::string settings();
    // The user's documents folder: the XDG documents folder named in user-dirs.dirs, else
    // <home>/Documents.
    static std::string documents();
    // $XDG_DATA_HOME, else <home>/.local/share.
    static std::string applicationData();

private:
    // An XDG variable's value when it is an absolute path and PAGELYST_HOME is not set.
    static std::string xdgVariable(const char* name);
    // $XDG_CONFIG_HOME, else <home>/.config.
    static std::string configBase();
};

}  // namespace platform
