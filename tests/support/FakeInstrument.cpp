#include "FakeInstrument.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <map>
#include <mutex>
#include <stdexcept>
#include <thread>

namespace varnel::test {

namespace {

using Clock = std::chrono::steady_clock;

struct Outgoing {
    std::shared_ptr<const std::string> bytes;  // shared with the script: a long reply is not copied
    std::size_t sent = 0;
    Clock::time_point due;
    bool closeAfter = false;
    bool counts = true;        // a scripted response (counted by repliesSent)
    std::uint64_t ticket = 0;  // for send(): 0 when nobody waits
};

struct Connection {
    int fd = -1;
    std::string partial;  // bytes after the last line feed
    std::deque<Outgoing> out;
};

}  // namespace

struct FakeInstrument::State {
    int listenFd = -1;
    int wakeFd = -1;
    std::uint16_t port = 0;
    std::thread thread;

    mutable std::mutex mutex;
    mutable std::condition_variable changed;
    bool stop = false;
    struct Scripted {
        std::shared_ptr<const std::string> bytes = std::make_shared<const std::string>();
        std::chrono::milliseconds delay{0};
        bool closeAfter = false;
    };
    static Scripted Make(Response r) {
        Scripted s;
        s.bytes = std::make_shared<const std::string>(std::move(r.bytes));
        s.delay = r.delay;
        s.closeAfter = r.closeAfter;
        return s;
    }
    std::map<std::string, Scripted> script;
    Scripted defaultResponse;
    std::vector<std::string> lines;
    std::string bytes;
    std::size_t repliesSent = 0;
    std::size_t connectionCount = 0;
    // Requests from the test thread, carried out by the server thread.
    struct Request {
        std::uint64_t ticket;
        bool close;
        std::string bytes;
    };
    std::vector<Request> requests;
    std::uint64_t nextTicket = 0;
    std::uint64_t doneTicket = 0;  // every request up to this one is done
    std::map<std::uint64_t, bool> delivered;

    // Owned by the server thread.
    std::vector<Connection> connections;

    void Wake() const {
        const std::uint64_t one = 1;
        [[maybe_unused]] ssize_t n = ::write(wakeFd, &one, sizeof one);
    }

    // Queues a request and waits until the server thread has carried it out;
    // tells whether it reached a connection.
    bool Submit(bool close, const std::string& data) {
        std::unique_lock<std::mutex> lock(mutex);
        const std::uint64_t t = ++nextTicket;
        requests.push_back(Request{t, close, data});
        Wake();
        changed.wait(lock, [&] { return doneTicket >= t || stop; });
        const auto it = delivered.find(t);
        const bool any = it != delivered.end() && it->second;
        if (it != delivered.end()) delivered.erase(it);
        return any;
    }

    void Run();
    void Accept();
    bool ReadFrom(Connection& c);   // false: the connection is to be closed
    bool WriteTo(Connection& c);    // false: the connection is to be closed
    void Serve();
};

void FakeInstrument::State::Accept() {
    for (;;) {
        const int fd = ::accept4(listenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) return;
        const int one = 1;
        setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        Connection c;
        c.fd = fd;
        connections.push_back(std::move(c));
        std::lock_guard<std::mutex> guard(mutex);
        ++connectionCount;
        changed.notify_all();
    }
}

bool FakeInstrument::State::ReadFrom(Connection& c) {
    char buf[65536];
    for (;;) {
        const ssize_t n = ::recv(c.fd, buf, sizeof buf, 0);
        if (n == 0) return false;
        if (n < 0) return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
        const auto now = Clock::now();
        std::lock_guard<std::mutex> guard(mutex);
        bytes.append(buf, static_cast<std::size_t>(n));
        c.partial.append(buf, static_cast<std::size_t>(n));
        std::size_t start = 0;
        for (std::size_t nl; (nl = c.partial.find('\n', start)) != std::string::npos; start = nl + 1) {
            std::string line = c.partial.substr(start, nl - start);
            const auto it = script.find(line);
            const Scripted& r = it != script.end() ? it->second : defaultResponse;
            if (!r.bytes->empty() || r.closeAfter) {
                Outgoing o;
                o.bytes = r.bytes;
                o.due = now + r.delay;
                if (!c.out.empty() && c.out.back().due > o.due) o.due = c.out.back().due;
                o.closeAfter = r.closeAfter;
                c.out.push_back(std::move(o));
            }
            lines.push_back(std::move(line));
        }
        c.partial.erase(0, start);
        changed.notify_all();
    }
}

bool FakeInstrument::State::WriteTo(Connection& c) {
    const auto now = Clock::now();
    while (!c.out.empty() && c.out.front().due <= now) {
        Outgoing& o = c.out.front();
        // A reply that ends the connection leaves with its FIN in the same
        // segment, so the client sees the close as soon as it sees the reply.
        if (o.closeAfter && o.sent == 0) {
            const int one = 1;
            setsockopt(c.fd, IPPROTO_TCP, TCP_CORK, &one, sizeof one);
        }
        while (o.sent < o.bytes->size()) {
            const ssize_t n = ::send(c.fd, o.bytes->data() + o.sent, o.bytes->size() - o.sent, MSG_NOSIGNAL);
            if (n < 0) {
                if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) return true;
                return false;
            }
            o.sent += static_cast<std::size_t>(n);
        }
        const bool close = o.closeAfter;
        if (close) ::shutdown(c.fd, SHUT_WR);
        {
            std::lock_guard<std::mutex> guard(mutex);
            if (o.counts) ++repliesSent;
            changed.notify_all();
        }
        c.out.pop_front();
        if (close) return false;
    }
    return true;
}

