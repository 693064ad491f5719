#include "persist/Setting.h"

#include "persist/RegistryValue.h"
#include "persist/SettingsStore.h"

namespace persist {

std::int32_t IntSetting::get() const {
    const std::int32_t stored = RegistryValue::inSection(section, name).readInt();
    return stored == -1 ? defaultValue : stored;
}

bool IntSetting::set(std::int32_t value) const {
    return writeIntValue(section, name, value);
}

std::string TextSetting::get() const {
    return readStringValue(section, name).value_or(std::string());
}

bool TextSetting::set(std::string_view value) const {
    return writeStringValue(section, name, value);
}

}  // namespace persist
