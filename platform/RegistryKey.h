#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/RegistryStatus.h"
#include "platform/RegistryStore.h"

namespace platform {

// An open key of the registry: the store it lives in and its path from the branch root. The
// operations have the registry's shape and answers (RegistryStatus); each one reads the store
// afresh and each change is one locked read-modify-write of the store file, so a handle stays
// valid across other processes' changes. A handle whose key was deleted meanwhile answers
// KeyDeleted to every operation.
//
// Key and value names are compared without regard to ASCII case. A key path is a sequence of
// names separated by "\"; each name is 1 to 255 characters without control characters or "\".
class RegistryKey {
public:
    // The root of the current user's branch, like hive(RegistryHive::CurrentUser).
    RegistryKey() = default;
    // The root key of a branch, in the store the environment names at the time of each call.
    static RegistryKey hive(RegistryHive hive);
    // The root key of the branch kept in the given store file.
    static RegistryKey root(RegistryStore store);

    const std::string& path() const { return path_; }

    // Opens subKey below this key, creating it and every missing key above it.
    RegistryStatus create(std::string_view subKey, RegistryKey& result) const;
    // Opens an existing subKey below this key; NotFound when it does not exist.
    RegistryStatus open(std::string_view subKey, RegistryKey& result) const;

    // Reads a value. type, when given, receives its type. size is required with data: on entry
    // the buffer's size in bytes, on return the value's size (text: characters + 1 for the
    // terminating zero; integer: 4). A buffer too small answers MoreData with the size needed
    // and leaves the buffer unspecified; no data buffer just reports type and size.
    RegistryStatus queryValue(std::string_view name, RegistryType* type, void* data,
                              std::uint32_t* size) const;

    RegistryStatus setInt(std::string_view name, std::int32_t number) const;
    // Stores the text as given; a value name is at most 16383 characters.
    RegistryStatus setString(std::string_view name, std::string_view text) const;
    RegistryStatus deleteValue(std::string_view name) const;

    // The index-th sub-key's name in enumeration order. size: on entry the buffer's size in
    // characters including the terminating zero; on success the name's length without it. A
    // buffer too small answers MoreData with the size needed; past the end, NoMoreItems.
    RegistryStatus enumKey(std::uint32_t index, char* name, std::uint32_t* size) const;

    // Deletes subKey below this key, with its values. A key that has sub-keys is not deleted
    // (HasSubKeys): callers remove a tree from the leaves up.
    RegistryStatus deleteKey(std::string_view subKey) const;

    // Deletes subKey with everything below it and creates it anew holding exactly `values` and
    // the given sub-keys with their values, in one change of the store: a section saved whole
    // costs one rewrite of the file, none when it holds all that already, and a process that
    // dies meanwhile leaves the old section or the new one, never a part of it.
    using SubKeyValues = std::vector<std::pair<std::string, std::vector<RegistryData>>>;
    RegistryStatus replaceKey(std::string_view subKey, const std::vector<RegistryData>& values,
                              const SubKeyValues& subKeys = {}) const;

private:
    RegistryStore store() const;
    // The full path of subKey below this key, or InvalidParameter.
    RegistryStatus pathTo(std::string_view subKey, std::vector<std::string>& names) const;
    // Reads the store and finds this key in it (null when it was deleted).
    RegistryStatus readThis(RegistryNode& root, const RegistryNode*& self) const;
    // Sets (data given) or deletes (no data) one value of this key.
    RegistryStatus changeValue(std::string_view name,
                               const std::optional<RegistryData>& data) const;

    std::optional<RegistryStore> store_;  // empty: the hive's store, resolved at each call
    RegistryHive hive_ = RegistryHive::CurrentUser;
    std::vector<std::string> names_;
    std::string path_;
};

}  // namespace platform
