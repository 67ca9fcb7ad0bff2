// The emulated load: its settings, the electrical model that turns them into
// an operating point, and the activities (dynamic modes, sequences, sweeps)
// that run in emulated time. Times passed in are emulated seconds since the
// emulator started; every call must pass a time no earlier than the last.
//
// The model: a DC source with an open-circuit voltage and an internal
// resistance feeds the load. The load draws the current its mode asks for,
// within the source's reach, its current ceiling (rating, range, current
// limit) and its power rating. The protections, when enabled, switch the load
// off and latch an alarm instead of limiting.
#ifndef VARNEL_TOOLS_EMULATOR_LOAD_H
#define VARNEL_TOOLS_EMULATOR_LOAD_H

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace varnel::emulator {

struct Ratings {
    double voltage;      // V, highest terminal voltage
    double current;      // A, highest current; the full scale of the high range
    double power;        // W
    double mediumRange;  // A, full scale of the medium current range
    double lowRange;     // A, full scale of the low current range
};

// Ratings of a model ("M1" to "M4"); any other model gets those of M1.
Ratings RatingsOf(const std::string& model);

enum class Mode { ConstantCurrent, ConstantPower, ConstantResistance, ConstantVoltage, ShortCircuit };

// Bits of the questionable-condition register.
enum Condition : unsigned {
    kCurrentAlarm = 1u,     // current protection tripped (latched)
    kPowerAlarm = 2u,       // power protection tripped (latched)
    kCurrentLimited = 4u,   // the load holds its current at its ceiling
    kPowerLimited = 8u,     // the load holds its power at its rating
    kShortCircuit = 16u,    // short circuit applied
    kUnregulated = 32u,     // the source cannot supply what the mode asks for
    kOverVoltage = 64u,     // source voltage above the model's rating
};
constexpr unsigned kAlarms = kCurrentAlarm | kPowerAlarm;

struct OperatingPoint {
    double voltage = 0;     // V at the terminals
    double current = 0;     // A drawn
    unsigned conditions = 0;
    double power() const { return voltage * current; }
};

enum class SweepKind { Current = 0, Power = 1, Conductance = 2 };

struct SweepConfig {
    double start = 0;       // first level (A, W or S)
    double stop = 1;        // last level
    double dwellMs = 10;    // time on each step
    double threshold = 0;   // V: the sweep ends at the first step below it
    long steps = 10;        // number of steps, 1 to 1000
    double fineStep = 0;    // conductance only: > 0 steps from start to stop by this many S
};

struct SweepStep {
    double level = 0;
    OperatingPoint point;
};

struct SweepRecord {
    bool running = false;
    bool finished = false;
    double t0 = 0;
    double dwell = 0;       // s
    double threshold = 0;
    std::vector<double> levels;       // level of each step to run
    std::vector<SweepStep> done;      // steps completed
    long endStep = -1;                // -1 until the sweep has finished
    double limitLow = 0, limitHigh = 0;  // captured at the start
};

class Load {
public:
    Load(const std::string& model, double sourceVoltage, double sourceResistance);

    const Ratings& ratings() const { return ratings_; }

    // Back to the power-on state (settings, activities, alarms, results).
    void PowerOn();
    // Clears the alarms and stops dynamic modes, sequences and sweeps.
    void Clear();
    void ResetAlarms() { alarms_ = 0; }

    // Runs the activities up to time t and checks the protections against
    // the operating point at t; returns that point (latched alarms included).
    OperatingPoint Settle(double t);

    // --- settings (the command layer has validated the values) ---
    void SetLevel(Mode mode, double value);  // a set point also selects its mode
    void SetLoadOn(bool on);
    void ShortCircuit() { mode_ = Mode::ShortCircuit; }
    void SetCurrentLimit(double a) { currentLimit_ = a; }
    void SetCurrentRange(int r) { currentRange_ = r; }
    void SetVoltageRange(int r) { voltageRange_ = r; }
    void SetPrecondition(double v) { precondition_ = v; }
    void SetCurrentProtection(bool on) { currentProtection_ = on; }
    void SetPowerProtection(bool on) { powerProtection_ = on; }
    void SetAveraging(bool threeSamples) { averaging_ = threeSamples; }
    void SetBandLimit(int b) { bandLimit_ = b; }
    void SetNoiseFilter(int f) { noiseFilter_ = f; }
    void SetNoiseRatio(double r) { noiseRatio_ = r; }

    // --- dynamic modes ---
    void SetPatternStep(int step, char parameter, double value);  // 1..16; 'C' level A, 'T' dwell ms, 'R' slew
    void SetFrequencyPeriod(double ms) { freqPeriodMs_ = ms; }
    void SetFrequencyDuty(double percent) { freqDuty_ = percent; }
    void SetFrequencyLevel(int which, double a) { freqLevel_[which - 1] = a; }
    void SetFrequencySlew(int which, double v) { freqSlew_[which - 1] = v; }
    void StartDynamic(int code, double t);  // 0 stops, 1 repeat, 2 single, 3 frequency

    // --- sequences ---
    void InitializeSequence();
    void ConfigureSequence(long count, long repeat, long mode, long pauseMs);
    void SetSequenceStep(long step, double level, double timeMs);
    void StartSequence(bool start, double t);

    // --- sweeps ---
    SweepConfig& Config(SweepKind k) { return config_[static_cast<int>(k)]; }
    void SetSweepLimits(SweepKind k, double low, double high);
    void StartSweep(SweepKind k, double t);
    const SweepRecord& Record(SweepKind k) const { return record_[static_cast<int>(k)]; }

    // --- measurement helpers ---
    int CurrentRange() const { return currentRange_; }
    double CurrentRangeFullScale(int range) const;  // 0 (auto: the high range) to 3
    double VoltageFullScale() const;                // of the CC voltage range
    bool Averaging() const { return averaging_; }
    // Noise voltage (V peak to peak) and ripple (V rms) at the present current.
    double NoiseVoltage(double current) const;
    double RippleVoltage(double current) const { return NoiseVoltage(current) * 0.3; }

private:
    enum class Activity { None, DynamicRepeat, DynamicSingle, Frequency, Sequence, Sweep };
    struct PatternStep { double level = 0, dwellMs = 0, slew = 1; };
    struct SequenceStep { double level = 0, timeMs = 0; };
    struct Demand { Mode mode; double level; bool on; };

    OperatingPoint Solve(const Demand& d, unsigned& trip) const;
    Demand DemandAt(double t);
    Demand SweepDemand(double level) const;
    void Trip(unsigned trip);
    void StopActivities();
    void AdvanceSweep(double t);
    double PatternLength() const;   // s; steps up to the first with no dwell
    double SequenceLength() const;  // s

    const std::string model_;
    const Ratings ratings_;
    const double sourceVoltage_, sourceResistance_;

    Mode mode_;
    std::array<double, 4> level_;  // CC A, CP W, CR ohm, CV V
    bool loadOn_;
    double currentLimit_;
    int currentRange_, voltageRange_;
    double precondition_;
    bool currentProtection_, powerProtection_;
    unsigned alarms_;
    bool averaging_;
    int bandLimit_, noiseFilter_;
    double noiseRatio_;

    std::array<PatternStep, 16> pattern_;
    double freqPeriodMs_, freqDuty_;
    std::array<double, 2> freqLevel_, freqSlew_;

    std::array<SequenceStep, 64> sequence_;
    long seqCount_, seqRepeat_, seqMode_;
    double seqPauseMs_;

    std::array<SweepConfig, 3> config_;
    std::array<std::array<double, 2>, 3> limits_;
    std::array<SweepRecord, 3> record_;

    Activity activity_;
    double activityStart_;
    int sweepKind_;
};

}  // namespace varnel::emulator

#endif
