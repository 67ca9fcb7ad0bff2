// Socket I/O of the VISA library: time-outs, read termination, connection
// loss, writes to a closed peer, the stale-input rule of viQueryf, endless
// and flooding peers, threads, and closing while a read is blocked.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "VisaTestSupport.h"

#if defined(__SANITIZE_ADDRESS__)
#define VARNEL_TEST_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VARNEL_TEST_SANITIZED 1
#endif
#endif

using namespace std::chrono_literals;
using varnel::test::FakeInstrument;
using varnel::test::StatusText;
using varnel::test::VisaFixture;
using Clock = std::chrono::steady_clock;

namespace {

long long MsSince(Clock::time_point t) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count();
}

// A resource manager and one session on a resource, closed at the end.
struct Opened {
    ViSession rm = VI_NULL;
    ViSession vi = VI_NULL;
    ViStatus status = VI_ERROR_SYSTEM_ERROR;

    explicit Opened(const std::string& resource, ViUInt32 timeout = 2000) {
        if (viOpenDefaultRM(&rm) == VI_SUCCESS) status = viOpen(rm, resource.c_str(), VI_NO_LOCK, 2000, &vi);
        if (status == VI_SUCCESS) status = viSetAttribute(vi, VI_ATTR_TMO_VALUE, timeout);
    }
    ~Opened() {
        if (rm != VI_NULL) viClose(rm);
    }
    Opened(const Opened&) = delete;
    Opened& operator=(const Opened&) = delete;
    void TermChar(bool enabled, ViUInt8 c = '\n') const {
        EXPECT_EQ(viSetAttribute(vi, VI_ATTR_TERMCHAR, c), VI_SUCCESS);
        EXPECT_EQ(viSetAttribute(vi, VI_ATTR_TERMCHAR_EN, enabled ? VI_TRUE : VI_FALSE), VI_SUCCESS);
    }
};

// A peer the test drives by hand, for what the fake instrument does not do:
// a peer that never reads (its receive buffer is small), or that sends
// without end.
class RawPeer {
public:
    RawPeer() {
        listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const int small = 4096;
        ::setsockopt(listenFd_, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 && ::listen(listenFd_, 4) == 0) {
            socklen_t len = sizeof a;
            ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&a), &len);
            port_ = ntohs(a.sin_port);
        }
    }
    ~RawPeer() {
        CloseConnection();
        ::close(listenFd_);
    }
    RawPeer(const RawPeer&) = delete;
    RawPeer& operator=(const RawPeer&) = delete;

    std::string resource() const { return "TCPIP::127.0.0.1::" + std::to_string(port_) + "::SOCKET"; }
    // Takes the connection that a viOpen made; false when none came in 5 s.
    bool Accept() {
        pollfd p{listenFd_, POLLIN, 0};
        if (::poll(&p, 1, 5000) != 1) return false;
        conn_ = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        return conn_ >= 0;
    }
    int fd() const { return conn_; }
    void CloseConnection() {
        if (conn_ >= 0) ::close(conn_);
        conn_ = -1;
    }

private:
    int listenFd_ = -1;
    int conn_ = -1;
    std::uint16_t port_ = 0;
};

