#include "persist/DocumentType.h"

#include <Archive>
#include <cstdint>
#include <filesystem>

#include "platform/RegistryKey.h"
#include "platform/SpecialFolders.h"

namespace persist {
namespace {

using platform::RegistryKey;
using platform::RegistryStatus;

bool setDefault(const std::string& keyPath, const std::string& text) {
    RegistryKey key;
    if (RegistryKey::hive(platform::RegistryHive::ClassesRoot).create(keyPath, key) !=
        RegistryStatus::Success)
        return false;
    return key.setString("", text) == RegistryStatus::Success;
}

std::string readDefault(const std::string& keyPath) {
    RegistryKey key;
    if (RegistryKey::hive(platform::RegistryHive::ClassesRoot).open(keyPath, key) !=
        RegistryStatus::Success)
        return {};
    char text[520];
    std::uint32_t size = sizeof text;
    platform::RegistryType type{};
    if (key.queryValue("", &type, text, &size) != RegistryStatus::Success ||
        type != platform::RegistryType::String || size == 0)
        return {};
    return std::string(text, size - 1);
}

bool writeFile(const std::string& path, const std::string& content) {
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
    try {
        xlib::SaveStream file(path);
        xlib::Archive archive(file);
        archive.write(content.data(), content.size());
        file.commit();
        return true;
    } catch (const xlib::Exception&) {
        return false;
    }
}

// A desktop entry's Exec argument: quoted, with the characters the format reserves escaped.
std::string quotedExec(const std::string& path) {
    std::string quoted = "\"";
    for (char c : path) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
        if (c == '%') quoted += '%';
        quoted += c;
    }
    return quoted + "\"";
}

}  // namespace

std::string DocumentType::openCommand(const std::string& programPath) {
    return programPath + " \"%1\"";
}

std::string DocumentType::desktopEntry(const std::string& programPath) {
    return std::string("[Desktop Entry]\nType=Application\nName=Pagelyst\n") +
           "Comment=Measure how fast web pages load\nExec=" + quotedExec(programPath) +
           " %f\nMimeType=" + kMimeType + ";\nTerminal=false\nNoDisplay=true\n";
}

std::string DocumentType::mimePackage() {
    return std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n") +
           "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n" +
           "  <mime-type type=\"" + kMimeType + "\">\n    <comment>" + kTypeText +
           "</comment>\n    <glob pattern=\"*.wsa\"/>\n  </mime-type>\n</mime-info>\n";
}

bool DocumentType::registerDocumentType(const std::string& programPath) {
    if (!setDefault(kTypeName, kTypeText)) return false;
    if (!setDefault(std::string(kTypeName) + "\\shell\\open\\command", openCommand(programPath)))
        return false;
    if (readDefault(".wsa") != kTypeName && !setDefault(".wsa", kTypeName)) return false;

    const std::string share = platform::SpecialFolders::applicationData();
    return writeFile(share + "/applications/pagelyst-scenario.desktop",
                     desktopEntry(programPath)) &&
           writeFile(share + "/mime/packages/pagelyst-scenario.xml", mimePackage());
}

}  // namespace persist
