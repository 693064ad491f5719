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
    // A missing section is not a failure: there is just nothing to delete.
    deleteSection(section);
    bool saved = true;
    for (const auto& [name, value] : ints_) saved = writeIntValue(section, name, value) && saved;
    for (const auto& [name, value] : strings_)
        saved = writeStringValue(section, name, value) && saved;
    return saved;
}

}  // namespace persist
