// Disable, self-test and revision query.
#include <string>

#include "Commands.h"
#include "DriverIdentity.h"
#include "Export.h"

namespace {
constexpr std::size_t kTextBufferSize = 256;  // the IVI size of these text outputs
}

// The device clear of Varnel_SystemClear, then the load off through the
// generic set of VARNEL_ATTR_LOAD_ENABLED (its line, its status check, and
// the cache). A failed clear leaves the load setting untouched.
VARNEL_API ViStatus Varnel_Disable(ViSession Vi) {
    return kiln::CallFrame<kiln::DriverSession>(Vi, [&](kiln::DriverSession&) -> ViStatus {
        const ViStatus status = Varnel_SystemClear(Vi);
        if (status < 0) return status;
        return kiln::SetAttribute<ViBoolean>(Vi, VI_NULL, VARNEL_ATTR_LOAD_ENABLED, VI_FALSE);
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
