#include "tests/support/RawServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace support {
namespace {

// Waits until `fd` is readable, polling the stop flag every 20 ms.
template <typename Stopping>
bool waitReadable(int fd, Stopping stopping) {
    while (!stopping()) {
        pollfd p{fd, POLLIN, 0};
        const int n = ::poll(&p, 1, 20);
        if (n > 0) return true;
        if (n < 0 && errno != EINTR) return false;
    }
    return false;
}

}  // namespace

RawServer::RawServer(Script script) : script_(std::move(script)) {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listener_ < 0 || ::pipe2(wake_, O_CLOEXEC) != 0)
        throw std::runtime_error("raw server: no socket");
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener_, 64) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        throw std::runtime_error("raw server: cannot listen on loopback");
    port_ = ntohs(address.sin_port);
    acceptor_ = std::thread([this] { acceptLoop(); });
}

RawServer::~RawServer() {
    {
        std::lock_guard guard(mutex_);
        stopping_ = true;
    }
    stopped_.notify_all();
    const char byte = 0;
    [[maybe_unused]] const auto written = ::write(wake_[1], &byte, 1);
    acceptor_.join();
    for (std::thread& t : workers_) t.join();
    ::close(listener_);
    ::close(wake_[0]);
    ::close(wake_[1]);
}

std::string RawServer::url(std::string_view target) const {
    return "http://127.0.0.1:" + std::to_string(port_) + std::string(target);
}

std::size_t RawServer::connectionCount() const {
    std::lock_guard guard(mutex_);
    return connections_;
}

std::vector<std::string> RawServer::requests() const {
    std::lock_guard guard(mutex_);
    return requests_;
}

bool RawServer::stopping() const {
    std::lock_guard guard(mutex_);
    return stopping_;
}

void RawServer::acceptLoop() {
    for (;;) {
        pollfd fds[2] = {{listener_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0 && errno != EINTR) return;
        if (fds[1].revents != 0) return;
        if ((fds[0].revents & POLLIN) == 0) continue;
        const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) continue;
        std::lock_guard guard(mutex_);
        ++connections_;
        workers_.emplace_back([this, fd] {
            Connection connection(*this, fd);
            script_(connection);
            if (connection.fd_ >= 0) ::close(connection.fd_);
        });
    }
}

std::string RawServer::Connection::readRequest() {
    std::string request;
    char buffer[4096];
    while (fd_ >= 0 && request.find("\r\n\r\n") == std::string::npos) {
        if (!waitReadable(fd_, [this] { return server_.stopping(); })) return {};
        const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
        if (n <= 0) return {};
        request.append(buffer, static_cast<std::size_t>(n));
    }
    std::lock_guard guard(server_.mutex_);
    server_.requests_.push_back(request);
    return request;
}

bool RawServer::Connection::send(std::string_view bytes) {
    while (fd_ >= 0 && !bytes.empty()) {
        const ssize_t n = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return fd_ >= 0;
}

void RawServer::Connection::reset() {
    if (fd_ < 0) return;
    // A zero linger time makes close() send RST instead of FIN.
    const linger hard{1, 0};
    ::setsockopt(fd_, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
    ::close(fd_);
    fd_ = -1;
}

void RawServer::Connection::waitForStop(std::chrono::milliseconds limit) {
    std::unique_lock lock(server_.mutex_);
    server_.stopped_.wait_for(lock, limit, [this] { return server_.stopping_; });
}

}  // namespace support
