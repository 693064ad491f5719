#include "engine/figures/BrowserSimulation.h"

#include <algorithm>
#include <array>
#include <map>

namespace engine {
namespace {

std::uint32_t clamp(std::uint64_t value) {
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(value, UINT32_MAX));
}

}  // namespace

int BrowserSimulation::add(const Node& node) {
    nodes_.push_back(node);
    return static_cast<int>(nodes_.size()) - 1;
}

std::uint32_t BrowserSimulation::offsetFor(std::uint32_t parentReceive, std::uint32_t position,
                                           std::uint32_t parentSize) {
    if (parentSize == 0) return 0;
    const std::uint64_t share = std::uint64_t{parentReceive} * position / parentSize;
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(share, UINT32_MAX));
}

BrowserSimulation::Result BrowserSimulation::run() const {
    // Lane values and start moments are 64-bit so that long simulated pages cannot wrap.
    std::map<int, std::vector<int>> levels;
    for (int i = 0; i < static_cast<int>(nodes_.size()); ++i) levels[nodes_[i].level].push_back(i);

    std::array<std::uint64_t, kLanes> lanes{};
    std::vector<std::uint64_t> start(nodes_.size(), 0);
    std::uint64_t browse = 0;
    Result result;
    result.placements.resize(nodes_.size());
    int turn = 0;
    for (const auto& [level, members] : levels) {
        for (int i : members) {
            const Node& node = nodes_[i];
            auto lane = std::min_element(lanes.begin(), lanes.end());  // first minimum wins
            if (node.parent >= 0) {
                const std::uint64_t ready = start[node.parent] + node.offset;
                if (*lane < ready) *lane = ready;
            }
            const std::uint64_t begin = *lane;
            start[i] = begin + node.pre;
            *lane += std::uint64_t{node.pre} + node.recv;
            if (node.blocking) browse = std::max(browse, *lane);
            result.placements[i] = {static_cast<int>(lane - lanes.begin()),
                                    turn++,
                                    clamp(begin),
                                    clamp(start[i]),
                                    clamp(*lane),
                                    node.blocking};
        }
    }
    result.downloadTime = clamp(*std::max_element(lanes.begin(), lanes.end()));
    result.browseTime = clamp(browse);
    return result;
}

}  // namespace engine
