// Opening and closing sessions, the session lock, the stored error, and the
// reset family that initialization can request.
#include <memory>
#include <string>

#include "Export.h"
#include "Kiln.h"
#include "VarnelDriverSession.h"

namespace {

// The session set-up of initialization; on failure after the connection was
// opened, the connection is closed again.
ViStatus SetUpSession(VarnelDriverSession& session, const std::string& resourceName,
                      const std::string& optionString) {
    ViStatus status = session.LoadConfiguration(resourceName, optionString);
    if (status < 0) return status;
    if (session.GetInterchangeCheck() && !session.SupportsInterchangeCheck()) {
        return session.ReportErrorWithElaboration(IVI_ERROR_BAD_OPTION_VALUE,
                                                  "Interchange checking is not supported by the driver.", "True");
    }
    status = session.OpenIo();
    if (status < 0) return status;
    auto failAfterOpen = [&session](ViStatus failure) {
        session.CloseIo();
        return failure;
    };
    if (session.GetQueryInstrumentStatus()) {
        status = session.ClearStatus();
        if (status < 0) return failAfterOpen(status);
    }
    status = session.QueryIdentity(session.InstrumentManufacturer(), session.InstrumentModel(),
                                   session.SerialNumber(), session.FirmwareRevision());
    if (status < 0) return failAfterOpen(status);
    if (session.GetIdQuery() && !session.IsModelSupported()) {
        // The model comes from the instrument or the caller: an argument,
        // never part of the format.
        return failAfterOpen(session.ReportErrorWithElaboration(IVI_ERROR_ID_QUERY_FAILED, "Unrecognized model: %s",
                                                                session.GetInstrumentModel().c_str()));
    }
    return status;
}

}  // namespace

VARNEL_API ViStatus Varnel_InitWithOptions(ViRsrc ResourceName, ViBoolean IdQuery, ViBoolean Reset,
                                           ViConstString OptionString, ViSession* Vi) {
    if (Vi == nullptr) return IVI_ERROR_NULL_POINTER;
    *Vi = 0;
    ViSession handle = 0;
    ViStatus status = IviSession_New(&handle);
    if (status < 0) return status;

    VarnelDriverSession* session = nullptr;
    status = kiln::Guarded([&]() -> ViStatus {
        session = new VarnelDriverSession(handle, 2000, 2000, 30000, false, 1000);
        return kiln::AttachSession(handle, session);  // the handle owns the object, also on failure
    });
    if (status < 0) {
        IviSession_Dispose(handle);
        return status;
    }
    status = kiln::Guarded([&]() -> ViStatus {
        const std::string resourceName = ResourceName != nullptr ? ResourceName : "";
        const std::string optionString = OptionString != nullptr ? OptionString : "";
        session->SetInitializationNames(resourceName, optionString);
        session->SetInitializationRequests(IdQuery == VI_TRUE, Reset == VI_TRUE);
        return SetUpSession(*session, resourceName, optionString);
    });
    if (status < 0) {
        // Release everything the attempt took; the reason stays readable as
        // the thread's last error.
        kiln::DetachSession(handle);
        return status;
    }
    *Vi = handle;
    if (Reset != VI_FALSE) return Varnel_reset(handle);
    return status;
}

VARNEL_API ViStatus Varnel_init(ViRsrc ResourceName, ViBoolean IdQuery, ViBoolean Reset, ViSession* Vi) {
    return Varnel_InitWithOptions(ResourceName, IdQuery, Reset, "", Vi);
}

// Takes no lock and returns at once: a call in progress on another thread
// is woken by the closed connection and ends with an error; the session
// object goes when the last such call returns.
VARNEL_API ViStatus Varnel_close(ViSession Vi) { return kiln::DetachSession(Vi); }

VARNEL_API ViStatus Varnel_LockSession(ViSession Vi, ViBoolean* CallerHasLock) {
    return kiln::CallFrame<kiln::DriverSession>(Vi, [&](kiln::DriverSession&) {
        return IviSession_Lock(Vi, CallerHasLock);
    });
}

VARNEL_API ViStatus Varnel_UnlockSession(ViSession Vi, ViBoolean* CallerHasLock) {
    return kiln::CallFrame<kiln::DriverSession>(Vi, [&](kiln::DriverSession&) {
        return IviSession_Unlock(Vi, CallerHasLock);
    });
}

VARNEL_API ViStatus Varnel_GetError(ViSession Vi, ViStatus* ErrorCode, ViInt32 BufferSize, ViChar Description[]) {
    return IviSession_GetError(Vi, BufferSize, ErrorCode, Description);
}

VARNEL_API ViStatus Varnel_ClearError(ViSession Vi) { return IviSession_ClearError(Vi); }

// The load's initialize command "INI", sent under the long-command time-out;
// the earlier time-out is put back afterwards.
VARNEL_API ViStatus Varnel_SystemInitialize(ViSession Vi) {
    return kiln::CallFrame<VarnelDriverSession>(Vi, [&](VarnelDriverSession& session) -> ViStatus {
        if (session.GetSimulate()) return VI_SUCCESS;
        const ViSession io = session.GetInstrumentSession();
        const ViInt32 longTimeout = session.GetLongOperationTimeout();
        ViUInt32 previous = 0;
        bool restore = false;
        if (longTimeout >= -1 && viGetAttribute(io, VI_ATTR_TMO_VALUE, &previous) >= 0) {
            restore = true;
            viSetAttribute(io, VI_ATTR_TMO_VALUE, static_cast<ViAttrState>(static_cast<ViUInt32>(longTimeout)));
        }
        ViStatus status = viPrintf(io, "INI\n");
        if (status >= 0) status = kiln::CheckInstrumentStatus(Vi);
        if (restore) viSetAttribute(io, VI_ATTR_TMO_VALUE, static_cast<ViAttrState>(previous));
        return status;
    });
}

VARNEL_API ViStatus Varnel_reset(ViSession Vi) {
    return kiln::CallFrame<kiln::DriverSession>(Vi, [&](kiln::DriverSession&) { return Varnel_SystemInitialize(Vi); });
}

VARNEL_API ViStatus Varnel_ResetWithDefaults(ViSession Vi) {
    return kiln::CallFrame<kiln::DriverSession>(Vi, [&](kiln::DriverSession&) { return Varnel_reset(Vi); });
}
