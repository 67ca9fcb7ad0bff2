#include "Options.h"

#include <charconv>
#include <cmath>

namespace varnel::emulator {

namespace {

bool Real(const std::string& s, double low, double high, double& out) {
    const auto r = std::from_chars(s.data(), s.data() + s.size(), out, std::chars_format::general);
    return !s.empty() && r.ec == std::errc() && r.ptr == s.data() + s.size() && std::isfinite(out) && out >= low &&
           out <= high;
}

bool Integer(const std::string& s, long low, long high, long& out) {
    const auto r = std::from_chars(s.data(), s.data() + s.size(), out);
    return !s.empty() && r.ec == std::errc() && r.ptr == s.data() + s.size() && out >= low && out <= high;
}

// One word of printable ASCII: it goes into the identity reply, whose words are blank-separated.
bool Word(const std::string& s) {
    if (s.empty() || s.size() > 64) return false;
    for (char c : s)
        if (c <= ' ' || c >= 0x7F || c == ',') return false;
    return true;
}

}  // namespace

std::string Usage() {
    return "usage: varnel-emulator [options]\n"
           "Emulates a QVX M1..M4 DC electronic load on a TCP socket: one command line per line feed.\n"
           "  --port N                TCP port (default 5025); 0 picks a free one\n"
           "  --listen ADDR           local IPv4 or IPv6 address to listen on (default 127.0.0.1)\n"
           "  --model M               M1, M2, M3 or M4 (\"QVX M2\" also accepted; default M1)\n"
           "  --serial TEXT           serial number (default QVX0012345)\n"
           "  --firmware TEXT         firmware revision (default 1.05)\n"
           "  --source-voltage V      open-circuit voltage of the emulated source (default 12)\n"
           "  --source-resistance R   its internal resistance in ohms (default 0.05)\n"
           "  --speed F               emulated time runs F times wall-clock time (default 100)\n"
           "  --latency MS            delay every reply by MS milliseconds\n"
           "  --transcript            print every line received and sent on standard error\n"
           "  --seed N                seed of the measurement noise (default 1)\n"
           "  --fail-close-after N    close each connection after its N-th command\n"
           "  --fail-no-reply CMD     never answer CMD (a command word or a whole line; repeatable)\n"
           "  --fail-long-reply SIZE  pad every reply to more than SIZE bytes\n"
           "The first line on standard output is \"listening ADDR:PORT\", printed before the first client is served.\n";
}

bool ParseCommandLine(const std::vector<std::string>& args, CommandLine& out, std::string& error) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& name = args[i];
        if (name == "--help" || name == "-h") {
            out.help = true;
            continue;
        }
        if (name == "--transcript") {
            out.transcript = true;
            continue;
        }
        static const char* const kValued[] = {"--port", "--listen", "--model", "--serial", "--firmware",
                                              "--source-voltage", "--source-resistance", "--speed", "--latency",
                                              "--seed", "--fail-close-after", "--fail-no-reply", "--fail-long-reply"};
        bool known = false;
        for (const char* k : kValued) known = known || name == k;
        if (!known) {
            error = name.rfind("-", 0) == 0 ? "unknown option: " + name : "unexpected argument: " + name;
            return false;
        }
        if (i + 1 >= args.size()) {
            error = name + " needs a value";
            return false;
        }
        const std::string& v = args[++i];
        long n = 0;
        double d = 0;
        bool ok = true;
        if (name == "--port") {
            ok = Integer(v, 0, 65535, n);
            out.server.port = static_cast<std::uint16_t>(n);
        } else if (name == "--listen") {
            ok = !v.empty();
            out.server.listen = v;
        } else if (name == "--model") {
            const std::string m = v.rfind("QVX ", 0) == 0 ? v.substr(4) : v;
            ok = m == "M1" || m == "M2" || m == "M3" || m == "M4";
            out.instrument.model = m;
        } else if (name == "--serial") {
            ok = Word(v);
            out.instrument.serial = v;
        } else if (name == "--firmware") {
            ok = Word(v);
            out.instrument.firmware = v;
        } else if (name == "--source-voltage") {
            ok = Real(v, 0, 10000, d);
            out.instrument.sourceVoltage = d;
        } else if (name == "--source-resistance") {
            ok = Real(v, 0, 1e6, d);
            out.instrument.sourceResistance = d;
        } else if (name == "--speed") {
            ok = Real(v, 1e-3, 1e9, d);
            out.server.speed = d;
        } else if (name == "--latency") {
            ok = Integer(v, 0, 600000, n);
            out.server.latencyMs = static_cast<int>(n);
        } else if (name == "--seed") {
            ok = Integer(v, 0, 0x7FFFFFFF, n);
            out.instrument.seed = static_cast<std::uint64_t>(n);
        } else if (name == "--fail-close-after") {
            ok = Integer(v, 1, 0x7FFFFFFF, n);
            out.server.failCloseAfter = n;
        } else if (name == "--fail-no-reply") {
            ok = !v.empty();
            out.server.failNoReply.push_back(v);
        } else {  // --fail-long-reply
            ok = Integer(v, 1, 16 << 20, n);
            out.server.failLongReply = static_cast<std::size_t>(n);
        }
        if (!ok) {
            error = "bad value for " + name + ": " + v;
            return false;
        }
    }
    out.instrument.address = out.server.listen == "localhost" ? "127.0.0.1" : out.server.listen;
    return true;
}

}  // namespace varnel::emulator
