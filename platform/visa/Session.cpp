#include "Session.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace varnel::visa {

namespace {

timespec Now() {
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t;
}

long long NanosBetween(const timespec& from, const timespec& to) {
    return (to.tv_sec - from.tv_sec) * 1000000000LL + (to.tv_nsec - from.tv_nsec);
}

// A session idle this long is checked for a closed peer before it sends.
constexpr long long kIdleBeforeCloseCheckNs = 1000000;  // 1 ms

long long ElapsedMs(const timespec& since) {
    const timespec now = Now();
    return (now.tv_sec - since.tv_sec) * 1000LL + (now.tv_nsec - since.tv_nsec) / 1000000LL;
}

void SetSocketTimeouts(int fd, ViUInt32 timeout) {
    timeval tv{};
    if (timeout != VI_TMO_INFINITE && timeout != VI_TMO_IMMEDIATE) {
        tv.tv_sec = static_cast<time_t>(timeout / 1000);
        tv.tv_usec = static_cast<suseconds_t>((timeout % 1000) * 1000);
    }
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
}

// Waits for a non-blocking connect to finish: 0 connected, else an errno
// value (ETIMEDOUT when the time ran out).
int WaitConnected(int fd, ViUInt32 timeout, const timespec& start) {
    for (;;) {
        int ms = -1;
        if (timeout != VI_TMO_INFINITE) {
            const long long left = static_cast<long long>(timeout) - ElapsedMs(start);
            ms = left > 0 ? static_cast<int>(left > 0x7FFFFFFF ? 0x7FFFFFFF : left) : 0;
        }
        pollfd p{fd, POLLOUT, 0};
        const int r = poll(&p, 1, ms);
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) return errno;
        if (r == 0) return ETIMEDOUT;
        int err = 0;
        socklen_t len = sizeof err;
        if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len) < 0) return errno;
        return err;
    }
}

}  // namespace

// --- IoOp ------------------------------------------------------------------

IoOp::IoOp(Session& s) : s_(s), timeout_(s.timeout.load(std::memory_order_relaxed)), start_(Now()) {}

int IoOp::RemainingMs() {
    const long long left = static_cast<long long>(timeout_) - ElapsedMs(start_);
    if (left <= 0) return 0;
    return left > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(left);
}

ViStatus IoOp::Receive() {
    SessionSource& src = s_.source;
    src.pos = src.len = 0;
    for (;;) {
        if (s_.closed.load(std::memory_order_acquire)) return VI_ERROR_ABORT;
        if (s_.peerClosed) return VI_ERROR_CONN_LOST;
        ssize_t n;
        bool timedWait = false;  // a blocking call bounded by SO_RCVTIMEO
        if (timeout_ == VI_TMO_IMMEDIATE) {
            n = recv(s_.fd, s_.readBuffer, kReadBufferSize, MSG_DONTWAIT);
        } else if (firstReceive_ || timeout_ == VI_TMO_INFINITE) {
            firstReceive_ = false;
            timedWait = true;
            n = recv(s_.fd, s_.readBuffer, kReadBufferSize, 0);
        } else {
            const int ms = RemainingMs();
            if (ms == 0) return VI_ERROR_TMO;
            pollfd p{s_.fd, POLLIN, 0};
            const int r = poll(&p, 1, ms);
            if (r < 0 && errno == EINTR) continue;
            if (r == 0) return s_.closed.load() ? VI_ERROR_ABORT : VI_ERROR_TMO;
            n = recv(s_.fd, s_.readBuffer, kReadBufferSize, MSG_DONTWAIT);
        }
        if (n > 0) {
            src.len = static_cast<std::size_t>(n);
            s_.readSinceSend = true;
            s_.lastIo = start_;
            return VI_SUCCESS;
        }
        const int err = errno;
        if (s_.closed.load(std::memory_order_acquire)) return VI_ERROR_ABORT;
        if (n == 0) {
            s_.peerClosed = true;
            return VI_ERROR_CONN_LOST;
        }
        if (err == EINTR) continue;
        if (err == EAGAIN || err == EWOULDBLOCK) {
            if (timeout_ == VI_TMO_IMMEDIATE || (timedWait && timeout_ != VI_TMO_INFINITE)) return VI_ERROR_TMO;
            continue;
        }
        s_.peerClosed = true;  // ECONNRESET, ETIMEDOUT, ...: the connection is gone
        return VI_ERROR_CONN_LOST;
    }
}