void FakeInstrument::State::Run() {
    std::uint64_t taken = 0;
    for (;;) {
        // Requests of the test thread, in order.
        std::vector<Request> todo;
        {
            std::lock_guard<std::mutex> guard(mutex);
            if (stop) break;
            todo.swap(requests);
        }
        // A connection the system has completed counts as open, even when
        // the poll below has not reported it yet: a client that has just
        // connected gets what the test sends or closes now.
        if (!todo.empty()) Accept();
        for (Request& q : todo) {
            bool any = false;
            if (q.close) {
                for (Connection& c : connections) ::close(c.fd);
                connections.clear();
            } else {
                for (Connection& c : connections) {
                    Outgoing o;
                    o.bytes = std::make_shared<const std::string>(q.bytes);
                    o.due = Clock::time_point::min();
                    o.counts = false;
                    o.ticket = q.ticket;
                    // Unsolicited bytes go out now, before replies not yet begun.
                    auto at = std::find_if(c.out.begin(), c.out.end(), [](const Outgoing& x) { return x.sent == 0; });
                    c.out.insert(at, std::move(o));
                    any = true;
                }
            }
            std::lock_guard<std::mutex> guard(mutex);
            delivered[q.ticket] = any;
            taken = q.ticket;
        }
        // Write what is due.
        for (std::size_t i = 0; i < connections.size();) {
            if (!WriteTo(connections[i])) {
                ::close(connections[i].fd);
                connections.erase(connections.begin() + static_cast<long>(i));
            } else {
                ++i;
            }
        }
        // A request is done when none of its bytes wait any more.
        std::uint64_t done = taken;
        for (const Connection& c : connections)
            for (const Outgoing& o : c.out)
                if (!o.counts && o.ticket <= done) done = o.ticket - 1;
        {
            std::lock_guard<std::mutex> guard(mutex);
            if (done > doneTicket) {
                doneTicket = done;
                changed.notify_all();
            }
        }

        // Wait for input, room to write, a due reply, or a request.
        std::vector<pollfd> fds;
        fds.push_back({wakeFd, POLLIN, 0});
        fds.push_back({listenFd, POLLIN, 0});
        int timeoutMs = -1;
        const auto now = Clock::now();
        for (const Connection& c : connections) {
            short events = POLLIN;
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
        if (fds[0].revents & POLLIN) {
            std::uint64_t v;
            [[maybe_unused]] ssize_t n = ::read(wakeFd, &v, sizeof v);
        }
        if (fds[1].revents & POLLIN) Accept();
        // Connections accepted just now are served on the next round.
        const std::size_t polled = fds.size() - 2;
        std::vector<int> toClose;
        for (std::size_t i = 0; i < polled && i < connections.size(); ++i) {
            const short ev = fds[i + 2].revents;
            if (ev == 0) continue;
            if ((ev & (POLLIN | POLLHUP | POLLERR)) && !ReadFrom(connections[i])) toClose.push_back(connections[i].fd);
        }
        if (!toClose.empty()) {
            for (std::size_t i = 0; i < connections.size();) {
                if (std::find(toClose.begin(), toClose.end(), connections[i].fd) != toClose.end()) {
                    ::close(connections[i].fd);
                    connections.erase(connections.begin() + static_cast<long>(i));
                } else {
                    ++i;
                }
            }
        }
    }
    for (Connection& c : connections) ::close(c.fd);
    connections.clear();
}

FakeInstrument::FakeInstrument() : state_(new State) {
    State& s = *state_;
    s.listenFd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (s.listenFd < 0) throw std::runtime_error("FakeInstrument: socket failed");
    const int one = 1;
    setsockopt(s.listenFd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = 0;
    if (::bind(s.listenFd, reinterpret_cast<sockaddr*>(&a), sizeof a) < 0 || ::listen(s.listenFd, 16) < 0) {
        ::close(s.listenFd);
        throw std::runtime_error("FakeInstrument: bind or listen failed");
    }
    socklen_t len = sizeof a;
    getsockname(s.listenFd, reinterpret_cast<sockaddr*>(&a), &len);
    s.port = ntohs(a.sin_port);
    s.wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (s.wakeFd < 0) {
        ::close(s.listenFd);
        throw std::runtime_error("FakeInstrument: eventfd failed");
    }
    s.thread = std::thread([&s] { s.Run(); });
}

FakeInstrument::~FakeInstrument() {
    State& s = *state_;
    {
        std::lock_guard<std::mutex> guard(s.mutex);
        s.stop = true;
        s.changed.notify_all();
    }
    s.Wake();
    s.thread.join();
    ::close(s.listenFd);
    ::close(s.wakeFd);
}

std::uint16_t FakeInstrument::port() const { return state_->port; }

std::string FakeInstrument::resource() const {
    return "TCPIP::127.0.0.1::" + std::to_string(state_->port) + "::SOCKET";
}

void FakeInstrument::script(const std::string& line, Response response) {
    std::lock_guard<std::mutex> guard(state_->mutex);
    state_->script[line] = State::Make(std::move(response));
}

void FakeInstrument::reply(const std::string& line, std::string bytes) {
    Response r;
    r.bytes = std::move(bytes);
    script(line, std::move(r));
}

void FakeInstrument::replyAfter(const std::string& line, std::chrono::milliseconds delay, std::string bytes) {
    Response r;
    r.bytes = std::move(bytes);
    r.delay = delay;
    script(line, std::move(r));
}

void FakeInstrument::replyThenClose(const std::string& line, std::string bytes) {
    Response r;
    r.bytes = std::move(bytes);
    r.closeAfter = true;
    script(line, std::move(r));
}

void FakeInstrument::noReply(const std::string& line) { script(line, Response()); }

void FakeInstrument::setDefault(Response response) {
    std::lock_guard<std::mutex> guard(state_->mutex);
    state_->defaultResponse = State::Make(std::move(response));
}

bool FakeInstrument::send(const std::string& bytes) { return state_->Submit(false, bytes); }

void FakeInstrument::closeConnections() { state_->Submit(true, std::string()); }

std::vector<std::string> FakeInstrument::lines() const {
    std::lock_guard<std::mutex> guard(state_->mutex);
    return state_->lines;
}

std::string FakeInstrument::bytes() const {
    std::lock_guard<std::mutex> guard(state_->mutex);
    return state_->bytes;
}

bool FakeInstrument::waitForLines(std::size_t n, std::chrono::milliseconds timeout) const {
    std::unique_lock<std::mutex> lock(state_->mutex);
    return state_->changed.wait_for(lock, timeout, [&] { return state_->lines.size() >= n; });
}

std::size_t FakeInstrument::repliesSent() const {
    std::lock_guard<std::mutex> guard(state_->mutex);
    return state_->repliesSent;
}

bool FakeInstrument::waitForReplies(std::size_t n, std::chrono::milliseconds timeout) const {
    std::unique_lock<std::mutex> lock(state_->mutex);
    return state_->changed.wait_for(lock, timeout, [&] { return state_->repliesSent >= n; });
}

std::size_t FakeInstrument::connectionCount() const {
    std::lock_guard<std::mutex> guard(state_->mutex);
    return state_->connectionCount;
}

void FakeInstrument::clear() {
    std::lock_guard<std::mutex> guard(state_->mutex);
    state_->lines.clear();
    state_->bytes.clear();
}

}  // namespace varnel::test
