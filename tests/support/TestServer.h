#pragma once

#include <httplib.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <regex>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "tests/support/TestCertificates.h"

namespace support {

// A request as the server saw it.
struct RecordedRequest {
    std::string method;
    std::string target;  // path and query
    httplib::Headers headers;
    std::string remote;  // "address:port" of the client's connection
};

// An HTTP or HTTPS server on 127.0.0.1 and an ephemeral port, running until destroyed. Its
// built-in routes (GET) are steered by query parameters:
//
//   /content   status=N (200), type=T (text/plain when absent; no "=" in it), body=TEXT or
//              size=N bytes of filler, wait=MS before the response starts, over=MS across
//              which the body is spread in evenly paced chunks (first chunk at once, last
//              chunk after MS)
//   /redirect/N  302 to /redirect/N-1 (query kept); /redirect/0 answers 200 text/html
//   /truncate  announces size=N bytes, sends sent=M of them and closes the connection
//
// It records every request and counts the client connections that sent them. Delays end early when
// the server stops, so destruction never waits for them.
class TestServer {
public:
    TestServer();                                    // HTTP
    explicit TestServer(const ServerIdentity& tls);  // HTTPS with this certificate
    TestServer(const TestServer&) = delete;
    TestServer& operator=(const TestServer&) = delete;
    ~TestServer();

    std::uint16_t port() const { return port_; }
    // "http://127.0.0.1:PORT" + target (a target starts with "/").
    std::string url(std::string_view target) const;

    // Distinct client connections (address and port) that sent at least one request.
    std::size_t connectionCount() const;
    std::vector<RecordedRequest> requests() const;

    // Adds a GET route: `pattern` is a regular expression the whole path must match (its groups
    // are in the request's matches). Routes may be added while the server runs; the first one
    // added that matches serves a request (404 when none does).
    void get(const std::string& pattern, httplib::Server::Handler handler);

    // Sleeps for `duration`, or less when the server stops; false when it is stopping.
    bool pause(std::chrono::milliseconds duration) const;
    // Sends `body` through `sink` in chunks spread evenly over `over`; false when the client
    // went away or the server is stopping.
    bool sendPaced(httplib::DataSink& sink, const std::string& body,
                   std::chrono::milliseconds over) const;

private:
    void start();
    void addBuiltInRoutes();
    void dispatch(const httplib::Request& request, httplib::Response& response);

    std::unique_ptr<httplib::Server> server_;
    std::thread thread_;
    std::uint16_t port_ = 0;
    std::string scheme_;

    mutable std::mutex mutex_;
    mutable std::condition_variable stopping_;
    bool stopped_ = false;
    std::vector<RecordedRequest> requests_;
    std::set<std::string> connections_;
    // The routes, looked up under mutex_: the server library's own table may not change while
    // it serves.
    std::vector<std::pair<std::regex, httplib::Server::Handler>> routes_;
};

// `size` bytes of printable filler; byte i is 'a' + i % 26, so truncation is visible.
std::string filler(std::size_t size);

}  // namespace support
