#include "Load.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace varnel::emulator {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

Mode SequenceMode(long code) {
    switch (code) {
        case 1: return Mode::ConstantPower;
        case 2: return Mode::ConstantResistance;
        case 3: return Mode::ConstantVoltage;
        default: return Mode::ConstantCurrent;
    }
}

}  // namespace

Ratings RatingsOf(const std::string& model) {
    if (model == "M2") return {150.0, 60.0, 300.0, 6.0, 0.6};
    if (model == "M3") return {500.0, 30.0, 600.0, 3.0, 0.3};
    if (model == "M4") return {500.0, 120.0, 1200.0, 12.0, 1.2};
    return {150.0, 30.0, 150.0, 3.0, 0.3};
}

Load::Load(const std::string& model, double sourceVoltage, double sourceResistance)
    : model_(model), ratings_(RatingsOf(model)), sourceVoltage_(sourceVoltage), sourceResistance_(sourceResistance) {
    PowerOn();
}

void Load::PowerOn() {
    mode_ = Mode::ConstantCurrent;
    level_ = {0.0, 0.0, 1000.0, ratings_.voltage};
    loadOn_ = false;
    currentLimit_ = ratings_.current;
    currentRange_ = 0;
    voltageRange_ = 1;
    precondition_ = 0;
    currentProtection_ = true;
    powerProtection_ = true;
    alarms_ = 0;
    averaging_ = false;
    bandLimit_ = 1;
    noiseFilter_ = 1;
    noiseRatio_ = 1;
    pattern_.fill(PatternStep{});
    freqPeriodMs_ = 1;
    freqDuty_ = 50;
    freqLevel_ = {0.0, 0.0};
    freqSlew_ = {1.0, 1.0};
    InitializeSequence();
    config_.fill(SweepConfig{});
    limits_ = {{{0.0, ratings_.current}, {0.0, ratings_.power}, {0.0, kInfinity}}};
    record_.fill(SweepRecord{});
    activity_ = Activity::None;
    activityStart_ = 0;
    sweepKind_ = 0;
}

void Load::Clear() {
    alarms_ = 0;
    StopActivities();
}

void Load::StopActivities() {
    if (activity_ == Activity::Sweep) record_[sweepKind_].running = false;
    activity_ = Activity::None;
}

void Load::SetLevel(Mode mode, double value) {
    mode_ = mode;
    level_[static_cast<int>(mode)] = value;
}

void Load::SetLoadOn(bool on) {
    // While an alarm is latched the load stays off until the alarm is reset.
    loadOn_ = on && alarms_ == 0;
}

double Load::CurrentRangeFullScale(int range) const {
    switch (range) {
        case 2: return ratings_.mediumRange;
        case 3: return ratings_.lowRange;
        default: return ratings_.current;
    }
}

double Load::VoltageFullScale() const { return voltageRange_ == 2 ? ratings_.voltage / 10 : ratings_.voltage; }

double Load::NoiseVoltage(double current) const {
    static constexpr double kFilter[] = {1.0, 1.0, 0.8, 0.7, 0.5};  // by filter 1 to 4
    const double band = bandLimit_ == 2 ? 0.6 : 1.0;
    return (0.002 + 0.0001 * current) * band * kFilter[noiseFilter_] * noiseRatio_;
}

