// A fast local instrument for the benchmarks, on 127.0.0.1, and the socket
// helpers the raw reference loops share with it.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace bench {

inline void SetTimeouts(int fd, int ms) {
    timeval tv{};
    tv.tv_sec = ms / 1000;
    tv.tv_usec = (ms % 1000) * 1000;
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
}

inline void SetNoDelay(int fd) {
    const int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
}

inline bool SendAll(int fd, const char* p, std::size_t n) {
    while (n > 0) {
        const ssize_t k = send(fd, p, n, MSG_NOSIGNAL);
        if (k < 0 && errno == EINTR) continue;
        if (k <= 0) return false;
        p += k;
        n -= static_cast<std::size_t>(k);
    }
    return true;
}

// The fast local instrument: one blocking thread per connection, lines in,
// one reply line per "MV" line ("12.5") and per "*IDN?" line (an identity
// the driver accepts), all replies to one read sent together; every other
// line is swallowed. It accepts at most 256 connections in one run.
class Responder {
public:
    bool Start() {
        listenFd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (listenFd_ < 0) return false;
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = 0;
        socklen_t len = sizeof a;
        if (bind(listenFd_, reinterpret_cast<sockaddr*>(&a), sizeof a) < 0 || listen(listenFd_, 16) < 0 ||
            getsockname(listenFd_, reinterpret_cast<sockaddr*>(&a), &len) < 0) {
            close(listenFd_);
            listenFd_ = -1;
            return false;
        }
        port_ = ntohs(a.sin_port);
        acceptor_ = std::thread([this] { AcceptLoop(); });
        return true;
    }

    void Stop() {
        stop_.store(true);
        if (acceptor_.joinable()) acceptor_.join();
        {
            std::lock_guard<std::mutex> g(mutex_);
            for (int fd : connections_) shutdown(fd, SHUT_RDWR);  // wakes a blocked recv
        }
        for (auto& t : workers_) t.join();
        for (int fd : connections_) close(fd);
        if (listenFd_ >= 0) close(listenFd_);
        workers_.clear();
        connections_.clear();
        listenFd_ = -1;
    }

    unsigned short Port() const { return port_; }

private:
    void AcceptLoop() {
        int accepted = 0;
        while (!stop_.load() && accepted < 256) {
            pollfd p{listenFd_, POLLIN, 0};
            if (poll(&p, 1, 100) <= 0) continue;
            const int fd = accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd < 0) continue;
            ++accepted;
            SetNoDelay(fd);
            std::lock_guard<std::mutex> g(mutex_);
            connections_.push_back(fd);
            workers_.emplace_back([fd] { Serve(fd); });
        }
    }

    // Ends when the peer closes or Stop() shuts the socket down. A line
    // longer than the buffer is dropped whole.
    static void Serve(int fd) {
        static const char kReply[] = "12.5\n";
        static const char kIdentity[] = "QVX M2 LOAD 1.05\n";
        char in[65536];
        std::size_t have = 0;
        bool overlong = false;
        std::string out;
        out.reserve(4096);
        for (;;) {
            const ssize_t n = recv(fd, in + have, sizeof in - have, 0);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return;
            have += static_cast<std::size_t>(n);
            std::size_t start = 0;
            for (;;) {
                const void* nl = std::memchr(in + start, '\n', have - start);
                if (nl == nullptr) break;
                const std::size_t end = static_cast<std::size_t>(static_cast<const char*>(nl) - in);
                std::size_t e = end;
                if (e > start && in[e - 1] == '\r') --e;
                if (!overlong && e - start == 2 && in[start] == 'M' && in[start + 1] == 'V')
                    out.append(kReply, sizeof kReply - 1);
                if (!overlong && e - start == 5 && std::memcmp(in + start, "*IDN?", 5) == 0)
                    out.append(kIdentity, sizeof kIdentity - 1);
                overlong = false;
                start = end + 1;
            }
            if (start == 0 && have == sizeof in) {
                overlong = true;  // no line end in a full buffer
                have = 0;
            } else if (start > 0) {
                std::memmove(in, in + start, have - start);
                have -= start;
            }
            if (!out.empty()) {
                if (!SendAll(fd, out.data(), out.size())) return;
                out.clear();
            }
        }
    }

    int listenFd_ = -1;
    unsigned short port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread acceptor_;
    std::mutex mutex_;
    std::vector<std::thread> workers_;
    std::vector<int> connections_;
};

}  // namespace bench
