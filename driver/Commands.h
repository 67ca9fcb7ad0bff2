// The one shape of the driver's plain exported functions that talk to the
// instrument: the call frame (session lookup and lock), the null checks of
// the outputs, nothing sent in simulation (fixed outputs instead), one VISA
// write or query, and the instrument status check after a successful one.
// Each exported function is one of the helpers below with its command.
#pragma once

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <string>

#include "Kiln.h"
#include "ValueMaps.h"

namespace varnel {

// The result of an instrument exchange: a failed one's own status (VISA's,
// or a conversion error already recorded), else the status check's.
inline ViStatus Checked(ViSession vi, ViStatus status) {
    return status < 0 ? status : kiln::CheckInstrumentStatus(vi);
}

struct NamedOutput {
    const char* name;
    const void* pointer;
};

// The first null output, in the order given, recorded as
// IVI_ERROR_NULL_POINTER naming function and parameter; VI_SUCCESS when none.
inline ViStatus CheckOutputs(kiln::DriverSession& session, const char* function,
                             std::initializer_list<NamedOutput> outputs) {
    for (const NamedOutput& output : outputs) {
        if (output.pointer == nullptr) return session.ReportError(IVI_ERROR_NULL_POINTER, function, output.name);
    }
    return VI_SUCCESS;
}

// Copies text into a caller's buffer of size characters (at least 1), cut
// to fit with its terminator.
inline void CopyText(ViChar* buffer, std::size_t size, const std::string& text) {
    const std::size_t length = std::min(text.size(), size - 1);
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
}

// Inside the frame: checkOutputs(session) first (a negative result ends the
// call); in simulation simulated() and success, nothing sent; otherwise
// exchange(session, io) and, when it succeeded, the status check.
template <class CheckOutputsFn, class Simulated, class Exchange>
ViStatus InstrumentCall(ViSession vi, CheckOutputsFn checkOutputs, Simulated simulated, Exchange exchange) {
    return kiln::CallFrame<kiln::DriverSession>(vi, [&](kiln::DriverSession& session) -> ViStatus {
        const ViStatus status = checkOutputs(session);
        if (status < 0) return status;
        if (session.GetSimulate()) {
            simulated();
            return VI_SUCCESS;
        }
        return Checked(vi, exchange(session, session.GetInstrumentSession()));
    });
}

inline ViStatus NoOutputs(kiln::DriverSession&) { return VI_SUCCESS; }
inline void NothingSimulated() {}

// The null check of the one output "Val" of function.
inline auto RequireVal(const char* function, const void* val) {
    return [=](kiln::DriverSession& session) { return CheckOutputs(session, function, {{"Val", val}}); };
}

// Writes one command line formatted from format and args.
template <class... Args>
ViStatus SendCommand(ViSession vi, const char* format, Args... args) {
    return InstrumentCall(vi, NoOutputs, NothingSimulated,
                          [&](kiln::DriverSession&, ViSession io) { return viPrintf(io, format, args...); });
}

// Queries one real into *val with the query line formatted from format and
// args; 0.0 in simulation.
template <class... Args>
ViStatus QueryReal(ViSession vi, const char* function, ViReal64* val, const char* format, Args... args) {
    return InstrumentCall(vi, RequireVal(function, val), [val] { *val = 0.0; },
                          [&](kiln::DriverSession&, ViSession io) {
                              return viQueryf(io, format, "%lf%*t", args..., val);
                          });
}

// As QueryReal, the format's %s filled with the token of range in map. In
// simulation the range is not looked at; a range without a token sends nothing.
inline ViStatus QueryRealInRange(ViSession vi, const char* function, ViReal64* val, const char* format, ValueMap map,
                                 ViInt32 range) {
    return InstrumentCall(vi, RequireVal(function, val), [val] { *val = 0.0; },
                          [&](kiln::DriverSession& session, ViSession io) {
                              const char* token = "";
                              const ViStatus status = ValueToToken(session, map, range, &token);
                              return status < 0 ? status : viQueryf(io, format, "%lf%*t", token, val);
                          });
}

// Queries one reply line into val, a buffer of bufferSize characters: the
// line is cut to fit with its terminator and the rest of the reply is read
// and dropped; a size of 0 or less stores nothing. In simulation the empty
// text, where there is room for it.
template <class... Args>
ViStatus QueryText(ViSession vi, const char* function, ViInt32 bufferSize, ViChar* val, const char* format,
                   Args... args) {
    return InstrumentCall(vi, RequireVal(function, val),
                          [=] {
                              if (bufferSize >= 1) val[0] = '\0';
                          },
                          [&](kiln::DriverSession&, ViSession io) {
                              ViInt32 count = bufferSize;
                              return viQueryf(io, format, "%#[^\n]%*t", args..., &count, val);
                          });
}

}  // namespace varnel
