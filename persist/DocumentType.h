#pragma once

#include <string>

namespace persist {

// Registers "*.wsa" scenario files as documents of the program: the classes-root keys
// ("ZORVScenario" with its open command, ".wsa" pointing at it) and, for the desktop, a
// .desktop file and a shared-mime-info package in the user's data folder. Returns false at the
// first part that cannot be written.
class DocumentType {
public:
    static constexpr const char* kTypeName = "ZORVScenario";
    static constexpr const char* kTypeText = "ZORV Scenario";
    static constexpr const char* kMimeType = "application/x-pagelyst-scenario";

    static bool registerDocumentType(const std::string& programPath);

    // The texts written, exposed for tests.
    static std::string openCommand(const std::string& programPath);
    static std::string desktopEntry(const std::string& programPath);
    static std::string mimePackage();
};

}  // namespace persist
