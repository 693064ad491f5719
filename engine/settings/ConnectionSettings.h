#pragma once

#include <cstdint>
#include <string>

namespace engine {

// Proxy and authentication settings of the transfer. They are read when the root internet handle
// is opened (proxy) and when a server connection is made (credentials), so a run uses the values
// in force at its start. Loading and saving them is the settings store's business.
struct ConnectionSettings {
    // Values of `proxy`: the environment's http_proxy / https_proxy / no_proxy, direct
    // connections only, or the named proxy server.
    static constexpr std::int32_t kProxySystem = 0;
    static constexpr std::int32_t kProxyNone = 1;
    static constexpr std::int32_t kProxyNamed = 2;

    bool authentication = false;  // the web site requires authorization
    std::string name;             // login sent to the server when authentication is set
    std::string password;         // stored as typed
    std::int32_t proxy = kProxySystem;
    std::string proxyServer;
    std::int32_t proxyPort = 0;  // 0: the proxy is given by its server text alone

    // The proxy as "server:port", or the server text alone when the port is 0.
    std::string proxyName() const {
        if (proxyPort == 0) return proxyServer;
        return proxyServer + ":" + std::to_string(proxyPort);
    }

    bool operator==(const ConnectionSettings&) const = default;
};

}  // namespace engine
