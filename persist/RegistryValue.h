#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/RegistryStatus.h"

namespace persist {

// Names one value of the store: the branch, the full key path and the value name. Reads and
// writes are silent; a value that cannot be read yields the documented "missing" answer.
class RegistryValue {
public:
    RegistryValue(platform::RegistryHive root, std::string keyPath, std::string name)
        : root_(root), keyPath_(std::move(keyPath)), name_(std::move(name)) {}

    // The value `name` of a section under the settings root (setRoot), current user's branch.
    static RegistryValue inSection(std::string_view section, std::string_view name);

    platform::RegistryHive root() const { return root_; }
    const std::string& keyPath() const { return keyPath_; }
    const std::string& name() const { return name_; }

    // The stored number, or -1 when the key or value is missing or the value is not an integer;
    // a stored -1 is therefore indistinguishable from a missing value.
    std::int32_t readInt() const;
    // The stored text, or empty text when missing or not text.
    std::string readString() const;
    // Write the value, creating the key and missing parents; false when that fails.
    bool writeInt(std::int32_t number) const;
    bool writeString(std::string_view text) const;

    // The number, or nothing when missing or not an integer.
    std::optional<std::int32_t> queryInt() const;
    // The whole text up to its first zero, or nothing when missing or not text. Asks with a
    // 256-byte buffer first and, while the store answers that more room is needed, again with the
    // size it asks for plus one.
    std::optional<std::string> queryString() const;

private:
    platform::RegistryHive root_;
    std::string keyPath_;
    std::string name_;
};

}  // namespace persist
