#pragma once

#include <string>
#include <string_view>

#include "engine/http/BodyBuffer.h"
#include "engine/http/CurlHandles.h"
#include "engine/http/StatusReporter.h"
#include "engine/http/TransferListener.h"
#include "engine/http/TransferResult.h"
#include "engine/url/ParsedUrl.h"

namespace engine {

class InternetRoot;

// One pooled connection to a "host:port": a libcurl easy handle and the multi handle it runs
// in. libcurl keeps the socket alive between requests, so every request made through the same
// ServerConnection reuses the connection when the server allows it.
//
// The connection serves one transfer at a time (the pool hands it to one worker); abort() may be
// called from any thread and ends a running transfer at once.
class ServerConnection {
public:
    // Throws std::runtime_error when libcurl cannot make the handles.
    explicit ServerConnection(std::string key);
    ServerConnection(const ServerConnection&) = delete;
    ServerConnection& operator=(const ServerConnection&) = delete;
    ~ServerConnection() = default;

    const std::string& key() const { return key_; }

    void setTarget(const ParsedUrl& target) { target_ = target; }
    const ParsedUrl& target() const { return target_; }
    // The item downloaded over this connection, or none. Not owned.
    void setListener(TransferListener* listener) { status_.setListener(listener); }
    // The last address the client reported in a redirection.
    const std::string& redirectUrl() const { return status_.redirectUrl(); }

    // Runs one GET of the target with the root's settings (see Transfer). Returns when the
    // response is complete, the transfer failed or abort() was called.
    TransferResult transfer(const InternetRoot& root, std::string_view acceptPattern,
                            BodyBuffer& body);

    // Ends the running transfer, if any, and every later one on this connection: the flag is
    // seen within one poll of the transfer loop and libcurl's poll is woken at once.
    // Thread-safe.
    void abort() { handles_.abort(); }
    bool aborted() const { return handles_.aborted(); }

private:
    std::string key_;
    CurlHandles handles_;
    StatusReporter status_;
    ParsedUrl target_;
};

}  // namespace engine
