#include "engine/crawl/ScenarioDocument.h"

#include <utility>
#include <vector>

namespace engine {

namespace {

bool passes(const SiteNode& node, bool autoFlag) {
    if ((node.stateWord & (SiteNode::kChecked | SiteNode::kKept)) != 0) return true;
    if (!autoFlag) return false;
    return !node.children.empty() ||
           (isLoaded(node.page->state()) && node.page->rootItem() != nullptr);
}

// The address a page is saved under: the one its downloaded root item ended at, if any.
std::string savedAddress(const PageEntry& page) {
    if (const auto root = page.rootItem()) return root->address().urlText;
    return page.address().urlText;
}

}  // namespace

persist::Scenario ScenarioDocument::collect(const SiteTree& tree, bool autoFlag) {
    persist::Scenario pages;
    // Depth first without recursion: (node, index of its parent in `pages`), pushed in reverse.
    std::vector<std::pair<const SiteNode*, int>> pending;
    const auto pushChildren = [&](const std::vector<std::unique_ptr<SiteNode>>& nodes, int parent) {
        for (auto it = nodes.rbegin(); it != nodes.rend(); ++it) {
            if (passes(**it, autoFlag)) pending.emplace_back(it->get(), parent);
        }
    };
    pushChildren(tree.roots(), -1);
    while (!pending.empty()) {
        const auto [node, parent] = pending.back();
        pending.pop_back();
        pages.push_back({savedAddress(*node->page), parent});
        pushChildren(node->children, static_cast<int>(pages.size()) - 1);
    }
    return pages;
}

bool ScenarioDocument::save(const std::string& path, bool autoFlag, std::string* reason) {
    path_ = path;
    return persist::ScenarioFile::save(path, collect(tree_, autoFlag), reason);
}

std::optional<std::string> ScenarioDocument::load(const std::string& path) {
    path_ = path;
    tree_.clear();
    const std::optional<persist::Scenario> pages = persist::ScenarioFile::load(path);
    if (!pages) {
        tree_.clear();
        path_.clear();
        return std::string(kInvalidFormat);
    }
    std::vector<SiteNode*> nodes;
    nodes.reserve(pages->size());
    for (const persist::ScenarioPage& page : *pages) {
        const auto index = static_cast<std::size_t>(page.parent);
        SiteNode* parent = page.parent >= 0 && index < nodes.size() ? nodes[index] : nullptr;
        nodes.push_back(tree_.addPage(page.address, parent));
    }
    return std::nullopt;
}

}  // namespace engine
