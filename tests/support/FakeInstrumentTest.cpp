// The fake instrument itself, driven through plain sockets.
#include "FakeInstrument.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <string>

#include <gtest/gtest.h>

using namespace std::chrono_literals;
using varnel::test::FakeInstrument;
using varnel::test::Response;

namespace {

class Client {
public:
    explicit Client(std::uint16_t port) {
        fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = htons(port);
        connected_ = ::connect(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    }
    ~Client() { Close(); }
    void Close() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }
    bool connected() const { return connected_; }
    void Send(const std::string& s) { ASSERT_EQ(::send(fd_, s.data(), s.size(), MSG_NOSIGNAL), static_cast<ssize_t>(s.size())); }
    // Reads until n bytes came, the peer closed or the time ran out.
    std::string Read(std::size_t n, std::chrono::milliseconds timeout, bool* closed = nullptr) {
        std::string got;
        const auto end = std::chrono::steady_clock::now() + timeout;
        if (closed) *closed = false;
        while (got.size() < n) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now()).count();
            if (left <= 0) break;
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, static_cast<int>(left)) <= 0) break;
            char buf[4096];
            const ssize_t k = ::recv(fd_, buf, sizeof buf, 0);
            if (k <= 0) {
                if (closed) *closed = true;
                break;
            }
            got.append(buf, static_cast<std::size_t>(k));
        }
        return got;
    }

private:
    int fd_ = -1;
    bool connected_ = false;
};

TEST(FakeInstrument, ResourceNamesItsPort) {
    FakeInstrument fake;
    EXPECT_NE(fake.port(), 0);
    EXPECT_EQ(fake.resource(), "TCPIP::127.0.0.1::" + std::to_string(fake.port()) + "::SOCKET");
}

TEST(FakeInstrument, RecordsLinesAndBytesAndReplies) {
    FakeInstrument fake;
    fake.reply("MV", "12.5\n");
    Client c(fake.port());
    ASSERT_TRUE(c.connected());
    c.Send("MV\nCC 2.5\r\nPART");
    EXPECT_EQ(c.Read(5, 2s), "12.5\n");
    ASSERT_TRUE(fake.waitForLines(2, 2s));
    EXPECT_EQ(fake.lines(), (std::vector<std::string>{"MV", "CC 2.5\r"}));
    EXPECT_EQ(fake.bytes(), "MV\nCC 2.5\r\nPART");
    // The count follows the send, so the client may see the reply first.
    EXPECT_TRUE(fake.waitForReplies(1, 2s));
    EXPECT_EQ(fake.repliesSent(), 1u);
    fake.clear();
    EXPECT_TRUE(fake.lines().empty());
    EXPECT_TRUE(fake.bytes().empty());
}

TEST(FakeInstrument, UnscriptedLinesGetTheDefault) {
    FakeInstrument fake;
    Client c(fake.port());
    c.Send("X?\n");
    EXPECT_EQ(c.Read(1, 200ms), "");
    fake.setDefault(Response{"ERR\n", 0ms, false});
    c.Send("Y?\n");
    EXPECT_EQ(c.Read(4, 2s), "ERR\n");
    fake.noReply("Y?");
    c.Send("Y?\n");
    EXPECT_EQ(c.Read(1, 200ms), "");
}

TEST(FakeInstrument, DelayedRepliesKeepTheirOrder) {
    FakeInstrument fake;
    fake.replyAfter("A", 300ms, "a\n");
    fake.reply("B", "b\n");
    Client c(fake.port());
    const auto t0 = std::chrono::steady_clock::now();
    c.Send("A\nB\n");
    EXPECT_EQ(c.Read(4, 3s), "a\nb\n");
    EXPECT_GE(std::chrono::steady_clock::now() - t0, 290ms);
}

TEST(FakeInstrument, ReplyThenCloseCutsTheConnectionAndAcceptsAnother) {
    FakeInstrument fake;
    fake.replyThenClose("MV", "12.");
    {
        Client c(fake.port());
        c.Send("MV\n");
        bool closed = false;
        EXPECT_EQ(c.Read(100, 2s, &closed), "12.");
        EXPECT_TRUE(closed);
    }
    fake.reply("MV", "1\n");
    Client again(fake.port());
    ASSERT_TRUE(again.connected());
    again.Send("MV\n");
    EXPECT_EQ(again.Read(2, 2s), "1\n");
    EXPECT_EQ(fake.connectionCount(), 2u);
}

TEST(FakeInstrument, SendAndCloseConnectionsActNow) {
    FakeInstrument fake;
    EXPECT_FALSE(fake.send("nobody\n"));
    Client c(fake.port());
    c.Send("HELLO\n");
    ASSERT_TRUE(fake.waitForLines(1, 2s));
    EXPECT_TRUE(fake.send("unsolicited\n"));
    EXPECT_EQ(c.Read(12, 2s), "unsolicited\n");
    fake.closeConnections();
    bool closed = false;
    c.Read(1, 2s, &closed);
    EXPECT_TRUE(closed);
}

// A client that has just connected gets bytes sent right after, and is
// closed by a close right after.
TEST(FakeInstrument, SendAndCloseReachAConnectionJustMade) {
    FakeInstrument fake;
    for (int i = 0; i < 20; ++i) {
        SCOPED_TRACE(i);
        Client c(fake.port());
        ASSERT_TRUE(c.connected());
        EXPECT_TRUE(fake.send("hi\n"));
        EXPECT_EQ(c.Read(3, 2s), "hi\n");
        Client d(fake.port());
        ASSERT_TRUE(d.connected());
        fake.closeConnections();
        bool closed = false;
        d.Read(1, 2s, &closed);
        EXPECT_TRUE(closed);
    }
}

TEST(FakeInstrument, LongRepliesToAClientThatDoesNotReadDoNotBlockTheDestructor) {
    const auto t0 = std::chrono::steady_clock::now();
    {
        FakeInstrument fake;
        fake.reply("BIG", std::string(64 << 20, 'x'));
        Client c(fake.port());
        c.Send("BIG\n");
        ASSERT_TRUE(fake.waitForLines(1, 2s));
    }
    EXPECT_LT(std::chrono::steady_clock::now() - t0, 3s);
}

}  // namespace
