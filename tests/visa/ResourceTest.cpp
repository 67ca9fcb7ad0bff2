// Resource descriptors, sessions and attributes.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "VisaTestSupport.h"

using namespace std::chrono_literals;
using varnel::test::FakeInstrument;
using varnel::test::VisaFixture;

namespace {

// A port on which nothing listens.
std::uint16_t ClosedPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    ::close(fd);
    return ntohs(a.sin_port);
}

std::string Replace(std::string s, const std::string& port, const std::string& closed) {
    for (std::size_t at; (at = s.find("<P>")) != std::string::npos;) s.replace(at, 3, port);
    for (std::size_t at; (at = s.find("<C>")) != std::string::npos;) s.replace(at, 3, closed);
    return s;
}

struct DescriptorCase {
    const char* descriptor;  // <P>: the fake's port, <C>: a closed port
    ViStatus expected;
    const char* canonical;   // VI_ATTR_RSRC_NAME when it opens
};

const DescriptorCase kDescriptors[] = {
    {"TCPIP::127.0.0.1::<P>::SOCKET", VI_SUCCESS, "TCPIP0::127.0.0.1::<P>::SOCKET"},
    {"TCPIP0::127.0.0.1::<P>::SOCKET", VI_SUCCESS, "TCPIP0::127.0.0.1::<P>::SOCKET"},
    {"tcpip::127.0.0.1::<P>::socket", VI_SUCCESS, "TCPIP0::127.0.0.1::<P>::SOCKET"},
    {"TcpIp3::127.0.0.1::<P>::Socket", VI_SUCCESS, "TCPIP3::127.0.0.1::<P>::SOCKET"},
    {"TCPIP::localhost::<P>::SOCKET", VI_SUCCESS, "TCPIP0::localhost::<P>::SOCKET"},
    // Well formed, nothing there.
    {"TCPIP::127.0.0.1::<C>::SOCKET", VI_ERROR_RSRC_NFOUND, nullptr},
    {"TCPIP::[::1]::<C>::SOCKET", VI_ERROR_RSRC_NFOUND, nullptr},
    // Well formed, a resource class this library does not provide.
    {"TCPIP::127.0.0.1::INSTR", VI_ERROR_RSRC_NFOUND, nullptr},
    {"TCPIP0::127.0.0.1::inst0::INSTR", VI_ERROR_RSRC_NFOUND, nullptr},
    {"GPIB0::5::INSTR", VI_ERROR_RSRC_NFOUND, nullptr},
    {"ASRL1::INSTR", VI_ERROR_RSRC_NFOUND, nullptr},
    {"USB0::0x1234::0x5678::SN1::INSTR", VI_ERROR_RSRC_NFOUND, nullptr},
    // Malformed.
    {"", VI_ERROR_INV_RSRC_NAME, nullptr},
    {"foo", VI_ERROR_INV_RSRC_NAME, nullptr},
    {"TCPIP", VI_ERROR_INV_RSRC_NAME, nullptr},
    {"TCPIP::", VI_ERROR_INV_RSRC_NAME, nullptr},
    {"TCPIP::127.0.0.1", VI_ERROR_INV_RSRC_NAME, nullptr},
    {"TCPIP::127.0.0.1::SOCKET", VI_ERROR_INV_RSRC_NAME, nullptr},
    {"TCPIP::127.0.0.1::<P>", VI_ERROR_INV_RSRC_NAME, nullptr},
    {"TCPIP::127.0.0.1::<P>::", VI_ERROR_INV_RSRC_NAME, nullptr},
    {"TCPIP::127.0.0.1::<P>::SOCKETS", VI_ERROR_INV_RSRC_NAME, nullptr},
    {"TCPIP::127.0.0.1::<P>::SOCKET::X", VI_ERROR_INV_RSRC_NAME, nullptr},
    {"TCPIP::::<P>::SOCKET", VI_ERROR_INV_RSRC_NAME, nullptr},
    {"TCPIP::127.0.0.1::0::SOCKET", VI_ERROR_INV_RSRC_NAME, nullptr},
    {"TCPIP::127.0.0.1::65536::SOCKET", VI_ERROR_INV_RSRC_NAME, nullptr},
    {"TCPIP::127.0.0.1::-1::SOCKET", VI_ERROR_INV_RSRC_NAME, nullptr},
    {"TCPIP::127.0.0.1::+80::SOCKET", VI_ERROR_INV_RSRC_NAME, nullptr},
    {"TCPIP::127.0.0.1::http::SOCKET", VI_ERROR_INV_RSRC_NAME, nullptr},
    {"TCPIP::127.0.0.1:: <P>::SOCKET", VI_ERROR_INV_RSRC_NAME, nullptr},
    {"TCPIPX::127.0.0.1::<P>::SOCKET", VI_ERROR_INV_RSRC_NAME, nullptr},
    {"TCPIP123456::127.0.0.1::<P>::SOCKET", VI_ERROR_INV_RSRC_NAME, nullptr},
    {"TCPIP:127.0.0.1:<P>:SOCKET", VI_ERROR_INV_RSRC_NAME, nullptr},
    {"TCPIP::[::1::<P>::SOCKET", VI_ERROR_INV_RSRC_NAME, nullptr},
    {"TCPIP::[zz::1]::<P>::SOCKET", VI_ERROR_INV_RSRC_NAME, nullptr},
    {"TCPIP::[127.0.0.1]::<P>::SOCKET", VI_ERROR_INV_RSRC_NAME, nullptr},
    {"TCPIP::::1::<P>::SOCKET", VI_ERROR_INV_RSRC_NAME, nullptr},
    {"TCPIP::999.1.1.1::<P>::SOCKET", VI_ERROR_INV_RSRC_NAME, nullptr},
    {"TCPIP::127.0.0::<P>::SOCKET", VI_ERROR_INV_RSRC_NAME, nullptr},
    {"TCPIP::bad host::<P>::SOCKET", VI_ERROR_INV_RSRC_NAME, nullptr},
    {"TCPIP::a..b::<P>::SOCKET", VI_ERROR_INV_RSRC_NAME, nullptr},
    {"TCPIP::.a::<P>::SOCKET", VI_ERROR_INV_RSRC_NAME, nullptr},
    {"GPIB0::", VI_ERROR_INV_RSRC_NAME, nullptr},
};

