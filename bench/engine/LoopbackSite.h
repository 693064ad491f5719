#pragma once

#include <httplib.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>

namespace bench {

// A plain HTTP server on 127.0.0.1 and an ephemeral port for the bench programs. Unlike the
// tests' server it keeps no record of its requests, so a long run's memory is the engine's
// alone; replies go out at once (TCP_NODELAY). The routes are added before it starts.
class LoopbackSite {
public:
    explicit LoopbackSite(const std::function<void(httplib::Server&)>& routes) {
        server_.set_tcp_nodelay(true);
        routes(server_);
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
        while (!server_.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    LoopbackSite(const LoopbackSite&) = delete;
    LoopbackSite& operator=(const LoopbackSite&) = delete;
    ~LoopbackSite() {
        server_.stop();
        thread_.join();
    }

    std::string url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(port_) + path;
    }

private:
    httplib::Server server_;
    int port_ = 0;
    std::thread thread_;
};

}  // namespace bench
