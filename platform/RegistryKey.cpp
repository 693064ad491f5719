#include "platform/RegistryKey.h"

#include <algorithm>
#include <cstring>

namespace platform {
namespace {

std::string joinPath(const std::vector<std::string>& names) {
    std::string path;
    for (const auto& name : names) {
        if (!path.empty()) path += '\\';
        path += name;
    }
    return path;
}

}  // namespace

RegistryKey RegistryKey::hive(RegistryHive hive) {
    RegistryKey key;
    key.hive_ = hive;
    return key;
}

RegistryKey RegistryKey::root(RegistryStore store) {
    RegistryKey key;
    key.store_ = std::move(store);
    return key;
}

RegistryStore RegistryKey::store() const {
    return store_ ? *store_ : RegistryStore::forHive(hive_);
}

RegistryStatus RegistryKey::pathTo(std::string_view subKey, std::vector<std::string>& names) const {
    std::vector<std::string> below;
    if (const auto status = splitKeyPath(subKey, below); status != RegistryStatus::Success)
        return status;
    if (names_.size() + below.size() > RegistryNode::kMaxDepth)
        return RegistryStatus::InvalidParameter;
    names = names_;
    names.insert(names.end(), below.begin(), below.end());
    return RegistryStatus::Success;
}

RegistryStatus RegistryKey::readThis(RegistryNode& root, const RegistryNode*& self) const {
    const auto status = store().read(root);
    self = root.find(names_);
    if (status != RegistryStatus::Success) return status;
    return self ? RegistryStatus::Success : RegistryStatus::KeyDeleted;
}

RegistryStatus RegistryKey::create(std::string_view subKey, RegistryKey& result) const {
    std::vector<std::string> names;
    if (const auto status = pathTo(subKey, names); status != RegistryStatus::Success) return status;
    const auto status = store().update([&](RegistryNode& root) {
        if (!root.find(names_)) return RegistryStatus::KeyDeleted;
        root.create(names);
        return RegistryStatus::Success;
    });
    if (status != RegistryStatus::Success) return status;
    result = *this;
    result.names_ = std::move(names);
    result.path_ = joinPath(result.names_);
    return RegistryStatus::Success;
}

RegistryStatus RegistryKey::open(std::string_view subKey, RegistryKey& result) const {
    std::vector<std::string> names;
    if (const auto status = pathTo(subKey, names); status != RegistryStatus::Success) return status;
    RegistryNode root;
    const RegistryNode* self = nullptr;
    if (const auto status = readThis(root, self); status != RegistryStatus::Success) return status;
    if (!root.find(names)) return RegistryStatus::NotFound;
    result = *this;
    result.names_ = std::move(names);
    result.path_ = joinPath(result.names_);
    return RegistryStatus::Success;
}

RegistryStatus RegistryKey::queryValue(std::string_view name, RegistryType* type, void* data,
                                       std::uint32_t* size) const {
    if (data && !size) return RegistryStatus::InvalidParameter;
    RegistryNode root;
    const RegistryNode* self = nullptr;
    if (const auto status = readThis(root, self); status != RegistryStatus::Success) return status;
    const RegistryData* value = self->value(name);
    if (!value) return RegistryStatus::NotFound;
    if (type) *type = value->type;

    const bool isInt = value->type == RegistryType::Int;
    const std::size_t needed = isInt ? sizeof value->number : value->text.size() + 1;
    if (needed > UINT32_MAX) return RegistryStatus::CantRead;
    const std::uint32_t room = size ? *size : 0;
    if (size) *size = static_cast<std::uint32_t>(needed);
    if (!data) return RegistryStatus::Success;
    if (room < needed) return RegistryStatus::MoreData;
    if (isInt) {
        std::memcpy(data, &value->number, sizeof value->number);
    } else {
        std::memcpy(data, value->text.data(), value->text.size());
        static_cast<char*>(data)[value->text.size()] = '\0';
    }
    return RegistryStatus::Success;
}

RegistryStatus RegistryKey::changeValue(std::string_view name,
                                        const std::optional<RegistryData>& data) const {
    if (name.size() > RegistryNode::kMaxValueNameLength) return RegistryStatus::InvalidParameter;
    return store().update([&](RegistryNode& root) {
        RegistryNode* self = root.find(names_);
        if (!self) return RegistryStatus::KeyDeleted;
        if (data) {
            self->setValue(*data);
            return RegistryStatus::Success;
        }
        return self->removeValue(name) ? RegistryStatus::Success : RegistryStatus::NotFound;
    });
}

RegistryStatus RegistryKey::setInt(std::string_view name, std::int32_t number) const {
    return changeValue(name, RegistryData{std::string(name), RegistryType::Int, number, {}});
}

RegistryStatus RegistryKey::setString(std::string_view name, std::string_view text) const {
    return changeValue(name,
                       RegistryData{std::string(name), RegistryType::String, 0, std::string(text)});
}

RegistryStatus RegistryKey::deleteValue(std::string_view name) const {
    return changeValue(name, std::nullopt);
}

RegistryStatus RegistryKey::enumKey(std::uint32_t index, char* name, std::uint32_t* size) const {
    if (!name || !size) return RegistryStatus::InvalidParameter;
    RegistryNode root;
    const RegistryNode* self = nullptr;
    if (const auto status = readThis(root, self); status != RegistryStatus::Success) return status;
    const RegistryNode* child = self->childAt(index);
    if (!child) return RegistryStatus::NoMoreItems;
    const auto length = static_cast<std::uint32_t>(child->name().size());
    if (*size < length + 1) {
        *size = length + 1;
        return RegistryStatus::MoreData;
    }
    std::memcpy(name, child->name().data(), length);
    name[length] = '\0';
    *size = length;
    return RegistryStatus::Success;
}

RegistryStatus RegistryKey::deleteKey(std::string_view subKey) const {
    std::vector<std::string> names;
    if (const auto status = pathTo(subKey, names); status != RegistryStatus::Success) return status;
    // The root of a branch cannot be deleted.
    if (names.empty()) return RegistryStatus::InvalidParameter;
    return store().update([&](RegistryNode& root) {
        if (!root.find(names_)) return RegistryStatus::KeyDeleted;
        const auto parentNames = std::vector<std::string>(names.begin(), names.end() - 1);
        RegistryNode* parent = root.find(parentNames);
        const RegistryNode* target = parent ? parent->child(names.back()) : nullptr;
        if (!target) return RegistryStatus::NotFound;
        if (target->childCount() > 0) return RegistryStatus::HasSubKeys;
        parent->removeChild(names.back());
        return RegistryStatus::Success;
    });
}

RegistryStatus RegistryKey::replaceKey(std::string_view subKey,
                                       const std::vector<RegistryData>& values,
                                       const SubKeyValues& subKeys) const {
    std::vector<std::string> names;
    if (const auto status = pathTo(subKey, names); status != RegistryStatus::Success) return status;
    if (names.empty() || names.size() + 1 > RegistryNode::kMaxDepth)
        return RegistryStatus::InvalidParameter;
    const auto validValues = [](const std::vector<RegistryData>& list) {
        return std::all_of(list.begin(), list.end(), [](const RegistryData& value) {
            return value.name.size() <= RegistryNode::kMaxValueNameLength;
        });
    };
    if (!validValues(values)) return RegistryStatus::InvalidParameter;
    for (const auto& [name, subValues] : subKeys)
        if (!isValidKeyName(name) || !validValues(subValues))
            return RegistryStatus::InvalidParameter;
    return store().update([&](RegistryNode& root) {
        if (!root.find(names_)) return RegistryStatus::KeyDeleted;
        const auto parentNames = std::vector<std::string>(names.begin(), names.end() - 1);
        root.create(parentNames).removeChild(names.back());
        RegistryNode& key = root.create(names);
        for (const auto& value : values) key.setValue(value);
        for (const auto& [name, subValues] : subKeys) {
            RegistryNode& child = key.addChild(name);
            for (const auto& value : subValues) child.setValue(value);
        }
        return RegistryStatus::Success;
    });
}

}  // namespace platform
