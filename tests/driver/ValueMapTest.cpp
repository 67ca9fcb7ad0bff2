// The value maps: every defined value and its command token, the values
// without one and the text they leave on the session, and the three passes
// by which an entry is chosen for the session's model.
#include <string>
#include <vector>

#include "DriverTestSupport.h"
#include "ValueMaps.h"

namespace varnel::test {
namespace {

struct MapCase {
    ValueMap map;
    ViInt32 value;
    const char* token;  // nullptr: the value has no token
};

const MapCase kMapCases[] = {
    {ValueMap::Boolean, VI_TRUE, "1"},
    {ValueMap::Boolean, VI_FALSE, "0"},
    {ValueMap::Boolean, 2, nullptr},
    {ValueMap::Boolean, -1, nullptr},
    {ValueMap::BandLimit, VARNEL_VAL_BAND_LIMIT_FULL, "1"},
    {ValueMap::BandLimit, VARNEL_VAL_BAND_LIMIT_LIMIT20M_HZ, "2"},
    {ValueMap::BandLimit, 0, nullptr},
    {ValueMap::ConstantCurrentVoltageRange, VARNEL_VAL_CONSTANT_CURRENT_VOLTAGE_RANGE_HIGH, "1"},
    {ValueMap::ConstantCurrentVoltageRange, VARNEL_VAL_CONSTANT_CURRENT_VOLTAGE_RANGE_LOW, "2"},
    {ValueMap::ConstantCurrentVoltageRange, 0, nullptr},
    {ValueMap::CurrentRange, VARNEL_VAL_CURRENT_RANGE_AUTO, "0"},
    {ValueMap::CurrentRange, VARNEL_VAL_CURRENT_RANGE_HIGH, "1"},
    {ValueMap::CurrentRange, VARNEL_VAL_CURRENT_RANGE_MEDIUM, "2"},
    {ValueMap::CurrentRange, VARNEL_VAL_CURRENT_RANGE_LOW, "3"},
    {ValueMap::CurrentRange, 7, nullptr},
    {ValueMap::CurrentRange, -1, nullptr},
    {ValueMap::DcVoltageRange, VARNEL_VAL_DC_VOLTAGE_RANGE_AUTO, "0"},
    {ValueMap::DcVoltageRange, VARNEL_VAL_DC_VOLTAGE_RANGE_RANGE6_VOLT, "1"},
    {ValueMap::DcVoltageRange, VARNEL_VAL_DC_VOLTAGE_RANGE_RANGE60V, "2"},
    {ValueMap::DcVoltageRange, VARNEL_VAL_DC_VOLTAGE_RANGE_RANGE500V, "3"},
    {ValueMap::DcVoltageRange, 4, nullptr},
    {ValueMap::DisplayPosition, VARNEL_VAL_DISPLAY_POSITION_TOP, "0"},
    {ValueMap::DisplayPosition, VARNEL_VAL_DISPLAY_POSITION_MIDDLE, "1"},
    {ValueMap::DisplayPosition, VARNEL_VAL_DISPLAY_POSITION_BOTTOM, "2"},
    {ValueMap::DisplayPosition, 3, nullptr},
    {ValueMap::MasterSlaveMode, VARNEL_VAL_MASTER_SLAVE_MODE_OFF, "0"},
    {ValueMap::MasterSlaveMode, VARNEL_VAL_MASTER_SLAVE_MODE_MASTER, "1"},
    {ValueMap::MasterSlaveMode, VARNEL_VAL_MASTER_SLAVE_MODE_MULTI, "2"},
    {ValueMap::MasterSlaveMode, 3, nullptr},
    {ValueMap::MeasurementAveraging, VARNEL_VAL_MEASUREMENT_AVERAGING_ONE_TIME_SAMPLE, "0"},
    {ValueMap::MeasurementAveraging, VARNEL_VAL_MEASUREMENT_AVERAGING_THREE_TIMES_SAMPLE, "1"},
    {ValueMap::MeasurementAveraging, 2, nullptr},
    {ValueMap::MeasurementMode, VARNEL_VAL_MEASUREMENT_MODE_FREE_RUN, "0"},
    {ValueMap::MeasurementMode, VARNEL_VAL_MEASUREMENT_MODE_SINGLE, "1"},
    {ValueMap::MeasurementMode, 2, nullptr},
    {ValueMap::ModeSwitching, VARNEL_VAL_MODE_SWITCHING_DISABLED, "0"},
    {ValueMap::ModeSwitching, VARNEL_VAL_MODE_SWITCHING_CONSTANT_RESISTANCE_DURING_VOLTAGE_RISING, "1"},
    {ValueMap::ModeSwitching, VARNEL_VAL_MODE_SWITCHING_CONSTANT_VOLTAGE_DURING_VOLTAGE_RISING, "2"},
    {ValueMap::ModeSwitching, VARNEL_VAL_MODE_SWITCHING_CONSTANT_POWER_DURING_VOLTAGE_RISING, "3"},
    {ValueMap::ModeSwitching, VARNEL_VAL_MODE_SWITCHING_LOAD_OFF_DURING_VOLTAGE_RISING, "4"},
    {ValueMap::ModeSwitching, VARNEL_VAL_MODE_SWITCHING_CONSTANT_RESISTANCE_DURING_VOLTAGE_FALLING, "5"},
    {ValueMap::ModeSwitching, VARNEL_VAL_MODE_SWITCHING_CONSTANT_VOLTAGE_DURING_VOLTAGE_FALLING, "6"},
    {ValueMap::ModeSwitching, VARNEL_VAL_MODE_SWITCHING_CONSTANT_POWER_DURING_VOLTAGE_FALLING, "7"},
    {ValueMap::ModeSwitching, VARNEL_VAL_MODE_SWITCHING_LOAD_OFF_DURING_VOLTAGE_FALLING, "8"},
    {ValueMap::ModeSwitching, 9, nullptr},
    {ValueMap::NoiseFilter, VARNEL_VAL_NOISE_FILTER_THRU50_HZ, "1"},
    {ValueMap::NoiseFilter, VARNEL_VAL_NOISE_FILTER_HIGH_PASS, "2"},
    {ValueMap::NoiseFilter, VARNEL_VAL_NOISE_FILTER_LOW_PASS, "3"},
    {ValueMap::NoiseFilter, VARNEL_VAL_NOISE_FILTER_HIGH_PASS_AND_LOW_PASS, "4"},
    {ValueMap::NoiseFilter, 0, nullptr},
    {ValueMap::NoiseVoltageRange, VARNEL_VAL_NOISE_VOLTAGE_RANGE_AUTO, "0"},
    {ValueMap::NoiseVoltageRange, VARNEL_VAL_NOISE_VOLTAGE_RANGE_RANGE30_0MV, "1"},
    {ValueMap::NoiseVoltageRange, VARNEL_VAL_NOISE_VOLTAGE_RANGE_RANGE3V, "2"},
    {ValueMap::NoiseVoltageRange, 3, nullptr},
    {ValueMap::SampleRate, VARNEL_VAL_SAMPLE_RATE_HZ50, "0"},
    {ValueMap::SampleRate, VARNEL_VAL_SAMPLE_RATE_HZ60, "1"},
    {ValueMap::SampleRate, -1, nullptr},
};

ViSession OpenSimulated(const std::string& model) {
    ViSession vi = 0;
    const std::string options = "Simulate=1, DriverSetup=Model:" + model;
    EXPECT_EQ(VI_SUCCESS, Varnel_InitWithOptions(const_cast<ViRsrc>("Sim"), VI_FALSE, VI_FALSE, options.c_str(), &vi));
    return vi;
}

TEST(ValueMaps, EveryDefinedValueHasItsTokenForEveryModel) {
    TempStore store;
    for (const char* model : {"QVX M1", "QVX M2", "QVX M3", "QVX M4", "Unlisted"}) {
        const ViSession vi = OpenSimulated(model);
        ASSERT_NE(0u, vi);
        for (const MapCase& c : kMapCases) {
            if (c.token == nullptr) continue;
            const char* token = "stale";
            EXPECT_EQ(VI_SUCCESS, ValueToToken(SessionOf(vi), c.map, c.value, &token)) << model << " " << c.value;
            EXPECT_STREQ(c.token, token) << model << " map " << static_cast<int>(c.map) << " value " << c.value;
        }
        Varnel_close(vi);
    }
}

TEST(ValueMaps, ValueWithoutTokenIsRecordedWithTheValueAndLeavesTheEmptyToken) {
    TempStore store;
    const ViSession vi = OpenSimulated("QVX M1");
    ASSERT_NE(0u, vi);
    for (const MapCase& c : kMapCases) {
        if (c.token != nullptr) continue;
        const char* token = "stale";
        EXPECT_EQ(IVI_ERROR_CANNOT_RECOVER, ValueToToken(SessionOf(vi), c.map, c.value, &token)) << c.value;
        EXPECT_STREQ("", token);
        const RecordedError error = ReadError(vi);
        EXPECT_EQ(IVI_ERROR_CANNOT_RECOVER, error.code);
        EXPECT_EQ("Failure cannot recover.  Could not convert defined value '" + std::to_string(c.value) +
                      "' to an instrument command.",
                  error.text)
            << "map " << static_cast<int>(c.map);
    }
    Varnel_close(vi);
}

TEST(ValueMaps, ExactModelThenFamilyThenEveryModelEachInMapOrder) {
    TempStore store;
    const std::vector<ValueMapEntry> entries = {
        {"ANY", 5, {"any"}, {}},
        {"FAMILY", 5, {"family"}, {"Elsewhere", "DefaultFamily"}},
        {"EXACT", 5, {"exact"}, {"QVX M4", "QVX M3"}},
        {"EXACT_LATER", 5, {"later"}, {"QVX M3"}},
        {"ONLY_M3", 6, {"m3"}, {"QVX M3"}},
    };
    struct PassCase {
        const char* model;
        ViInt32 value;
        const char* token;  // nullptr: no entry
    };
    const PassCase cases[] = {
        {"QVX M3", 5, "exact"},  {"QVX M2", 5, "family"}, {"Unlisted", 5, "any"}, {"qvx m3", 5, "any"},
        {"QVX M3", 6, "m3"},     {"QVX M2", 6, nullptr},  {"QVX M3", 7, nullptr},
    };
    for (const PassCase& c : cases) {
        const ViSession vi = OpenSimulated(c.model);
        ASSERT_NE(0u, vi);
        const ValueMapEntry* entry = FindValueMapEntry(entries, c.value, SessionOf(vi));
        if (c.token == nullptr) {
            EXPECT_EQ(nullptr, entry) << c.model << " " << c.value;
        } else {
            ASSERT_NE(nullptr, entry) << c.model << " " << c.value;
            EXPECT_EQ(c.token, entry->tokens.front()) << c.model << " " << c.value;
        }
        Varnel_close(vi);
    }
}

TEST(ValueMaps, ListTextsSplitAtEveryCommaAndTrimmed) {
    using List = std::vector<std::string>;
    EXPECT_EQ(List{}, SplitList(""));
    EXPECT_EQ(List{}, SplitList(nullptr));
    EXPECT_EQ(List{"1"}, SplitList("1"));
    EXPECT_EQ((List{"QVX M1", "QVX M2", "x"}), SplitList(" QVX M1 ,\tQVX M2\r\n, x"));
    EXPECT_EQ((List{"a", "", "b", ""}), SplitList("a,, b,"));
}

}  // namespace
}  // namespace varnel::test
