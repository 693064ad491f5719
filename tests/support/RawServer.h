#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace support {

// A TCP server on 127.0.0.1 and an ephemeral port whose every connection runs a script: for the
// behaviours a real HTTP server library will not produce (a reset in the middle of a body, a
// server that never answers, a proxy that records the request line). Runs until destroyed.
class RawServer {
public:
    // The accepted connection a script works on. Runs on its own thread.
    class Connection {
    public:
        // Reads up to the end of the request headers; empty when the client went away or the
        // server is stopping. The text is recorded in the server's requests().
        std::string readRequest();
        // Sends all of `bytes`; false when the client went away.
        bool send(std::string_view bytes);
        // Closes the connection with a TCP reset instead of an orderly close.
        void reset();
        // Waits until the server stops or `limit` passes.
        void waitForStop(std::chrono::milliseconds limit = std::chrono::minutes(10));

    private:
        friend class RawServer;
        Connection(RawServer& server, int fd) : server_(server), fd_(fd) {}
        RawServer& server_;
        int fd_;
    };
    using Script = std::function<void(Connection&)>;

    explicit RawServer(Script script);
    RawServer(const RawServer&) = delete;
    RawServer& operator=(const RawServer&) = delete;
    ~RawServer();

    std::uint16_t port() const { return port_; }
    // "http://127.0.0.1:PORT" + target.
    std::string url(std::string_view target) const;
    std::size_t connectionCount() const;
    std::vector<std::string> requests() const;

private:
    void acceptLoop();
    bool stopping() const;

    Script script_;
    int listener_ = -1;
    int wake_[2] = {-1, -1};
    std::uint16_t port_ = 0;
    std::thread acceptor_;

    mutable std::mutex mutex_;
    std::condition_variable stopped_;
    bool stopping_ = false;
    std::size_t connections_ = 0;
    std::vector<std::string> requests_;
    std::vector<std::thread> workers_;
};

}  // namespace support
