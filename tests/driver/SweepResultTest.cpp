// The sweep step results and pass/fail verdicts: the instrument's first reply
// line as text, cut to the caller's buffer with the rest of the reply read
// and dropped, and the empty text in simulation.
#include <cstring>
#include <string>

#include "IviSession.h"
#include "LiveSession.h"

namespace varnel::test {
namespace {

using TextCall = ViStatus (*)(ViSession, ViInt32, ViInt32, ViChar*);

// The pass/fail functions have no step: called through these.
ViStatus CurrentPassFail(ViSession vi, ViInt32, ViInt32 size, ViChar* val) {
    return Varnel_GetCurrentSweepPassFailResult(vi, size, val);
}
ViStatus PowerPassFail(ViSession vi, ViInt32, ViInt32 size, ViChar* val) {
    return Varnel_GetPowerSweepPassFailResult(vi, size, val);
}

struct TextCase {
    const char* name;
    TextCall call;
    ViInt32 step;
    const char* line;
};

const TextCase kTextCases[] = {
    {"Varnel_GetCurrentSweepStepResult", Varnel_GetCurrentSweepStepResult, 3, "SWCRES 3\n"},
    {"Varnel_GetPowerSweepStepResult", Varnel_GetPowerSweepStepResult, -2, "SWPRES -2\n"},
    {"Varnel_GetConductanceSweepStepResult", Varnel_GetConductanceSweepStepResult, 0, "SWRRES 0\n"},
    {"Varnel_GetCurrentSweepPassFailResult", CurrentPassFail, 0, "SWCTRES\n"},
    {"Varnel_GetPowerSweepPassFailResult", PowerPassFail, 0, "SWPTRES\n"},
};

std::string Line(const char* line) { return std::string(line, std::strlen(line) - 1); }

using SweepResults = LiveSession;

TEST_F(SweepResults, FirstReplyLineAsText) {
    for (const TextCase& c : kTextCases) {
        instrument.reply(Line(c.line), "PASS 1.5,2.5\nsecond line\n");
        ViChar val[64] = "stale";
        EXPECT_EQ(VI_SUCCESS, c.call(vi, c.step, sizeof val, val)) << c.name;
        EXPECT_STREQ("PASS 1.5,2.5", val) << c.name;
        EXPECT_EQ(c.line, Received()) << c.name;
    }
}

TEST_F(SweepResults, LongReplyIsCutToTheBufferAndTheRestIsConsumed) {
    for (const TextCase& c : kTextCases) {
        instrument.reply(Line(c.line), "192.168.0.1\n");
        ViChar val[8] = "xxxxxxx";
        EXPECT_EQ(VI_SUCCESS, c.call(vi, c.step, 4, val)) << c.name;
        EXPECT_STREQ("192", val) << c.name;
        EXPECT_EQ('x', val[4]) << c.name << ": nothing written past the buffer";
        EXPECT_TRUE(NothingLeftToRead()) << c.name;
        EXPECT_EQ(c.line, Received()) << c.name;
    }
}

TEST_F(SweepResults, BufferSizesZeroAndNegativeStoreNothingAndConsumeTheReply) {
    for (const TextCase& c : kTextCases) {
        instrument.reply(Line(c.line), "FAIL\n");
        for (const ViInt32 size : {0, -1}) {
            ViChar val[8] = "xxxxxxx";
            EXPECT_EQ(VI_SUCCESS, c.call(vi, c.step, size, val)) << c.name << " size " << size;
            EXPECT_STREQ("xxxxxxx", val) << c.name << " size " << size;
            EXPECT_TRUE(NothingLeftToRead()) << c.name << " size " << size;
        }
        EXPECT_EQ(std::string(c.line) + c.line, Received()) << c.name;
    }
}

TEST_F(SweepResults, NullValIsRecordedWithTheFunctionsNameAndNothingIsSent) {
    for (const TextCase& c : kTextCases) {
        EXPECT_EQ(IVI_ERROR_NULL_POINTER, c.call(vi, c.step, 16, nullptr)) << c.name;
        EXPECT_EQ(std::string("Null pointer passed for function '") + c.name + "', parameter 'Val'.",
                  ReadError(vi).text);
        EXPECT_EQ("", Received()) << c.name;
    }
}

TEST_F(SweepResults, TimeOutGivesTheVisaStatusUnrecorded) {
    ASSERT_EQ(VI_SUCCESS, viSetAttribute(io, VI_ATTR_TMO_VALUE, 200));
    for (const TextCase& c : kTextCases) {
        IviSession_SetError(vi, 42, "earlier error");
        ViChar val[16] = "";
        EXPECT_EQ(VI_ERROR_TMO, c.call(vi, c.step, sizeof val, val)) << c.name;
        EXPECT_EQ("earlier error", ReadError(vi).text) << c.name;
    }
}

using SweepResultsSimulated = SimulatedSession;

TEST_F(SweepResultsSimulated, EmptyTextWhereThereIsRoomAndValStillChecked) {
    for (const TextCase& c : kTextCases) {
        for (const ViInt32 size : {256, 1}) {
            ViChar val[8] = "stale";
            EXPECT_EQ(VI_SUCCESS, c.call(vi, c.step, size, val)) << c.name;
            EXPECT_STREQ("", val) << c.name << " size " << size;
            EXPECT_EQ('t', val[1]) << c.name << ": only the terminator is written";
        }
        for (const ViInt32 size : {0, -1}) {
            ViChar val[8] = "stale";
            EXPECT_EQ(VI_SUCCESS, c.call(vi, c.step, size, val)) << c.name;
            EXPECT_STREQ("stale", val) << c.name << " size " << size;
        }
        EXPECT_EQ(IVI_ERROR_NULL_POINTER, c.call(vi, c.step, 16, nullptr)) << c.name;
        EXPECT_EQ(std::string("Null pointer passed for function '") + c.name + "', parameter 'Val'.",
                  ReadError(vi).text);
    }
}

}  // namespace
}  // namespace varnel::test
