// Disable, self-test and revision query.
#include <string>

#include "Commands.h"
#include "DriverIdentity.h"
#include "Export.h"

namespace {
constexpr std::size_t kTextBufferSize = 256;  // the IVI size of these text outputs
}

// The clear command "CL" (no status check follows it), then the load off:
// the line that the write of VARNEL_ATTR_LOAD_ENABLED with VI_FALSE sends,
// with the status check of every attribute write. It is sent here directly
// until that attribute's write exists; then Disable sets the attribute, so
// that the cache learns of it too.
VARNEL_API ViStatus Varnel_Disable(ViSession Vi) {
    return kiln::CallFrame<kiln::DriverSession>(Vi, [&](kiln::DriverSession& session) -> ViStatus {
        if (!session.GetSimulate()) {
            const ViStatus status = viPrintf(session.GetInstrumentSession(), "CL\n");
            if (status < 0) return status;
        }
        const char* off = "";
        const ViStatus status = varnel::ValueToToken(session, varnel::ValueMap::Boolean, VI_FALSE, &off);
        return status < 0 ? status : varnel::SendCommand(Vi, "SW %s\n", off);
    });
}

// Answered by the driver: nothing is sent.
VARNEL_API ViStatus Varnel_self_test(ViSession Vi, ViInt16* TestResult, ViChar TestMessage[]) {
    return kiln::CallFrame<kiln::DriverSession>(Vi, [&](kiln::DriverSession& session) -> ViStatus {
        const ViStatus status = varnel::CheckOutputs(session, "Varnel_self_test",
                                                     {{"TestResult", TestResult}, {"TestMessage", TestMessage}});
        if (status < 0) return status;
        *TestResult = 0;
        varnel::CopyText(TestMessage, kTextBufferSize, "Selftest passed");
        return VI_SUCCESS;
    });
}

// The driver's revision, and the firmware revision that initialization read
// ("Sim" and the driver's revision in simulation); the instrument is not asked.
VARNEL_API ViStatus Varnel_revision_query(ViSession Vi, ViChar DriverRev[], ViChar InstrRev[]) {
    return kiln::CallFrame<kiln::DriverSession>(Vi, [&](kiln::DriverSession& session) -> ViStatus {
        const ViStatus status = varnel::CheckOutputs(session, "Varnel_revision_query",
                                                     {{"DriverRev", DriverRev}, {"InstrRev", InstrRev}});
        if (status < 0) return status;
        varnel::CopyText(DriverRev, kTextBufferSize, varnel::kDriverRevision);
        varnel::CopyText(InstrRev, kTextBufferSize,
                         session.GetSimulate() ? std::string("Sim") + varnel::kDriverRevision
                                               : session.GetFirmwareRevision());
        return VI_SUCCESS;
    });
}
