#pragma once

#include <cstdint>
#include <vector>

namespace engine {

// How long a page takes in a browser with four parallel connections, from the restated times of
// its items. Items are added in depth-first walk order; each may start no earlier than its
// parent has received the bytes before its reference (offset). Lanes are taken lowest value
// first, lower lane on ties; levels are scheduled in increasing order.
class BrowserSimulation {
public:
    static constexpr int kLanes = 4;

    struct Node {
        int level = 0;             // depth below the page's root item
        std::uint32_t pre = 0;     // connect + send + wait
        std::uint32_t recv = 0;    // receive time (already halved for documents)
        std::uint32_t offset = 0;  // parent receive time share before the reference
        int parent = -1;           // index of the parent node, -1 for none
        bool blocking = false;     // a completed document or style sheet holds up display
    };

    // Where the run put one node. Moments are milliseconds from the page's start, saturated at
    // the 32-bit maximum like the page's times, so that the largest end is the download time
    // and the largest end of a blocking node the browse time.
    struct Placement {
        int lane = 0;             // 0 to kLanes - 1
        int turn = 0;             // 0 for the node scheduled first, then counting up
        std::uint32_t begin = 0;  // the lane takes the node: its connect begins
        std::uint32_t start = 0;  // begin + pre: it starts receiving
        std::uint32_t end = 0;    // start + recv: the lane is free again
        bool blocking = false;    // the node's own flag: its end counts for the browse time
    };

    struct Result {
        std::uint32_t downloadTime = 0;
        std::uint32_t browseTime = 0;
        std::vector<Placement> placements;  // one per node, in the order they were added
    };

    // Returns the node's index, for use as a later node's parent.
    int add(const Node& node);
    Result run() const;

    // parent receive × position ÷ parent size in unsigned 64-bit arithmetic; 0 without a size.
    static std::uint32_t offsetFor(std::uint32_t parentReceive, std::uint32_t position,
                                   std::uint32_t parentSize);

private:
    std::vector<Node> nodes_;
};

}  // namespace engine
