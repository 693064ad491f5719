#pragma once

#include <string>
#include <string_view>

namespace engine {

// The user's web browser, as the classes-root branch names it: the default value of
// "http\shell\open\command", a command line such as "\"/opt/web browser/run\" %1" or
// "/usr/bin/browser %1", of which only the program is used.
class BrowserCommand {
public:
    static constexpr const char* kKey = "http\\shell\\open\\command";

    // The program of a command line: the text inside leading double quotes (to the end when the
    // closing quote is missing), else the text up to the first space.
    static std::string programOf(std::string_view commandLine);

    // Reads the key now: its program, or empty when the key, its default value or the program
    // is missing.
    static std::string readProgram();

    // The program read on first use; every later call of the process answers the same.
    // Thread-safe.
    static const std::string& program();

    // Starts `browser` with the address; when there is none or it cannot be started, the
    // desktop's handler opens the address instead. False when neither could be started.
    static bool open(const std::string& browser, const std::string& address);
};

// Opens the address in the user's web browser (BrowserCommand::open with program()).
bool openInBrowser(const std::string& address);

}  // namespace engine
