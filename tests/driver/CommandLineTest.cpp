// The one-shot command functions: short circuit, dynamic modes, sequences,
// LAN and alarm resets, sweep configure and start. Each sends exactly one
// line on a live instrument and nothing in simulation.
#include <functional>
#include <string>
#include <thread>

#include "IviSession.h"
#include "LiveSession.h"

namespace varnel::test {
namespace {

struct LineCase {
    const char* name;
    std::function<ViStatus(ViSession)> call;
    const char* line;  // exactly what goes on the wire
};

const LineCase kLineCases[] = {
    {"SetShortCircuit", [](ViSession vi) { return Varnel_SetShortCircuit(vi); }, "CS\n"},
    {"StartDynamicMode", [](ViSession vi) { return Varnel_StartDynamicMode(vi); }, "CD 1\n"},
    {"StartDynamicModeSingle", [](ViSession vi) { return Varnel_StartDynamicModeSingle(vi); }, "CD 2\n"},
    {"StartDynamicFrequencyMode", [](ViSession vi) { return Varnel_StartDynamicFrequencyMode(vi); }, "CD 3\n"},
    {"AbortDynamicMode", [](ViSession vi) { return Varnel_AbortDynamicMode(vi); }, "CD 0\n"},
    {"InitializeSequence", [](ViSession vi) { return Varnel_InitializeSequence(vi); }, "SQI\n"},
    {"ConfigureSequence", [](ViSession vi) { return Varnel_ConfigureSequence(vi, 1, 2, 3, 4); }, "SQU 1,2,3,4\n"},
    {"ConfigureSequence negative",
     [](ViSession vi) { return Varnel_ConfigureSequence(vi, -1, 0, -2147483647 - 1, 2147483647); },
     "SQU -1,0,-2147483648,2147483647\n"},
    {"SetSequenceLoadData", [](ViSession vi) { return Varnel_SetSequenceLoadData(vi, 5, 1.5, 0.25); },
     "SQD 5,1.5,0.25\n"},
    {"SetSequenceLoadData formats", [](ViSession vi) { return Varnel_SetSequenceLoadData(vi, -3, 1e300, -1); },
     "SQD -3,1e+300,-1\n"},
    {"StartSequence", [](ViSession vi) { return Varnel_StartSequence(vi); }, "SQC 1\n"},
    {"StopSequence", [](ViSession vi) { return Varnel_StopSequence(vi); }, "SQC 0\n"},
    {"ResetLan", [](ViSession vi) { return Varnel_ResetLan(vi); }, "SYST:COMM:LAN:RES\n"},
    {"RestoreFactorySettings", [](ViSession vi) { return Varnel_RestoreFactorySettings(vi); }, "DIAG:COMM:LAN:FAC\n"},
    {"ResetAlarm", [](ViSession vi) { return Varnel_ResetAlarm(vi); }, "AC\n"},
    {"ConfigureCurrentSweep", [](ViSession vi) { return Varnel_ConfigureCurrentSweep(vi, 2.5, 0.1, -1, 1e300, -7); },
     "SWCSET 2.5,0.1,-1,1e+300,-7\n"},
    {"ConfigureCurrentSweepTest", [](ViSession vi) { return Varnel_ConfigureCurrentSweepTest(vi, 0.1, 2.5); },
     "SWCTSET 0.1,2.5\n"},
    {"StartCurrentSweep", [](ViSession vi) { return Varnel_StartCurrentSweep(vi); }, "SWCSTART\n"},
    {"ConfigurePowerSweep", [](ViSession vi) { return Varnel_ConfigurePowerSweep(vi, 1, 2.5, 0.1, 0.001, 3); },
     "SWPSET 1,2.5,0.1,0.001,3\n"},
    {"ConfigurePowerSweepTest", [](ViSession vi) { return Varnel_ConfigurePowerSweepTest(vi, -1, 1e300); },
     "SWPTSET -1,1e+300\n"},
    {"StartPowerSweep", [](ViSession vi) { return Varnel_StartPowerSweep(vi); }, "SWPSTART\n"},
    {"ConfigureConductanceSweep",
     [](ViSession vi) { return Varnel_ConfigureConductanceSweep(vi, 123456789.123456789, 0, 1e-7, -0.5, 0); },
     "SWRSET 123456789.123457,0,1e-07,-0.5,0\n"},
    {"ConfigureFineConductanceSweep", [](ViSession vi) { return Varnel_ConfigureFineConductanceSweep(vi, 2.5, -1); },
     "SWRFSET 2.5,-1\n"},
    {"StartConductanceSweep", [](ViSession vi) { return Varnel_StartConductanceSweep(vi); }, "SWRSTART\n"},
};

using CommandLines = LiveSession;

TEST_F(CommandLines, EachFunctionSendsItsOneLine) {
    for (const LineCase& c : kLineCases) {
        EXPECT_EQ(VI_SUCCESS, c.call(vi)) << c.name;
        EXPECT_EQ(c.line, Received()) << c.name;
    }
}

TEST_F(CommandLines, LostConnectionGivesTheVisaStatusAndRecordsNothing) {
    instrument.closeConnections();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    IviSession_SetError(vi, 42, "earlier error");
    EXPECT_EQ(VI_ERROR_CONN_LOST, Varnel_StartSequence(vi));
    const RecordedError error = ReadError(vi);
    EXPECT_EQ(42, error.code);
    EXPECT_EQ("earlier error", error.text);
}

TEST(CommandLinesSimulated, SucceedWithoutAConnection) {
    TempStore store;
    FakeInstrument instrument;
    ViSession vi = 0;
    ASSERT_EQ(VI_SUCCESS, Varnel_InitWithOptions(const_cast<ViRsrc>(instrument.resource().c_str()), VI_FALSE,
                                                 VI_FALSE, "Simulate=1", &vi));
    for (const LineCase& c : kLineCases) EXPECT_EQ(VI_SUCCESS, c.call(vi)) << c.name;
    Varnel_close(vi);
    EXPECT_EQ(0u, instrument.connectionCount());
}

TEST(CommandLinesFrame, HandleNamingNoSessionIsRefused) {
    for (const LineCase& c : kLineCases) EXPECT_EQ(IVI_ERROR_INVALID_SESSION_HANDLE, c.call(12345)) << c.name;
}

}  // namespace
}  // namespace varnel::test