TEST(Descriptor, EachCaseGivesItsStatus) {
    FakeInstrument fake;
    const std::string port = std::to_string(fake.port());
    const std::string closed = std::to_string(ClosedPort());
    ViSession rm = VI_NULL;
    ASSERT_EQ(viOpenDefaultRM(&rm), VI_SUCCESS);
    for (const DescriptorCase& c : kDescriptors) {
        const std::string d = Replace(c.descriptor, port, closed);
        SCOPED_TRACE(d);
        ViSession vi = 12345;
        EXPECT_EQ(viOpen(rm, d.c_str(), VI_NO_LOCK, 2000, &vi), c.expected);
        if (c.expected == VI_SUCCESS) {
            char name[256] = "";
            EXPECT_EQ(viGetAttribute(vi, VI_ATTR_RSRC_NAME, name), VI_SUCCESS);
            EXPECT_EQ(std::string(name), Replace(c.canonical, port, closed));
            EXPECT_EQ(viClose(vi), VI_SUCCESS);
        } else {
            EXPECT_EQ(vi, static_cast<ViSession>(VI_NULL));
        }
    }
    ViSession vi = 1;
    EXPECT_EQ(viOpen(rm, nullptr, VI_NO_LOCK, 2000, &vi), VI_ERROR_INV_RSRC_NAME);
    EXPECT_EQ(viClose(rm), VI_SUCCESS);
}

TEST(Descriptor, BracketedIpv6OpensWhenSomethingListens) {
    const int fd = ::socket(AF_INET6, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_in6 a{};
    a.sin6_family = AF_INET6;
    a.sin6_addr = in6addr_loopback;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(fd, 4) != 0) {
        ::close(fd);
        GTEST_SKIP() << "no IPv6 loopback here";
    }
    socklen_t len = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    const std::string d = "TCPIP::[::1]::" + std::to_string(ntohs(a.sin6_port)) + "::SOCKET";
    ViSession rm, vi;
    ASSERT_EQ(viOpenDefaultRM(&rm), VI_SUCCESS);
    EXPECT_EQ(viOpen(rm, d.c_str(), VI_NO_LOCK, 2000, &vi), VI_SUCCESS);
    char addr[256] = "";
    EXPECT_EQ(viGetAttribute(vi, VI_ATTR_TCPIP_ADDR, addr), VI_SUCCESS);
    EXPECT_STREQ(addr, "::1");
    char name[256] = "";
    EXPECT_EQ(viGetAttribute(vi, VI_ATTR_RSRC_NAME, name), VI_SUCCESS);
    EXPECT_EQ(std::string(name), "TCPIP0::[::1]::" + std::to_string(ntohs(a.sin6_port)) + "::SOCKET");
    viClose(rm);
    ::close(fd);
}

