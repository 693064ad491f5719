#include "cli/DemoSite.h"

#include <httplib.h>

#include <stdexcept>
#include <string_view>

#include "cli/DemoSiteFiles.h"

namespace cli {
namespace {

constexpr const char* kHost = "127.0.0.1";
constexpr const char* kPartnerHost = "localhost";

// Enough workers for two hosts' worth of kept-alive connections from a measurement plus a
// browser's: an idle kept-alive connection holds its worker until it closes, and a request
// that finds every worker busy would wait, which the demo's timings would show.
constexpr std::size_t kWorkers = 24;
// The library closes a kept-alive connection after 5 requests by default, which would make a
// page's later elements pay for new connections that a real server would not ask for.
constexpr std::size_t kRequestsPerConnection = 1000;

constexpr std::string_view kNotFoundPage =
    "<!DOCTYPE html>\n<html lang=\"en\">\n<head><meta charset=\"utf-8\">"
    "<title>Not found</title></head>\n<body><h1>Not found</h1>\n"
    "<p>The demo site has no such file. This answer is part of the demonstration.</p>\n"
    "</body>\n</html>\n";

const char* contentType(std::string_view path) {
    if (path.ends_with(".html")) return "text/html; charset=utf-8";
    if (path.ends_with(".css")) return "text/css; charset=utf-8";
    if (path.ends_with(".js")) return "text/javascript; charset=utf-8";
    if (path.ends_with(".gif")) return "image/gif";
    if (path.ends_with(".jpg")) return "image/jpeg";
    return "application/octet-stream";
}

std::chrono::milliseconds answerDelay(std::string_view path) {
    return path == "/" || path.ends_with(".html") ? DemoSite::kDocumentDelay
                                                  : DemoSite::kElementDelay;
}

void replaceAll(std::string& text, std::string_view from, std::string_view to) {
    for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

std::string origin(const char* host, std::uint16_t port) {
    return std::string("http://") + host + ":" + std::to_string(port);
}

}  // namespace

DemoSite::DemoSite() : server_(std::make_unique<httplib::Server>()) {
    // Answers go out at once: a reply written in parts would otherwise wait for the client's
    // delayed acknowledgement (about 40 ms) before its second part.
    server_->set_tcp_nodelay(true);
    const int port = server_->bind_to_any_port(kHost);
    if (port <= 0) throw std::runtime_error("demo site: cannot bind a loopback port");
    port_ = static_cast<std::uint16_t>(port);
    loadFiles();
    addRoutes();

    thread_ = std::thread([this] {
        server_->listen_after_bind();
        listenEnded_ = true;
    });
    // The server library of this release has no wait_until_ready(); is_running() turns true
    // just before the first accept. listenEnded_ catches a server that gives up at once.
    while (!server_->is_running() && !listenEnded_)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (!server_->is_running()) {
        thread_.join();
        throw std::runtime_error("demo site: the server did not start");
    }
}

DemoSite::~DemoSite() {
    stop();
}

std::string DemoSite::homeAddress() const {
    return origin(kHost, port_) + "/";
}

std::string DemoSite::partnerAddress() const {
    return origin(kPartnerHost, port_) + "/partner.html";
}

void DemoSite::stop() {
    // A second caller, even a concurrent one, returns once the first has joined the thread.
    std::call_once(stopOnce_, [this] {
        {
            std::lock_guard guard(mutex_);
            stopped_ = true;
        }
        stopping_.notify_all();
        server_->stop();
        thread_.join();
    });
}

void DemoSite::loadFiles() {
    const std::string home = origin(kHost, port_);
    const std::string partner = origin(kPartnerHost, port_);
    for (const EmbeddedFile& file : demoSiteFiles()) {
        std::string bytes(file.bytes);
        if (file.path.ends_with(".html")) {
            replaceAll(bytes, "{{HOME_ORIGIN}}", home);
            replaceAll(bytes, "{{PARTNER_ORIGIN}}", partner);
        }
        files_.emplace(file.path, std::move(bytes));
    }
}

void DemoSite::addRoutes() {
    server_->new_task_queue = [] { return new httplib::ThreadPool(kWorkers); };
    server_->set_keep_alive_max_count(kRequestsPerConnection);

    // Routes are tried in the order they are added; the last one serves every other path.
    server_->Get("/images/redirect.gif", [](const httplib::Request&, httplib::Response& response) {
        response.set_redirect("/images/moved.gif", 302);
    });
    server_->Get("/images/slow.gif",
                 [this](const httplib::Request& request, httplib::Response& response) {
                     if (!pause(kSlowDelay)) {
                         response.status = 503;
                         return;
                     }
                     serveFile(request, response);
                 });
    server_->Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
        if (!pause(answerDelay(request.path))) {
            response.status = 503;
            return;
        }
        serveFile(request, response);
    });
}

void DemoSite::serveFile(const httplib::Request& request, httplib::Response& response) const {
    std::string_view path = request.path;
    if (path.starts_with('/')) path.remove_prefix(1);
    if (path.empty()) path = "index.html";
    const auto file = files_.find(path);
    if (file == files_.end()) {
        response.status = 404;
        response.set_content(kNotFoundPage.data(), kNotFoundPage.size(), contentType(".html"));
        return;
    }
    response.set_content(file->second, contentType(path));
}

bool DemoSite::pause(std::chrono::milliseconds duration) const {
    std::unique_lock lock(mutex_);
    return !stopping_.wait_for(lock, duration, [this] { return stopped_; });
}

}  // namespace cli
