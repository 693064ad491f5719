#include "engine/items/ItemRegistry.h"

#include <algorithm>

#include "engine/base/AsciiText.h"

namespace engine {
std::shared_ptr<WebItem> ItemRegistry::find(std::string_view urlText) const {
    const std::string key(trimmed(urlText));
    std::lock_guard guard(mutex_);
    auto it = byUrl_.find(key);
    return it == byUrl_.end() ? nullptr : it->second;
}

ItemRegistry::Node* ItemRegistry::add(const std::shared_ptr<WebItem>& item, const WebItem* parent,
                                      std::uint32_t position) {
    std::string key(trimmed(item->address().urlText));
    std::lock_guard guard(mutex_);
    Node* under = &root_;
    if (parent != nullptr) {
        auto it = nodesByItem_.find(parent);
        if (it != nodesByItem_.end() && !it->second.empty()) under = it->second.front();
    }
    return addLocked(item, std::move(key), under, position);
}

ItemRegistry::Node* ItemRegistry::addUnder(const std::shared_ptr<WebItem>& item, Node* parent,
                                           std::uint32_t position) {
    std::string key(trimmed(item->address().urlText));
    std::lock_guard guard(mutex_);
    return addLocked(item, std::move(key), parent != nullptr ? parent : &root_, position);
}

ItemRegistry::Node* ItemRegistry::addUnlisted(const std::shared_ptr<WebItem>& item, Node* parent,
                                              std::uint32_t position) {
    std::lock_guard guard(mutex_);
    return addLocked(item, {}, parent != nullptr ? parent : &root_, position, false);
}

ItemRegistry::Node* ItemRegistry::addLocked(const std::shared_ptr<WebItem>& item, std::string key,
                                            Node* under, std::uint32_t position, bool listed) {
    auto owned = std::make_unique<Node>();
    Node* node = owned.get();
    node->item = item;
    node->parent = under;
    node->position = position;
    under->children.push_back(node);
    nodes_.emplace(node, std::move(owned));
    nodesByItem_[item.get()].push_back(node);
    if (listed && byUrl_.try_emplace(key, item).second)
        keysByItem_[item.get()].push_back(std::move(key));
    return node;
}

bool ItemRegistry::registerAs(std::string_view urlText, const std::shared_ptr<WebItem>& item) {
    const std::string key(trimmed(urlText));
    std::lock_guard guard(mutex_);
    auto [it, inserted] = byUrl_.try_emplace(key, item);
    if (inserted) keysByItem_[item.get()].push_back(key);
    return inserted || it->second == item;
}

ItemRegistry::Node* ItemRegistry::nodeOf(const WebItem& item) const {
    std::lock_guard guard(mutex_);
    auto it = nodesByItem_.find(&item);
    return it == nodesByItem_.end() || it->second.empty() ? nullptr : it->second.front();
}

std::vector<const ItemRegistry::Node*> ItemRegistry::subtreeLocked(const Node* node) const {
    // An explicit stack: a deeply nested tree (frames within frames) cannot exhaust the
    // thread's stack.
    std::vector<const Node*> order;
    if (node == nullptr) return order;
    std::vector<const Node*> pending{node};
    while (!pending.empty()) {
        const Node* n = pending.back();
        pending.pop_back();
        order.push_back(n);
        for (auto it = n->children.rbegin(); it != n->children.rend(); ++it) pending.push_back(*it);
    }
    return order;
}

void ItemRegistry::walk(const Node* node, const std::function<void(const Node&)>& visit) const {
    std::lock_guard guard(mutex_);
    for (const Node* n : subtreeLocked(node)) visit(*n);
}

void ItemRegistry::walkAll(const std::function<void(const Node&, int depth)>& visit) const {
    std::lock_guard guard(mutex_);
    std::unordered_map<const Node*, int> depthOf{{&root_, -1}};
    for (const Node* n : subtreeLocked(&root_)) {
        if (n == &root_) continue;
        const int depth = depthOf.at(n->parent) + 1;  // parents come before their children
        depthOf.emplace(n, depth);
        visit(*n, depth);
    }
}

std::vector<std::shared_ptr<WebItem>> ItemRegistry::items(const Node* node) const {
    std::vector<std::shared_ptr<WebItem>> result;
    walk(node, [&](const Node& n) { result.push_back(n.item); });
    return result;
}

std::size_t ItemRegistry::count(const Node* node) const {
    std::lock_guard guard(mutex_);
    return subtreeLocked(node).size();
}

const ItemRegistry::Node* ItemRegistry::parentOf(const Node* node) const {
    std::lock_guard guard(mutex_);
    if (node == nullptr || node->parent == &root_) return nullptr;
    return node->parent;
}

void ItemRegistry::remove(Node* node) {
    if (node == nullptr || node == &root_) return;
    std::lock_guard guard(mutex_);
    auto& siblings = node->parent->children;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), node), siblings.end());
    for (const Node* n : subtreeLocked(node)) {
        const WebItem* item = n->item.get();
        auto places = nodesByItem_.find(item);
        if (places != nodesByItem_.end()) {
            auto& list = places->second;
            list.erase(std::remove(list.begin(), list.end(), n), list.end());
            if (list.empty()) {
                nodesByItem_.erase(places);
                forgetKeysLocked(item);
            }
        }
        nodes_.erase(n);
    }
}

void ItemRegistry::forgetKeysLocked(const WebItem* item) {
    // Only the item's own keys are looked at: a tree of thousands of pages is removed in time
    // proportional to its size.
    const auto keys = keysByItem_.find(item);
    if (keys == keysByItem_.end()) return;
    for (const std::string& key : keys->second) {
        const auto entry = byUrl_.find(key);
        if (entry != byUrl_.end() && entry->second.get() == item) byUrl_.erase(entry);
    }
    keysByItem_.erase(keys);
}

std::size_t ItemRegistry::size() const {
    std::lock_guard guard(mutex_);
    return byUrl_.size();
}

}  // namespace engine
