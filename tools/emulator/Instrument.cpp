#include "Instrument.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <vector>

#include "Load.h"

namespace varnel::emulator {

namespace {

// Event status bits that a rejected line sets, as SCPI instruments do.
constexpr unsigned kExecutionError = 16;  // known command, bad arguments
constexpr unsigned kCommandError = 32;    // unknown command or dropped line

// The reading of a measurement beyond its range.
constexpr double kOverRange = 9.9e37;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

// Splits at a separator; every field trimmed. An empty text gives no field.
std::vector<std::string_view> Split(std::string_view s, char separator) {
    std::vector<std::string_view> out;
    if (Trim(s).empty()) return out;
    for (;;) {
        const std::size_t at = s.find(separator);
        out.push_back(Trim(s.substr(0, at)));
        if (at == std::string_view::npos) return out;
        s.remove_prefix(at + 1);
    }
}

std::vector<std::string_view> Words(std::string_view s) {
    std::vector<std::string_view> out;
    for (s = Trim(s); !s.empty(); s = Trim(s)) {
        std::size_t n = 0;
        while (n < s.size() && !IsBlank(s[n])) ++n;
        out.push_back(s.substr(0, n));
        s.remove_prefix(n);
    }
    return out;
}

// Numbers are the whole field, in decimal, with an optional leading plus sign.
std::string_view Unsigned(std::string_view s) {
    if (!s.empty() && s.front() == '+') {
        s.remove_prefix(1);
        if (!s.empty() && (s.front() == '+' || s.front() == '-')) return {};
    }
    return s;
}

bool ParseReal(std::string_view s, double& out) {
    s = Unsigned(s);
    const auto r = std::from_chars(s.data(), s.data() + s.size(), out, std::chars_format::general);
    return !s.empty() && r.ec == std::errc() && r.ptr == s.data() + s.size() && std::isfinite(out);
}

bool ParseInt(std::string_view s, long& out) {
    s = Unsigned(s);
    const auto r = std::from_chars(s.data(), s.data() + s.size(), out);
    return !s.empty() && r.ec == std::errc() && r.ptr == s.data() + s.size();
}

std::string Number(double v, const char* format = "%.6g") {
    if (v >= kOverRange) return "9.9E+37";
    char buf[64];
    std::snprintf(buf, sizeof buf, format, v);
    return buf;
}

std::string Upper(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

}  // namespace

struct Instrument::Impl {
    InstrumentOptions options;
    Load load;
    std::atomic<std::uint64_t> unknown{0};  // read by other threads (tests, the summary)
    unsigned esr = 0;
    std::uint64_t noiseState;

    // Settings the instrument holds that the steady-state model does not use.
    double responseTime = 1, slewRate = 1;
    long switchingMode = 0, displayPosition = 0, measurementMode = 0, sampleRate = 0, masterSlave = 0;
    bool userOutput = false, identifyLed = false;

    explicit Impl(const InstrumentOptions& o)
        : options(o), load(o.model, o.sourceVoltage, o.sourceResistance), noiseState(o.seed) {}

    // Uniform in [-1, 1) from any 64-bit state (splitmix64).
    static double Mix(std::uint64_t z) {
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        z ^= z >> 31;
        return static_cast<double>(z >> 11) / 4503599627370496.0 - 1.0;
    }
    double Uniform() { return Mix(noiseState += 0x9E3779B97F4A7C15ull); }

    // A reading of a true value: gain noise of 50 ppm of the value and offset
    // noise of 10 ppm of the range, less with three-sample averaging. Never
    // negative. u in [-1, 1) places it within that spread.
    double Read(double value, double fullScale, double u) const {
        const double spread = (5e-5 * std::abs(value) + 1e-5 * fullScale) / (load.Averaging() ? std::sqrt(3.0) : 1.0);
        return std::max(0.0, value + spread * u);
    }
    double Read(double value, double fullScale) { return Read(value, fullScale, Uniform()); }

    // The recorded readings of a sweep step: the same each time they are asked for.
    OperatingPoint StepReading(SweepKind k, std::size_t step) const {
        const OperatingPoint& p = load.Record(k).done[step].point;
        const std::uint64_t key = options.seed * 0x100000001B3ull + (static_cast<std::uint64_t>(k) << 20) + step * 2;
        OperatingPoint r = p;
        r.voltage = Read(p.voltage, load.VoltageFullScale(), Mix(key));
        r.current = Read(p.current, load.ratings().current, Mix(key + 1));
        return r;
    }

