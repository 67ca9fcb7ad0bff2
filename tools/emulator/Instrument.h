// The emulated instrument as its command language sees it: one command line
// in, at most one reply line out. It owns the load model and the texts of its
// identity, and it parses every line itself (it shares nothing with the
// driver). Not thread-safe: the server calls it from its one thread.
#ifndef VARNEL_TOOLS_EMULATOR_INSTRUMENT_H
#define VARNEL_TOOLS_EMULATOR_INSTRUMENT_H

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace varnel::emulator {

struct InstrumentOptions {
    std::string model = "M1";          // the model number word of the identity, "M1" to "M4"
    std::string serial = "QVX0012345";
    std::string firmware = "1.05";
    std::string address = "127.0.0.1";  // what the IP address query answers
    double sourceVoltage = 12.0;        // V, open-circuit voltage of the emulated source
    double sourceResistance = 0.05;     // ohm, its internal resistance
    std::uint64_t seed = 1;             // of the measurement noise
};

struct Outcome {
    enum Kind { Accepted, Replied, Unknown } kind = Accepted;
    std::string reply;   // Replied: the reply line without its line feed
    std::string reason;  // Unknown: "unknown command" or "bad arguments"
};

class Instrument {
public:
    explicit Instrument(const InstrumentOptions& options);
    ~Instrument();
    Instrument(const Instrument&) = delete;
    Instrument& operator=(const Instrument&) = delete;

    // Handles one command line (without its line feed) at emulated time t, in
    // seconds; t never decreases from one call to the next.
    Outcome Handle(std::string_view line, double t);
    // A line the server had to drop (cut at its bound): counted like an unknown one.
    void Reject();
    // Lines ignored so far: unknown, with bad arguments, or rejected.
    std::uint64_t UnknownCount() const;

    struct Impl;  // the state and the command table, in the source

private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace varnel::emulator

#endif