ViStatus IoOp::Send(const void* data, std::size_t n, std::size_t* sent) {
    const char* p = static_cast<const char*>(data);
    *sent = 0;
    // A peer that has closed its side still accepts the first segment (its
    // system answers it with a reset), so that command would be lost with a
    // success status: check for the close before sending. The check costs a
    // system call, so it is made when the peer may have closed unseen: after
    // a read (a reply may have come with the close) or after the session was
    // idle; not again when this call has just read the connection dry, and
    // not between back-to-back writes, where the system reports the reset
    // of a closed peer by the next write.
    if (n > 0 && !s_.peerClosed && !s_.closeChecked &&
        (s_.readSinceSend || NanosBetween(s_.lastIo, start_) >= kIdleBeforeCloseCheckNs)) {
        pollfd pf{s_.fd, POLLRDHUP, 0};
        if (poll(&pf, 1, 0) > 0 && (pf.revents & (POLLRDHUP | POLLHUP | POLLERR)) != 0) s_.peerClosed = true;
    }
    s_.closeChecked = false;
    s_.readSinceSend = false;
    s_.lastIo = start_;
    while (n > 0) {
        if (s_.closed.load(std::memory_order_acquire)) return VI_ERROR_ABORT;
        if (s_.peerClosed) return VI_ERROR_CONN_LOST;
        int flags = MSG_NOSIGNAL;
        bool timedWait = false;
        if (timeout_ == VI_TMO_IMMEDIATE) {
            flags |= MSG_DONTWAIT;
        } else if (firstSend_ || timeout_ == VI_TMO_INFINITE) {
            firstSend_ = false;
            timedWait = true;
        } else {
            const int ms = RemainingMs();
            if (ms == 0) return VI_ERROR_TMO;
            pollfd pf{s_.fd, POLLOUT, 0};
            const int r = poll(&pf, 1, ms);
            if (r < 0 && errno == EINTR) continue;
            if (r == 0) return s_.closed.load() ? VI_ERROR_ABORT : VI_ERROR_TMO;
            flags |= MSG_DONTWAIT;
        }
        const ssize_t k = send(s_.fd, p, n, flags);
        if (k > 0) {
            if (TraceOn()) s_.traceWritten.Add(p, static_cast<std::size_t>(k));
            p += k;
            n -= static_cast<std::size_t>(k);
            *sent += static_cast<std::size_t>(k);
            continue;
        }
        const int err = errno;
        if (s_.closed.load(std::memory_order_acquire)) return VI_ERROR_ABORT;
        if (k < 0 && err == EINTR) continue;
        if (k < 0 && (err == EAGAIN || err == EWOULDBLOCK)) {
            if (timeout_ == VI_TMO_IMMEDIATE || (timedWait && timeout_ != VI_TMO_INFINITE)) return VI_ERROR_TMO;
            continue;
        }
        s_.peerClosed = true;  // EPIPE, ECONNRESET, ...
        return VI_ERROR_CONN_LOST;
    }
    return VI_SUCCESS;
}

// --- source and sink -------------------------------------------------------

ViStatus SessionSource::Refill() {
    if (TraceOn() && pos > traceMark) session->traceRead.Add(buf + traceMark, pos - traceMark);
    traceMark = 0;
    return op->Receive();
}

SessionSink::SessionSink(Session& s, IoOp& op) : OutSink(s.writeBuffer, kWriteBufferSize), s_(s), op_(op) {}

ViStatus SessionSink::Drain() {
    std::size_t sent = 0;
    const ViStatus st = op_.Send(buf_, len_, &sent);
    len_ = 0;
    return st;
}

// --- Session ---------------------------------------------------------------

Session::Session(ViSession id_, ViSession rm_, int fd_, ResourceName name_, std::string peerAddress_)
    : id(id_), rm(rm_), fd(fd_), name(std::move(name_)), peerAddress(std::move(peerAddress_)) {
    source.buf = readBuffer;
    source.session = this;
}

Session::~Session() { ::close(fd); }

void Session::Close() {
    if (closed.exchange(true)) return;
    ::shutdown(fd, SHUT_RDWR);  // wakes a blocked recv, send or poll
}

