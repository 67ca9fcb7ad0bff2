// The readable instrument attributes through their named getters: the LAN
// and identity texts and the sweep end-step counts, live against the fake
// instrument and simulated.
#include <string>
#include <vector>

#include "DriverTestSupport.h"
#include "FakeInstrument.h"

namespace varnel::test {
namespace {

using namespace std::chrono_literals;

class LiveRead : public ::testing::Test {
protected:
    void SetUp() override {
        instrument.reply("*IDN?", "QVX M2 LOAD 1.05\n");
        ASSERT_EQ(VI_SUCCESS, Varnel_InitWithOptions(const_cast<ViRsrc>(instrument.resource().c_str()), VI_FALSE,
                                                     VI_FALSE, "", &vi));
        // A short time-out for the queries left unanswered.
        ASSERT_EQ(VI_SUCCESS, Varnel_SetAttributeViInt32(vi, nullptr, VARNEL_ATTR_SYSTEM_IO_TIMEOUT, 200));
    }
    void TearDown() override { Varnel_close(vi); }
    TempStore store;
    FakeInstrument instrument;
    ViSession vi = 0;
};

using TextGetter = ViStatus (*)(ViSession, ViInt32, ViChar[]);

TEST_F(LiveRead, LanAndIdentityTextsAreTheFirstReplyLine) {
    struct Case {
        TextGetter get;
        const char* query;
        const char* reply;
        ViInt32 size;
        ViStatus status;
        const char* value;
    } const cases[] = {
        {Varnel_GetFirmwareVersion, "V", "FW 2.10\n", 64, VI_SUCCESS, "FW 2.10"},
        {Varnel_GetSerialNumber, "CALSRALG", "SN0042\n", 64, VI_SUCCESS, "SN0042"},
        {Varnel_GetIpAddress, "SYST:COMM:LAN:IP?", "192.168.0.1\n", 4, 4096, "192"},
        {Varnel_GetMacAddress, "SYST:COMM:LAN:MAC?", "00:11:22:33:44:55\n", 18, 4096, "00:11:22:33:44:55"},
        {Varnel_GetHostname, "SYST:COMM:LAN:HOST?", "bench-load\n", 64, VI_SUCCESS, "bench-load"},
    };
    for (const Case& c : cases) instrument.reply(c.query, c.reply);
    std::vector<std::string> expected{"*IDN?"};
    for (const Case& c : cases) {
        char buffer[64] = "stale";
        EXPECT_EQ(c.status, c.get(vi, c.size, buffer)) << c.query;
        EXPECT_STREQ(c.value, buffer) << c.query;
        expected.push_back(c.query);
    }
    // The rest of a cut reply was consumed: the next query gets its own reply.
    char buffer[64];
    EXPECT_EQ(VI_SUCCESS, Varnel_GetHostname(vi, sizeof buffer, buffer));
    EXPECT_STREQ("bench-load", buffer);
    expected.push_back("SYST:COMM:LAN:HOST?");
    EXPECT_EQ(expected, instrument.lines());
    // Null buffer with size 0 asks nothing.
    EXPECT_EQ(4096, Varnel_GetHostname(vi, 0, nullptr));
    EXPECT_EQ(expected.size(), instrument.lines().size());
}

TEST_F(LiveRead, EndStepCountsAndTheirFailures) {
    using Getter = ViStatus (*)(ViSession, ViInt32*);
    struct Case {
        Getter get;
        const char* query;
    } const cases[] = {
        {Varnel_GetCurrentSweepEndStepCount, "SWCRESSTP"},
        {Varnel_GetPowerSweepEndStepCount, "SWPRESSTP"},
        {Varnel_GetConductanceSweepEndStepCount, "SWRRESSTP"},
    };
    for (const Case& c : cases) {
        instrument.reply(c.query, "7\n");
        ViInt32 value = 0;
        EXPECT_EQ(VI_SUCCESS, c.get(vi, &value)) << c.query;
        EXPECT_EQ(7, value) << c.query;
        // A reply that is not a number, and a query that times out: -1 and
        // the failure's status, never success.
        instrument.reply(c.query, "none\n");
        value = 0;
        EXPECT_GT(0, c.get(vi, &value)) << c.query;
        EXPECT_EQ(-1, value) << c.query;
        instrument.reply(c.query, "");  // never answered
        value = 0;
        EXPECT_EQ(VI_ERROR_TMO, c.get(vi, &value)) << c.query;
        EXPECT_EQ(-1, value) << c.query;
    }
    EXPECT_EQ(VI_SUCCESS, Varnel_SetAttributeViBoolean(vi, nullptr, VARNEL_ATTR_SIMULATE, VI_TRUE));
    for (const Case& c : cases) {
        ViInt32 value = 0;
        EXPECT_EQ(VI_SUCCESS, c.get(vi, &value)) << c.query;
        EXPECT_EQ(-1, value) << c.query;
        char text[8] = "stale";
        EXPECT_EQ(VI_SUCCESS, Varnel_GetSerialNumber(vi, sizeof text, text));
        EXPECT_STREQ("", text);
    }
    EXPECT_EQ(IVI_ERROR_NULL_POINTER, Varnel_GetPowerSweepEndStepCount(vi, nullptr));
    EXPECT_EQ("Null pointer passed for function 'Varnel_GetAttributeViInt32', parameter 'AttributeValue'.",
              ReadError(vi).text);
}

}  // namespace
}  // namespace varnel::test
