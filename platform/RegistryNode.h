#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/RegistryStatus.h"

namespace platform {

// One value of a key. The name keeps the spelling it was first written with.
struct RegistryData {
    std::string name;
    RegistryType type = RegistryType::None;
    std::int32_t number = 0;
    std::string text;

    bool operator==(const RegistryData&) const = default;
};

// One key of the in-memory store: its name, its values and its sub-keys. Names of keys and of
// values are compared without regard to ASCII case, as the registry does; a key or value keeps
// the spelling it was created with. Sub-keys and values are held in case-folded name order,
// which is the order of enumeration and of the store file.
class RegistryNode {
public:
    // Limits of the shape, checked wherever a name or path enters the store.
    static constexpr std::size_t kMaxKeyNameLength = 255;
    static constexpr std::size_t kMaxValueNameLength = 16383;
    static constexpr std::size_t kMaxDepth = 512;

    RegistryNode() = default;
    explicit RegistryNode(std::string name) : name_(std::move(name)) {}

    const std::string& name() const { return name_; }

    RegistryNode* child(std::string_view name);
    const RegistryNode* child(std::string_view name) const;
    // Returns the existing sub-key of that name, or a new empty one.
    RegistryNode& addChild(std::string_view name);
    bool removeChild(std::string_view name);
    std::size_t childCount() const { return children_.size(); }
    // The index-th sub-key in enumeration order, or null past the end.
    const RegistryNode* childAt(std::size_t index) const;

    std::size_t valueCount() const { return values_.size(); }
    const RegistryData* value(std::string_view name) const;
    // Inserts or overwrites; an existing value keeps its name's spelling.
    void setValue(RegistryData data);
    bool removeValue(std::string_view name);

    template <typename Visit>
    void forEachChild(Visit visit) const {
        for (const auto& [folded, node] : children_) visit(*node);
    }
    template <typename Visit>
    void forEachValue(Visit visit) const {
        for (const auto& [folded, data] : values_) visit(data);
    }

    // Follows a path of names from this key; null when a key on the way is missing.
    RegistryNode* find(const std::vector<std::string>& path);
    const RegistryNode* find(const std::vector<std::string>& path) const;
    // Follows a path, creating every missing key on the way.
    RegistryNode& create(const std::vector<std::string>& path);

private:
    std::string name_;
    std::map<std::string, std::unique_ptr<RegistryNode>> children_;
    std::map<std::string, RegistryData> values_;
};

// The ASCII case-folded form of a name, the identity of keys and values.
std::string foldName(std::string_view name);

// A key name is 1 to 255 characters of valid UTF-8 without control characters or a backslash,
// so that it can stand unescaped in a store file's key line.
bool isValidKeyName(std::string_view name);

// Splits a backslash-separated key path into names. An empty path names the key itself.
// Returns InvalidParameter for an empty or invalid name, or a path deeper than kMaxDepth.
RegistryStatus splitKeyPath(std::string_view path, std::vector<std::string>& names);

// True when the bytes are well-formed UTF-8 (no overlong forms, no surrogates).
bool isValidUtf8(std::string_view bytes);
// Length of the well-formed UTF-8 sequence starting at bytes[0], or 0 when there is none.
std::size_t utf8SequenceLength(std::string_view bytes);

}  // namespace platform
