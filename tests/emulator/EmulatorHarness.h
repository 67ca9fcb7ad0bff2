// The emulator's server running on a thread of the test, on a free port of
// 127.0.0.1, and a client that talks to it one line at a time.
//
//   RunningEmulator emu;                      // options as the program's defaults
//   LineClient c(emu.port());
//   EXPECT_EQ(c.Query("*IDN?"), "QVX M1 LOAD 1.05");
//   c.Send("CC 2");
//   EXPECT_EQ(c.Status(), 0);                 // *ESR?: 0 accepted, 16 bad arguments, 32 unknown
//
// Every wait is bounded (a few seconds); a reply that does not come is a
// failed expectation, not a hang.
#ifndef VARNEL_TESTS_EMULATOR_HARNESS_H
#define VARNEL_TESTS_EMULATOR_HARNESS_H

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "Instrument.h"
#include "Server.h"

namespace varnel::emulator::test {

class RunningEmulator {
public:
    explicit RunningEmulator(ServerOptions server = {}, InstrumentOptions instrument = {});
    ~RunningEmulator();
    std::uint16_t port() const { return server_->port(); }
    const Instrument& instrument() const { return instrument_; }
    // Transcript lines so far (the transcript is kept when the options have no sink).
    std::vector<std::string> transcript() const;

private:
    struct Log;
    std::shared_ptr<Log> log_;
    Instrument instrument_;
    std::unique_ptr<Server> server_;
    std::thread thread_;
};

class LineClient {
public:
    explicit LineClient(std::uint16_t port);
    ~LineClient();
    LineClient(const LineClient&) = delete;
    LineClient& operator=(const LineClient&) = delete;

    // Sends the bytes exactly.
    void SendRaw(const std::string& bytes);
    // Sends the line and a line feed.
    void Send(const std::string& line) { SendRaw(line + "\n"); }
    // The next reply line without its line feed; nothing on time-out or close.
    std::optional<std::string> ReadLine(std::chrono::milliseconds timeout = std::chrono::seconds(5));
    // Sends the line and reads its reply; "<no reply>" when none comes.
    std::string Query(const std::string& line);
    double QueryReal(const std::string& line);
    // Reads and clears the event status register (0: every line since was
    // accepted); -1 when the reply read is not the register's.
    int Status();
    // True when the emulator closes the connection within the time-out.
    bool ClosedByPeer(std::chrono::milliseconds timeout = std::chrono::seconds(5));

private:
    int fd_ = -1;
    std::string buffer_;
};

}  // namespace varnel::emulator::test

#endif
