// The Set functions of the write-only attributes: the exact line each puts
// on the wire, the time-dynamic steps addressed by the number in their
// names, nothing sent in simulation, and what the cache records.
#include <fstream>
#include <functional>
#include <regex>
#include <string>
#include <vector>

#include "DriverTestSupport.h"
#include "FakeInstrument.h"

namespace varnel::test {
namespace {

struct SetCase {
    const char* function;
    std::function<ViStatus(ViSession)> call;
    const char* line;
};

class LiveSet : public ::testing::Test {
protected:
    void SetUp() override {
        instrument.reply("*IDN?", "QVX M2 LOAD 1.05\n");
        ASSERT_EQ(VI_SUCCESS, Varnel_InitWithOptions(const_cast<ViRsrc>(instrument.resource().c_str()), VI_FALSE,
                                                     VI_FALSE, "", &vi));
    }
    void TearDown() override { Varnel_close(vi); }
    // The lines received after the identity query.
    std::vector<std::string> Sent(std::size_t count) {
        EXPECT_TRUE(instrument.waitForLines(count + 1));
        std::vector<std::string> lines = instrument.lines();
        lines.erase(lines.begin());
        return lines;
    }
    TempStore store;
    FakeInstrument instrument;
    ViSession vi = 0;
};

// clang-format off
const std::vector<SetCase>& SetCases() {
    static const std::vector<SetCase> cases = {
        {"Varnel_SetConstantCurrent", [](ViSession v) { return Varnel_SetConstantCurrent(v, 2.5); }, "CC 2.5"},
        {"Varnel_SetConstantPower", [](ViSession v) { return Varnel_SetConstantPower(v, 0.1); }, "CP 0.1"},
        {"Varnel_SetConstantResistance", [](ViSession v) { return Varnel_SetConstantResistance(v, -1.0); }, "CR -1"},
        {"Varnel_SetConstantVoltage", [](ViSession v) { return Varnel_SetConstantVoltage(v, 1e300); }, "CV 1e+300"},
        {"Varnel_SetCurrentAt10v", [](ViSession v) { return Varnel_SetCurrentAt10v(v, 12.0); }, "CX 12"},
        {"Varnel_SetCurrentLimit", [](ViSession v) { return Varnel_SetCurrentLimit(v, 0.000125); }, "LS 0.000125"},
        {"Varnel_SetCurrentRange", [](ViSession v) { return Varnel_SetCurrentRange(v, VARNEL_VAL_CURRENT_RANGE_LOW); }, "RC 3"},
        {"Varnel_SetLoadEnabled", [](ViSession v) { return Varnel_SetLoadEnabled(v, VI_TRUE); }, "SW 1"},
        {"Varnel_SetResponseTime", [](ViSession v) { return Varnel_SetResponseTime(v, -0.5); }, "GV -0.5"},
        {"Varnel_SetConstantCurrentSlewRate", [](ViSession v) { return Varnel_SetConstantCurrentSlewRate(v, 2.5); }, "GC 2.5"},
        {"Varnel_SetConstantCurrentVoltageRange", [](ViSession v) { return Varnel_SetConstantCurrentVoltageRange(v, VARNEL_VAL_CONSTANT_CURRENT_VOLTAGE_RANGE_LOW); }, "RV 2"},
        {"Varnel_SetLoadSwitchingMode", [](ViSession v) { return Varnel_SetLoadSwitchingMode(v, VARNEL_VAL_MODE_SWITCHING_LOAD_OFF_DURING_VOLTAGE_FALLING); }, "LM 8"},
        {"Varnel_SetLoadSwitchingPreconditionVoltage", [](ViSession v) { return Varnel_SetLoadSwitchingPreconditionVoltage(v, 0.1); }, "LV 0.1"},
        {"Varnel_SetMeasurementDisplayPosition", [](ViSession v) { return Varnel_SetMeasurementDisplayPosition(v, VARNEL_VAL_DISPLAY_POSITION_BOTTOM); }, "DS 2"},
        {"Varnel_SetMeasurementMode", [](ViSession v) { return Varnel_SetMeasurementMode(v, VARNEL_VAL_MEASUREMENT_MODE_SINGLE); }, "MF 1"},
        {"Varnel_SetSampleRate", [](ViSession v) { return Varnel_SetSampleRate(v, VARNEL_VAL_SAMPLE_RATE_HZ60); }, "HZ 1"},
        {"Varnel_SetMeasurementAveraging", [](ViSession v) { return Varnel_SetMeasurementAveraging(v, VARNEL_VAL_MEASUREMENT_AVERAGING_THREE_TIMES_SAMPLE); }, "MS 1"},
        {"Varnel_SetNoiseBandLimit", [](ViSession v) { return Varnel_SetNoiseBandLimit(v, VARNEL_VAL_BAND_LIMIT_LIMIT20M_HZ); }, "FH 2"},
        {"Varnel_SetNoiseFilter", [](ViSession v) { return Varnel_SetNoiseFilter(v, VARNEL_VAL_NOISE_FILTER_HIGH_PASS_AND_LOW_PASS); }, "FL 4"},
        {"Varnel_SetNoiseRatio", [](ViSession v) { return Varnel_SetNoiseRatio(v, -1.0); }, "RF -1"},
        {"Varnel_SetMasterSlaveMode", [](ViSession v) { return Varnel_SetMasterSlaveMode(v, VARNEL_VAL_MASTER_SLAVE_MODE_MULTI); }, "BS 2"},
        {"Varnel_SetUserDefinedOutputEnabled", [](ViSession v) { return Varnel_SetUserDefinedOutputEnabled(v, VI_FALSE); }, "UDO 0,0"},
        {"Varnel_SetCurrentLimitProtectionEnabled", [](ViSession v) { return Varnel_SetCurrentLimitProtectionEnabled(v, VI_TRUE); }, "ALMCOFF 1"},
        {"Varnel_SetPowerLimitProtectionEnabled", [](ViSession v) { return Varnel_SetPowerLimitProtectionEnabled(v, VI_FALSE); }, "ALMPOFF 0"},
        {"Varnel_SetLxiIdentifyEnabled", [](ViSession v) { return Varnel_SetLxiIdentifyEnabled(v, VI_TRUE); }, "SYST:COMM:LAN:IDLED 1"},
        {"Varnel_SetFrequencyDynamicModePeriod", [](ViSession v) { return Varnel_SetFrequencyDynamicModePeriod(v, 1e300); }, "FDT 1e+300"},
        {"Varnel_SetFrequencyDynamicModeDutyCycle", [](ViSession v) { return Varnel_SetFrequencyDynamicModeDutyCycle(v, 12.0); }, "FDD 12"},
        {"Varnel_SetFrequencyDynamicModeStep1Load", [](ViSession v) { return Varnel_SetFrequencyDynamicModeStep1Load(v, 0.000125); }, "FDC 1,0.000125"},
        {"Varnel_SetFrequencyDynamicModeStep1SlewRate", [](ViSession v) { return Varnel_SetFrequencyDynamicModeStep1SlewRate(v, -0.5); }, "FDR 1,-0.5"},
        {"Varnel_SetFrequencyDynamicModeStep2Load", [](ViSession v) { return Varnel_SetFrequencyDynamicModeStep2Load(v, 2.5); }, "FDC 2,2.5"},
        {"Varnel_SetFrequencyDynamicModeStep2SlewRate", [](ViSession v) { return Varnel_SetFrequencyDynamicModeStep2SlewRate(v, 0.1); }, "FDR 2,0.1"},
        {"Varnel_SetTimeDynamicModeStep1Load", [](ViSession v) { return Varnel_SetTimeDynamicModeStep1Load(v, -1.0); }, "DP 1 DC -1"},
        {"Varnel_SetTimeDynamicModeStep1Dwell", [](ViSession v) { return Varnel_SetTimeDynamicModeStep1Dwell(v, 1e300); }, "DP 1 DT 1e+300"},
        {"Varnel_SetTimeDynamicModeStep1SlewRate", [](ViSession v) { return Varnel_SetTimeDynamicModeStep1SlewRate(v, 12.0); }, "DP 1 DR 12"},
        {"Varnel_SetTimeDynamicModeStep2Load", [](ViSession v) { return Varnel_SetTimeDynamicModeStep2Load(v, 0.000125); }, "DP 2 DC 0.000125"},
        {"Varnel_SetTimeDynamicModeStep2Dwell", [](ViSession v) { return Varnel_SetTimeDynamicModeStep2Dwell(v, -0.5); }, "DP 2 DT -0.5"},
        {"Varnel_SetTimeDynamicModeStep2SlewRate", [](ViSession v) { return Varnel_SetTimeDynamicModeStep2SlewRate(v, 2.5); }, "DP 2 DR 2.5"},
        {"Varnel_SetTimeDynamicModeStep3Load", [](ViSession v) { return Varnel_SetTimeDynamicModeStep3Load(v, 0.1); }, "DP 3 DC 0.1"},
        {"Varnel_SetTimeDynamicModeStep3Dwell", [](ViSession v) { return Varnel_SetTimeDynamicModeStep3Dwell(v, -1.0); }, "DP 3 DT -1"},
        {"Varnel_SetTimeDynamicModeStep3SlewRate", [](ViSession v) { return Varnel_SetTimeDynamicModeStep3SlewRate(v, 1e300); }, "DP 3 DR 1e+300"},
        {"Varnel_SetTimeDynamicModeStep4Load", [](ViSession v) { return Varnel_SetTimeDynamicModeStep4Load(v, 12.0); }, "DP 4 DC 12"},
        {"Varnel_SetTimeDynamicModeStep4Dwell", [](ViSession v) { return Varnel_SetTimeDynamicModeStep4Dwell(v, 0.000125); }, "DP 4 DT 0.000125"},
        {"Varnel_SetTimeDynamicModeStep4SlewRate", [](ViSession v) { return Varnel_SetTimeDynamicModeStep4SlewRate(v, -0.5); }, "DP 4 DR -0.5"},
        {"Varnel_SetTimeDynamicModeStep5Load", [](ViSession v) { return Varnel_SetTimeDynamicModeStep5Load(v, 2.5); }, "DP 5 DC 2.5"},
        {"Varnel_SetTimeDynamicModeStep5Dwell", [](ViSession v) { return Varnel_SetTimeDynamicModeStep5Dwell(v, 0.1); }, "DP 5 DT 0.1"},
        {"Varnel_SetTimeDynamicModeStep5SlewRate", [](ViSession v) { return Varnel_SetTimeDynamicModeStep5SlewRate(v, -1.0); }, "DP 5 DR -1"},
        {"Varnel_SetTimeDynamicModeStep6Load", [](ViSession v) { return Varnel_SetTimeDynamicModeStep6Load(v, 1e300); }, "DP 6 DC 1e+300"},
        {"Varnel_SetTimeDynamicModeStep6Dwell", [](ViSession v) { return Varnel_SetTimeDynamicModeStep6Dwell(v, 12.0); }, "DP 6 DT 12"},
        {"Varnel_SetTimeDynamicModeStep6SlewRate", [](ViSession v) { return Varnel_SetTimeDynamicModeStep6SlewRate(v, 0.000125); }, "DP 6 DR 0.000125"},
        {"Varnel_SetTimeDynamicModeStep7Load", [](ViSession v) { return Varnel_SetTimeDynamicModeStep7Load(v, -0.5); }, "DP 7 DC -0.5"},
        {"Varnel_SetTimeDynamicModeStep7Dwell", [](ViSession v) { return Varnel_SetTimeDynamicModeStep7Dwell(v, 2.5); }, "DP 7 DT 2.5"},
        {"Varnel_SetTimeDynamicModeStep7SlewRate", [](ViSession v) { return Varnel_SetTimeDynamicModeStep7SlewRate(v, 0.1); }, "DP 7 DR 0.1"},
        {"Varnel_SetTimeDynamicModeStep8Load", [](ViSession v) { return Varnel_SetTimeDynamicModeStep8Load(v, -1.0); }, "DP 8 DC -1"},
        {"Varnel_SetTimeDynamicModeStep8Dwell", [](ViSession v) { return Varnel_SetTimeDynamicModeStep8Dwell(v, 1e300); }, "DP 8 DT 1e+300"},
        {"Varnel_SetTimeDynamicModeStep8SlewRate", [](ViSession v) { return Varnel_SetTimeDynamicModeStep8SlewRate(v, 12.0); }, "DP 8 DR 12"},
        {"Varnel_SetTimeDynamicModeStep9Load", [](ViSession v) { return Varnel_SetTimeDynamicModeStep9Load(v, 0.000125); }, "DP 9 DC 0.000125"},
        {"Varnel_SetTimeDynamicModeStep9Dwell", [](ViSession v) { return Varnel_SetTimeDynamicModeStep9Dwell(v, -0.5); }, "DP 9 DT -0.5"},
        {"Varnel_SetTimeDynamicModeStep9SlewRate", [](ViSession v) { return Varnel_SetTimeDynamicModeStep9SlewRate(v, 2.5); }, "DP 9 DR 2.5"},
        {"Varnel_SetTimeDynamicModeStep10Load", [](ViSession v) { return Varnel_SetTimeDynamicModeStep10Load(v, 0.1); }, "DP 10 DC 0.1"},
        {"Varnel_SetTimeDynamicModeStep10Dwell", [](ViSession v) { return Varnel_SetTimeDynamicModeStep10Dwell(v, -1.0); }, "DP 10 DT -1"},
        {"Varnel_SetTimeDynamicModeStep10SlewRate", [](ViSession v) { return Varnel_SetTimeDynamicModeStep10SlewRate(v, 1e300); }, "DP 10 DR 1e+300"},
        {"Varnel_SetTimeDynamicModeStep11Load", [](ViSession v) { return Varnel_SetTimeDynamicModeStep11Load(v, 12.0); }, "DP 11 DC 12"},
        {"Varnel_SetTimeDynamicModeStep11Dwell", [](ViSession v) { return Varnel_SetTimeDynamicModeStep11Dwell(v, 0.000125); }, "DP 11 DT 0.000125"},
        {"Varnel_SetTimeDynamicModeStep11SlewRate", [](ViSession v) { return Varnel_SetTimeDynamicModeStep11SlewRate(v, -0.5); }, "DP 11 DR -0.5"},
        {"Varnel_SetTimeDynamicModeStep12Load", [](ViSession v) { return Varnel_SetTimeDynamicModeStep12Load(v, 2.5); }, "DP 12 DC 2.5"},
        {"Varnel_SetTimeDynamicModeStep12Dwell", [](ViSession v) { return Varnel_SetTimeDynamicModeStep12Dwell(v, 0.1); }, "DP 12 DT 0.1"},
        {"Varnel_SetTimeDynamicModeStep12SlewRate", [](ViSession v) { return Varnel_SetTimeDynamicModeStep12SlewRate(v, -1.0); }, "DP 12 DR -1"},
        {"Varnel_SetTimeDynamicModeStep13Load", [](ViSession v) { return Varnel_SetTimeDynamicModeStep13Load(v, 1e300); }, "DP 13 DC 1e+300"},
        {"Varnel_SetTimeDynamicModeStep13Dwell", [](ViSession v) { return Varnel_SetTimeDynamicModeStep13Dwell(v, 12.0); }, "DP 13 DT 12"},
        {"Varnel_SetTimeDynamicModeStep13SlewRate", [](ViSession v) { return Varnel_SetTimeDynamicModeStep13SlewRate(v, 0.000125); }, "DP 13 DR 0.000125"},
        {"Varnel_SetTimeDynamicModeStep14Load", [](ViSession v) { return Varnel_SetTimeDynamicModeStep14Load(v, -0.5); }, "DP 14 DC -0.5"},
        {"Varnel_SetTimeDynamicModeStep14Dwell", [](ViSession v) { return Varnel_SetTimeDynamicModeStep14Dwell(v, 2.5); }, "DP 14 DT 2.5"},
        {"Varnel_SetTimeDynamicModeStep14SlewRate", [](ViSession v) { return Varnel_SetTimeDynamicModeStep14SlewRate(v, 0.1); }, "DP 14 DR 0.1"},
        {"Varnel_SetTimeDynamicModeStep15Load", [](ViSession v) { return Varnel_SetTimeDynamicModeStep15Load(v, -1.0); }, "DP 15 DC -1"},
        {"Varnel_SetTimeDynamicModeStep15Dwell", [](ViSession v) { return Varnel_SetTimeDynamicModeStep15Dwell(v, 1e300); }, "DP 15 DT 1e+300"},
        {"Varnel_SetTimeDynamicModeStep15SlewRate", [](ViSession v) { return Varnel_SetTimeDynamicModeStep15SlewRate(v, 12.0); }, "DP 15 DR 12"},
        {"Varnel_SetTimeDynamicModeStep16Load", [](ViSession v) { return Varnel_SetTimeDynamicModeStep16Load(v, 0.000125); }, "DP 16 DC 0.000125"},
        {"Varnel_SetTimeDynamicModeStep16Dwell", [](ViSession v) { return Varnel_SetTimeDynamicModeStep16Dwell(v, -0.5); }, "DP 16 DT -0.5"},
        {"Varnel_SetTimeDynamicModeStep16SlewRate", [](ViSession v) { return Varnel_SetTimeDynamicModeStep16SlewRate(v, 2.5); }, "DP 16 DR 2.5"},
    };
    return cases;
}
// clang-format on

TEST_F(LiveSet, EverySetFunctionSendsItsLine) {
    std::vector<std::string> expected;
    for (const SetCase& c : SetCases()) {
        EXPECT_EQ(VI_SUCCESS, c.call(vi)) << c.function;
        expected.push_back(c.line);
    }
    EXPECT_EQ(79u, SetCases().size());
    EXPECT_EQ(expected, Sent(expected.size()));
}

TEST_F(LiveSet, TimeDynamicStepsFollowTheNumberInTheirNames) {
    // Every time-dynamic attribute of the public header, set by identifier:
    // the step number and parameter in its name pick the command.
    std::ifstream in(VARNEL_PUBLIC_HEADER);
    const std::regex row(R"(#define VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP(\d+)_(LOAD|DWELL|SLEW_RATE)\s+\(IVI_SPECIFIC_ATTR_BASE\s*\+\s*(\d+)\))");
    std::vector<std::string> expected;
    std::string step12Load;
    for (std::string line; std::getline(in, line);) {
        std::smatch m;
        if (!std::regex_search(line, m, row)) continue;
        const ViAttr id = 1150000 + static_cast<ViAttr>(std::stoul(m[3]));
        const std::string code = m[2] == "LOAD" ? "DC" : m[2] == "DWELL" ? "DT" : "DR";
        EXPECT_EQ(VI_SUCCESS, Varnel_SetAttributeViReal64(vi, nullptr, id, 0.5)) << id;
        expected.push_back("DP " + std::string(m[1]) + " " + code + " 0.5");
        if (id == 1150039) step12Load = expected.back();
    }
    ASSERT_EQ(48u, expected.size());
    EXPECT_EQ(expected, Sent(expected.size()));
    // Steps 11 and 12 exchange identifier blocks.
    EXPECT_EQ("DP 12 DC 0.5", step12Load);
}

TEST_F(LiveSet, SimulationSendsNothingAndTheCacheRecordsWrites) {
    auto cachedReal = [&](ViAttr id) -> const kiln::CacheEntry<ViReal64>* {
        auto& map = SessionOf(vi).GetAttributeCache().reals;
        auto found = map.find(id);
        return found == map.end() ? nullptr : &found->second.begin()->second;
    };
    auto cachedInt = [&](ViAttr id) -> const kiln::CacheEntry<ViInt32>* {
        auto& map = SessionOf(vi).GetAttributeCache().integers;
        auto found = map.find(id);
        return found == map.end() ? nullptr : &found->second.begin()->second;
    };
    // Two equal writes both go out.
    EXPECT_EQ(VI_SUCCESS, Varnel_SetConstantCurrent(vi, 2.5));
    EXPECT_EQ(VI_SUCCESS, Varnel_SetConstantCurrent(vi, 2.5));
    ASSERT_NE(nullptr, cachedReal(VARNEL_ATTR_CONSTANT_CURRENT));
    EXPECT_EQ(2.5, cachedReal(VARNEL_ATTR_CONSTANT_CURRENT)->value);
    // A value outside its map fails, sends nothing, and is still recorded.
    EXPECT_EQ(IVI_ERROR_CANNOT_RECOVER, Varnel_SetNoiseFilter(vi, 0));
    ASSERT_NE(nullptr, cachedInt(VARNEL_ATTR_NOISE_FILTER));
    EXPECT_EQ(0, cachedInt(VARNEL_ATTR_NOISE_FILTER)->value);
    // Cache off, live: nothing recorded.
    EXPECT_EQ(VI_SUCCESS, Varnel_SetAttributeViBoolean(vi, nullptr, VARNEL_ATTR_CACHE, VI_FALSE));
    EXPECT_EQ(VI_SUCCESS, Varnel_InvalidateAllAttributes(vi));
    EXPECT_EQ(VI_SUCCESS, Varnel_SetConstantPower(vi, 7));
    EXPECT_EQ(nullptr, cachedReal(VARNEL_ATTR_CONSTANT_POWER));
    // Cache off, simulating: every Set succeeds with nothing sent, and is recorded.
    EXPECT_EQ(VI_SUCCESS, Varnel_SetAttributeViBoolean(vi, nullptr, VARNEL_ATTR_SIMULATE, VI_TRUE));
    for (const SetCase& c : SetCases()) EXPECT_EQ(VI_SUCCESS, c.call(vi)) << c.function;
    EXPECT_NE(nullptr, cachedReal(VARNEL_ATTR_CONSTANT_POWER));
    EXPECT_EQ(VI_SUCCESS, Varnel_SetNoiseFilter(vi, 0)) << "simulation converts nothing";
    EXPECT_EQ((std::vector<std::string>{"CC 2.5", "CC 2.5", "CP 7"}), Sent(3));
}

}  // namespace
}  // namespace varnel::test
