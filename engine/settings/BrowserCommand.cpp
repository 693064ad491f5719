#include "engine/settings/BrowserCommand.h"

#include <cstdint>
#include <vector>

#include "platform/RegistryKey.h"
#include "platform/Shell.h"

namespace engine {

std::string BrowserCommand::programOf(std::string_view commandLine) {
    if (!commandLine.empty() && commandLine.front() == '"') {
        commandLine.remove_prefix(1);
        return std::string(commandLine.substr(0, commandLine.find('"')));
    }
    return std::string(commandLine.substr(0, commandLine.find(' ')));
}

std::string BrowserCommand::readProgram() {
    using platform::RegistryStatus;
    platform::RegistryKey key;
    if (platform::RegistryKey::hive(platform::RegistryHive::ClassesRoot).open(kKey, key) !=
        RegistryStatus::Success)
        return {};
    platform::RegistryType type{};
    std::uint32_t size = 0;
    if (key.queryValue("", &type, nullptr, &size) != RegistryStatus::Success ||
        type != platform::RegistryType::String || size == 0)
        return {};
    std::vector<char> text(size);
    if (key.queryValue("", &type, text.data(), &size) != RegistryStatus::Success ||
        type != platform::RegistryType::String || size == 0)
        return {};
    return programOf(std::string_view(text.data(), size - 1));
}

const std::string& BrowserCommand::program() {
    static const std::string browser = readProgram();
    return browser;
}

bool BrowserCommand::open(const std::string& browser, const std::string& address) {
    if (!browser.empty() && platform::openWith(browser, address)) return true;
    return platform::openAddress(address);
}

bool openInBrowser(const std::string& address) {
    return BrowserCommand::open(BrowserCommand::program(), address);
}

}  // namespace engine
