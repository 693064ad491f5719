#include "persist/SettingsBag.h"

#include "persist/SettingsStore.h"

namespace persist {

void SettingsBag::setInt(std::string_view name, std::int32_t value) {
    ints_.insert_or_assign(std::string(name), value);
}

void SettingsBag::setString(std::string_view name, std::string_view value) {
    strings_.insert_or_assign(std::string(name), std::string(value));
}

std::int32_t SettingsBag::getInt(std::string_view name) const {
    const auto it = ints_.find(name);
    return it == ints_.end() ? 0 : it->second;
}

std::string SettingsBag::getString(std::string_view name) const {
    const auto it = strings_.find(name);
    return it == strings_.end() ? std::string() : it->second;
}

void SettingsBag::load(std::string_view section) {
    for (auto& [name, value] : ints_) {
        if (const auto stored = readIntValue(section, name)) value = *stored;
    }
    for (auto& [name, value] : strings_) {
        if (auto stored = readStringValue(section, name)) value = std::move(*stored);
    }
}

bool SettingsBag::save(std::string_view section) const {
    std::vector<platform::RegistryData> values;
    values.reserve(ints_.size() + strings_.size());
    for (const auto& [name, value] : ints_)
        values.push_back({name, platform::RegistryType::Int, value, {}});
    for (const auto& [name, value] : strings_)
        values.push_back({name, platform::RegistryType::String, 0, value});
    return replaceSection(section, values);
}

}  // namespace persist
