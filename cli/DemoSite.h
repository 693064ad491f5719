#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace httplib {
class Server;
struct Request;
struct Response;
}  // namespace httplib

namespace cli {

// The bundled demo site, served over HTTP on 127.0.0.1 at an ephemeral port by a thread of its
// own while the object lives. Its files are compiled into the program (demoSiteFiles()), so it
// works offline from any folder. Besides the files it answers a few routes that show how a
// measurement reports them:
//   /images/missing.gif   404 with a short HTML page (as every unknown path)
//   /images/redirect.gif  302 to /images/moved.gif
//   /images/slow.gif      answered after kSlowDelay
// Every other answer waits a fixed, realistic time first (kDocumentDelay for a page,
// kElementDelay for any other file), so that every run grades the same.
//   /files/setup.bin      application/octet-stream, like every *.bin file
// The same server is the site's second host when reached as "localhost". In the HTML files,
// "{{HOME_ORIGIN}}" becomes "http://127.0.0.1:PORT" and "{{PARTNER_ORIGIN}}" becomes
// "http://localhost:PORT". Connections are kept alive between requests.
class DemoSite {
public:
    static constexpr std::chrono::milliseconds kSlowDelay{800};
    // A loopback answer takes a fraction of a millisecond, which no real server matches and
    // which makes grades and hints turn on scheduling noise: each answer waits as long as a
    // near, quick server would take.
    static constexpr std::chrono::milliseconds kDocumentDelay{60};
    static constexpr std::chrono::milliseconds kElementDelay{30};

    // Binds the port and returns once the server accepts connections; throws
    // std::runtime_error when no loopback port can be bound or the server does not start.
    DemoSite();
    ~DemoSite();  // stop()
    DemoSite(const DemoSite&) = delete;
    DemoSite& operator=(const DemoSite&) = delete;

    std::uint16_t port() const { return port_; }
    // "http://127.0.0.1:PORT/": the home page.
    std::string homeAddress() const;
    // "http://localhost:PORT/partner.html": the page of the second host name.
    std::string partnerAddress() const;

    // Cuts every delayed answer short (it ends with 503), stops accepting and serving, and
    // joins the server's thread. Idempotent; any thread but the server's own may call it.
    void stop();

private:
    void loadFiles();
    void addRoutes();
    void serveFile(const httplib::Request& request, httplib::Response& response) const;
    // Waits `duration`, or less when stop() is called; false when stopping.
    bool pause(std::chrono::milliseconds duration) const;

    std::unique_ptr<httplib::Server> server_;
    std::thread thread_;
    std::atomic<bool> listenEnded_ = false;
    std::once_flag stopOnce_;
    std::uint16_t port_ = 0;
    // Path ("images/logo.gif") to contents, placeholders filled; read-only once serving.
    std::map<std::string, std::string, std::less<>> files_;

    mutable std::mutex mutex_;
    mutable std::condition_variable stopping_;
    bool stopped_ = false;
};

}  // namespace cli
