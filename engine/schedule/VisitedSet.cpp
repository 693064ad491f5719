#include "engine/schedule/VisitedSet.h"

namespace engine {

bool VisitedSet::add(std::string_view address) {
    std::lock_guard guard(mutex_);
    return addresses_.emplace(address).second;
}

void VisitedSet::remove(std::string_view address) {
    std::lock_guard guard(mutex_);
    if (auto it = addresses_.find(address); it != addresses_.end()) addresses_.erase(it);
}

bool VisitedSet::contains(std::string_view address) const {
    std::lock_guard guard(mutex_);
    return addresses_.find(address) != addresses_.end();
}

bool VisitedSet::replace(std::string_view from, std::string_view to) {
    std::lock_guard guard(mutex_);
    if (addresses_.find(to) != addresses_.end()) return false;
    if (auto it = addresses_.find(from); it != addresses_.end()) addresses_.erase(it);
    addresses_.emplace(to);
    return true;
}

void VisitedSet::clear() {
    std::lock_guard guard(mutex_);
    addresses_.clear();
}

std::size_t VisitedSet::size() const {
    std::lock_guard guard(mutex_);
    return addresses_.size();
}

}  // namespace engine
