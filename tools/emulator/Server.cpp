#include "Server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <deque>
#include <stdexcept>

namespace varnel::emulator {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kMaxConnections = 64;
// A client that sends queries without reading its replies is not read from
// while this much waits for it.
constexpr std::size_t kMaxQueued = 1 << 20;

std::string Upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

// What the transcript shows of a long line.
std::string Shown(const std::string& s) {
    if (s.size() <= 120) return s;
    return s.substr(0, 100) + "... (" + std::to_string(s.size()) + " bytes)";
}

}  // namespace

struct Server::Connection {
    struct Out {
        std::string bytes;  // the reply with its line feed
        Clock::time_point due;
        std::size_t sent = 0;
    };
    int fd = -1;
    unsigned id = 0;
    std::string partial;      // bytes after the last line feed
    bool discarding = false;  // the line was cut: drop it up to its line feed
    std::deque<Out> out;
    std::size_t queued = 0;
    long commands = 0;
    bool closing = false;     // close once the replies are out
};

Server::Server(const ServerOptions& options, Instrument& instrument)
    : options_(options), instrument_(instrument), start_(Clock::now()) {
    for (std::string& s : options_.failNoReply) s = Upper(s);
    const std::string addr = options.listen == "localhost" ? "127.0.0.1" : options.listen;
    sockaddr_storage ss{};
    socklen_t len = 0;
    auto* v4 = reinterpret_cast<sockaddr_in*>(&ss);
    auto* v6 = reinterpret_cast<sockaddr_in6*>(&ss);
    if (inet_pton(AF_INET, addr.c_str(), &v4->sin_addr) == 1) {
        v4->sin_family = AF_INET;
        v4->sin_port = htons(options.port);
        len = sizeof *v4;
    } else if (inet_pton(AF_INET6, addr.c_str(), &v6->sin6_addr) == 1) {
        v6->sin6_family = AF_INET6;
        v6->sin6_port = htons(options.port);
        len = sizeof *v6;
        ipv6_ = true;
    } else {
        throw std::runtime_error("not an IPv4 or IPv6 address: " + options.listen);
    }
    address_ = addr;
    listenFd_ = ::socket(ss.ss_family, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (listenFd_ < 0) throw std::runtime_error(std::string("socket: ") + std::strerror(errno));
    const int one = 1;
    setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&ss), len) < 0 || ::listen(listenFd_, 16) < 0) {
        const std::string why = std::strerror(errno);
        ::close(listenFd_);
        throw std::runtime_error("cannot listen on " + options.listen + " port " + std::to_string(options.port) +
                                 ": " + why);
    }
    getsockname(listenFd_, reinterpret_cast<sockaddr*>(&ss), &len);
    port_ = ntohs(ipv6_ ? v6->sin6_port : v4->sin_port);
    wakeFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wakeFd_ < 0) {
        ::close(listenFd_);
        throw std::runtime_error(std::string("eventfd: ") + std::strerror(errno));
    }
}

Server::~Server() {
    ::close(listenFd_);
    ::close(wakeFd_);
}

std::string Server::endpoint() const {
    return (ipv6_ ? "[" + address_ + "]" : address_) + ":" + std::to_string(port_);
}

void Server::RequestStop() {
    const std::uint64_t one = 1;
    [[maybe_unused]] ssize_t n = ::write(wakeFd_, &one, sizeof one);
}

double Server::Emulated() const {
    return std::chrono::duration<double>(Clock::now() - start_).count() * options_.speed;
}

void Server::Note(const Connection* c, const std::string& text) {
    if (!options_.transcript) return;
    char stamp[48];
    std::snprintf(stamp, sizeof stamp, "[%9.3f] ", std::chrono::duration<double>(Clock::now() - start_).count());
    options_.transcript(std::string(stamp) + (c ? "#" + std::to_string(c->id) + " " : std::string()) + text);
}

void Server::Accept(std::vector<Connection>& connections) {
    for (;;) {
        sockaddr_storage peer{};
        socklen_t len = sizeof peer;
        const int fd = ::accept4(listenFd_, reinterpret_cast<sockaddr*>(&peer), &len, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) return;
        if (connections.size() >= kMaxConnections) {
            ::close(fd);
            Note(nullptr, "refused a client: " + std::to_string(kMaxConnections) + " connections open");
            continue;
        }
        const int one = 1;
        setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        Connection c;
        c.fd = fd;
        c.id = nextId_++;
        char host[INET6_ADDRSTRLEN] = "?";
        unsigned port = 0;
        if (peer.ss_family == AF_INET) {
            const auto* a = reinterpret_cast<const sockaddr_in*>(&peer);
            inet_ntop(AF_INET, &a->sin_addr, host, sizeof host);
            port = ntohs(a->sin_port);
        } else if (peer.ss_family == AF_INET6) {
            const auto* a = reinterpret_cast<const sockaddr_in6*>(&peer);
            inet_ntop(AF_INET6, &a->sin6_addr, host, sizeof host);
            port = ntohs(a->sin6_port);
        }
        Note(&c, std::string("connected from ") + host + ":" + std::to_string(port));
        connections.push_back(std::move(c));
    }
}

