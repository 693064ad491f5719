#include "platform/RegistryNode.h"

#include <iterator>

namespace platform {

std::string foldName(std::string_view name) {
    std::string folded(name);
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return folded;
}

std::size_t utf8SequenceLength(std::string_view bytes) {
    if (bytes.empty()) return 0;
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned lead = byte(0);
    if (lead < 0x80) return 1;
    std::size_t length = 0;
    unsigned low = 0x80, high = 0xBF;  // allowed range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;   // overlong
        if (lead == 0xED) high = 0x9F;  // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;   // overlong
        if (lead == 0xF4) high = 0x8F;  // beyond U+10FFFF
    } else {
        return 0;
    }
    if (bytes.size() < length || byte(1) < low || byte(1) > high) return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF) return 0;
    }
    return length;
}

bool isValidUtf8(std::string_view bytes) {
    while (!bytes.empty()) {
        const std::size_t n = utf8SequenceLength(bytes);
        if (n == 0) return false;
        bytes.remove_prefix(n);
    }
    return true;
}

bool isValidKeyName(std::string_view name) {
    if (name.empty() || name.size() > RegistryNode::kMaxKeyNameLength) return false;
    for (const char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F || c == '\\') return false;
    }
    return isValidUtf8(name);
}

RegistryStatus splitKeyPath(std::string_view path, std::vector<std::string>& names) {
    names.clear();
    if (path.empty()) return RegistryStatus::Success;
    while (true) {
        const auto slash = path.find('\\');
        const auto name = path.substr(0, slash);
        if (!isValidKeyName(name) || names.size() == RegistryNode::kMaxDepth) {
            names.clear();
            return RegistryStatus::InvalidParameter;
        }
        names.emplace_back(name);
        if (slash == std::string_view::npos) return RegistryStatus::Success;
        path.remove_prefix(slash + 1);
    }
}

RegistryNode* RegistryNode::child(std::string_view name) {
    const auto it = children_.find(foldName(name));
    return it == children_.end() ? nullptr : it->second.get();
}

const RegistryNode* RegistryNode::child(std::string_view name) const {
    const auto it = children_.find(foldName(name));
    return it == children_.end() ? nullptr : it->second.get();
}

RegistryNode& RegistryNode::addChild(std::string_view name) {
    auto& slot = children_[foldName(name)];
    if (!slot) slot = std::make_unique<RegistryNode>(std::string(name));
    return *slot;
}

bool RegistryNode::removeChild(std::string_view name) {
    return children_.erase(foldName(name)) != 0;
}

const RegistryNode* RegistryNode::childAt(std::size_t index) const {
    if (index >= children_.size()) return nullptr;
    return std::next(children_.begin(), static_cast<std::ptrdiff_t>(index))->second.get();
}

const RegistryData* RegistryNode::value(std::string_view name) const {
    const auto it = values_.find(foldName(name));
    return it == values_.end() ? nullptr : &it->second;
}

void RegistryNode::setValue(RegistryData data) {
    auto folded = foldName(data.name);
    const auto it = values_.find(folded);
    if (it != values_.end()) data.name = it->second.name;
    values_.insert_or_assign(std::move(folded), std::move(data));
}

bool RegistryNode::removeValue(std::string_view name) {
    return values_.erase(foldName(name)) != 0;
}

RegistryNode* RegistryNode::find(const std::vector<std::string>& path) {
    RegistryNode* node = this;
    for (const auto& name : path) {
        node = node->child(name);
        if (!node) return nullptr;
    }
    return node;
}

const RegistryNode* RegistryNode::find(const std::vector<std::string>& path) const {
    return const_cast<RegistryNode*>(this)->find(path);
}

RegistryNode& RegistryNode::create(const std::vector<std::string>& path) {
    RegistryNode* node = this;
    for (const auto& name : path) node = &node->addChild(name);
    return *node;
}

}  // namespace platform