// The operating point for a demand; sets trip to the alarm bits that the
// protections raise (the point is then the one with the load switched off).
OperatingPoint Load::Solve(const Demand& d, unsigned& trip) const {
    OperatingPoint p;
    trip = 0;
    const double voc = sourceVoltage_, rs = sourceResistance_;
    if (voc > ratings_.voltage) p.conditions |= kOverVoltage;
    p.voltage = voc;
    if (!d.on || alarms_ != 0 || voc < precondition_) return p;

    const double sourceMax = rs > 0 ? voc / rs : kInfinity;
    double demand = 0;
    bool unregulated = false;
    switch (d.mode) {
        case Mode::ConstantCurrent:
            demand = d.level;
            break;
        case Mode::ConstantResistance:
            demand = d.level > 0 && std::isfinite(d.level) ? voc / (rs + d.level) : 0;
            break;
        case Mode::ConstantVoltage:
            if (d.level < voc) {
                demand = rs > 0 ? (voc - d.level) / rs : kInfinity;
            } else {
                unregulated = d.level > voc;
            }
            break;
        case Mode::ConstantPower:
            if (d.level <= 0) break;
            if (rs == 0) {
                demand = voc > 0 ? d.level / voc : 0;
                unregulated = voc <= 0;
            } else {
                const double disc = voc * voc - 4 * rs * d.level;
                if (disc >= 0) {
                    demand = (voc - std::sqrt(disc)) / (2 * rs);
                } else {  // beyond the source's maximum power: hold at it
                    demand = voc / (2 * rs);
                    unregulated = true;
                }
            }
            break;
        case Mode::ShortCircuit:
            demand = sourceMax;
            p.conditions |= kShortCircuit;
            break;
    }
    if (demand > sourceMax) {
        demand = sourceMax;
        unregulated = unregulated || d.mode != Mode::ShortCircuit;
    }
    if (unregulated) p.conditions |= kUnregulated;

    // A short circuit draws up to the ceiling without tripping the current protection.
    if (currentProtection_ && d.mode != Mode::ShortCircuit && demand > currentLimit_) {
        trip = kCurrentAlarm;
        return p;
    }
    const double ceiling = std::min({ratings_.current, CurrentRangeFullScale(currentRange_), currentLimit_});
    if (demand > ceiling) {
        demand = ceiling;
        p.conditions |= kCurrentLimited;
    }
    double i = demand;
    if ((voc - i * rs) * i > ratings_.power) {
        if (powerProtection_) {
            trip = kPowerAlarm;
            return p;
        }
        const double disc = voc * voc - 4 * rs * ratings_.power;
        i = rs > 0 ? (voc - std::sqrt(std::max(disc, 0.0))) / (2 * rs) : ratings_.power / voc;
        p.conditions |= kPowerLimited;
    }
    p.current = i;
    p.voltage = voc - i * rs;
    return p;
}

double Load::PatternLength() const {
    double total = 0;
    for (const PatternStep& s : pattern_) {
        if (s.dwellMs <= 0) break;
        total += s.dwellMs / 1000;
    }
    return total;
}

double Load::SequenceLength() const {
    double total = 0;
    for (long k = 0; k < seqCount_; ++k) total += sequence_[k].timeMs / 1000;
    return total;
}

Load::Demand Load::DemandAt(double t) {
    const Demand statics{mode_, mode_ == Mode::ShortCircuit ? 0.0 : level_[static_cast<int>(mode_)], loadOn_};
    const double elapsed = t - activityStart_;
    switch (activity_) {
        case Activity::None:
            return statics;
        case Activity::Sweep: {  // the step in progress; AdvanceSweep has recorded those before it
            const SweepRecord& r = record_[sweepKind_];
            if (r.done.size() >= r.levels.size()) return statics;
            return SweepDemand(r.levels[r.done.size()]);
        }
        case Activity::DynamicRepeat:
        case Activity::DynamicSingle: {
            const double length = PatternLength();
            if (length <= 0) return statics;
            if (activity_ == Activity::DynamicSingle && elapsed >= length) {
                activity_ = Activity::None;
                return statics;
            }
            double at = std::fmod(elapsed, length);
            for (const PatternStep& s : pattern_) {
                at -= s.dwellMs / 1000;
                if (at < 0) return {Mode::ConstantCurrent, s.level, loadOn_};
            }
            return {Mode::ConstantCurrent, pattern_[0].level, loadOn_};
        }
        case Activity::Frequency: {
            // The period is short against any reading: readings see the average level.
            const double d = freqDuty_ / 100;
            return {Mode::ConstantCurrent, d * freqLevel_[0] + (1 - d) * freqLevel_[1], loadOn_};
        }
        case Activity::Sequence: {
            // Each repetition runs the steps, then pauses with the load drawing
            // nothing; the sequence ends after the last step of the last one.
            const double length = SequenceLength();
            const double cycle = length + seqPauseMs_ / 1000;
            if (length <= 0 ||
                (seqRepeat_ > 0 && elapsed >= cycle * static_cast<double>(seqRepeat_) - seqPauseMs_ / 1000)) {
                activity_ = Activity::None;
                return statics;
            }
            double at = std::fmod(elapsed, cycle);
            if (at >= length) return {SequenceMode(seqMode_), 0.0, false};
            for (long k = 0; k < seqCount_; ++k) {
                at -= sequence_[k].timeMs / 1000;
                if (at < 0) return {SequenceMode(seqMode_), sequence_[k].level, loadOn_};
            }
            return {SequenceMode(seqMode_), sequence_[seqCount_ - 1].level, loadOn_};
        }
    }
    return statics;
}

void Load::Trip(unsigned trip) {
    alarms_ |= trip;
    loadOn_ = false;
    if (activity_ == Activity::Sweep) {
        SweepRecord& r = record_[sweepKind_];
        r.running = false;
        r.finished = true;
        r.endStep = static_cast<long>(r.done.size());
    }
    activity_ = Activity::None;
}

