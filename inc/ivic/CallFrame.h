// The frame of every exported function that works on a session: resolve the
// handle to its session object (taking a reference that keeps the object
// alive for the call, even across a close on another thread), hold the
// session lock for the body, return the body's status. The parts
// (SessionRef, SessionLock, Guarded) serve the callers that need only some
// of them.
#pragma once

#include <new>

#include "IviSession.h"
#include "SessionRef.h"
#include "Varnel.h"
#include "visatype.h"

namespace kiln {

class DriverSession;

// Holds the session lock for a scope; a failure to unlock is ignored.
class SessionLock {
public:
    explicit SessionLock(ViSession vi) : vi_(vi), status_(IviSession_Lock(vi, VI_NULL)) {}
    ~SessionLock() {
        if (status_ >= 0) IviSession_Unlock(vi_, VI_NULL);
    }
    SessionLock(const SessionLock&) = delete;
    SessionLock& operator=(const SessionLock&) = delete;
    ViStatus status() const { return status_; }

private:
    ViSession vi_;
    ViStatus status_;
};

// Runs a body and turns an escaping exception into a status, so that no
// exception crosses the C interface.
template <class Body>
ViStatus Guarded(Body&& body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return IVI_ERROR_OUT_OF_MEMORY;
    } catch (...) {
        return IVI_ERROR_CANNOT_RECOVER;
    }
}

// The whole frame. The body receives the session object as Session& (the
// driver's own class by default). A session closed while the call waited
// for its lock is refused.
template <class Session, class Body>
ViStatus CallFrame(ViSession vi, Body&& body) noexcept {
    SessionRef ref(vi);
    if (!ref) return IVI_ERROR_INVALID_SESSION_HANDLE;
    SessionLock lock(vi);
    if (lock.status() < 0) return lock.status();
    if (ref.Closed()) return IVI_ERROR_INVALID_SESSION_HANDLE;
    return Guarded([&] { return body(static_cast<Session&>(*ref.get())); });
}

}  // namespace kiln
