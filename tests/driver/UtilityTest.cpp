// Disable, self-test and revision query, live and simulated.
#include <functional>
#include <string>

#include "LiveSession.h"

namespace varnel::test {
namespace {

using Utilities = LiveSession;

TEST_F(Utilities, DisableClearsThenSwitchesTheLoadOff) {
    EXPECT_EQ(VI_SUCCESS, Varnel_Disable(vi));
    EXPECT_EQ("CL\nSW 0\n", Received());
}

// A passed self-test, the driver's revision and instrRev as the instrument's.
void ExpectSelfTestAndRevisions(ViSession vi, const char* instrRevExpected) {
    ViInt16 result = 7;
    ViChar message[256] = "stale";
    EXPECT_EQ(VI_SUCCESS, Varnel_self_test(vi, &result, message));
    EXPECT_EQ(0, result);
    EXPECT_STREQ("Selftest passed", message);
    ViChar driverRev[256] = "stale";
    ViChar instrRev[256] = "stale";
    EXPECT_EQ(VI_SUCCESS, Varnel_revision_query(vi, driverRev, instrRev));
    EXPECT_STREQ("1.0.1.0", driverRev);
    EXPECT_STREQ(instrRevExpected, instrRev);
}

TEST_F(Utilities, SelfTestAndRevisionQueryAskTheInstrumentNothing) {
    ExpectSelfTestAndRevisions(vi, "1.05");  // the firmware word of the identity reply
    EXPECT_EQ("", Received());
}

using UtilitiesSimulated = SimulatedSession;

TEST_F(UtilitiesSimulated, DisableSelfTestAndRevisionQuery) {
    EXPECT_EQ(VI_SUCCESS, Varnel_Disable(vi));
    ExpectSelfTestAndRevisions(vi, "Sim1.0.1.0");
}

TEST_F(UtilitiesSimulated, NullOutputIsNamedInParameterOrderAndNothingIsWritten) {
    ViInt16 result = 7;
    ViChar text[256] = "stale";
    struct NullCase {
        std::function<ViStatus()> call;
        const char* parameter;
    };
    const NullCase cases[] = {
        {[&] { return Varnel_self_test(vi, nullptr, text); }, "'Varnel_self_test', parameter 'TestResult'."},
        {[&] { return Varnel_self_test(vi, nullptr, nullptr); }, "'Varnel_self_test', parameter 'TestResult'."},
        {[&] { return Varnel_self_test(vi, &result, nullptr); }, "'Varnel_self_test', parameter 'TestMessage'."},
        {[&] { return Varnel_revision_query(vi, nullptr, text); }, "'Varnel_revision_query', parameter 'DriverRev'."},
        {[&] { return Varnel_revision_query(vi, nullptr, nullptr); },
         "'Varnel_revision_query', parameter 'DriverRev'."},
        {[&] { return Varnel_revision_query(vi, text, nullptr); }, "'Varnel_revision_query', parameter 'InstrRev'."},
    };
    for (const NullCase& c : cases) {
        EXPECT_EQ(IVI_ERROR_NULL_POINTER, c.call()) << c.parameter;
        const RecordedError error = ReadError(vi);
        EXPECT_EQ(IVI_ERROR_NULL_POINTER, error.code);
        EXPECT_EQ(std::string("Null pointer passed for function ") + c.parameter, error.text);
        EXPECT_EQ(7, result) << c.parameter;
        EXPECT_STREQ("stale", text) << c.parameter;
    }
}

TEST(UtilitiesFrame, HandleNamingNoSessionIsRefused) {
    ViInt16 result = 7;
    ViChar a[256] = "stale";
    ViChar b[256] = "stale";
    EXPECT_EQ(IVI_ERROR_INVALID_SESSION_HANDLE, Varnel_Disable(12345));
    EXPECT_EQ(IVI_ERROR_INVALID_SESSION_HANDLE, Varnel_self_test(12345, &result, a));
    EXPECT_EQ(IVI_ERROR_INVALID_SESSION_HANDLE, Varnel_revision_query(12345, a, b));
    EXPECT_EQ(7, result);
    EXPECT_STREQ("stale", a);
}

}  // namespace
}  // namespace varnel::test