// A sweep drives the load itself, switched on, whatever its on/off setting.
Load::Demand Load::SweepDemand(double level) const {
    static constexpr Mode kModes[] = {Mode::ConstantCurrent, Mode::ConstantPower, Mode::ConstantResistance};
    // A conductance step of G siemens is a resistance of 1/G ohms; 0 S draws nothing.
    const double value = sweepKind_ == 2 ? (level > 0 ? 1 / level : kInfinity) : level;
    return {kModes[sweepKind_], value, true};
}

void Load::AdvanceSweep(double t) {
    if (activity_ != Activity::Sweep) return;
    SweepRecord& r = record_[sweepKind_];
    while (r.running && r.done.size() < r.levels.size()) {
        const double stepEnd = r.t0 + r.dwell * static_cast<double>(r.done.size() + 1);
        if (t < stepEnd) return;
        const double level = r.levels[r.done.size()];
        unsigned trip = 0;
        const OperatingPoint p = Solve(SweepDemand(level), trip);
        r.done.push_back({level, p});
        if (trip != 0) {
            Trip(trip);
            return;
        }
        if (p.voltage < r.threshold || r.done.size() == r.levels.size()) {
            r.running = false;
            r.finished = true;
            r.endStep = static_cast<long>(r.done.size());
            activity_ = Activity::None;
        }
    }
}

OperatingPoint Load::Settle(double t) {
    AdvanceSweep(t);
    unsigned trip = 0;
    OperatingPoint p = Solve(DemandAt(t), trip);
    if (trip != 0) {
        Trip(trip);
        p = Solve(DemandAt(t), trip);
    }
    p.conditions |= alarms_;
    return p;
}

void Load::SetPatternStep(int step, char parameter, double value) {
    PatternStep& s = pattern_[step - 1];
    if (parameter == 'C') s.level = value;
    else if (parameter == 'T') s.dwellMs = value;
    else s.slew = value;
}

void Load::StartDynamic(int code, double t) {
    StopActivities();
    static constexpr Activity kByCode[] = {Activity::None, Activity::DynamicRepeat, Activity::DynamicSingle,
                                           Activity::Frequency};
    activity_ = kByCode[code];
    activityStart_ = t;
}

void Load::InitializeSequence() {
    sequence_.fill(SequenceStep{});
    seqCount_ = 0;
    seqRepeat_ = 1;
    seqMode_ = 0;
    seqPauseMs_ = 0;
}

void Load::ConfigureSequence(long count, long repeat, long mode, long pauseMs) {
    seqCount_ = count;
    seqRepeat_ = repeat;
    seqMode_ = mode;
    seqPauseMs_ = static_cast<double>(pauseMs);
}

void Load::SetSequenceStep(long step, double level, double timeMs) { sequence_[step - 1] = {level, timeMs}; }

void Load::StartSequence(bool start, double t) {
    StopActivities();
    if (!start) return;
    activity_ = Activity::Sequence;
    activityStart_ = t;
}

void Load::SetSweepLimits(SweepKind k, double low, double high) { limits_[static_cast<int>(k)] = {low, high}; }

void Load::StartSweep(SweepKind k, double t) {
    StopActivities();
    const int i = static_cast<int>(k);
    const SweepConfig& c = config_[i];
    SweepRecord r;
    r.running = true;
    r.t0 = t;
    r.dwell = c.dwellMs / 1000;
    r.threshold = c.threshold;
    r.limitLow = limits_[i][0];
    r.limitHigh = limits_[i][1];
    if (k == SweepKind::Conductance && c.fineStep > 0) {
        const double span = std::abs(c.stop - c.start);
        const long n = std::min(1000L, static_cast<long>(std::floor(span / c.fineStep + 1e-9)) + 1);
        const double dir = c.stop >= c.start ? 1.0 : -1.0;
        for (long s = 0; s < n; ++s) r.levels.push_back(c.start + dir * c.fineStep * static_cast<double>(s));
    } else {
        for (long s = 0; s < c.steps; ++s) {
            const double f = c.steps > 1 ? static_cast<double>(s) / static_cast<double>(c.steps - 1) : 0.0;
            r.levels.push_back(c.start + (c.stop - c.start) * f);
        }
    }
    record_[i] = std::move(r);
    activity_ = Activity::Sweep;
    activityStart_ = t;
    sweepKind_ = i;
    AdvanceSweep(t);
}

}  // namespace varnel::emulator
