#pragma once

#include <cstddef>
#include <cstdint>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "engine/http/ServerConnection.h"

namespace engine {

// Server connections kept for reuse, keyed by "host:port". A connection is busy while one
// transfer uses it and idle between transfers; the next transfer to the same key takes the
// first idle one, so a server's keep-alive connection serves every element it holds.
//
// Bounded: past kMaxIdle idle connections the least recently used one is closed, so a crawl
// over many hosts does not pile up sockets. One lock guards the map and lists only; it is never
// held while a transfer runs or a connection is torn down.
class ConnectionPool {
public:
    static constexpr std::size_t kMaxIdle = 32;

    ConnectionPool() = default;
    ConnectionPool(const ConnectionPool&) = delete;
    ConnectionPool& operator=(const ConnectionPool&) = delete;
    ~ConnectionPool();

    // The pool of the process, for the transfers of every run.
    static ConnectionPool& process();

    // An idle connection of the key, now busy, or a new busy one. Thread-safe.
    std::shared_ptr<ServerConnection> acquire(const std::string& key);

    // A transfer is over: the connection goes to the end of its key's idle list, unless
    // stopAll() took it out of the pool meanwhile (it is then dropped). Thread-safe.
    void release(const std::shared_ptr<ServerConnection>& connection);

    // Aborts every connection, busy or idle, and takes all out of the pool: running transfers
    // end at once (they are told through ServerConnection::abort), and later transfers start
    // on new connections. Thread-safe; callable from the user-interface thread.
    void stopAll();

    std::size_t idleCount(const std::string& key) const;
    std::size_t busyCount(const std::string& key) const;

private:
    struct Entry {
        std::list<std::shared_ptr<ServerConnection>> idle;
        std::list<std::shared_ptr<ServerConnection>> busy;
    };

    std::shared_ptr<ServerConnection> evictOldestLocked();

    mutable std::mutex mutex_;
    std::map<std::string, Entry> entries_;
    std::size_t idleTotal_ = 0;
    std::map<const ServerConnection*, std::uint64_t> lastUse_;  // idle connections only
    std::uint64_t useCounter_ = 0;
    std::uint64_t generation_ = 0;  // counts stopAll() calls
};

}  // namespace engine
