// The varnel-emulator program: its command line, the "listening" line that
// comes first on standard output, the transcript on standard error, and a
// clean stop on SIGTERM.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "EmulatorHarness.h"
#include "Options.h"

namespace varnel::emulator::test {
namespace {

struct BadCommandLine {
    std::vector<std::string> args;
    std::string message;  // part of the error
};

std::ostream& operator<<(std::ostream& os, const BadCommandLine& c) {
    for (const std::string& a : c.args) os << a << ' ';
    return os;
}

class CommandLineError : public ::testing::TestWithParam<BadCommandLine> {};

TEST_P(CommandLineError, IsRefusedWithItsReason) {
    CommandLine cl;
    std::string error;
    EXPECT_FALSE(ParseCommandLine(GetParam().args, cl, error));
    EXPECT_NE(error.find(GetParam().message), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(
    Options, CommandLineError,
    ::testing::Values(BadCommandLine{{"--port", "65536"}, "bad value for --port"},
                      BadCommandLine{{"--port", "-1"}, "bad value for --port"},
                      BadCommandLine{{"--port"}, "--port needs a value"},
                      BadCommandLine{{"--model", "M9"}, "bad value for --model"},
                      BadCommandLine{{"--serial", "two words"}, "bad value for --serial"},
                      BadCommandLine{{"--firmware", ""}, "bad value for --firmware"},
                      BadCommandLine{{"--speed", "0"}, "bad value for --speed"},
                      BadCommandLine{{"--speed", "fast"}, "bad value for --speed"},
                      BadCommandLine{{"--source-voltage", "-5"}, "bad value for --source-voltage"},
                      BadCommandLine{{"--latency", "1.5"}, "bad value for --latency"},
                      BadCommandLine{{"--fail-close-after", "0"}, "bad value for --fail-close-after"},
                      BadCommandLine{{"--fail-long-reply", "99999999999"}, "bad value for --fail-long-reply"},
                      BadCommandLine{{"--bogus"}, "unknown option: --bogus"},
                      BadCommandLine{{"5025"}, "unexpected argument: 5025"}));

TEST(CommandLineOptions, ReachTheInstrumentAndTheServer) {
    CommandLine cl;
    std::string error;
    ASSERT_TRUE(ParseCommandLine({"--model", "QVX M3", "--port", "0", "--speed", "1e3", "--fail-no-reply", "MV",
                                  "--fail-no-reply", "V", "--transcript", "--listen", "::1"},
                                 cl, error))
        << error;
    EXPECT_EQ(cl.instrument.model, "M3");
    EXPECT_EQ(cl.server.port, 0);
    EXPECT_EQ(cl.server.speed, 1e3);
    EXPECT_EQ(cl.server.failNoReply, (std::vector<std::string>{"MV", "V"}));
    EXPECT_TRUE(cl.transcript);
    EXPECT_EQ(cl.instrument.address, "::1");
}

TEST(CommandLineOptions, AnAddressThatIsNotOneIsRefusedByTheServer) {
    ServerOptions o;
    o.listen = "not-an-address";
    o.port = 0;
    Instrument instrument{InstrumentOptions{}};
    EXPECT_THROW(Server(o, instrument), std::runtime_error);
}

// Reads from fd until the predicate holds on what was read, at most 10 s.
template <typename Done>
std::string ReadUntil(int fd, Done done) {
    std::string text;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done(text) && std::chrono::steady_clock::now() < deadline) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 100) <= 0) continue;
        char buf[4096];
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n <= 0) break;
        text.append(buf, static_cast<std::size_t>(n));
    }
    return text;
}

// Waits for the child to end, at most 10 s (then kills it); its wait status.
int Reap(pid_t pid) {
    int status = 0;
    for (int i = 0; i < 1000; ++i) {
        if (::waitpid(pid, &status, WNOHANG) == pid) return status;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &status, 0);
    return -1;
}

TEST(Program, PrintsItsPortFirstServesAndStopsOnSigterm) {
    int out[2], err[2];
    ASSERT_EQ(::pipe2(out, O_CLOEXEC), 0);
    ASSERT_EQ(::pipe2(err, O_CLOEXEC), 0);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        ::dup2(out[1], 1);
        ::dup2(err[1], 2);
        ::execl(VARNEL_EMULATOR_PROGRAM, "varnel-emulator", "--port", "0", "--transcript", "--model", "M3",
                "--serial", "SN42", "--firmware", "2.10", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(out[1]);
    ::close(err[1]);
    const std::string first =
        ReadUntil(out[0], [](const std::string& s) { return s.find('\n') != std::string::npos; });
    ASSERT_EQ(first.rfind("listening 127.0.0.1:", 0), 0u) << first;
    const int port = std::stoi(first.substr(first.find(':') + 1));
    {
        LineClient c(static_cast<std::uint16_t>(port));
        EXPECT_EQ(c.Query("*IDN?"), "QVX M3 LOAD 2.10");
        EXPECT_EQ(c.Query("CALSRALG"), "SN42");
        c.Send("FOO");
        EXPECT_EQ(c.Status(), 32);
    }
    ASSERT_EQ(::kill(pid, SIGTERM), 0);
    const std::string transcript =
        ReadUntil(err[0], [](const std::string& s) { return s.find("stopped after") != std::string::npos; });
    const int status = Reap(pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_NE(transcript.find("#1 < *IDN?"), std::string::npos) << transcript;
    EXPECT_NE(transcript.find("#1 > QVX M3 LOAD 2.10"), std::string::npos) << transcript;
    EXPECT_NE(transcript.find("#1 < FOO"), std::string::npos) << transcript;
    EXPECT_NE(transcript.find("stopped after 4 command lines, 1 ignored"), std::string::npos) << transcript;
    EXPECT_EQ(ReadUntil(out[0], [](const std::string&) { return false; }), "");  // nothing after the first line
    ::close(out[0]);
    ::close(err[0]);
}

}  // namespace
}  // namespace varnel::emulator::test