void Session::BeginOp(IoOp& op) {
    source.op = &op;
    source.termChar = static_cast<unsigned char>(termChar.load(std::memory_order_relaxed));
    source.termCharEnabled = termCharEnabled.load(std::memory_order_relaxed);
    const ViUInt32 t = timeout.load(std::memory_order_relaxed);
    if (t != socketTimeout) {
        SetSocketTimeouts(fd, t);
        socketTimeout = t;
    }
}

void Session::BeginCall() {
    closeChecked = false;
    if (TraceOn()) {
        traceWritten.Clear();
        traceRead.Clear();
        traceDiscarded = 0;
        source.traceMark = source.pos;
    }
}

void Session::DropFormattedInput() {
    if (!formattedInput) return;
    formattedInput = false;
    traceDiscarded += source.len - source.pos;
    source.pos = source.len = 0;
    source.traceMark = 0;
}

ViStatus Session::DiscardInput() {
    traceDiscarded += source.len - source.pos;
    source.pos = source.len = 0;
    source.traceMark = 0;
    if (closed.load(std::memory_order_acquire)) return VI_ERROR_ABORT;
    if (peerClosed) return VI_ERROR_CONN_LOST;
    // Bounded, so that a peer that floods the connection cannot hold the call.
    for (int i = 0; i < 256; ++i) {
        const ssize_t n = recv(fd, readBuffer, kReadBufferSize, MSG_DONTWAIT);
        if (n > 0) {
            traceDiscarded += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (closed.load(std::memory_order_acquire)) return VI_ERROR_ABORT;
        if (n == 0) {
            peerClosed = true;
            return VI_ERROR_CONN_LOST;
        }
        if (errno == EAGAIN || errno == EWOULDBLOCK) {
            // Nothing waits and no end of stream or reset is pending: the
            // peer had not closed when this recv looked.
            closeChecked = true;
            return VI_SUCCESS;
        }
        peerClosed = true;
        return VI_ERROR_CONN_LOST;
    }
    return VI_SUCCESS;
}

ViStatus Session::Connect(const ResourceName& name, ViUInt32 timeout, int& fdOut, std::string& peerAddress) {
    fdOut = -1;
    const timespec start = Now();
    addrinfo hints{};
    hints.ai_family = name.ipv6Literal ? AF_INET6 : AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    hints.ai_flags = AI_NUMERICSERV;
    in_addr v4;
    if (name.ipv6Literal || inet_pton(AF_INET, name.host.c_str(), &v4) == 1) hints.ai_flags |= AI_NUMERICHOST;
    addrinfo* list = nullptr;
    const std::string port = std::to_string(name.port);
    const int gai = getaddrinfo(name.host.c_str(), port.c_str(), &hints, &list);
    if (gai != 0) return gai == EAI_MEMORY ? VI_ERROR_ALLOC : VI_ERROR_RSRC_NFOUND;
    ViStatus result = VI_ERROR_RSRC_NFOUND;
    for (addrinfo* a = list; a != nullptr; a = a->ai_next) {
        const int fd = socket(a->ai_family, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, IPPROTO_TCP);
        if (fd < 0) {
            result = (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) ? VI_ERROR_ALLOC
                                                                                                 : VI_ERROR_SYSTEM_ERROR;
            continue;
        }
        int err = 0;
        if (connect(fd, a->ai_addr, a->ai_addrlen) < 0) {
            err = errno;
            if (err == EINPROGRESS || err == EINTR) err = WaitConnected(fd, timeout, start);
        }
        if (err != 0) {
            ::close(fd);
            if (err == ETIMEDOUT) result = VI_ERROR_TMO;
            continue;
        }
        const int flags = fcntl(fd, F_GETFL);
        fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
        const int one = 1;
        setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        SetSocketTimeouts(fd, kDefaultTimeout);
        char text[INET6_ADDRSTRLEN] = "";
        if (a->ai_family == AF_INET)
            inet_ntop(AF_INET, &reinterpret_cast<sockaddr_in*>(a->ai_addr)->sin_addr, text, sizeof text);
        else if (a->ai_family == AF_INET6)
            inet_ntop(AF_INET6, &reinterpret_cast<sockaddr_in6*>(a->ai_addr)->sin6_addr, text, sizeof text);
        peerAddress = text;
        fdOut = fd;
        result = VI_SUCCESS;
        break;
    }
    freeaddrinfo(list);
    return result;
}

}  // namespace varnel::visa