// Sends chunk over and over until total bytes went out, stop is set, the
// connection fails or 60 s passed; then shuts the sending side when asked.
void Flood(int fd, const std::string& chunk, std::size_t total, const std::atomic<bool>& stop, bool shutAfter) {
    const auto deadline = Clock::now() + 60s;
    std::size_t sent = 0, offset = 0;
    while (sent < total && !stop.load() && Clock::now() < deadline) {
        pollfd p{fd, POLLOUT, 0};
        if (::poll(&p, 1, 100) != 1) continue;
        const std::size_t n = std::min(chunk.size() - offset, total - sent);
        const ssize_t k = ::send(fd, chunk.data() + offset, n, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (k < 0 && (errno == EAGAIN || errno == EINTR)) continue;
        if (k <= 0) return;
        sent += static_cast<std::size_t>(k);
        offset = (offset + static_cast<std::size_t>(k)) % chunk.size();
    }
    if (shutAfter) ::shutdown(fd, SHUT_WR);
}

// Resident memory of this process in kB (0 when unknown).
long ResidentKb() {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return 0;
}

// Blocks SIGPIPE in this thread for its lifetime, so that a SIGPIPE raised
// by a send in this thread stays pending where Raised() sees it, instead of
// killing the process. No handler is installed.
class SigpipeWatch {
public:
    SigpipeWatch() {
        sigemptyset(&set_);
        sigaddset(&set_, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &set_, &old_);
    }
    ~SigpipeWatch() {
        Raised();
        pthread_sigmask(SIG_SETMASK, &old_, nullptr);
    }
    // True when a SIGPIPE is pending (it is taken away).
    bool Raised() {
        sigset_t pending;
        sigpending(&pending);
        if (!sigismember(&pending, SIGPIPE)) return false;
        const timespec zero{0, 0};
        sigtimedwait(&set_, nullptr, &zero);
        return true;
    }

private:
    sigset_t set_;
    sigset_t old_;
};

class Io : public VisaFixture {
protected:
    void SetUp() override {
        VisaFixture::SetUp();
        EnableTermChar();
    }
};

// --- time-outs -------------------------------------------------------------

struct TimeoutCase {
    const char* what;
    ViUInt32 timeout;
    std::string unsolicited;  // already waiting on the connection when the operation starts
    // Runs the operation; *count is what it read (when it tells).
    std::function<ViStatus(ViSession, ViUInt32* count)> op;
    ViStatus expected;
    ViUInt32 count;
    long long minMs;  // lower bound of the time taken
};

TEST_F(Io, TimeOutsOfReads) {
    fake.noReply("SILENT");
    const auto read = [](ViSession v, ViUInt32* n) {
        unsigned char buf[64];
        return viRead(v, buf, sizeof buf, n);
    };
    const TimeoutCase cases[] = {
        {"viRead, silent", 150, "", read, VI_ERROR_TMO, 0, 100},
        {"viRead, reply without end", 150, "12", read, VI_ERROR_TMO, 2, 100},
        {"viScanf, silent", 150, "",
         [](ViSession v, ViUInt32*) -> ViStatus {
             ViInt32 x = 0;
             return viScanf(v, "%ld", &x);
         },
         VI_ERROR_TMO, 0, 100},
        {"viScanf, number without end", 150, "12",
         [](ViSession v, ViUInt32*) -> ViStatus {
             ViInt32 x = 0;
             return viScanf(v, "%ld", &x);
         },
         VI_ERROR_TMO, 0, 100},
        {"viQueryf, silent", 150, "",
         [](ViSession v, ViUInt32*) -> ViStatus {
             ViReal64 x = 0;
             return viQueryf(v, "SILENT\n", "%lf%*t", &x);
         },
         VI_ERROR_TMO, 0, 100},
        {"immediate viRead, nothing there", VI_TMO_IMMEDIATE, "", read, VI_ERROR_TMO, 0, 0},
        {"immediate viRead, bytes waiting", VI_TMO_IMMEDIATE, "42\n", read, VI_SUCCESS_TERM_CHAR, 3, 0},
        {"immediate viScanf, bytes waiting", VI_TMO_IMMEDIATE, "42\n",
         [](ViSession v, ViUInt32*) -> ViStatus {
             ViInt32 x = 0;
             const ViStatus st = viScanf(v, "%ld%*t", &x);
             return st == VI_SUCCESS && x != 42 ? VI_ERROR_SYSTEM_ERROR : st;
         },
         VI_SUCCESS, 0, 0},
    };
    for (const TimeoutCase& c : cases) {
        SCOPED_TRACE(c.what);
        Opened s(fake.resource(), c.timeout);
        ASSERT_EQ(s.status, VI_SUCCESS);
        s.TermChar(true);
        if (!c.unsolicited.empty()) {
            ASSERT_TRUE(fake.send(c.unsolicited));
        }
        ViUInt32 n = 0;
        const auto t0 = Clock::now();
        const ViStatus st = c.op(s.vi, &n);
        const long long ms = MsSince(t0);
        EXPECT_EQ(st, c.expected) << StatusText(st);
        EXPECT_EQ(n, c.count);
        EXPECT_GE(ms, c.minMs);
        EXPECT_LT(ms, 5000);
    }
}

TEST_F(Io, InfiniteTimeOutWaitsForALateReply) {
    ASSERT_EQ(viSetAttribute(vi, VI_ATTR_TMO_VALUE, VI_TMO_INFINITE), VI_SUCCESS);
    fake.replyAfter("LATE", 300ms, "7\n");
    ViInt32 x = 0;
    EXPECT_EQ(viQueryf(vi, "LATE\n", "%ld%*t", &x), VI_SUCCESS);
    EXPECT_EQ(x, 7);
}

// A peer that never reads: a write ends on the time-out, and the count says
// how much went out.
TEST(IoWrite, TimeOutBoundsAWriteToAPeerThatDoesNotRead) {
    const std::string big(16 << 20, 'x');
    for (const ViUInt32 timeout : {ViUInt32{200}, ViUInt32{VI_TMO_IMMEDIATE}}) {
        SCOPED_TRACE("time-out " + std::to_string(timeout));
        RawPeer peer;
        Opened s(peer.resource(), timeout);
        ASSERT_EQ(s.status, VI_SUCCESS);
        ASSERT_TRUE(peer.Accept());
        ViUInt32 n = 0;
        const auto t0 = Clock::now();
        EXPECT_EQ(viWrite(s.vi, reinterpret_cast<ViConstBuf>(big.data()), static_cast<ViUInt32>(big.size()), &n),
                  VI_ERROR_TMO);
        const long long ms = MsSince(t0);
        EXPECT_GT(n, 0u);
        EXPECT_LT(n, big.size());
        if (timeout != VI_TMO_IMMEDIATE) {
            EXPECT_GE(ms, 150);
        }
        EXPECT_LT(ms, 5000);
        EXPECT_EQ(viPrintf(s.vi, "%s", big.c_str()), VI_ERROR_TMO);
    }
}

// --- termination and count -------------------------------------------------

struct TermCase {
    const char* what;
    std::string first;   // sent before the command (empty: none)
    std::string reply;   // the answer to "Q", 50 ms after it
    bool termEnabled;
    ViUInt8 termChar;
    ViUInt32 count;
    ViStatus expected;
    std::string got;
    std::string next;    // what a second read (termination on) gives
};

TEST(IoRead, TerminationAndCount) {
    const TermCase cases[] = {
        {"stops at the termination character", "", "12.5\n", true, '\n', 100, VI_SUCCESS_TERM_CHAR, "12.5\n", ""},
        {"count reached on the termination character", "", "12.5\n", true, '\n', 5, VI_SUCCESS_TERM_CHAR, "12.5\n", ""},
        {"count reached before it", "", "12.5\n", true, '\n', 3, VI_SUCCESS_MAX_CNT, "12.", "5\n"},
        {"count of one", "", "12.5\n", true, '\n', 1, VI_SUCCESS_MAX_CNT, "1", "2.5\n"},
        {"two lines in one segment", "", "A\nB\n", true, '\n', 100, VI_SUCCESS_TERM_CHAR, "A\n", "B\n"},
        {"reply in two segments", "12.", "5\n", true, '\n', 100, VI_SUCCESS_TERM_CHAR, "12.5\n", ""},
        {"another termination character", "", "a;b\n", true, ';', 100, VI_SUCCESS_TERM_CHAR, "a;", "b\n"},
        {"disabled: ends on the count", "", "12.5\n", false, '\n', 5, VI_SUCCESS_MAX_CNT, "12.5\n", ""},
        {"disabled: reads over line feeds", "", "A\nB\n", false, '\n', 4, VI_SUCCESS_MAX_CNT, "A\nB\n", ""},
        {"disabled: else ends on the time-out", "", "12.5\n", false, '\n', 100, VI_ERROR_TMO, "12.5\n", ""},
    };
    FakeInstrument fake;
    for (const TermCase& c : cases) {
        SCOPED_TRACE(c.what);
        fake.replyAfter("Q", 50ms, c.reply);
        Opened s(fake.resource(), 1000);
        ASSERT_EQ(s.status, VI_SUCCESS);
        s.TermChar(c.termEnabled, c.termChar);
        if (!c.first.empty()) {
            ASSERT_TRUE(fake.send(c.first));
        }
        ASSERT_EQ(viPrintf(s.vi, "Q\n"), VI_SUCCESS);
        char buf[128] = {};
        ViUInt32 n = 12345;
        EXPECT_EQ(viRead(s.vi, reinterpret_cast<ViPBuf>(buf), c.count, &n), c.expected);
        EXPECT_EQ(std::string(buf, n), c.got);
        if (!c.next.empty()) {
            s.TermChar(true, '\n');
            std::memset(buf, 0, sizeof buf);
            EXPECT_EQ(viRead(s.vi, reinterpret_cast<ViPBuf>(buf), sizeof buf, &n), VI_SUCCESS_TERM_CHAR);
            EXPECT_EQ(std::string(buf, n), c.next);
        }
    }
}

// --- connection loss -------------------------------------------------------

struct LossCase {
    const char* what;
    std::string reply;  // sent, then the connection is closed
    bool termEnabled;
    std::function<ViStatus(ViSession, std::string& got)> op;
    ViStatus expected;
    std::string got;
};

TEST(IoRead, ConnectionLostMidReply) {
    const auto query = [](ViSession v, std::string& got) -> ViStatus {
        if (viPrintf(v, "Q\n") != VI_SUCCESS) return VI_ERROR_SYSTEM_ERROR;
        char buf[64];
        ViUInt32 n = 0;
        const ViStatus st = viRead(v, reinterpret_cast<ViPBuf>(buf), sizeof buf, &n);
        got.assign(buf, n);
        return st;
    };
    const auto scan = [](ViSession v, std::string& got) -> ViStatus {
        ViReal64 x = -1;
        const ViStatus st = viQueryf(v, "Q\n", "%lf%*t", &x);
        got = std::to_string(x);
        return st;
    };
    const LossCase cases[] = {
        {"viRead of a cut reply", "12.", true, query, VI_ERROR_CONN_LOST, "12."},
        {"viRead, nothing before the close", "", true, query, VI_ERROR_CONN_LOST, ""},
        {"viRead without termination", "12.5\n", false, query, VI_ERROR_CONN_LOST, "12.5\n"},
        {"viRead of a whole line before the close", "12.5\n", true, query, VI_SUCCESS_TERM_CHAR, "12.5\n"},
        {"viQueryf of a cut reply", "12.", true, scan, VI_ERROR_CONN_LOST, ""},
        {"viQueryf, nothing before the close", "", true, scan, VI_ERROR_CONN_LOST, "-1.000000"},
        {"viQueryf of a whole line before the close", "12.5\n", true, scan, VI_SUCCESS, "12.500000"},
    };
    FakeInstrument fake;
    for (const LossCase& c : cases) {
        SCOPED_TRACE(c.what);
        fake.replyThenClose("Q", c.reply);
        Opened s(fake.resource(), 10000);
        ASSERT_EQ(s.status, VI_SUCCESS);
        s.TermChar(c.termEnabled);
        std::string got;
        const auto t0 = Clock::now();
        EXPECT_EQ(c.op(s.vi, got), c.expected);
        EXPECT_LT(MsSince(t0), 5000);  // the close is seen at once, not on the time-out
        if (!c.got.empty()) {
            EXPECT_EQ(got, c.got);
        }
        // Once the connection is gone, every operation says so.
        unsigned char b[4];
        ViUInt32 n = 9;
        EXPECT_EQ(viRead(s.vi, b, sizeof b, &n), VI_ERROR_CONN_LOST);
        EXPECT_EQ(n, 0u);
        EXPECT_EQ(viPrintf(s.vi, "Q\n"), VI_ERROR_CONN_LOST);
    }
}

// --- writing to a closed peer ----------------------------------------------

TEST(IoWrite, ClosedPeerGivesConnLostAndNoSigpipe) {
    SigpipeWatch watch;
    {
        // The library checks for a closed peer before a send when the session
        // has been idle (here: the close came while nothing was sent).
        SCOPED_TRACE("peer closed while the session was idle");
        FakeInstrument fake;
        Opened s(fake.resource());
        ASSERT_EQ(s.status, VI_SUCCESS);
        ASSERT_EQ(viPrintf(s.vi, "A\n"), VI_SUCCESS);
        ASSERT_TRUE(fake.waitForLines(1));
        fake.closeConnections();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        ViUInt32 n = 9;
        EXPECT_EQ(viWrite(s.vi, reinterpret_cast<ViConstBuf>("B\n"), 2, &n), VI_ERROR_CONN_LOST);
        EXPECT_EQ(n, 0u);
        EXPECT_EQ(viPrintf(s.vi, "C %ld\n", 1), VI_ERROR_CONN_LOST);
        ViInt32 x = 0;
        EXPECT_EQ(viQueryf(s.vi, "D\n", "%ld", &x), VI_ERROR_CONN_LOST);
        EXPECT_FALSE(watch.Raised());
        EXPECT_EQ(fake.lines(), std::vector<std::string>{"A"});
    }
    {
        // ... and right after a read: the close came with the reply, and the
        // command that follows at once is refused, not lost.
        SCOPED_TRACE("peer closed with the reply the session just read");
        FakeInstrument fake;
        fake.replyThenClose("A", "1\n");
        Opened s(fake.resource());
        ASSERT_EQ(s.status, VI_SUCCESS);
        s.TermChar(true);
        ViInt32 x = 0;
        ASSERT_EQ(viQueryf(s.vi, "A\n", "%ld", &x), VI_SUCCESS);
        EXPECT_EQ(x, 1);
        EXPECT_EQ(viPrintf(s.vi, "B\n"), VI_ERROR_CONN_LOST);
        EXPECT_FALSE(watch.Raised());
    }
    // The peer goes away while a long write is under way: it resets at once,
    // or it first closes its side (the write goes on into a half-closed
    // connection) and then resets, which makes the next send fail with EPIPE.
    for (const bool halfCloseFirst : {false, true}) {
        SCOPED_TRACE(halfCloseFirst ? "peer closed its side, then reset, during a long write"
                                    : "peer reset the connection during a long write");
        RawPeer peer;
        Opened s(peer.resource(), 10000);
        ASSERT_EQ(s.status, VI_SUCCESS);
        ASSERT_TRUE(peer.Accept());
        std::atomic<ViStatus> st{VI_SUCCESS};
        std::atomic<ViUInt32> n{0};
        std::atomic<bool> raised{false};
        constexpr std::size_t kBig = 64u << 20;
        std::thread writer([&] {
            SigpipeWatch inThread;
            const std::string big(kBig, 'x');
            ViUInt32 k = 0;
            st = viWrite(s.vi, reinterpret_cast<ViConstBuf>(big.data()), static_cast<ViUInt32>(big.size()), &k);
            n = k;
            // And again on the dead connection.
            if (viWrite(s.vi, reinterpret_cast<ViConstBuf>("x"), 1, &k) != VI_ERROR_CONN_LOST) st = VI_ERROR_SYSTEM_ERROR;
            raised = inThread.Raised();
        });
        if (halfCloseFirst) {
            // Reads 1 MiB, closes its sending side, reads 1 MiB more.
            char buf[65536];
            std::size_t got = 0;
            bool shut = false;
            const auto deadline = Clock::now() + 10s;
            while (got < (2u << 20) && Clock::now() < deadline) {
                pollfd p{peer.fd(), POLLIN, 0};
                if (::poll(&p, 1, 100) != 1) continue;
                const ssize_t k = ::recv(peer.fd(), buf, sizeof buf, MSG_DONTWAIT);
                if (k <= 0) break;
                got += static_cast<std::size_t>(k);
                if (!shut && got >= (1u << 20)) {
                    ::shutdown(peer.fd(), SHUT_WR);
                    shut = true;
                }
            }
            EXPECT_TRUE(shut);
        } else {
            std::this_thread::sleep_for(200ms);
        }
        peer.CloseConnection();  // unread data: the peer answers with a reset
        writer.join();
        EXPECT_EQ(st.load(), VI_ERROR_CONN_LOST) << StatusText(st.load());
        EXPECT_LT(n.load(), kBig);
        EXPECT_FALSE(raised.load());
    }
}

// --- the stale-input rule of viQueryf --------------------------------------

struct StaleCase {
    const char* what;
    std::function<void(FakeInstrument&, ViSession)> leave;  // leaves "999" behind somewhere
};

TEST_F(Io, EarlierInputNeverAnswersALaterQuery) {
    fake.reply("NEXT", "222\n");
    const StaleCase cases[] = {
        {"rest of a reply read in part by viQueryf",
         [](FakeInstrument& f, ViSession v) {
             f.reply("A", "111 999\n");
             ViInt32 x = 0;
             EXPECT_EQ(viQueryf(v, "A\n", "%ld", &x), VI_SUCCESS);
             EXPECT_EQ(x, 111);
         }},
        {"rest of a reply read in part by viRead",
         [](FakeInstrument& f, ViSession v) {
             f.reply("A", "999\n");
             unsigned char b[2];
             ViUInt32 n = 0;
             EXPECT_EQ(viPrintf(v, "A\n"), VI_SUCCESS);
             EXPECT_EQ(viRead(v, b, 2, &n), VI_SUCCESS_MAX_CNT);
         }},
        {"a second line in the same reply",
         [](FakeInstrument& f, ViSession v) {
             f.reply("A", "111\n999\n");
             ViInt32 x = 0;
             EXPECT_EQ(viQueryf(v, "A\n", "%ld%*t", &x), VI_SUCCESS);
             EXPECT_EQ(x, 111);
         }},
        {"a line nobody asked for, waiting on the connection",
         [](FakeInstrument& f, ViSession) { EXPECT_TRUE(f.send("999\n")); }},
        {"a reply that came after a time-out",
         [](FakeInstrument& f, ViSession v) {
             f.replyAfter("A", 800ms, "999\n");
             // Every line of this test is answered: once as many replies as
             // lines are out, the late one waits on the connection.
             const std::size_t lines = f.lines().size() + 1;
             EXPECT_EQ(viSetAttribute(v, VI_ATTR_TMO_VALUE, 100), VI_SUCCESS);
             ViInt32 x = 0;
             EXPECT_EQ(viQueryf(v, "A\n", "%ld%*t", &x), VI_ERROR_TMO);
             EXPECT_TRUE(f.waitForLines(lines));
             EXPECT_TRUE(f.waitForReplies(lines));
             EXPECT_EQ(viSetAttribute(v, VI_ATTR_TMO_VALUE, 2000), VI_SUCCESS);
         }},
    };
    for (const StaleCase& c : cases) {
        SCOPED_TRACE(c.what);
        c.leave(fake, vi);
        ViInt32 x = 0;
        EXPECT_EQ(viQueryf(vi, "NEXT\n", "%ld%*t", &x), VI_SUCCESS);
        EXPECT_EQ(x, 222);
    }
}

// viRead works on the connection, not on the formatted-I/O buffer: what a
// formatted read buffered and did not use never comes back from it.
TEST_F(Io, FormattedLeftoversNeverComeBackFromViRead) {
    fake.reply("NEXT", "222\n");
    const StaleCase cases[] = {
        {"a reply a failed viQueryf could not scan",
         [](FakeInstrument& f, ViSession v) {
             f.reply("A", "abc\n");
             ViReal64 x = 0;
             EXPECT_EQ(viQueryf(v, "A\n", "%lf%*t", &x), VI_ERROR_IO);
         }},
        {"rest of a reply and a second line after viScanf",
         [](FakeInstrument& f, ViSession v) {
             f.reply("A", "111 999\n999\n");
             ViInt32 x = 0;
             EXPECT_EQ(viPrintf(v, "A\n"), VI_SUCCESS);
             EXPECT_EQ(viScanf(v, "%ld", &x), VI_SUCCESS);
             EXPECT_EQ(x, 111);
         }},
    };
    for (const StaleCase& c : cases) {
        SCOPED_TRACE(c.what);
        c.leave(fake, vi);
        char buf[64] = {};
        ViUInt32 n = 0;
        EXPECT_EQ(viWrite(vi, reinterpret_cast<ViConstBuf>("NEXT\n"), 5, &n), VI_SUCCESS);
        EXPECT_EQ(viRead(vi, reinterpret_cast<ViPBuf>(buf), sizeof buf, &n), VI_SUCCESS_TERM_CHAR);
        EXPECT_EQ(std::string(buf, n), "222\n");
    }
}

// --- endless and flooding peers --------------------------------------------

struct FloodCase {
    const char* what;
    std::string chunk;  // repeated by the peer
    bool shutAfter;     // the peer closes once it sent everything
    std::function<ViStatus(ViSession)> op;
    ViStatus expected;
};

TEST(IoFlood, EndlessLineAndFloodDoNotGrowMemory) {
    constexpr std::size_t kTotal = 96u << 20;
    const FloodCase cases[] = {
        {"endless line through %*t", std::string(65536, 'x'), true,
         [](ViSession v) { return viScanf(v, "%*t"); }, VI_ERROR_CONN_LOST},
        {"endless line into %#[^\\n]", std::string(65536, 'x'), true,
         [](ViSession v) {
             char buf[64];
             ViInt32 n = sizeof buf;
             return viScanf(v, "%#[^\n]%*t", &n, buf);
         },
         VI_ERROR_CONN_LOST},
        {"endless number", std::string(65536, '1'), false,
         [](ViSession v) {
             ViReal64 x = 0;
             return viQueryf(v, "Q\n", "%lf%*t", &x);
         },
         VI_ERROR_IO},
        {"flood of lines", [] {
             std::string s;
             for (int i = 0; i < 8192; ++i) s += "1.0 V\n";
             return s;
         }(),
         false,
         [](ViSession v) {
             ViStatus st = VI_SUCCESS;
             for (int i = 0; i < 50 && st == VI_SUCCESS; ++i) st = viQueryf(v, "Q\n", "%*t");
             return st;
         },
         VI_SUCCESS},
    };
    for (const FloodCase& c : cases) {
        SCOPED_TRACE(c.what);
        RawPeer peer;
        Opened s(peer.resource(), 30000);
        ASSERT_EQ(s.status, VI_SUCCESS);
        s.TermChar(true);
        ASSERT_TRUE(peer.Accept());
        const long before = ResidentKb();
        std::atomic<bool> stop{false};
        std::thread flood([&] { Flood(peer.fd(), c.chunk, kTotal, stop, c.shutAfter); });
        const auto t0 = Clock::now();
        const ViStatus st = c.op(s.vi);
        const long long ms = MsSince(t0);
        const long after = ResidentKb();
        stop = true;
        flood.join();
        EXPECT_EQ(st, c.expected) << StatusText(st);
        EXPECT_LT(ms, 60000);
#ifndef VARNEL_TEST_SANITIZED
        EXPECT_LT(after - before, 32 * 1024) << "kB of resident memory gained";
#else
        (void)before;
        (void)after;
#endif
    }
}

// --- threads -----------------------------------------------------------------

TEST(IoThreads, TwoThreadsAtOnceEachGetTheirOwnReplies) {
    FakeInstrument fake;
    fake.reply("A", "1\n");
    fake.reply("B", "2\n");
    for (const bool shared : {false, true}) {
        SCOPED_TRACE(shared ? "one session shared by both" : "a session each");
        Opened a(fake.resource()), b(fake.resource());
        ASSERT_EQ(a.status, VI_SUCCESS);
        ASSERT_EQ(b.status, VI_SUCCESS);
        a.TermChar(true);
        b.TermChar(true);
        std::atomic<int> wrong{0};
        const auto run = [&](ViSession v, const char* cmd, ViInt32 want) {
            for (int i = 0; i < 200; ++i) {
                ViInt32 x = 0;
                if (viQueryf(v, cmd, "%ld%*t", &x) != VI_SUCCESS || x != want) ++wrong;
            }
        };
        std::thread ta(run, a.vi, "A\n", 1);
        std::thread tb(run, shared ? a.vi : b.vi, "B\n", 2);
        ta.join();
        tb.join();
        EXPECT_EQ(wrong.load(), 0);
    }
}

// --- closing while a read is blocked ---------------------------------------

struct BlockedCase {
    const char* what;
    std::function<ViStatus(ViSession)> op;  // blocks: the instrument never answers
    bool sendsCommand;                      // the op sends "Q\n" before it reads
    bool closeManager;                      // else the session itself is closed
};

TEST(IoClose, ClosingWakesABlockedRead) {
    const auto read = [](ViSession v) {
        unsigned char b[16];
        ViUInt32 n = 0;
        return viRead(v, b, sizeof b, &n);
    };
    const auto scan = [](ViSession v) {
        ViReal64 x = 0;
        return viScanf(v, "%lf", &x);
    };
    const auto query = [](ViSession v) {
        ViReal64 x = 0;
        return viQueryf(v, "Q\n", "%lf%*t", &x);
    };
    const BlockedCase cases[] = {
        {"viRead, resource manager closed", read, false, true},
        {"viScanf, resource manager closed", scan, false, true},
        {"viQueryf, resource manager closed", query, true, true},
        {"viRead, session closed", read, false, false},
        {"viQueryf, session closed", query, true, false},
    };
    FakeInstrument fake;  // answers nothing
    for (const BlockedCase& c : cases) {
        SCOPED_TRACE(c.what);
        ViSession rm = VI_NULL, vi = VI_NULL;
        ASSERT_EQ(viOpenDefaultRM(&rm), VI_SUCCESS);
        ASSERT_EQ(viOpen(rm, fake.resource().c_str(), VI_NO_LOCK, 2000, &vi), VI_SUCCESS);
        // Long enough that only the close can end the read in the bounds below.
        ASSERT_EQ(viSetAttribute(vi, VI_ATTR_TMO_VALUE, 20000), VI_SUCCESS);
        const std::size_t lines = fake.lines().size();
        std::atomic<ViStatus> st{VI_SUCCESS};
        std::atomic<long long> ms{-1};
        std::thread reader([&] {
            const auto t0 = Clock::now();
            st = c.op(vi);
            ms = MsSince(t0);
        });
        if (c.sendsCommand) {
            EXPECT_TRUE(fake.waitForLines(lines + 1));
        }
        std::this_thread::sleep_for(200ms);  // let the reader block
        const auto t0 = Clock::now();
        EXPECT_EQ(viClose(c.closeManager ? rm : vi), VI_SUCCESS);
        reader.join();
        EXPECT_LT(MsSince(t0), 5000);
        EXPECT_LT(st.load(), 0);
        EXPECT_NE(st.load(), VI_ERROR_TMO) << "woke only on the time-out, after " << ms.load() << " ms";
        // The session is gone.
        unsigned char b[4];
        ViUInt32 n = 0;
        EXPECT_EQ(viRead(vi, b, sizeof b, &n), VI_ERROR_INV_OBJECT);
        EXPECT_EQ(viClose(vi), VI_ERROR_INV_OBJECT);
        if (!c.closeManager) {
            EXPECT_EQ(viClose(rm), VI_SUCCESS);
        }
    }
}

// A write blocked on a peer that does not read wakes as well.
TEST(IoClose, ClosingWakesABlockedWrite) {
    RawPeer peer;
    Opened s(peer.resource(), 20000);
    ASSERT_EQ(s.status, VI_SUCCESS);
    ASSERT_TRUE(peer.Accept());
    std::atomic<ViStatus> st{VI_SUCCESS};
    std::thread writer([&] {
        const std::string big(64u << 20, 'x');
        ViUInt32 n = 0;
        st = viWrite(s.vi, reinterpret_cast<ViConstBuf>(big.data()), static_cast<ViUInt32>(big.size()), &n);
    });
    std::this_thread::sleep_for(200ms);
    const auto t0 = Clock::now();
    EXPECT_EQ(viClose(s.vi), VI_SUCCESS);
    writer.join();
    EXPECT_LT(MsSince(t0), 5000);
    EXPECT_LT(st.load(), 0);
    EXPECT_NE(st.load(), VI_ERROR_TMO);
}

}  // namespace
