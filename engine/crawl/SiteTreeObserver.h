#pragma once

#include <cstddef>

namespace engine {

struct SiteNode;

// Told of every change to the shape of a site tree, before and after it happens, on the tree's
// own thread: the desktop program's tree model turns these into its row insertions and
// removals. `parent` is none for root pages; `row` is the node's place among its siblings.
class SiteTreeObserver {
public:
    virtual ~SiteTreeObserver() = default;
    virtual void nodeAboutToBeAdded(const SiteNode* parent, std::size_t row) = 0;
    virtual void nodeAdded(const SiteNode* node) = 0;
    // The node and its whole subtree leave the tree; every node is still alive here.
    virtual void nodeAboutToBeRemoved(const SiteNode* node, std::size_t row) = 0;
    virtual void nodeRemoved() = 0;
    // Every node leaves at once.
    virtual void treeAboutToBeCleared() = 0;
    virtual void treeCleared() = 0;
};

}  // namespace engine
