// A fake instrument for tests: a TCP server on 127.0.0.1 that records what it
// receives and answers from a script, so that tests drive the real socket
// path of the VISA library (and of the driver above it).
//
//   varnel::test::FakeInstrument fake;            // listening, serving
//   fake.reply("MV", "12.5\n");                    // "MV\n" is answered "12.5\n"
//   viOpen(rm, fake.resource().c_str(), VI_NO_LOCK, 2000, &vi);
//   ... viQueryf(vi, "MV\n", "%lf%*t", &v) ...
//   EXPECT_EQ(fake.lines(), std::vector<std::string>{"MV"});
//
// Serving. The constructor binds 127.0.0.1 on a free port (port 0) and
// starts one background thread that accepts connections and serves them; a
// client may close and connect again, and several connections may be open
// at once (they share the script and the record). The destructor closes
// every connection, stops and joins the thread promptly, whatever replies
// are still pending.
//
// Lines. Received bytes are cut into lines at each line feed; a line is the
// bytes before the line feed, exactly ("\r" is kept). Bytes after the last
// line feed are in bytes() but not yet a line.
//
// Script. Each received line is looked up by its exact text; the Response
// found is queued on that connection. Responses of one connection go out in
// the order of their lines, each no earlier than its delay after its own
// line arrived. A line that is not scripted gets the default response,
// which is "no reply" unless setDefault() changed it. Scripting the same
// line again replaces its response. Scripting takes effect for lines that
// arrive afterwards.
//
// Every member function is thread-safe.
#ifndef VARNEL_TESTS_SUPPORT_FAKE_INSTRUMENT_H
#define VARNEL_TESTS_SUPPORT_FAKE_INSTRUMENT_H

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace varnel::test {

struct Response {
    std::string bytes;                        // sent exactly as given: add the "\n" yourself
    std::chrono::milliseconds delay{0};       // wait after the line arrived, before sending
    bool closeAfter = false;                  // close the connection once the bytes are sent
};

class FakeInstrument {
public:
    FakeInstrument();
    ~FakeInstrument();
    FakeInstrument(const FakeInstrument&) = delete;
    FakeInstrument& operator=(const FakeInstrument&) = delete;

    std::uint16_t port() const;
    // "TCPIP::127.0.0.1::<port>::SOCKET"
    std::string resource() const;

    // --- script, keyed by the exact line without its line feed ---
    void reply(const std::string& line, std::string bytes);
    void replyAfter(const std::string& line, std::chrono::milliseconds delay, std::string bytes);
    // Sends the bytes (may be empty), then closes the connection: a reply cut off.
    void replyThenClose(const std::string& line, std::string bytes);
    // Never answers the line (to force a time-out); the same as not scripting it
    // while the default is "no reply".
    void noReply(const std::string& line);
    void script(const std::string& line, Response response);
    // The response to lines that are not scripted; initially no reply.
    void setDefault(Response response);

    // --- acting now, on every open connection (every connection that the
    // system has completed, even when the server thread has not served it yet) ---
    // Sends unsolicited bytes; returns once they are handed to the system
    // (false when no connection is open).
    bool send(const std::string& bytes);
    // Closes every open connection now; the server goes on accepting.
    void closeConnections();

    // --- record ---
    std::vector<std::string> lines() const;  // every line received, in order
    std::string bytes() const;               // every byte received, in order
    // Waits until at least n lines were received; false on time-out.
    bool waitForLines(std::size_t n, std::chrono::milliseconds timeout = std::chrono::seconds(5)) const;
    // Responses (non-empty or closing) fully sent so far, and a wait for them.
    std::size_t repliesSent() const;
    bool waitForReplies(std::size_t n, std::chrono::milliseconds timeout = std::chrono::seconds(5)) const;
    // Connections accepted so far.
    std::size_t connectionCount() const;
    // Forgets the received lines and bytes (the script and counters stay).
    void clear();

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace varnel::test

#endif
