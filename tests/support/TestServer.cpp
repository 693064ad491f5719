// GCC 12 reports std::regex internals as maybe uninitialised at -O1 with the sanitizers, a
// false positive inside the library's headers.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <regex>
#pragma GCC diagnostic pop

#include "tests/support/TestServer.h"

#include <algorithm>
#include <stdexcept>

namespace support {
namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

std::size_t numberParam(const httplib::Request& request, const char* name, std::size_t fallback) {
    if (!request.has_param(name)) return fallback;
    return static_cast<std::size_t>(std::stoull(request.get_param_value(name)));
}

}  // namespace

std::string filler(std::size_t size) {
    std::string s(size, '\0');
    for (std::size_t i = 0; i < size; ++i) s[i] = static_cast<char>('a' + i % 26);
    return s;
}

TestServer::TestServer() : server_(std::make_unique<httplib::Server>()), scheme_("http") {
    start();
}

TestServer::TestServer(const ServerIdentity& tls)
    : server_(std::make_unique<httplib::SSLServer>(tls.certificate.get(), tls.key.get())),
      scheme_("https") {
    if (!server_->is_valid()) throw std::runtime_error("test server: TLS set-up failed");
    start();
}

void TestServer::start() {
    // Short keep-alive so that a client that never closes does not hold up the server's end;
    // many requests per connection so that reuse is never cut by the server.
    server_->set_keep_alive_timeout(2);
    server_->set_keep_alive_max_count(1000);
    server_->Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
        dispatch(request, response);
    });
    addBuiltInRoutes();
    // Answers go out at once: a reply written in parts would otherwise wait for the client's
    // delayed acknowledgement (about 40 ms) before its second part.
    server_->set_tcp_nodelay(true);
    const int port = server_->bind_to_any_port("127.0.0.1");
    if (port <= 0) throw std::runtime_error("test server: cannot bind a loopback port");
    port_ = static_cast<std::uint16_t>(port);
    thread_ = std::thread([this] { server_->listen_after_bind(); });
    while (!server_->is_running()) std::this_thread::sleep_for(milliseconds(1));
}

TestServer::~TestServer() {
    {
        std::lock_guard guard(mutex_);
        stopped_ = true;
    }
    stopping_.notify_all();
    server_->stop();
    thread_.join();
}

std::string TestServer::url(std::string_view target) const {
    return scheme_ + "://127.0.0.1:" + std::to_string(port_) + std::string(target);
}

std::size_t TestServer::connectionCount() const {
    std::lock_guard guard(mutex_);
    return connections_.size();
}

std::vector<RecordedRequest> TestServer::requests() const {
    std::lock_guard guard(mutex_);
    return requests_;
}

void TestServer::get(const std::string& pattern, httplib::Server::Handler handler) {
    std::lock_guard guard(mutex_);
    routes_.emplace_back(std::regex(pattern), std::move(handler));
}

void TestServer::dispatch(const httplib::Request& request, httplib::Response& response) {
    // A copy, so that the route's groups can be matched into it.
    httplib::Request matched = request;
    httplib::Server::Handler handler;
    {
        std::lock_guard guard(mutex_);
        RecordedRequest r{request.method, request.target, request.headers,
                          request.remote_addr + ":" + std::to_string(request.remote_port)};
        connections_.insert(r.remote);
        requests_.push_back(std::move(r));
        for (const auto& [pattern, h] : routes_) {
            if (std::regex_match(matched.path, matched.matches, pattern)) {
                handler = h;
                break;
            }
        }
    }
    if (!handler) {
        response.status = 404;
        return;
    }
    handler(matched, response);
}

bool TestServer::pause(milliseconds duration) const {
    std::unique_lock lock(mutex_);
    return !stopping_.wait_for(lock, duration, [this] { return stopped_; });
}

bool TestServer::sendPaced(httplib::DataSink& sink, const std::string& body,
                           milliseconds over) const {
    constexpr std::size_t kChunk = 16 * 1024;
    const std::size_t chunks = std::max<std::size_t>(1, (body.size() + kChunk - 1) / kChunk);
    const auto start = steady_clock::now();
    for (std::size_t i = 0; i < chunks; ++i) {
        // Chunk i leaves at start + over * i / (chunks - 1): the last one exactly at `over`.
        if (chunks > 1) {
            const auto due = start + over * static_cast<long>(i) / static_cast<long>(chunks - 1);
            const auto now = steady_clock::now();
            if (due > now && !pause(std::chrono::duration_cast<milliseconds>(due - now)))
                return false;
        }
        const std::size_t offset = i * kChunk;
        const std::size_t length = std::min(kChunk, body.size() - offset);
        if (!sink.is_writable() || !sink.write(body.data() + offset, length)) return false;
    }
    return true;
}

void TestServer::addBuiltInRoutes() {
    get("/content", [this](const httplib::Request& request, httplib::Response& response) {
        const milliseconds wait(numberParam(request, "wait", 0));
        const milliseconds over(numberParam(request, "over", 0));
        auto body = std::make_shared<std::string>(request.has_param("body")
                                                      ? request.get_param_value("body")
                                                      : filler(numberParam(request, "size", 0)));
        if (wait.count() > 0 && !pause(wait)) return;
        response.status = static_cast<int>(numberParam(request, "status", 200));
        const bool typed = request.has_param("type");
        const std::string type = typed ? request.get_param_value("type") : std::string();
        if (over.count() == 0) {
            if (typed) response.set_header("Content-Type", type);
            response.body = *body;
            return;
        }
        response.set_content_provider(
            body->size(), type,
            [this, body, over](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                return offset == 0 && sendPaced(sink, *body, over);
            });
    });

    get(R"(/redirect/(\d+))", [](const httplib::Request& request, httplib::Response& response) {
        const int hops = std::stoi(request.matches[1]);
        if (hops == 0) {
            response.set_content("<html>arrived</html>", "text/html");
            return;
        }
        const std::size_t query = request.target.find('?');
        const std::string rest =
            query == std::string::npos ? std::string() : request.target.substr(query);
        response.status = 302;
        response.set_header("Location", "/redirect/" + std::to_string(hops - 1) + rest);
        response.set_content("moved", "text/html");
    });

    get("/truncate", [](const httplib::Request& request, httplib::Response& response) {
        const std::size_t size = numberParam(request, "size", 1000);
        const std::size_t sent = std::min(numberParam(request, "sent", size / 2), size);
        response.set_content_provider(
            size, "text/html", [sent](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                if (offset == 0) sink.write(filler(sent).data(), sent);
                return false;  // the connection is closed before the announced length
            });
    });
}

}  // namespace support

// The server library is a prebuilt shared library that ThreadSanitizer did not instrument: it
// sees the library's memory accesses through memcpy and memcmp but not the synchronisation
// inside it, and reports races between the library's own worker threads that it cannot judge.
// Those reports are suppressed; everything built from this repository stays checked. The
// sanitizer asks for this function by name (it is defined here, with the server, so that every
// program using the server links it); other builds never call it.
extern "C" const char* __tsan_default_suppressions() {
    return "called_from_lib:libcpp-httplib.so\n";
}
