#include "engine/figures/PageFigures.h"

#include <algorithm>
#include <unordered_map>

#include "engine/figures/BrowserSimulation.h"
#include "engine/figures/ConnectionSpeed.h"

namespace engine {
namespace {

// What the tree walk copies out of the registry, so that the figures are computed without
// holding its lock.
struct Visited {
    std::shared_ptr<WebItem> item;
    int parent;  // index in walk order, -1 for the root item
    int level;
    std::uint32_t position;
};

std::vector<Visited> walkPage(const ItemRegistry& registry, const ItemRegistry::Node* root) {
    std::vector<Visited> order;
    std::unordered_map<const ItemRegistry::Node*, int> indexOf;
    registry.walk(root, [&](const ItemRegistry::Node& node) {
        int parent = -1;
        int level = 0;
        if (&node != root) {
            parent = indexOf.at(node.parent);  // parents come before their children
            level = order[static_cast<std::size_t>(parent)].level + 1;
        }
        indexOf.emplace(&node, static_cast<int>(order.size()));
        order.push_back({node.item, parent, level, node.position});
    });
    return order;
}

std::uint32_t saturate(std::uint64_t value) {
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(value, UINT32_MAX));
}

double share(std::uint64_t part, std::uint64_t whole) {
    return whole == 0 ? 0.0 : static_cast<double>(part) / static_cast<double>(whole);
}

// Step B: every item's record, its values with children and its shares.
void addSubtreeValues(PageFigures& figures, const std::vector<Visited>& order) {
    const std::size_t n = order.size();
    std::uint64_t totalSize = 0, totalTime = 0;
    for (const ItemFigures& f : figures.items) {
        totalSize += f.stats.size;
        totalTime += f.stats.totalTime;
    }
    // Children come after their parents in walk order, so one backward pass adds every
    // subtree to its root: the same sums as adding each item to each of its ancestors.
    std::vector<std::uint64_t> sizeWith(n), timeWith(n);
    for (std::size_t i = 0; i < n; ++i) {
        sizeWith[i] = figures.items[i].stats.size;
        timeWith[i] = figures.items[i].stats.totalTime;
    }
    for (std::size_t i = n; i-- > 1;) {
        const auto parent = static_cast<std::size_t>(order[i].parent);
        sizeWith[parent] += sizeWith[i];
        timeWith[parent] += timeWith[i];
    }
    for (std::size_t i = 0; i < n; ++i) {
        ElementStats& s = figures.items[i].stats;
        s.sizeWithChildren = saturate(sizeWith[i]);
        s.timeWithChildren = saturate(timeWith[i]);
        s.percentSize = share(s.size, totalSize);
        s.percentTime = share(s.totalTime, totalTime);
        s.percentSizeWithChildren = share(sizeWith[i], totalSize);
        s.percentTimeWithChildren = share(timeWith[i], totalTime);
    }
    if (n > 0) {
        figures.pageTime = saturate(timeWith[0]);
        figures.pageSize = saturate(sizeWith[0]);
    }
}

// Step C: the four-lane browser over the page's items.
void simulateBrowser(PageFigures& figures) {
    BrowserSimulation simulation;
    for (const ItemFigures& f : figures.items) {
        const ElementStats& s = f.stats;
        const ContentKind kind = f.item->contentKind();
        BrowserSimulation::Node node;
        node.level = f.level;
        node.pre = saturate(std::uint64_t{s.connectTime} + s.sendTime + s.waitTime);
        // A browser shows a document while it still arrives.
        node.recv = kind == ContentKind::Html ? s.receiveTime >> 1 : s.receiveTime;
        node.parent = f.parent;
        if (node.parent >= 0) {
            const ElementStats& p = figures.items[static_cast<std::size_t>(node.parent)].stats;
            node.offset = BrowserSimulation::offsetFor(p.receiveTime, f.position, p.size);
        }
        node.blocking = (kind == ContentKind::Html || kind == ContentKind::Css) &&
                        f.item->phase() == LoadPhase::Completed;
        simulation.add(node);
    }
    const BrowserSimulation::Result result = simulation.run();
    figures.downloadTime = result.downloadTime;
    figures.browseTime = result.browseTime;
    for (std::size_t i = 0; i < figures.items.size(); ++i)
        figures.items[i].placement = result.placements[i];
}

}  // namespace

ElementStats statsFor(const WebItem& item, int connectionIndex) {
    // An answer from the browser's cache costs no transfer on any line.
    if (item.fromCache()) return item.actualStats();
    return restate(item.actualStats(), connectionIndex);
}

PageFigures computePage(const ItemRegistry& registry, const ItemRegistry::Node* root,
                        int connectionIndex) {
    PageFigures figures;
    figures.connectionIndex = connectionIndex;
    if (root == nullptr) return figures;
    const std::vector<Visited> order = walkPage(registry, root);
    figures.items.reserve(order.size());
    for (const Visited& v : order) {
        figures.items.push_back(
            {v.item, v.parent, v.level, statsFor(*v.item, connectionIndex), v.position, {}});
    }
    addSubtreeValues(figures, order);
    simulateBrowser(figures);
    return figures;
}

double pageSpeed(const PageFigures& figures) {
    const double seconds = (figures.pageTime != 0 ? figures.pageTime : 1) * 0.001;
    return figures.pageSize / seconds;
}

std::mutex& figuresLock() {
    static std::mutex lock;
    return lock;
}

}  // namespace engine
