#include "persist/SettingsStore.h"

#include <mutex>
#include <vector>

#include "persist/RegistryValue.h"
#include "platform/RegistryKey.h"

namespace persist {
namespace {

using platform::RegistryKey;
using platform::RegistryStatus;

// The path buffer held 1024 characters including the terminating zero.
constexpr std::size_t kMaxPathLength = 1023;
// Sub-key names are read through a buffer of this many characters.
constexpr std::size_t kKeyNameBuffer = 4096;

struct Root {
    std::mutex mutex;
    std::string company{kCompanyName};
    std::string product{kProductName};
};

Root& root() {
    static Root instance;
    return instance;
}

// Deletes subKey below parent: repeatedly the first remaining sub-key, then the key itself.
// Stops at the first failure, so a key that cannot be deleted never makes this loop forever.
bool deleteTree(const RegistryKey& parent, std::string_view subKey) {
    RegistryKey key;
    if (parent.open(subKey, key) != RegistryStatus::Success) return false;
    // On the heap: keys nest up to 512 deep.
    std::vector<char> name(kKeyNameBuffer);
    while (true) {
        auto size = static_cast<std::uint32_t>(name.size());
        const RegistryStatus status = key.enumKey(0, name.data(), &size);
        if (status == RegistryStatus::NoMoreItems) break;
        if (status != RegistryStatus::Success || !deleteTree(key, name.data())) return false;
    }
    return parent.deleteKey(subKey) == RegistryStatus::Success;
}

}  // namespace

void setRoot(std::string_view company, std::string_view product) {
    Root& r = root();
    const std::lock_guard lock(r.mutex);
    r.company = company;
    r.product = product;
}

std::string sectionPath(std::string_view section) {
    Root& r = root();
    std::string path;
    {
        const std::lock_guard lock(r.mutex);
        path = "SOFTWARE\\" + r.company + "\\" + r.product + "\\";
    }
    path += section;
    if (path.size() > kMaxPathLength) path.resize(kMaxPathLength);
    return path;
}

bool writeIntValue(std::string_view section, std::string_view name, std::int32_t number) {
    return RegistryValue::inSection(section, name).writeInt(number);
}

bool writeStringValue(std::string_view section, std::string_view name, std::string_view text) {
    return RegistryValue::inSection(section, name).writeString(text);
}

std::optional<std::int32_t> readIntValue(std::string_view section, std::string_view name) {
    return RegistryValue::inSection(section, name).queryInt();
}

std::int32_t readIntValue(std::string_view section, std::string_view name,
                          std::int32_t defaultValue) {
    return readIntValue(section, name).value_or(defaultValue);
}

std::optional<std::string> readStringValue(std::string_view section, std::string_view name) {
    auto stored = RegistryValue::inSection(section, name).queryString();
    if (stored && stored->size() > kMaxTextLength) stored->resize(kMaxTextLength);
    return stored;
}

bool deleteSection(std::string_view section) {
    return deleteTree(RegistryKey::hive(platform::RegistryHive::CurrentUser), sectionPath(section));
}

bool replaceSection(std::string_view section, const std::vector<platform::RegistryData>& values,
                    const platform::RegistryKey::SubKeyValues& subSections) {
    return RegistryKey::hive(platform::RegistryHive::CurrentUser)
               .replaceKey(sectionPath(section), values, subSections) == RegistryStatus::Success;
}

}  // namespace persist
