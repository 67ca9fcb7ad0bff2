// The electrical model seen through the measurement queries: readings agree
// with each other and with the source, the protections trip and reset, and
// the activities (sweeps, dynamic modes, sequences) run in emulated time.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "EmulatorHarness.h"

namespace varnel::emulator::test {
namespace {

struct Point {
    double v, i, p;
};

Point Measure(LineClient& c) { return {c.QueryReal("MV"), c.QueryReal("MCFR"), c.QueryReal("MW")}; }

// Readings carry noise of some tens of ppm; 0.1 % plus 1 mA or 1 mV is well outside it.
void ExpectNear(double actual, double expected, const char* what) {
    EXPECT_NEAR(actual, expected, 1e-3 * std::abs(expected) + 1e-3) << what;
}

InstrumentOptions Source(double voc, double rs, const char* model = "M1") {
    InstrumentOptions o;
    o.sourceVoltage = voc;
    o.sourceResistance = rs;
    o.model = model;
    return o;
}

struct ModeCase {
    const char* setup;   // the set point line
    double voc, rs;
    double current;      // the current the model must settle at
};

std::ostream& operator<<(std::ostream& os, const ModeCase& c) {
    return os << c.setup << " on " << c.voc << " V / " << c.rs << " ohm";
}

class ModeModel : public ::testing::TestWithParam<ModeCase> {};

// In every mode V = Voc - I*Rs and P = V*I, at the current the mode asks for.
TEST_P(ModeModel, ReadingsAgreeWithTheSource) {
    const ModeCase& m = GetParam();
    RunningEmulator emu({}, Source(m.voc, m.rs));
    LineClient c(emu.port());
    c.Send(m.setup);
    c.Send("SW 1");
    const Point p = Measure(c);
    ExpectNear(p.i, m.current, "current");
    ExpectNear(p.v, m.voc - m.current * m.rs, "voltage");
    ExpectNear(p.p, p.v * p.i, "power");
    EXPECT_EQ(c.Status(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, ModeModel,
    ::testing::Values(ModeCase{"CC 2.5", 12, 0.05, 2.5},
                      ModeCase{"CC 2", 48, 0.2, 2},
                      ModeCase{"CR 4", 12, 0.05, 12 / 4.05},
                      ModeCase{"CX 2", 24, 0.1, 24 / (5 + 0.1)},     // 2 A at 10 V: 5 ohm
                      ModeCase{"CV 11", 12, 0.1, 10},                // (12 - 11) / 0.1
                      ModeCase{"CV 13", 12, 0.1, 0},                 // above the source: draws nothing
                      ModeCase{"CP 50", 24, 0.1, (24 - std::sqrt(24.0 * 24 - 4 * 0.1 * 50)) / 0.2},
                      ModeCase{"CP 50", 24, 0, 50.0 / 24},
                      ModeCase{"CC 0", 12, 0.05, 0}));

TEST(LoadOff, DrawsNothingAndShowsTheOpenCircuitVoltage) {
    RunningEmulator emu({}, Source(30, 0.5));
    LineClient c(emu.port());
    c.Send("CC 5");
    Point p = Measure(c);
    ExpectNear(p.i, 0, "current off");
    ExpectNear(p.v, 30, "voltage off");
    c.Send("SW 1");
    ExpectNear(c.QueryReal("MCFR"), 5, "current on");
    c.Send("SW 0");
    ExpectNear(c.QueryReal("MCFR"), 0, "current off again");
}

// The precondition voltage: the load draws only while the source reaches it.
TEST(Precondition, BelowItTheLoadDrawsNothing) {
    RunningEmulator emu({}, Source(12, 0.05));
    LineClient c(emu.port());
    c.Send("CC 1");
    c.Send("SW 1");
    c.Send("LV 15");
    ExpectNear(c.QueryReal("MCFR"), 0, "below the precondition");
    c.Send("LV 10");
    ExpectNear(c.QueryReal("MCFR"), 1, "above it");
}

// Protections: tripping switches the load off and latches the alarm bit;
// AC resets the alarm and the load stays off until switched on; disabled,
// the load holds at the ceiling and flags it.
TEST(Protection, CurrentLimitTripsLatchesAndResets) {
    RunningEmulator emu({}, Source(12, 0.05));
    LineClient c(emu.port());
    c.Send("LS 2");
    c.Send("CC 3");
    c.Send("SW 1");
    EXPECT_EQ(c.Query("QUES"), "1");
    ExpectNear(c.QueryReal("MCFR"), 0, "tripped");
    c.Send("CC 1");
    c.Send("SW 1");  // no effect while the alarm is latched
    ExpectNear(c.QueryReal("MCFR"), 0, "still tripped");
    c.Send("AC");
    EXPECT_EQ(c.Query("QUES"), "0");
    ExpectNear(c.QueryReal("MCFR"), 0, "off after the reset");
    c.Send("SW 1");
    ExpectNear(c.QueryReal("MCFR"), 1, "on again");
    c.Send("ALMCOFF 0");
    c.Send("CC 3");
    ExpectNear(c.QueryReal("MCFR"), 2, "held at the limit");
    EXPECT_EQ(c.Query("QUES"), "4");
    EXPECT_EQ(c.Status(), 0);
}

TEST(Protection, PowerRatingTripsOrLimits) {
    RunningEmulator emu({}, Source(100, 0.05));  // M1: 150 W
    LineClient c(emu.port());
    c.Send("CC 2");  // about 200 W
    c.Send("SW 1");
    EXPECT_EQ(c.Query("QUES"), "2");
    ExpectNear(c.QueryReal("MW"), 0, "tripped");
    c.Send("CL");  // clears the alarms too
    EXPECT_EQ(c.Query("QUES"), "0");
    c.Send("ALMPOFF 0");
    c.Send("SW 1");
    const Point p = Measure(c);
    ExpectNear(p.p, 150, "held at the rating");
    ExpectNear(p.v, 100 - p.i * 0.05, "voltage");
    EXPECT_EQ(c.Query("QUES"), "8");
}

TEST(Ceiling, RangeAndSourceLimitTheCurrent) {
    RunningEmulator emu({}, Source(12, 1));  // the source gives at most 12 A
    LineClient c(emu.port());
    c.Send("RC 3");  // low range: 0.3 A
    c.Send("CC 1");
    c.Send("SW 1");
    ExpectNear(c.QueryReal("MCFR"), 0.3, "low range");
    EXPECT_EQ(c.Query("QUES"), "4");
    c.Send("RC 0");
    c.Send("CC 20");
    const Point p = Measure(c);
    ExpectNear(p.i, 12, "short of the source");
    ExpectNear(p.v, 0, "voltage collapsed");
    EXPECT_EQ(c.Query("QUES"), "32");
}

TEST(ShortCircuit, DrawsToTheCeilingAndEndsWithASetPoint) {
    RunningEmulator emu({}, Source(5, 0.1));  // up to 50 A from the source, 30 A ceiling, 15 A at most under 150 W
    LineClient c(emu.port());
    c.Send("LS 10");
    c.Send("SW 1");
    c.Send("CS");
    const Point p = Measure(c);
    ExpectNear(p.i, 10, "held at the limit without tripping");
    EXPECT_EQ(c.Query("QUES"), "20");  // short circuit, current held at the ceiling
    c.Send("CC 1");
    ExpectNear(c.QueryReal("MCFR"), 1, "back to constant current");
    EXPECT_EQ(c.Query("QUES"), "0");
}

TEST(Readings, RangesOverRangeAndSimplifiedForms) {
    RunningEmulator emu({}, Source(12, 0.05));
    LineClient c(emu.port());
    c.Send("CC 2");
    c.Send("SW 1");
    EXPECT_EQ(c.Query("MD 1"), "9.9E+37");   // 11.9 V in the 6 V range
    ExpectNear(c.QueryReal("MD 2"), 11.9, "60 V range");
    ExpectNear(c.QueryReal("MD 0"), 11.9, "automatic");
    EXPECT_EQ(c.Query("MC 3"), "9.9E+37");   // 2 A in the 0.3 A range
    ExpectNear(c.QueryReal("MC 1"), 2, "high range");
    const std::string simplified = c.Query("BMC 0");
    EXPECT_EQ(simplified.size() - simplified.find('.'), 4u) << simplified;  // three decimals
    ExpectNear(std::stod(simplified), 2, "simplified");
    const double noise = c.QueryReal("MN 0"), ripple = c.QueryReal("MR 0");
    EXPECT_GT(noise, 0);
    EXPECT_LT(noise, 0.03);
    EXPECT_LT(ripple, noise);
    EXPECT_NEAR(c.QueryReal("MP"), ripple * 2, ripple * 2 * 0.1);
}

// Several clients share one instrument.
TEST(Clients, ShareOneState) {
    RunningEmulator emu({}, Source(12, 0.05));
    LineClient a(emu.port()), b(emu.port());
    a.Send("CC 3");
    a.Send("SW 1");
    ExpectNear(a.QueryReal("MCFR"), 3, "a");  // a's lines are done once its reply comes
    ExpectNear(b.QueryReal("MCFR"), 3, "b");
    b.Send("INI");
    EXPECT_EQ(b.Status(), 0);
    ExpectNear(a.QueryReal("MCFR"), 0, "after b's INI");
}

// Polls an end step until it is no longer -1; bounded to 5 s.
long WaitForEnd(LineClient& c, const std::string& query) {
    for (int i = 0; i < 5000; ++i) {
        const std::string r = c.Query(query);
        if (r != "-1") return std::stol(r);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return -1;
}

std::vector<double> Fields(const std::string& line) {
    std::vector<double> out;
    std::stringstream ss(line);
    for (std::string f; std::getline(ss, f, ',');) out.push_back(std::stod(f));
    return out;
}

struct SweepCase {
    const char* prefix;   // SWC, SWP or SWR
    const char* set;      // its configure arguments
    double voc, rs;
    long endStep;         // where the model must end it
    const char* limits;   // test limits, or nullptr
    const char* verdict;  // "PASS" or "FAIL" with the limits
};

std::ostream& operator<<(std::ostream& os, const SweepCase& c) { return os << c.prefix << "SET " << c.set; }

class Sweep : public ::testing::TestWithParam<SweepCase> {};

// A sweep steps evenly from start to stop, records consistent readings at
// every step, ends at the first step below the voltage threshold and judges
// the end value against the limits set before the start.
TEST_P(Sweep, EndsWhereTheModelSaysWithConsistentSteps) {
    const SweepCase& s = GetParam();
    ServerOptions fast;
    fast.speed = 1e6;
    RunningEmulator emu(fast, Source(s.voc, s.rs));
    LineClient c(emu.port());
    const std::string p = s.prefix;
    c.Send(p + "SET " + s.set);
    if (s.limits) c.Send(p + "TSET " + s.limits);
    c.Send(p + "START");
    EXPECT_EQ(c.Status(), 0);
    EXPECT_EQ(WaitForEnd(c, p + "RESSTP"), s.endStep);

    const std::vector<double> set = Fields(s.set);
    const double start = set[0], stop = set[1], threshold = set[3];
    const long steps = static_cast<long>(set[4]);
    for (long k = 1; k <= s.endStep; ++k) {
        const std::vector<double> f = Fields(c.Query(p + "RES " + std::to_string(k)));
        ASSERT_EQ(f.size(), 5u);
        EXPECT_EQ(f[0], k);
        const double level = start + (stop - start) * static_cast<double>(k - 1) / static_cast<double>(steps - 1);
        ExpectNear(f[1], level, "level");
        ExpectNear(f[2], s.voc - f[3] * s.rs, "voltage");
        ExpectNear(f[4], f[2] * f[3], "power");
        if (p == "SWC") ExpectNear(f[3], level, "current");
        if (p == "SWP") ExpectNear(f[4], level, "power level");
        if (p == "SWR") ExpectNear(f[3], f[2] * level, "conductance");
        if (k < s.endStep || s.endStep < steps) {
            EXPECT_EQ(f[2] < threshold, k == s.endStep) << "step " << k;
        }
    }
    EXPECT_EQ(c.Query(p + "RES " + std::to_string(s.endStep + 1)), std::to_string(s.endStep + 1) + ",NOT RUN");
    if (s.verdict) {
        const std::string v = c.Query(p + "TRES");
        EXPECT_EQ(v.substr(0, v.find(',')), s.verdict) << v;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, Sweep,
    ::testing::Values(
        // 12 V, 0.5 ohm, steps of 1 A from 0: 10 V at 4 A, 9.5 V at 5 A (step 6), the first below 9.8 V.
        SweepCase{"SWC", "0,10,10,9.8,11", 12, 0.5, 6, "4.5,5.5", "PASS"},
        SweepCase{"SWC", "0,10,10,9.8,11", 12, 0.5, 6, "1,2", "FAIL"},
        SweepCase{"SWC", "0,2,10,0,5", 12, 0.5, 5, nullptr, "PASS"},   // never below: all steps; default limits
        // 24 V, 1 ohm, steps of 10 W from 10 W: 20.6 V at 70 W, 20 V at 80 W (step 8), the first below 20.3 V.
        SweepCase{"SWP", "10,80,5,20.3,8", 24, 1, 8, "70,90", "PASS"},
        SweepCase{"SWP", "10,100,5,20.3,10", 24, 1, 8, "90,100", "FAIL"},
        // Conductance 0.1 to 1 S on 12 V / 1 ohm: V = 12 / (1 + G) is below 7 V from G = 0.8 on.
        SweepCase{"SWR", "0.1,1,5,7,10", 12, 1, 8, nullptr, nullptr}));

TEST(SweepState, EndStepIsMinusOneUntilFinishedAndClearStopsIt) {
    RunningEmulator emu({}, Source(12, 0.05));  // speed 100: a step of 1e6 ms lasts 10 s
    LineClient c(emu.port());
    c.Send("SWCSET 0,5,1000000,0,10");
    c.Send("SWCSTART");
    EXPECT_EQ(c.Query("SWCRESSTP"), "-1");
    c.Send("CL");
    EXPECT_EQ(c.Query("SWCRESSTP"), "-1");
    EXPECT_EQ(c.Query("SWCTRES"), "NOT RUN");
    EXPECT_EQ(c.Query("SWCRES 1"), "1,NOT RUN");
    EXPECT_EQ(c.Status(), 0);
}

TEST(SweepState, FineConductanceSweepStepsByItsStep) {
    ServerOptions fast;
    fast.speed = 1e6;
    RunningEmulator emu(fast, Source(12, 1));
    LineClient c(emu.port());
    c.Send("SWRSET 0,1,10,0,3");
    c.Send("SWRFSET 0.1,5");
    c.Send("SWRSTART");
    EXPECT_EQ(WaitForEnd(c, "SWRRESSTP"), 11);
    ExpectNear(Fields(c.Query("SWRRES 4"))[1], 0.3, "fine step level");
    c.Send("SWRSET 0,1,10,0,3");  // coarse again
    c.Send("SWRSTART");
    EXPECT_EQ(WaitForEnd(c, "SWRRESSTP"), 3);
}

TEST(Dynamic, FrequencyModeReadsTheAverageAndTimeModeTheStepLevel) {
    RunningEmulator emu({}, Source(12, 0.05));
    LineClient c(emu.port());
    c.Send("SW 1");
    c.Send("CC 0.5");
    c.Send("FDC 1,2");
    c.Send("FDC 2,1");
    c.Send("FDD 25");
    c.Send("FDT 1");
    c.Send("CD 3");
    ExpectNear(c.QueryReal("MCFR"), 0.25 * 2 + 0.75 * 1, "frequency mode");
    c.Send("DP 1 DC 3");
    c.Send("DP 1 DT 10000000");  // 1e4 s emulated: 100 s of wall-clock time
    c.Send("CD 1");
    ExpectNear(c.QueryReal("MCFR"), 3, "first step");
    c.Send("CD 0");
    ExpectNear(c.QueryReal("MCFR"), 0.5, "static again");
    EXPECT_EQ(c.Status(), 0);
}

TEST(Dynamic, SingleRunEndsAtTheStaticSetting) {
    ServerOptions fast;
    fast.speed = 1e6;
    RunningEmulator emu(fast, Source(12, 0.05));
    LineClient c(emu.port());
    c.Send("SW 1");
    c.Send("CC 0.5");
    c.Send("DP 1 DC 3");
    c.Send("DP 1 DT 1");  // 1 ms emulated: 1 ns of wall-clock time
    c.Send("CD 2");
    EXPECT_EQ(c.Status(), 0);
    ExpectNear(c.QueryReal("MCFR"), 0.5, "after the single run");
}

TEST(Sequence, RunsItsStepsAndStops) {
    RunningEmulator emu({}, Source(12, 0.05));
    LineClient c(emu.port());
    c.Send("SW 1");
    c.Send("CC 0.5");
    c.Send("SQU 2,0,1,0");        // 2 steps, endless, constant power
    c.Send("SQD 1,6,10000000");   // 6 W for 1e4 s
    c.Send("SQD 2,1,10");
    c.Send("SQC 1");
    ExpectNear(c.QueryReal("MW"), 6, "first step");
    c.Send("SQC 0");
    ExpectNear(c.QueryReal("MCFR"), 0.5, "stopped");
    EXPECT_EQ(c.Status(), 0);
}

TEST(PowerOn, IniRestoresEverySetting) {
    RunningEmulator emu({}, Source(12, 0.05));
    LineClient c(emu.port());
    for (const char* line : {"CC 2", "SW 1", "RC 3", "LS 1", "ALMCOFF 0", "MS 1"}) c.Send(line);
    c.Send("INI");
    c.Send("CC 2");
    ExpectNear(c.QueryReal("MCFR"), 0, "off after INI");
    c.Send("SW 1");
    ExpectNear(c.QueryReal("MCFR"), 2, "full range and limit after INI");
    EXPECT_EQ(c.Query("QUES"), "0");
}

}  // namespace
}  // namespace varnel::emulator::test