TEST(Descriptor, OpenTimeOutBoundsTheConnect) {
    // A listener that never accepts, with its queue filled: further
    // connection attempts get no answer.
    const int lfd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(lfd, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    ASSERT_EQ(::listen(lfd, 0), 0);
    socklen_t len = sizeof a;
    ::getsockname(lfd, reinterpret_cast<sockaddr*>(&a), &len);
    std::vector<int> fillers;
    for (int i = 0; i < 8; ++i) {
        const int f = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
        ::connect(f, reinterpret_cast<sockaddr*>(&a), sizeof a);
        fillers.push_back(f);
    }
    ::usleep(100000);
    const std::string d = "TCPIP::127.0.0.1::" + std::to_string(ntohs(a.sin_port)) + "::SOCKET";
    ViSession rm, vi;
    ASSERT_EQ(viOpenDefaultRM(&rm), VI_SUCCESS);
    const auto t0 = std::chrono::steady_clock::now();
    const ViStatus st = viOpen(rm, d.c_str(), VI_NO_LOCK, 300, &vi);
    const auto took = std::chrono::steady_clock::now() - t0;
    viClose(rm);
    for (int f : fillers) ::close(f);
    ::close(lfd);
    if (st == VI_SUCCESS) GTEST_SKIP() << "this network stack completes connections beyond the backlog";
    EXPECT_EQ(st, VI_ERROR_TMO);
    EXPECT_GE(took, 250ms);
    EXPECT_LT(took, 3s);
}

TEST(Sessions, ResourceManagerRules) {
    ViSession rm = VI_NULL;
    EXPECT_EQ(viOpenDefaultRM(nullptr), VI_ERROR_USER_BUF);
    ASSERT_EQ(viOpenDefaultRM(&rm), VI_SUCCESS);
    ViSession rm2 = VI_NULL;
    ASSERT_EQ(viOpenDefaultRM(&rm2), VI_SUCCESS);
    EXPECT_NE(rm, rm2);
    FakeInstrument fake;
    ViSession vi = VI_NULL;
    EXPECT_EQ(viOpen(rm, fake.resource().c_str(), VI_NO_LOCK, 2000, nullptr), VI_ERROR_USER_BUF);
    EXPECT_EQ(viOpen(0xDEADBEEF, fake.resource().c_str(), VI_NO_LOCK, 2000, &vi), VI_ERROR_INV_OBJECT);
    EXPECT_EQ(viOpen(rm, fake.resource().c_str(), VI_EXCLUSIVE_LOCK, 2000, &vi), VI_ERROR_NSUP_OPER);
    EXPECT_EQ(viOpen(rm, fake.resource().c_str(), VI_SHARED_LOCK, 2000, &vi), VI_ERROR_NSUP_OPER);
    EXPECT_EQ(viOpen(rm, fake.resource().c_str(), 8, 2000, &vi), VI_ERROR_INV_ACC_MODE);
    ASSERT_EQ(viOpen(rm, fake.resource().c_str(), VI_LOAD_CONFIG, 2000, &vi), VI_SUCCESS);
    ViSession other = VI_NULL;
    EXPECT_EQ(viOpen(vi, fake.resource().c_str(), VI_NO_LOCK, 2000, &other), VI_ERROR_NSUP_OPER);
    // I/O on a resource manager session.
    ViUInt32 n = 0;
    unsigned char buf[4];
    EXPECT_EQ(viRead(rm, buf, 4, &n), VI_ERROR_NSUP_OPER);
    EXPECT_EQ(viWrite(rm, buf, 4, &n), VI_ERROR_NSUP_OPER);
    EXPECT_EQ(viPrintf(rm, "X\n"), VI_ERROR_NSUP_OPER);
    // Closing rm2 leaves rm's session alone; closing rm closes it.
    EXPECT_EQ(viClose(rm2), VI_SUCCESS);
    EXPECT_EQ(viPrintf(vi, "A\n"), VI_SUCCESS);
    EXPECT_EQ(viClose(VI_NULL), VI_WARN_NULL_OBJECT);
    EXPECT_EQ(viClose(rm), VI_SUCCESS);
    EXPECT_EQ(viPrintf(vi, "B\n"), VI_ERROR_INV_OBJECT);
    EXPECT_EQ(viClose(vi), VI_ERROR_INV_OBJECT);
    EXPECT_EQ(viClose(rm), VI_ERROR_INV_OBJECT);
    EXPECT_EQ(viOpen(rm, fake.resource().c_str(), VI_NO_LOCK, 2000, &vi), VI_ERROR_INV_OBJECT);
    ASSERT_TRUE(fake.waitForLines(1, 2s));
    EXPECT_EQ(fake.lines(), std::vector<std::string>{"A"});
}

TEST(Sessions, ClosingOneSessionKeepsTheOthers) {
    FakeInstrument fake;
    ViSession rm, a, b;
    ASSERT_EQ(viOpenDefaultRM(&rm), VI_SUCCESS);
    ASSERT_EQ(viOpen(rm, fake.resource().c_str(), VI_NO_LOCK, 2000, &a), VI_SUCCESS);
    ASSERT_EQ(viOpen(rm, fake.resource().c_str(), VI_NO_LOCK, 2000, &b), VI_SUCCESS);
    EXPECT_EQ(viClose(a), VI_SUCCESS);
    EXPECT_EQ(viPrintf(a, "A\n"), VI_ERROR_INV_OBJECT);
    EXPECT_EQ(viPrintf(b, "B\n"), VI_SUCCESS);
    EXPECT_EQ(viClose(rm), VI_SUCCESS);
    EXPECT_EQ(viPrintf(b, "B\n"), VI_ERROR_INV_OBJECT);
    ASSERT_TRUE(fake.waitForLines(1, 2s));
    EXPECT_EQ(fake.lines(), std::vector<std::string>{"B"});
}

using Attributes = VisaFixture;

TEST_F(Attributes, Defaults) {
    ViUInt32 tmo = 0;
    EXPECT_EQ(viGetAttribute(vi, VI_ATTR_TMO_VALUE, &tmo), VI_SUCCESS);
    EXPECT_EQ(tmo, 2000u);
    ViUInt16 intf = 0;
    EXPECT_EQ(viGetAttribute(vi, VI_ATTR_INTF_TYPE, &intf), VI_SUCCESS);
    EXPECT_EQ(intf, VI_INTF_TCPIP);
    ViUInt16 num = 9;
    EXPECT_EQ(viGetAttribute(vi, VI_ATTR_INTF_NUM, &num), VI_SUCCESS);
    EXPECT_EQ(num, 0);
    char text[256];
    EXPECT_EQ(viGetAttribute(vi, VI_ATTR_RSRC_CLASS, text), VI_SUCCESS);
    EXPECT_STREQ(text, "SOCKET");
    EXPECT_EQ(viGetAttribute(vi, VI_ATTR_RSRC_NAME, text), VI_SUCCESS);
    EXPECT_EQ(std::string(text), "TCPIP0::127.0.0.1::" + std::to_string(fake.port()) + "::SOCKET");
    EXPECT_EQ(viGetAttribute(vi, VI_ATTR_TCPIP_ADDR, text), VI_SUCCESS);
    EXPECT_STREQ(text, "127.0.0.1");
    ViUInt16 port = 0;
    EXPECT_EQ(viGetAttribute(vi, VI_ATTR_TCPIP_PORT, &port), VI_SUCCESS);
    EXPECT_EQ(port, fake.port());
    ViUInt8 term = 0;
    EXPECT_EQ(viGetAttribute(vi, VI_ATTR_TERMCHAR, &term), VI_SUCCESS);
    EXPECT_EQ(term, '\n');
    ViBoolean en = VI_TRUE;
    EXPECT_EQ(viGetAttribute(vi, VI_ATTR_TERMCHAR_EN, &en), VI_SUCCESS);
    EXPECT_EQ(en, VI_FALSE);
}

TEST_F(Attributes, SetAndGetBack) {
    for (ViUInt32 t : {ViUInt32(0), ViUInt32(1), ViUInt32(250), ViUInt32(VI_TMO_INFINITE)}) {
        EXPECT_EQ(viSetAttribute(vi, VI_ATTR_TMO_VALUE, t), VI_SUCCESS);
        ViUInt32 got = 7;
        EXPECT_EQ(viGetAttribute(vi, VI_ATTR_TMO_VALUE, &got), VI_SUCCESS);
        EXPECT_EQ(got, t);
    }
    EXPECT_EQ(viSetAttribute(vi, VI_ATTR_TERMCHAR, ';'), VI_SUCCESS);
    ViUInt8 term = 0;
    EXPECT_EQ(viGetAttribute(vi, VI_ATTR_TERMCHAR, &term), VI_SUCCESS);
    EXPECT_EQ(term, ';');
    EXPECT_EQ(viSetAttribute(vi, VI_ATTR_TERMCHAR_EN, VI_TRUE), VI_SUCCESS);
    ViBoolean en = VI_FALSE;
    EXPECT_EQ(viGetAttribute(vi, VI_ATTR_TERMCHAR_EN, &en), VI_SUCCESS);
    EXPECT_EQ(en, VI_TRUE);
    // The driver reads the time-out into a ViInt32.
    ViInt32 asInt = 0;
    EXPECT_EQ(viSetAttribute(vi, VI_ATTR_TMO_VALUE, 1234), VI_SUCCESS);
    EXPECT_EQ(viGetAttribute(vi, VI_ATTR_TMO_VALUE, &asInt), VI_SUCCESS);
    EXPECT_EQ(asInt, 1234);
}

TEST_F(Attributes, RefusedCases) {
    EXPECT_EQ(viSetAttribute(vi, VI_ATTR_TERMCHAR, 256), VI_ERROR_NSUP_ATTR_STATE);
    EXPECT_EQ(viSetAttribute(vi, VI_ATTR_TERMCHAR_EN, 2), VI_ERROR_NSUP_ATTR_STATE);
    for (ViAttr a : {VI_ATTR_INTF_TYPE, VI_ATTR_INTF_NUM, VI_ATTR_RSRC_CLASS, VI_ATTR_RSRC_NAME, VI_ATTR_TCPIP_ADDR,
                     VI_ATTR_TCPIP_PORT}) {
        SCOPED_TRACE(a);
        EXPECT_EQ(viSetAttribute(vi, a, 1), VI_ERROR_ATTR_READONLY);
    }
    ViUInt32 any[64];
    for (ViAttr a : std::initializer_list<ViAttr>{VI_ATTR_SEND_END_EN, VI_ATTR_USER_DATA, VI_ATTR_SUPPRESS_END_EN, VI_ATTR_TCPIP_NODELAY,
                     VI_ATTR_TCPIP_HOSTNAME, VI_ATTR_IO_PROT, VI_ATTR_RSRC_LOCK_STATE, 0x12345678u}) {
        SCOPED_TRACE(a);
        EXPECT_EQ(viGetAttribute(vi, a, any), VI_ERROR_NSUP_ATTR);
        EXPECT_EQ(viSetAttribute(vi, a, 1), VI_ERROR_NSUP_ATTR);
    }
    EXPECT_EQ(viGetAttribute(vi, VI_ATTR_TMO_VALUE, nullptr), VI_ERROR_USER_BUF);
    EXPECT_EQ(viGetAttribute(rm, VI_ATTR_TMO_VALUE, any), VI_ERROR_NSUP_ATTR);
    EXPECT_EQ(viSetAttribute(rm, VI_ATTR_TMO_VALUE, 5), VI_ERROR_NSUP_ATTR);
    EXPECT_EQ(viGetAttribute(0xDEADBEEF, VI_ATTR_TMO_VALUE, any), VI_ERROR_INV_OBJECT);
    EXPECT_EQ(viSetAttribute(0xDEADBEEF, VI_ATTR_TMO_VALUE, 5), VI_ERROR_INV_OBJECT);
}

}  // namespace
