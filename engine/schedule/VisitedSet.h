#pragma once

#include <mutex>
#include <set>
#include <string>
#include <string_view>

namespace engine {

// The addresses of every page in the site tree, compared as texts, so that the crawl never adds
// an address twice. Thread-safe: page workers replace addresses while the user-interface thread
// adds and removes pages.
class VisitedSet {
public:
    // False when the address was there already.
    bool add(std::string_view address);
    void remove(std::string_view address);
    bool contains(std::string_view address) const;
    // Replaces `from` by `to` in one step; false (and nothing changed) when `to` is there.
    bool replace(std::string_view from, std::string_view to);
    void clear();
    std::size_t size() const;

private:
    mutable std::mutex mutex_;
    std::set<std::string, std::less<>> addresses_;
};

}  // namespace engine
