#include "engine/http/ConnectionPool.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "engine/base/CurlLibrary.h"

namespace engine {

ConnectionPool::~ConnectionPool() {
    stopAll();
}

ConnectionPool& ConnectionPool::process() {
    // libcurl (and the TLS library it starts) is initialised before the pool exists, so the
    // pool is destroyed at exit before their own clean-up runs.
    ensureCurlReady();
    static ConnectionPool pool;
    return pool;
}

std::shared_ptr<ServerConnection> ConnectionPool::acquire(const std::string& key) {
    std::uint64_t generation = 0;
    {
        std::lock_guard guard(mutex_);
        generation = generation_;
        Entry& entry = entries_[key];
        if (!entry.idle.empty()) {
            entry.busy.splice(entry.busy.end(), entry.idle, entry.idle.begin());
            --idleTotal_;
            lastUse_.erase(entry.busy.back().get());
            return entry.busy.back();
        }
    }
    // Made outside the lock: creating handles is not instant.
    auto connection = std::make_shared<ServerConnection>(key);
    std::lock_guard guard(mutex_);
    // A stopAll() that ran while the connection was made applies to it as well.
    if (generation != generation_) connection->abort();
    entries_[key].busy.push_back(connection);
    return connection;
}

void ConnectionPool::release(const std::shared_ptr<ServerConnection>& connection) {
    std::shared_ptr<ServerConnection> evicted;
    {
        std::lock_guard guard(mutex_);
        auto entry = entries_.find(connection->key());
        if (entry == entries_.end()) return;
        auto& busy = entry->second.busy;
        auto it = std::find(busy.begin(), busy.end(), connection);
        if (it == busy.end()) return;
        if (connection->aborted()) {
            busy.erase(it);
            return;
        }
        entry->second.idle.splice(entry->second.idle.end(), busy, it);
        ++idleTotal_;
        lastUse_[connection.get()] = ++useCounter_;
        if (idleTotal_ > kMaxIdle) evicted = evictOldestLocked();
    }
    // `evicted` is destroyed here, outside the lock, closing its socket.
}

std::shared_ptr<ServerConnection> ConnectionPool::evictOldestLocked() {
    auto oldest =
        std::min_element(lastUse_.begin(), lastUse_.end(),
                         [](const auto& a, const auto& b) { return a.second < b.second; });
    if (oldest == lastUse_.end()) return nullptr;
    const ServerConnection* victim = oldest->first;
    lastUse_.erase(oldest);
    for (auto& [key, entry] : entries_) {
        auto it = std::find_if(entry.idle.begin(), entry.idle.end(),
                               [victim](const auto& c) { return c.get() == victim; });
        if (it == entry.idle.end()) continue;
        auto connection = std::move(*it);
        entry.idle.erase(it);
        --idleTotal_;
        return connection;
    }
    return nullptr;
}

void ConnectionPool::stopAll() {
    std::vector<std::shared_ptr<ServerConnection>> taken;
    {
        std::lock_guard guard(mutex_);
        for (auto& [key, entry] : entries_) {
            for (auto& c : entry.busy) taken.push_back(std::move(c));
            for (auto& c : entry.idle) taken.push_back(std::move(c));
        }
        entries_.clear();
        lastUse_.clear();
        ++generation_;
        idleTotal_ = 0;
        // Aborting only sets a flag and wakes a poll, so it is done under the lock: no
        // transfer can take one of these connections after it was collected.
        for (auto& c : taken) c->abort();
    }
    // Idle connections are torn down here, outside the lock; busy ones when their transfer
    // lets go of them.
}

std::size_t ConnectionPool::idleCount(const std::string& key) const {
    std::lock_guard guard(mutex_);
    auto it = entries_.find(key);
    return it == entries_.end() ? 0 : it->second.idle.size();
}

std::size_t ConnectionPool::busyCount(const std::string& key) const {
    std::lock_guard guard(mutex_);
    auto it = entries_.find(key);
    return it == entries_.end() ? 0 : it->second.busy.size();
}

}  // namespace engine
