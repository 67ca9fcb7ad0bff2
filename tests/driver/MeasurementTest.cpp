// The measurement functions: the query line, the parsed reply, VISA failures
// passed through, the null output, simulation, and a Range outside its map.
#include <string>

#include "IviSession.h"
#include "LiveSession.h"

namespace varnel::test {
namespace {

using PlainCall = ViStatus (*)(ViSession, ViReal64*);
using RangeCall = ViStatus (*)(ViSession, ViInt32, ViReal64*);

struct MeasureCase {
    const char* name;  // the function's own name, as errors give it
    PlainCall plain;   // a function without Range, or
    RangeCall ranged;  // one with Range, called with range
    ViInt32 range;
    const char* line;
    ViInt32 badRange;  // a Range without a token
};

const MeasureCase kMeasureCases[] = {
    {"Varnel_MeasureVoltage", Varnel_MeasureVoltage, nullptr, 0, "MV\n", 0},
    {"Varnel_MeasureDCVoltage", nullptr, Varnel_MeasureDCVoltage, VARNEL_VAL_DC_VOLTAGE_RANGE_RANGE60V, "MD 2\n", 7},
    {"Varnel_MeasureCurrent", Varnel_MeasureCurrent, nullptr, 0, "MCFR\n", 0},
    {"Varnel_MeasureCurrentAtRange", nullptr, Varnel_MeasureCurrentAtRange, VARNEL_VAL_CURRENT_RANGE_MEDIUM, "MC 2\n",
     7},
    {"Varnel_MeasurePower", Varnel_MeasurePower, nullptr, 0, "MW\n", 0},
    {"Varnel_MeasureNoiseVoltage", nullptr, Varnel_MeasureNoiseVoltage, VARNEL_VAL_NOISE_VOLTAGE_RANGE_RANGE3V,
     "MN 2\n", 3},
    {"Varnel_MeasureRippleVoltage", nullptr, Varnel_MeasureRippleVoltage, VARNEL_VAL_NOISE_VOLTAGE_RANGE_RANGE30_0MV,
     "MR 1\n", -1},
    {"Varnel_MeasureNoisePower", Varnel_MeasureNoisePower, nullptr, 0, "MP\n", 0},
    {"Varnel_MeasureSimplifiedCurrent", nullptr, Varnel_MeasureSimplifiedCurrent, VARNEL_VAL_CURRENT_RANGE_LOW,
     "BMC 3\n", 4},
    {"Varnel_MeasureSimplifiedPower", Varnel_MeasureSimplifiedPower, nullptr, 0, "BMW\n", 0},
};

ViStatus Measure(const MeasureCase& c, ViSession vi, ViReal64* val) {
    return c.ranged != nullptr ? c.ranged(vi, c.range, val) : c.plain(vi, val);
}

std::string Line(const char* line) { return std::string(line, std::string(line).size() - 1); }

using Measurements = LiveSession;

TEST_F(Measurements, SendTheirQueryAndParseTheReply) {
    double value = 0.5;
    for (const MeasureCase& c : kMeasureCases) {
        value += 1.0;
        instrument.reply(Line(c.line), std::to_string(-value) + " V extra\n");
        ViReal64 val = 0;
        EXPECT_EQ(VI_SUCCESS, Measure(c, vi, &val)) << c.name;
        EXPECT_DOUBLE_EQ(-value, val) << c.name;
        EXPECT_EQ(c.line, Received()) << c.name;
        EXPECT_TRUE(NothingLeftToRead()) << c.name;
    }
}

TEST_F(Measurements, ReplyThatIsNotANumberAndTimeOutGiveTheVisaStatusUnrecorded) {
    ASSERT_EQ(VI_SUCCESS, viSetAttribute(io, VI_ATTR_TMO_VALUE, 200));
    for (const MeasureCase& c : kMeasureCases) {
        IviSession_SetError(vi, 42, "earlier error");
        instrument.reply(Line(c.line), "abc\n");
        ViReal64 val = 0;
        EXPECT_EQ(VI_ERROR_IO, Measure(c, vi, &val)) << c.name;
        instrument.noReply(Line(c.line));
        EXPECT_EQ(VI_ERROR_TMO, Measure(c, vi, &val)) << c.name;
        EXPECT_EQ(std::string(c.line) + c.line, Received()) << c.name;
        EXPECT_EQ("earlier error", ReadError(vi).text) << c.name;
    }
}

TEST_F(Measurements, NullValIsRecordedWithTheFunctionsNameAndNothingIsSent) {
    for (const MeasureCase& c : kMeasureCases) {
        EXPECT_EQ(IVI_ERROR_NULL_POINTER, Measure(c, vi, nullptr)) << c.name;
        EXPECT_EQ(std::string("Null pointer passed for function '") + c.name + "', parameter 'Val'.",
                  ReadError(vi).text);
        EXPECT_EQ("", Received()) << c.name;
    }
}

TEST_F(Measurements, RangeWithoutATokenFailsAndSendsNothing) {
    for (const MeasureCase& c : kMeasureCases) {
        if (c.ranged == nullptr) continue;
        ViReal64 val = 3.25;
        EXPECT_EQ(IVI_ERROR_CANNOT_RECOVER, c.ranged(vi, c.badRange, &val)) << c.name;
        EXPECT_EQ("Failure cannot recover.  Could not convert defined value '" + std::to_string(c.badRange) +
                      "' to an instrument command.",
                  ReadError(vi).text)
            << c.name;
        EXPECT_EQ(3.25, val) << c.name;
        EXPECT_EQ("", Received()) << c.name;
    }
}

using MeasurementsSimulated = SimulatedSession;

TEST_F(MeasurementsSimulated, GiveZeroLookAtNoRangeAndStillCheckVal) {
    for (const MeasureCase& c : kMeasureCases) {
        ViReal64 val = 99;
        EXPECT_EQ(VI_SUCCESS, Measure(c, vi, &val)) << c.name;
        EXPECT_EQ(0.0, val) << c.name;
        EXPECT_EQ(IVI_ERROR_NULL_POINTER, Measure(c, vi, nullptr)) << c.name;
        EXPECT_EQ(std::string("Null pointer passed for function '") + c.name + "', parameter 'Val'.",
                  ReadError(vi).text);
    }
    for (const MeasureCase& c : kMeasureCases) {
        if (c.ranged == nullptr) continue;
        ViReal64 val = 99;
        EXPECT_EQ(VI_SUCCESS, c.ranged(vi, c.badRange, &val)) << c.name;
        EXPECT_EQ(0.0, val) << c.name;
    }
}

TEST(MeasurementsFrame, HandleNamingNoSessionLeavesValAlone) {
    for (const MeasureCase& c : kMeasureCases) {
        ViReal64 val = 4.5;
        EXPECT_EQ(IVI_ERROR_INVALID_SESSION_HANDLE, Measure(c, 12345, &val)) << c.name;
        EXPECT_EQ(4.5, val);
    }
}

}  // namespace
}  // namespace varnel::test
