// Raw instrument I/O for callers (write bytes, read one response), the
// instrument's error query, and the device clear command.
#include <chrono>
#include <cstring>
#include <string>

#include "Export.h"
#include "Kiln.h"
#include "VarnelDriverSession.h"

namespace {

constexpr ViInt64 kMaxTransferCount = 0xFFFFFFFFLL;  // VISA counts are 32-bit unsigned
constexpr std::size_t kDrainChunk = 4096;
constexpr std::size_t kDrainLimit = 1024 * 1024;  // most bytes one read throws away

// The byte count must fit VISA's unsigned 32-bit count: -1 would otherwise
// become a transfer of 4 GiB from or into the caller's buffer.
ViStatus CheckTransferCount(VarnelDriverSession& session, ViInt64 count, const char* function) {
    if (count >= 0 && count <= kMaxTransferCount) return VI_SUCCESS;
    return session.ReportError(IVI_ERROR_INVALID_VALUE, std::to_string(count).c_str(), function, "BufferSize");
}

// Reads and throws away the rest of a response while reads stop on their
// count. Bounded by the session's I/O time-out counted from the first read,
// and by kDrainLimit bytes, so that a peer streaming without end cannot hold
// the call and the session lock; the last read's status is the result.
ViStatus DrainResponse(ViSession io, ViStatus status, std::chrono::steady_clock::time_point start) {
    ViUInt32 timeoutMs = 0;
    const bool bounded = viGetAttribute(io, VI_ATTR_TMO_VALUE, &timeoutMs) >= 0 && timeoutMs != VI_TMO_INFINITE;
    const auto deadline = start + std::chrono::milliseconds(timeoutMs);
    ViByte scratch[kDrainChunk];
    std::size_t discarded = 0;
    while (status == VI_SUCCESS_MAX_CNT) {
        ViUInt32 count = 0;
        status = viRead(io, scratch, static_cast<ViUInt32>(sizeof scratch), &count);
        discarded += count;
        if (discarded >= kDrainLimit || (bounded && std::chrono::steady_clock::now() >= deadline)) break;
    }
    return status;
}

}  // namespace

VARNEL_API ViStatus Varnel_viWrite(ViSession Vi, ViInt64 BufferSize, ViConstBuf Buffer, ViInt64* ReturnCount) {
    return kiln::CallFrame<VarnelDriverSession>(Vi, [&](VarnelDriverSession& session) -> ViStatus {
        if (ReturnCount == nullptr) {
            return session.ReportError(IVI_ERROR_NULL_POINTER, "Varnel_viWrite", "ReturnCount");
        }
        if (Buffer == nullptr && BufferSize != 0) {
            return session.ReportError(IVI_ERROR_NULL_POINTER, "Varnel_viWrite", "Buffer");
        }
        ViStatus status = CheckTransferCount(session, BufferSize, "Varnel_viWrite");
        if (status < 0) return status;
        status = kiln::RefuseSimulation(Vi);
        if (status < 0) return status;
        ViUInt32 written = 0;
        status = viWrite(session.GetInstrumentSession(), Buffer, static_cast<ViUInt32>(BufferSize), &written);
        *ReturnCount = written;
        return status;
    });
}

// One call consumes one whole response: what does not fit into Buffer is
// read and thrown away, and ReturnCount tells what the first read stored.
VARNEL_API ViStatus Varnel_viRead(ViSession Vi, ViInt64 BufferSize, ViByte Buffer[], ViInt64* ReturnCount) {
    return kiln::CallFrame<VarnelDriverSession>(Vi, [&](VarnelDriverSession& session) -> ViStatus {
        if (Buffer == nullptr) return session.ReportError(IVI_ERROR_NULL_POINTER, "Varnel_viRead", "Buffer");
        if (ReturnCount == nullptr) {
            return session.ReportError(IVI_ERROR_NULL_POINTER, "Varnel_viRead", "ReturnCount");
        }
        ViStatus status = CheckTransferCount(session, BufferSize, "Varnel_viRead");
        if (status < 0) return status;
        status = kiln::RefuseSimulation(Vi);
        if (status < 0) return status;
        const ViSession io = session.GetInstrumentSession();
        const auto start = std::chrono::steady_clock::now();
        ViUInt32 count = 0;
        status = viRead(io, Buffer, static_cast<ViUInt32>(BufferSize), &count);
        *ReturnCount = count;
        return DrainResponse(io, status, start);
    });
}

// The load keeps no error queue the driver reads: always "No error.".
VARNEL_API ViStatus Varnel_error_query(ViSession Vi, ViInt32* ErrorCode, ViChar ErrorMessage[]) {
    {
        // The outputs are checked before the lock is taken.
        kiln::SessionRef ref(Vi);
        if (!ref) return IVI_ERROR_INVALID_SESSION_HANDLE;
        const char* missing = ErrorCode == nullptr ? "ErrorCode" : ErrorMessage == nullptr ? "ErrorMessage" : nullptr;
        if (missing != nullptr) {
            return kiln::Guarded([&] { return ref.get()->ReportError(IVI_ERROR_NULL_POINTER, "Varnel_error_query", missing); });
        }
    }
    return kiln::CallFrame<VarnelDriverSession>(Vi, [&](VarnelDriverSession&) -> ViStatus {
        static constexpr char kNoError[] = "No error.";
        *ErrorCode = 0;
        std::memcpy(ErrorMessage, kNoError, sizeof kNoError);
        return VI_SUCCESS;
    });
}

// The load's device clear "CL"; its result is that of the write alone.
VARNEL_API ViStatus Varnel_SystemClear(ViSession Vi) {
    return kiln::CallFrame<VarnelDriverSession>(Vi, [&](VarnelDriverSession& session) -> ViStatus {
        if (session.GetSimulate()) return VI_SUCCESS;
        return viPrintf(session.GetInstrumentSession(), "CL\n");
    });
}
