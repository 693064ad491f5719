#include "persist/RegistryValue.h"

#include <cstring>
#include <vector>

#include "persist/SettingsStore.h"
#include "platform/RegistryKey.h"

namespace persist {
namespace {

using platform::RegistryKey;
using platform::RegistryStatus;
using platform::RegistryType;

// The store answers MoreData only while another process keeps growing the value; give up
// rather than chase it forever.
constexpr int kMaxRetries = 16;

}  // namespace

RegistryValue RegistryValue::inSection(std::string_view section, std::string_view name) {
    return RegistryValue(platform::RegistryHive::CurrentUser, sectionPath(section),
                         std::string(name));
}

std::optional<std::int32_t> RegistryValue::queryInt() const {
    RegistryKey key;
    if (RegistryKey::hive(root_).open(keyPath_, key) != RegistryStatus::Success) return {};
    std::int32_t number = 0;
    std::uint32_t size = sizeof number;
    RegistryType type = RegistryType::None;
    if (key.queryValue(name_, &type, &number, &size) != RegistryStatus::Success) return {};
    if (type != RegistryType::Int || size != sizeof number) return {};
    return number;
}

std::optional<std::string> RegistryValue::queryString() const {
    RegistryKey key;
    if (RegistryKey::hive(root_).open(keyPath_, key) != RegistryStatus::Success) return {};
    std::vector<char> buffer(256);
    std::uint32_t size = static_cast<std::uint32_t>(buffer.size());
    RegistryType type = RegistryType::None;
    RegistryStatus status = key.queryValue(name_, &type, buffer.data(), &size);
    for (int retry = 0; status == RegistryStatus::MoreData && retry < kMaxRetries; ++retry) {
        buffer.resize(std::size_t{size} + 1);
        size = static_cast<std::uint32_t>(buffer.size());
        status = key.queryValue(name_, &type, buffer.data(), &size);
    }
    if (status != RegistryStatus::Success || type != RegistryType::String) return {};
    return std::string(buffer.data(), ::strnlen(buffer.data(), size));
}

std::int32_t RegistryValue::readInt() const {
    return queryInt().value_or(-1);
}

std::string RegistryValue::readString() const {
    return queryString().value_or(std::string());
}

bool RegistryValue::writeInt(std::int32_t number) const {
    RegistryKey key;
    return RegistryKey::hive(root_).create(keyPath_, key) == RegistryStatus::Success &&
           key.setInt(name_, number) == RegistryStatus::Success;
}

bool RegistryValue::writeString(std::string_view text) const {
    RegistryKey key;
    return RegistryKey::hive(root_).create(keyPath_, key) == RegistryStatus::Success &&
           key.setString(name_, text) == RegistryStatus::Success;
}

}  // namespace persist