    // Full scale of a current range selection; automatic picks the smallest that holds the value.
    double CurrentScale(long range, double current) const {
        if (range != 0) return load.CurrentRangeFullScale(static_cast<int>(range));
        for (int r = 3; r >= 2; --r)
            if (current <= load.CurrentRangeFullScale(r)) return load.CurrentRangeFullScale(r);
        return load.ratings().current;
    }

    std::string Reading(double value, double fullScale, const char* format = "%.6g") {
        if (value > fullScale * 1.02) return Number(kOverRange);
        return Number(Read(value, fullScale), format);
    }

    std::string Mac() const {
        std::uint64_t h = 1469598103934665603ull;  // FNV-1a of the serial number
        for (char c : options.serial) h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ull;
        char buf[32];
        std::snprintf(buf, sizeof buf, "02:51:56:%02X:%02X:%02X", static_cast<unsigned>(h & 0xFF),
                      static_cast<unsigned>((h >> 8) & 0xFF), static_cast<unsigned>((h >> 16) & 0xFF));
        return buf;
    }
};

namespace {

using Impl = Instrument::Impl;

struct Call {
    Impl& in;
    std::string_view rest;  // the line after its command word, trimmed
    double t;
    std::string reply;
};

// A command handler: false when the arguments are bad (nothing changes then).
using Handler = bool (*)(Call&);

bool NoArgs(const Call& c) { return c.rest.empty(); }

// Exactly n comma-separated reals.
bool Reals(const Call& c, std::size_t n, double* out) {
    const auto f = Split(c.rest, ',');
    if (f.size() != n) return false;
    for (std::size_t i = 0; i < n; ++i)
        if (!ParseReal(f[i], out[i])) return false;
    return true;
}

bool OneReal(const Call& c, double& out, double low, double high) {
    return Reals(c, 1, &out) && out >= low && out <= high;
}

bool OneInt(const Call& c, long& out, long low, long high) {
    const auto f = Split(c.rest, ',');
    return f.size() == 1 && ParseInt(f[0], out) && out >= low && out <= high;
}

bool OneFlag(const Call& c, bool& out) {
    long v = 0;
    if (!OneInt(c, v, 0, 1)) return false;
    out = v == 1;
    return true;
}

template <Mode M>
bool SetPoint(Call& c) {
    const Ratings& r = c.in.load.ratings();
    const double high[] = {r.current, r.power, 1e6, r.voltage};
    double v = 0;
    if (!OneReal(c, v, 0, high[static_cast<int>(M)])) return false;
    if (M == Mode::ConstantResistance && v <= 0) return false;
    c.in.load.SetLevel(M, v);
    return true;
}

// A stored setting that takes an integer code from low to high.
template <long Impl::*Member, long Low, long High>
bool Code(Call& c) {
    long v = 0;
    if (!OneInt(c, v, Low, High)) return false;
    c.in.*Member = v;
    return true;
}

template <SweepKind K>
bool SweepSet(Call& c) {
    const auto f = Split(c.rest, ',');
    double v[4];
    long steps = 0;
    if (f.size() != 5 || !ParseInt(f[4], steps) || steps < 1 || steps > 1000) return false;
    for (int i = 0; i < 4; ++i)
        if (!ParseReal(f[i], v[i]) || v[i] < 0) return false;
    const Ratings& r = c.in.load.ratings();
    const double high = K == SweepKind::Current ? r.current : K == SweepKind::Power ? r.power : 1000.0;
    if (v[0] > high || v[1] > high || v[2] > 1e7 || v[3] > r.voltage) return false;
    SweepConfig& cfg = c.in.load.Config(K);
    cfg.start = v[0];
    cfg.stop = v[1];
    cfg.dwellMs = v[2];
    cfg.threshold = v[3];
    cfg.steps = steps;
    cfg.fineStep = 0;
    return true;
}

template <SweepKind K>
bool SweepTestSet(Call& c) {
    double v[2];
    if (!Reals(c, 2, v) || v[0] < 0 || v[1] < v[0]) return false;
    c.in.load.SetSweepLimits(K, v[0], v[1]);
    return true;
}

template <SweepKind K>
bool SweepStart(Call& c) {
    if (!NoArgs(c)) return false;
    c.in.load.StartSweep(K, c.t);
    return true;
}

template <SweepKind K>
bool SweepEndStep(Call& c) {
    if (!NoArgs(c)) return false;
    c.reply = std::to_string(c.in.load.Record(K).endStep);
    return true;
}

// "<step>,<level>,<voltage V>,<current A>,<power W>"; a step not run: "<step>,NOT RUN".
template <SweepKind K>
bool SweepResult(Call& c) {
    long step = 0;
    if (!OneInt(c, step, 1, 1000)) return false;
    const SweepRecord& r = c.in.load.Record(K);
    c.reply = std::to_string(step);
    if (static_cast<std::size_t>(step) > r.done.size()) {
        c.reply += ",NOT RUN";
        return true;
    }
    const OperatingPoint p = c.in.StepReading(K, static_cast<std::size_t>(step - 1));
    c.reply += "," + Number(r.done[static_cast<std::size_t>(step - 1)].level) + "," + Number(p.voltage) + "," +
               Number(p.current) + "," + Number(p.power());
    return true;
}

// "PASS,<value>" or "FAIL,<value>": the current (or power) at the end step
// against the limits set before the start; "NOT RUN" until a sweep has finished.
template <SweepKind K>
bool SweepVerdict(Call& c) {
    if (!NoArgs(c)) return false;
    const SweepRecord& r = c.in.load.Record(K);
    if (!r.finished || r.done.empty()) {
        c.reply = "NOT RUN";
        return true;
    }
    const OperatingPoint p = c.in.StepReading(K, r.done.size() - 1);
    const double value = K == SweepKind::Current ? p.current : p.power();
    const bool pass = value >= r.limitLow && value <= r.limitHigh;
    c.reply = std::string(pass ? "PASS," : "FAIL,") + Number(value);
    return true;
}

template <unsigned Bit>
bool Protection(Call& c) {
    bool on = false;
    if (!OneFlag(c, on)) return false;
    if (Bit == kCurrentAlarm) c.in.load.SetCurrentProtection(on);
    else c.in.load.SetPowerProtection(on);
    return true;
}

template <typename F>
bool Query(Call& c, F&& f) {
    if (!NoArgs(c)) return false;
    c.reply = f();
    return true;
}

bool Measurement(Call& c, int what) {
    // what: 0 MV, 1 MCFR, 2 MW, 3 MP, 4 BMW; others take a range.
    if (!NoArgs(c)) return false;
    Impl& in = c.in;
    const OperatingPoint p = in.load.Settle(c.t);
    const double fs = in.CurrentScale(in.load.CurrentRange(), p.current);
    switch (what) {
        case 0: c.reply = in.Reading(p.voltage, in.load.VoltageFullScale()); break;
        case 1: c.reply = in.Reading(p.current, fs); break;
        case 3: c.reply = Number(in.load.RippleVoltage(p.current) * (1 + 0.03 * in.Uniform()) * in.Read(p.current, fs)); break;
        default: {  // the power is the product of the voltage and current readings
            const double power = in.Read(p.voltage, in.load.VoltageFullScale()) * in.Read(p.current, fs);
            c.reply = Number(power, what == 2 ? "%.6g" : "%.3f");
            break;
        }
    }
    return true;
}

bool RangedMeasurement(Call& c, int what) {
    // what: 0 MD, 1 MC, 2 MN, 3 MR, 4 BMC
    Impl& in = c.in;
    long range = 0;
    if (!OneInt(c, range, 0, what == 2 || what == 3 ? 2 : 3)) return false;
    const OperatingPoint p = in.load.Settle(c.t);
    switch (what) {
        case 0: {
            static constexpr double kScales[] = {6.0, 60.0, 500.0};
            double fs = range == 0 ? kScales[2] : kScales[range - 1];
            if (range == 0)
                for (double s : kScales)
                    if (p.voltage <= s) { fs = s; break; }
            c.reply = in.Reading(p.voltage, fs);
            break;
        }
        case 2:
        case 3: {
            const double v = what == 2 ? in.load.NoiseVoltage(p.current) : in.load.RippleVoltage(p.current);
            const double fs = range == 1 ? 0.03 : range == 2 ? 3.0 : (v <= 0.03 ? 0.03 : 3.0);
            // Noise readings scatter by a few percent from one reading to the next.
            c.reply = v > fs * 1.02 ? Number(kOverRange) : Number(v * (1 + 0.03 * in.Uniform()));
            break;
        }
        default:
            c.reply = in.Reading(p.current, in.CurrentScale(range, p.current), what == 4 ? "%.3f" : "%.6g");
            break;
    }
    return true;
}

bool DynamicStep(Call& c) {
    // "DP <step> <DC|DT|DR> <value>"
    const auto w = Words(c.rest);
    long step = 0;
    double v = 0;
    if (w.size() != 3 || !ParseInt(w[0], step) || step < 1 || step > 16 || !ParseReal(w[2], v)) return false;
    const std::string code = Upper(w[1]);
    if (code == "DC") {
        if (v < 0 || v > c.in.load.ratings().current) return false;
    } else if (code == "DT") {
        if (v < 0 || v > 1e7) return false;
    } else if (code == "DR") {
        if (v <= 0 || v > 1000) return false;
    } else {
        return false;
    }
    c.in.load.SetPatternStep(static_cast<int>(step), code[1], v);
    return true;
}

// "FDC <1|2>,<level A>" and "FDR <1|2>,<slew>"
template <bool Level>
bool FrequencyStep(Call& c) {
    const auto f = Split(c.rest, ',');
    long which = 0;
    double v = 0;
    if (f.size() != 2 || !ParseInt(f[0], which) || which < 1 || which > 2 || !ParseReal(f[1], v)) return false;
    if (Level) {
        if (v < 0 || v > c.in.load.ratings().current) return false;
        c.in.load.SetFrequencyLevel(static_cast<int>(which), v);
    } else {
        if (v <= 0 || v > 1000) return false;
        c.in.load.SetFrequencySlew(static_cast<int>(which), v);
    }
    return true;
}

bool Identity(Call& c) {
    return Query(c, [&] { return "QVX " + c.in.options.model + " LOAD " + c.in.options.firmware; });
}

struct Entry {
    const char* word;
    Handler run;
};

// Every command word the instrument knows. A handler parses its own
// arguments; its reply, if any, is left in Call::reply.
const Entry kCommands[] = {
    // identity, status and maintenance
    {"*IDN?", Identity},
    {"*ESR?", [](Call& c) { return Query(c, [&] { const unsigned v = c.in.esr; c.in.esr = 0; return std::to_string(v); }); }},
    {"*CLS", [](Call& c) { if (!NoArgs(c)) return false; c.in.esr = 0; return true; }},
    {"*RST", [](Call& c) { if (!NoArgs(c)) return false; c.in.load.PowerOn(); return true; }},
    {"INI", [](Call& c) { if (!NoArgs(c)) return false; c.in.load.PowerOn(); c.in.identifyLed = false; return true; }},
    {"CL", [](Call& c) { if (!NoArgs(c)) return false; c.in.load.Clear(); c.in.esr = 0; return true; }},
    {"AC", [](Call& c) { if (!NoArgs(c)) return false; c.in.load.ResetAlarms(); return true; }},
    {"QUES", [](Call& c) { return Query(c, [&] { return std::to_string(c.in.load.Settle(c.t).conditions); }); }},
    {"V", [](Call& c) { return Query(c, [&] { return c.in.options.firmware; }); }},
    {"CALSRALG", [](Call& c) { return Query(c, [&] { return c.in.options.serial; }); }},
    {"SYST:COMM:LAN:IP?", [](Call& c) { return Query(c, [&] { return c.in.options.address; }); }},
    {"SYST:COMM:LAN:MAC?", [](Call& c) { return Query(c, [&] { return c.in.Mac(); }); }},
    {"SYST:COMM:LAN:HOST?", [](Call& c) {
         return Query(c, [&] { return Lower("qvx-" + c.in.options.model + "-" + c.in.options.serial); });
     }},
    {"SYST:COMM:LAN:IDLED", [](Call& c) { return OneFlag(c, c.in.identifyLed); }},
    {"SYST:COMM:LAN:RES", [](Call& c) { if (!NoArgs(c)) return false; c.in.identifyLed = false; return true; }},
    {"DIAG:COMM:LAN:FAC", [](Call& c) { if (!NoArgs(c)) return false; c.in.identifyLed = false; return true; }},

    // set points and load settings
    {"CC", SetPoint<Mode::ConstantCurrent>},
    {"CP", SetPoint<Mode::ConstantPower>},
    {"CR", SetPoint<Mode::ConstantResistance>},
    {"CV", SetPoint<Mode::ConstantVoltage>},
    {"CX", [](Call& c) {  // the current at 10 V: a constant resistance of 10 V / CX
         double v = 0;
         if (!OneReal(c, v, 0, c.in.load.ratings().current) || v <= 0) return false;
         c.in.load.SetLevel(Mode::ConstantResistance, 10.0 / v);
         return true;
     }},
    {"LS", [](Call& c) {
         double v = 0;
         if (!OneReal(c, v, 0, c.in.load.ratings().current)) return false;
         c.in.load.SetCurrentLimit(v);
         return true;
     }},
    {"RC", [](Call& c) { long v = 0; if (!OneInt(c, v, 0, 3)) return false; c.in.load.SetCurrentRange(static_cast<int>(v)); return true; }},
    {"RV", [](Call& c) { long v = 0; if (!OneInt(c, v, 1, 2)) return false; c.in.load.SetVoltageRange(static_cast<int>(v)); return true; }},
    {"SW", [](Call& c) { bool on = false; if (!OneFlag(c, on)) return false; c.in.load.SetLoadOn(on); return true; }},
    {"GV", [](Call& c) { return OneReal(c, c.in.responseTime, 0, 1e6); }},
    {"GC", [](Call& c) { return OneReal(c, c.in.slewRate, 1e-6, 1000) ; }},
    {"LM", Code<&Impl::switchingMode, 0, 8>},
    {"LV", [](Call& c) {
         double v = 0;
         if (!OneReal(c, v, 0, c.in.load.ratings().voltage)) return false;
         c.in.load.SetPrecondition(v);
         return true;
     }},
    {"DS", Code<&Impl::displayPosition, 0, 2>},
    {"MF", Code<&Impl::measurementMode, 0, 1>},
    {"HZ", Code<&Impl::sampleRate, 0, 1>},
    {"MS", [](Call& c) { bool three = false; if (!OneFlag(c, three)) return false; c.in.load.SetAveraging(three); return true; }},
    {"FH", [](Call& c) { long v = 0; if (!OneInt(c, v, 1, 2)) return false; c.in.load.SetBandLimit(static_cast<int>(v)); return true; }},
    {"FL", [](Call& c) { long v = 0; if (!OneInt(c, v, 1, 4)) return false; c.in.load.SetNoiseFilter(static_cast<int>(v)); return true; }},
    {"RF", [](Call& c) {
         double v = 0;
         if (!OneReal(c, v, 0, 1000) || v <= 0) return false;
         c.in.load.SetNoiseRatio(v);
         return true;
     }},
    {"BS", Code<&Impl::masterSlave, 0, 2>},
    {"UDO", [](Call& c) {  // "UDO 0,<0|1>": the one user-defined output, number 0
         const auto f = Split(c.rest, ',');
         if (f.size() != 2 || f[0] != "0" || (f[1] != "0" && f[1] != "1")) return false;
         c.in.userOutput = f[1] == "1";
         return true;
     }},
    {"ALMCOFF", Protection<kCurrentAlarm>},
    {"ALMPOFF", Protection<kPowerAlarm>},
    {"CS", [](Call& c) { if (!NoArgs(c)) return false; c.in.load.ShortCircuit(); return true; }},

    // dynamic modes
    {"DP", DynamicStep},
    {"FDT", [](Call& c) {
         double v = 0;
         if (!OneReal(c, v, 0, 1e7) || v <= 0) return false;
         c.in.load.SetFrequencyPeriod(v);
         return true;
     }},
    {"FDD", [](Call& c) { double v = 0; if (!OneReal(c, v, 0, 100)) return false; c.in.load.SetFrequencyDuty(v); return true; }},
    {"FDC", FrequencyStep<true>},
    {"FDR", FrequencyStep<false>},
    {"CD", [](Call& c) { long v = 0; if (!OneInt(c, v, 0, 3)) return false; c.in.load.StartDynamic(static_cast<int>(v), c.t); return true; }},

    // sequences
    {"SQI", [](Call& c) { if (!NoArgs(c)) return false; c.in.load.InitializeSequence(); return true; }},
    {"SQU", [](Call& c) {  // <steps 1-64>,<repeats 0-65535, 0 endless>,<mode 0 CC,1 CP,2 CR,3 CV>,<pause ms>
         const auto f = Split(c.rest, ',');
         long v[4];
         static constexpr long kHigh[] = {64, 65535, 3, 10000000};
         if (f.size() != 4) return false;
         for (int i = 0; i < 4; ++i)
             if (!ParseInt(f[i], v[i]) || v[i] < (i == 0 ? 1 : 0) || v[i] > kHigh[i]) return false;
         c.in.load.ConfigureSequence(v[0], v[1], v[2], v[3]);
         return true;
     }},
    {"SQD", [](Call& c) {  // <step 1-64>,<level>,<time ms>
         const auto f = Split(c.rest, ',');
         long step = 0;
         double level = 0, ms = 0;
         if (f.size() != 3 || !ParseInt(f[0], step) || step < 1 || step > 64 || !ParseReal(f[1], level) ||
             !ParseReal(f[2], ms) || level < 0 || level > 1e6 || ms < 0 || ms > 1e7)
             return false;
         c.in.load.SetSequenceStep(step, level, ms);
         return true;
     }},
    {"SQC", [](Call& c) { bool start = false; if (!OneFlag(c, start)) return false; c.in.load.StartSequence(start, c.t); return true; }},

    // measurements
    {"MV", [](Call& c) { return Measurement(c, 0); }},
    {"MCFR", [](Call& c) { return Measurement(c, 1); }},
    {"MW", [](Call& c) { return Measurement(c, 2); }},
    {"MP", [](Call& c) { return Measurement(c, 3); }},
    {"BMW", [](Call& c) { return Measurement(c, 4); }},
    {"MD", [](Call& c) { return RangedMeasurement(c, 0); }},
    {"MC", [](Call& c) { return RangedMeasurement(c, 1); }},
    {"MN", [](Call& c) { return RangedMeasurement(c, 2); }},
    {"MR", [](Call& c) { return RangedMeasurement(c, 3); }},
    {"BMC", [](Call& c) { return RangedMeasurement(c, 4); }},

    // sweeps
    {"SWCSET", SweepSet<SweepKind::Current>},
    {"SWPSET", SweepSet<SweepKind::Power>},
    {"SWRSET", SweepSet<SweepKind::Conductance>},
    {"SWRFSET", [](Call& c) {  // <fine step S>,<dwell ms>: the next conductance sweeps step by it
         double v[2];
         if (!Reals(c, 2, v) || v[0] < 0 || v[0] > 1000 || v[1] < 0 || v[1] > 1e7) return false;
         SweepConfig& cfg = c.in.load.Config(SweepKind::Conductance);
         cfg.fineStep = v[0];
         if (v[0] > 0) cfg.dwellMs = v[1];
         return true;
     }},
    {"SWCTSET", SweepTestSet<SweepKind::Current>},
    {"SWPTSET", SweepTestSet<SweepKind::Power>},
    {"SWCSTART", SweepStart<SweepKind::Current>},
    {"SWPSTART", SweepStart<SweepKind::Power>},
    {"SWRSTART", SweepStart<SweepKind::Conductance>},
    {"SWCRESSTP", SweepEndStep<SweepKind::Current>},
    {"SWPRESSTP", SweepEndStep<SweepKind::Power>},
    {"SWRRESSTP", SweepEndStep<SweepKind::Conductance>},
    {"SWCRES", SweepResult<SweepKind::Current>},
    {"SWPRES", SweepResult<SweepKind::Power>},
    {"SWRRES", SweepResult<SweepKind::Conductance>},
    {"SWCTRES", SweepVerdict<SweepKind::Current>},
    {"SWPTRES", SweepVerdict<SweepKind::Power>},
};

}  // namespace

Instrument::Instrument(const InstrumentOptions& options) : impl_(std::make_unique<Impl>(options)) {}
Instrument::~Instrument() = default;

Outcome Instrument::Handle(std::string_view line, double t) {
    Outcome out;
    line = Trim(line);
    std::size_t n = 0;
    while (n < line.size() && !IsBlank(line[n])) ++n;
    const std::string word = Upper(line.substr(0, n));
    const Entry* entry = std::find_if(std::begin(kCommands), std::end(kCommands),
                                      [&](const Entry& e) { return word == e.word; });
    if (entry == std::end(kCommands)) {
        Reject();
        out.kind = Outcome::Unknown;
        out.reason = "unknown command";
        return out;
    }
    impl_->load.Settle(t);  // activities and protections up to now, before the command acts
    Call call{*impl_, Trim(line.substr(n)), t, {}};
    if (!entry->run(call)) {
        ++impl_->unknown;
        impl_->esr |= kExecutionError;
        out.kind = Outcome::Unknown;
        out.reason = "bad arguments";
        return out;
    }
    impl_->load.Settle(t);  // a new setting may trip a protection at once
    if (!call.reply.empty()) {
        out.kind = Outcome::Replied;
        out.reply = std::move(call.reply);
    }
    return out;
}

void Instrument::Reject() {
    ++impl_->unknown;
    impl_->esr |= kCommandError;
}

std::uint64_t Instrument::UnknownCount() const { return impl_->unknown; }

}  // namespace varnel::emulator
