// Ownership of a session object by its handle and by the calls that use it.
//
// The handle's data pointer names a SessionAnchor, not the object itself.
// An anchor counts the references to its object: one held by the handle
// from initialization to close, and one by every call in progress, taken
// together with the handle lookup. Close marks the anchor closed (new calls
// are refused at once) and drops the handle's reference; whoever drops the
// last reference destroys the object. So close never waits for a call on
// another thread, and no call ever runs on a freed object.
//
// Anchors are never freed, only reused: a lookup that races with a close
// may read a stale anchor, never freed memory. The anchor's state word holds
// the handle it serves, so a stale or reused anchor refuses the reference.
#pragma once

#include <atomic>
#include <cstdint>

#include "IviSession.h"
#include "visatype.h"

namespace kiln {

class DriverSession;

// One cache line each, so that sessions used on different threads share none.
class alignas(64) SessionAnchor {
public:
    // The handle in the high 32 bits; the closed flag and the count of
    // references in the low 32 bits.
    static constexpr std::uint64_t kClosed = 0x80000000u;
    static constexpr std::uint64_t kCountMask = 0x7FFFFFFFu;

    // Takes one reference for vi; false when the anchor serves another
    // handle, is closed, or the count is at its limit.
    bool Acquire(ViSession vi) noexcept {
        std::uint64_t state = state_.load(std::memory_order_acquire);
        do {
            if ((state >> 32) != vi || (state & kClosed) != 0 || (state & kCountMask) == kCountMask) return false;
        } while (!state_.compare_exchange_weak(state, state + 1, std::memory_order_acquire,
                                               std::memory_order_acquire));
        return true;
    }
    // Drops one reference; the last one destroys the object and frees the anchor.
    void Release() noexcept {
        const std::uint64_t state = state_.fetch_sub(1, std::memory_order_acq_rel) - 1;
        if ((state & kCountMask) == 0) Retire();
    }
    // True once close has begun.
    bool Closed() const noexcept { return (state_.load(std::memory_order_acquire) & kClosed) != 0; }
    // Sets the closed flag for vi; false when it was already set or the
    // anchor serves another handle (a second close).
    bool MarkClosed(ViSession vi) noexcept {
        std::uint64_t state = state_.load(std::memory_order_acquire);
        do {
            if ((state >> 32) != vi || (state & kClosed) != 0) return false;
        } while (!state_.compare_exchange_weak(state, state | kClosed, std::memory_order_acq_rel,
                                               std::memory_order_acquire));
        return true;
    }
    DriverSession* Session() const noexcept { return session_; }

    // A fresh anchor for vi holding the handle's reference to session.
    static SessionAnchor* Create(ViSession vi, DriverSession* session);
    // The anchor stored under vi, or nullptr.
    static SessionAnchor* Find(ViSession vi) noexcept {
        void* data = nullptr;
        if (IviSession_GetDataPtr(vi, &data) < 0) return nullptr;
        return static_cast<SessionAnchor*>(data);
    }

private:
    void Retire() noexcept;

    std::atomic<std::uint64_t> state_{0};
    DriverSession* session_ = nullptr;
    SessionAnchor* nextFree_ = nullptr;
    friend class AnchorPool;
};

// A call's reference to the session object of a handle, for its scope.
class SessionRef {
public:
    explicit SessionRef(ViSession vi) noexcept {
        SessionAnchor* anchor = SessionAnchor::Find(vi);
        if (anchor != nullptr && anchor->Acquire(vi)) anchor_ = anchor;
    }
    ~SessionRef() {
        if (anchor_ != nullptr) anchor_->Release();
    }
    SessionRef(const SessionRef&) = delete;
    SessionRef& operator=(const SessionRef&) = delete;

    explicit operator bool() const noexcept { return anchor_ != nullptr; }
    DriverSession* get() const noexcept { return anchor_->Session(); }
    bool Closed() const noexcept { return anchor_->Closed(); }

private:
    SessionAnchor* anchor_ = nullptr;
};

// The session object of vi for code that already holds a reference through
// its frame (and for tests that look at a session), or nullptr once the
// handle is closed.
inline DriverSession* PeekSession(ViSession vi) noexcept {
    SessionAnchor* anchor = SessionAnchor::Find(vi);
    if (anchor == nullptr || anchor->Closed()) return nullptr;
    return anchor->Session();
}

// Stores a new session object under its handle, which owns it from then on.
// On failure the object is destroyed.
ViStatus AttachSession(ViSession vi, DriverSession* session);

// Takes the session of vi down without any lock: refuses new calls at once,
// closes the instrument connection (which wakes a call blocked on it),
// disposes of the handle and drops the handle's reference. The object goes
// when the last call using it returns. IVI_ERROR_INVALID_SESSION_HANDLE when
// vi names no open session; else the status of disposing of the handle.
ViStatus DetachSession(ViSession vi);

}  // namespace kiln
