#include "platform/SpecialFolders.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string_view>

namespace platform {
namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

std::string withoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

// Reads XDG_DOCUMENTS_DIR="..." from a user-dirs.dirs file, whose values are either absolute
// or start with "$HOME/". Returns empty text when the file has no usable entry.
std::string documentsFromUserDirs(const std::string& file, const std::string& home) {
    std::ifstream in(file);
    std::string line;
    constexpr std::string_view kKey = "XDG_DOCUMENTS_DIR=\"";
    while (std::getline(in, line)) {
        if (!line.starts_with(kKey) || !line.ends_with('"')) continue;
        std::string value = line.substr(kKey.size(), line.size() - kKey.size() - 1);
        if (value.starts_with("$HOME/")) return home + value.substr(5);
        if (value.starts_with('/')) return withoutTrailingSlashes(value);
    }
    return {};
}

}  // namespace

std::string SpecialFolders::home() {
    if (auto own = environment("PAGELYST_HOME"); !own.empty()) return withoutTrailingSlashes(own);
    if (auto home = environment("HOME"); !home.empty()) return withoutTrailingSlashes(home);
    if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir)
        return withoutTrailingSlashes(entry->pw_dir);
    return "/";
}

std::string SpecialFolders::xdgVariable(const char* name) {
    if (!environment("PAGELYST_HOME").empty()) return {};
    auto value = environment(name);
    return value.starts_with('/') ? withoutTrailingSlashes(value) : std::string();
}

std::string SpecialFolders::configBase() {
    auto base = xdgVariable("XDG_CONFIG_HOME");
    return base.empty() ? home() + "/.config" : base;
}

std::string SpecialFolders::settings() {
    return configBase() + "/pagelyst";
}

std::string SpecialFolders::documents() {
    const auto homeFolder = home();
    auto named = documentsFromUserDirs(configBase() + "/user-dirs.dirs", homeFolder);
    return named.empty() ? homeFolder + "/Documents" : named;
}

std::string SpecialFolders::applicationData() {
    auto base = xdgVariable("XDG_DATA_HOME");
    return base.empty() ? home() + "/.local/share" : base;
}

}  // namespace platform