void Server::Line(Connection& c, std::string raw) {
    if (c.closing) return;
    // Bytes outside printable ASCII (a carriage return included) are ignored.
    std::string line;
    std::size_t dropped = 0;
    for (char ch : raw) {
        const auto u = static_cast<unsigned char>(ch);
        if ((u >= 0x20 && u < 0x7F) || ch == '\t') line += ch;
        else ++dropped;
    }
    const std::size_t b = line.find_first_not_of(" \t");
    if (b == std::string::npos) return;  // an empty line is no command
    line = line.substr(b, line.find_last_not_of(" \t") - b + 1);
    ++lines_;
    ++c.commands;
    Note(&c, "< " + Shown(line) + (dropped ? " (" + std::to_string(dropped) + " binary bytes ignored)" : ""));

    Outcome o = instrument_.Handle(line, Emulated());
    if (o.kind == Outcome::Unknown) {
        Note(&c, "? ignored, " + o.reason + " (" + std::to_string(instrument_.UnknownCount()) + " ignored so far)");
    } else if (o.kind == Outcome::Replied) {
        const std::string upper = Upper(line);
        const std::string word = upper.substr(0, upper.find_first_of(" \t"));
        bool silent = false;
        for (const std::string& s : options_.failNoReply) silent = silent || s == word || s == upper;
        if (silent) {
            Note(&c, "  not answered (--fail-no-reply)");
        } else {
            std::string reply = std::move(o.reply);
            if (options_.failLongReply > 0 && reply.size() <= options_.failLongReply)
                reply += " " + std::string(options_.failLongReply - reply.size(), 'x');
            Connection::Out out;
            out.bytes = reply + "\n";
            out.due = Clock::now() + std::chrono::milliseconds(options_.latencyMs);
            if (!c.out.empty() && c.out.back().due > out.due) out.due = c.out.back().due;
            c.queued += out.bytes.size();
            c.out.push_back(std::move(out));
        }
    }
    if (options_.failCloseAfter > 0 && c.commands >= options_.failCloseAfter) {
        c.closing = true;
        Note(&c, "closing after " + std::to_string(c.commands) + " commands (--fail-close-after)");
    }
}

bool Server::Read(Connection& c) {
    char buf[16384];
    while (c.queued < kMaxQueued && !c.closing) {
        const ssize_t n = ::recv(c.fd, buf, sizeof buf, 0);
        if (n == 0) return false;
        if (n < 0) return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
        for (ssize_t i = 0; i < n; ++i) {
            if (buf[i] == '\n') {
                if (!c.discarding) Line(c, std::move(c.partial));
                c.partial.clear();
                c.discarding = false;
            } else if (c.discarding) {
                continue;
            } else if (c.partial.size() >= kMaxLine) {
                instrument_.Reject();
                Note(&c, "< " + Shown(c.partial) + " ? ignored, line cut at " + std::to_string(kMaxLine) + " bytes (" +
                             std::to_string(instrument_.UnknownCount()) + " ignored so far)");
                c.partial.clear();
                c.discarding = true;
            } else {
                c.partial += buf[i];
            }
        }
    }
    return true;
}

bool Server::Write(Connection& c) {
    const auto now = Clock::now();
    while (!c.out.empty() && c.out.front().due <= now) {
        Connection::Out& o = c.out.front();
        while (o.sent < o.bytes.size()) {
            const ssize_t n = ::send(c.fd, o.bytes.data() + o.sent, o.bytes.size() - o.sent, MSG_NOSIGNAL);
            if (n < 0) return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
            o.sent += static_cast<std::size_t>(n);
        }
        Note(&c, "> " + Shown(o.bytes.substr(0, o.bytes.size() - 1)));
        c.queued -= o.bytes.size();
        c.out.pop_front();
    }
    return !(c.closing && c.out.empty());
}

void Server::Run() {
    std::vector<Connection> connections;
    const auto drop = [&](std::size_t i, const char* why) {
        Note(&connections[i], why);
        ::close(connections[i].fd);
        connections.erase(connections.begin() + static_cast<long>(i));
    };
    for (;;) {
        for (std::size_t i = 0; i < connections.size();) {
            if (Write(connections[i])) ++i;
            else drop(i, connections[i].closing ? "closed by the emulator" : "closed: send failed");
        }
        std::vector<pollfd> fds;
        fds.push_back({wakeFd_, POLLIN, 0});
        fds.push_back({listenFd_, POLLIN, 0});
        int timeoutMs = -1;
        const auto now = Clock::now();
        for (const Connection& c : connections) {
            short events = c.queued < kMaxQueued && !c.closing ? POLLIN : 0;
            if (!c.out.empty()) {
                if (c.out.front().due <= now) {
                    events |= POLLOUT;
                } else {
                    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(c.out.front().due - now).count() + 1;
                    if (timeoutMs < 0 || ms < timeoutMs) timeoutMs = static_cast<int>(ms);
                }
            }
            fds.push_back({c.fd, events, 0});
        }
        const int r = ::poll(fds.data(), fds.size(), timeoutMs);
        if (r < 0 && errno != EINTR) break;
        if (r <= 0) continue;
        if (fds[0].revents & POLLIN) break;
        const std::size_t polled = connections.size();
        if (fds[1].revents & POLLIN) Accept(connections);
        for (std::size_t i = polled; i-- > 0;) {
            const short ev = fds[i + 2].revents;
            if ((ev & (POLLIN | POLLHUP | POLLERR)) && !Read(connections[i])) drop(i, "closed by the client");
        }
    }
    while (!connections.empty()) drop(connections.size() - 1, "closed: the emulator stops");
}

}  // namespace varnel::emulator
