// The emulator's TCP server: one thread that accepts clients on a local
// address and serves each of them one command line per line feed, all of
// them against the one Instrument. It delays replies, keeps the transcript
// and injects the faults that its options ask for.
#ifndef VARNEL_TOOLS_EMULATOR_SERVER_H
#define VARNEL_TOOLS_EMULATOR_SERVER_H

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "Instrument.h"

namespace varnel::emulator {

// A line longer than this many bytes before its line feed is cut: dropped
// whole and counted as unknown.
constexpr std::size_t kMaxLine = 4096;

struct ServerOptions {
    std::string listen = "127.0.0.1";   // IPv4 or IPv6 address, or "localhost"
    std::uint16_t port = 5025;          // 0: a free port
    double speed = 100;                 // emulated seconds per wall-clock second
    int latencyMs = 0;                  // every reply waits this long
    long failCloseAfter = 0;            // > 0: close a connection after this many commands
    std::vector<std::string> failNoReply;  // command words (or whole lines) never answered
    std::size_t failLongReply = 0;      // > 0: every reply is padded to more than this many bytes
    // Receives each transcript line (without a line feed); empty: no transcript.
    std::function<void(const std::string&)> transcript;
};

class Server {
public:
    // Binds and listens; throws std::runtime_error with the reason on failure.
    Server(const ServerOptions& options, Instrument& instrument);
    ~Server();
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    std::uint16_t port() const { return port_; }
    // "127.0.0.1:5025", or "[::1]:5025" for IPv6.
    std::string endpoint() const;

    // Serves until RequestStop; closes every connection before it returns.
    void Run();
    // Safe from any thread and from a signal handler.
    void RequestStop();

    std::uint64_t linesReceived() const { return lines_.load(); }

private:
    struct Connection;
    void Accept(std::vector<Connection>& connections);
    bool Read(Connection& c);
    bool Write(Connection& c);
    void Line(Connection& c, std::string raw);
    void Note(const Connection* c, const std::string& text);
    double Emulated() const;

    ServerOptions options_;
    Instrument& instrument_;
    int listenFd_ = -1;
    int wakeFd_ = -1;
    std::uint16_t port_ = 0;
    bool ipv6_ = false;
    std::string address_;
    unsigned nextId_ = 1;
    std::chrono::steady_clock::time_point start_;
    std::atomic<std::uint64_t> lines_{0};
};

}  // namespace varnel::emulator

#endif
