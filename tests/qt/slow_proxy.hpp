#pragma once
// A go-between for a service on a Unix socket that misbehaves once a connection has carried a
// number of bytes towards the service: it holds the service's replies back for a while, or it
// cuts the connection as a service that stops would. Connections that carry less pass as they
// are.
#include <QString>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace vx::testing {

class SlowProxy {
  public:
    enum Mode { Hold, Cut };

    SlowProxy(const QString& service, const QString& path, size_t after, Mode mode,
              std::chrono::milliseconds hold = {})
        : service_(service.toStdString()), path_(path), after_(after), mode_(mode), hold_(hold) {
        listen_ = open(path_.toStdString(), true);
        if (listen_ >= 0) acceptor_ = std::thread([this] { serve(); });
    }
    ~SlowProxy() {
        stop_ = true;
        if (acceptor_.joinable()) acceptor_.join();
        for (std::thread& t : links_) t.join();
        if (listen_ >= 0) ::close(listen_);
    }
    SlowProxy(const SlowProxy&) = delete;
    SlowProxy& operator=(const SlowProxy&) = delete;

    bool listening() const { return listen_ >= 0; }
    const QString& socket() const { return path_; }

  private:
    static int open(const std::string& path, bool listening) {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", path.c_str());
        auto* a = reinterpret_cast<sockaddr*>(&addr);
        const bool ok = listening ? ::bind(fd, a, sizeof addr) == 0 && ::listen(fd, 16) == 0
                                  : ::connect(fd, a, sizeof addr) == 0;
        if (ok) return fd;
        ::close(fd);
        return -1;
    }
    // Every wait is short, so that the proxy notices when it is to stop.
    static bool readable(pollfd* fds, int n) { return ::poll(fds, n, 50) > 0; }

    void serve() {
        pollfd p{listen_, POLLIN, 0};
        while (!stop_)
            if (readable(&p, 1)) {
                const int client = ::accept4(listen_, nullptr, nullptr, SOCK_CLOEXEC);
                if (client >= 0) links_.emplace_back([this, client] { link(client); });
            }
    }

    void link(int client) {
        const int service = open(service_, false);
        size_t toService = 0;
        std::string held;
        bool struck = false;
        auto until = std::chrono::steady_clock::time_point::min();
        char buf[65536];
        pollfd p[2] = {{client, POLLIN, 0}, {service, POLLIN, 0}};
        while (!stop_ && service >= 0) {
            const bool holding = std::chrono::steady_clock::now() < until;
            if (!holding && !held.empty()) {
                if (::write(client, held.data(), held.size()) < 0) break;
                held.clear();
            }
            if (!readable(p, 2)) continue;
            const bool fromClient = (p[0].revents & (POLLIN | POLLHUP)) != 0;
            const ssize_t n = ::read(fromClient ? client : service, buf, sizeof buf);
            if (n <= 0) break;
            if (!fromClient) {
                held.append(buf, static_cast<size_t>(n));
                continue;
            }
            if (::write(service, buf, static_cast<size_t>(n)) < 0) break;
            toService += static_cast<size_t>(n);
            if (toService < after_ || struck) continue;
            if (mode_ == Cut) break;
            struck = true;
            until = std::chrono::steady_clock::now() + hold_;
        }
        if (service >= 0) ::close(service);
        ::close(client);
    }

    std::string service_;
    QString path_;
    size_t after_;
    Mode mode_;
    std::chrono::milliseconds hold_;
    int listen_ = -1;
    std::atomic<bool> stop_{false};
    std::thread acceptor_;
    std::vector<std::thread> links_;
};

} // namespace vx::testing
