#pragma once

#include <chrono>
#include <iosfwd>

namespace engine {
class SiteTree;
}

namespace cli {

// The one-line progress report on standard error while a run goes on: pages done of pages in
// the tree, the current page's items done of items known, and its address. Drawn at most ten
// times a second, and only on a terminal.
class RunProgress {
public:
    RunProgress(std::ostream& err, bool enabled) : err_(err), enabled_(enabled) {}
    void update(const engine::SiteTree& tree);
    // Clears the line.
    void finish();

private:
    std::ostream& err_;
    bool enabled_;
    bool drawn_ = false;
    std::chrono::steady_clock::time_point last_{};
};

}  // namespace cli
