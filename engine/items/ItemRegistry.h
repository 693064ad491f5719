#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/items/WebItem.h"

namespace engine {

// Every item of a download run: a map from URL text to item, and a tree in which each element
// stands under the document that referred to it. An item may stand under several documents
// (one node per place), so shared elements are downloaded once and counted for every page.
//
// One lock guards map and tree; every operation takes it. Nodes live until remove() or the
// registry's end; a Node* stays valid until then. Callbacks run under the lock and must not
// call back into the registry.
class ItemRegistry {
public:
    struct Node {
        std::shared_ptr<WebItem> item;  // none for the invisible root
        Node* parent = nullptr;         // the invisible root for top-level items
        std::vector<Node*> children;    // in insertion order
        std::uint32_t position = 0;     // byte offset of the reference in the parent document
    };

    ItemRegistry() = default;
    ItemRegistry(const ItemRegistry&) = delete;
    ItemRegistry& operator=(const ItemRegistry&) = delete;

    // The item registered under the URL text (blanks around the text are ignored), or none.
    std::shared_ptr<WebItem> find(std::string_view urlText) const;

    // Puts the item in the tree under the first node of `parent` (at top level when `parent` is
    // none or not in the tree) and registers it under its address's URL text unless that text
    // is taken. Returns the new node.
    Node* add(const std::shared_ptr<WebItem>& item, const WebItem* parent, std::uint32_t position);
    // The same under one given node (at top level when none): the page loader puts an element
    // under the very node its document has in that page, not under the document's first place.
    Node* addUnder(const std::shared_ptr<WebItem>& item, Node* parent, std::uint32_t position);
    // Puts the item in the tree under `parent` (at top level when none) without registering its
    // address: find() never returns it, so no download takes it for its own (an imported item).
    Node* addUnlisted(const std::shared_ptr<WebItem>& item, Node* parent, std::uint32_t position);

    // Registers the item under one more URL text (an address it was redirected to). Returns
    // false when another item holds that text already.
    bool registerAs(std::string_view urlText, const std::shared_ptr<WebItem>& item);

    // The first node of the item, or none.
    Node* nodeOf(const WebItem& item) const;

    // Calls `visit` for `node` and every node below it, depth first, parents before children.
    void walk(const Node* node, const std::function<void(const Node&)>& visit) const;
    // Calls `visit` for every node of the tree (the invisible root left out) in walk order, with
    // its depth: 0 for a top-level node.
    void walkAll(const std::function<void(const Node&, int depth)>& visit) const;
    // The items of the subtree in walk order.
    std::vector<std::shared_ptr<WebItem>> items(const Node* node) const;
    // Number of nodes of the subtree, `node` included.
    std::size_t count(const Node* node) const;
    // The parent node, or none for a top-level node.
    const Node* parentOf(const Node* node) const;

    // Removes the subtree. Items that no longer stand anywhere in the tree leave the map too.
    void remove(Node* node);

    // Number of items in the map.
    std::size_t size() const;

private:
    std::vector<const Node*> subtreeLocked(const Node* node) const;
    // With `listed`, registers the item under `key` too unless another item holds it.
    Node* addLocked(const std::shared_ptr<WebItem>& item, std::string key, Node* under,
                    std::uint32_t position, bool listed = true);
    void forgetKeysLocked(const WebItem* item);

    mutable std::mutex mutex_;
    std::unordered_map<std::string, std::shared_ptr<WebItem>> byUrl_;
    std::unordered_map<const WebItem*, std::vector<std::string>> keysByItem_;  // its keys in byUrl_
    std::unordered_map<const WebItem*, std::vector<Node*>> nodesByItem_;
    std::unordered_map<const Node*, std::unique_ptr<Node>> nodes_;  // owns every node
    Node root_;
};

}  // namespace engine
