#include "SessionRef.h"

#include <mutex>
#include <new>

#include "DriverSession.h"
#include "Varnel.h"

namespace kiln {

// Anchors come in blocks that live as long as the process; freed anchors
// wait on a list for the next session. Only initialization and the last
// release of a session take the pool's mutex.
class AnchorPool {
public:
    static AnchorPool& Instance() {
        static AnchorPool* pool = new AnchorPool;  // outlives every caller's static destructors
        return *pool;
    }
    SessionAnchor* Take() {
        std::lock_guard<std::mutex> guard(mutex_);
        if (free_ == nullptr) {
            SessionAnchor* block = new SessionAnchor[kBlockSize];
            for (unsigned i = 0; i < kBlockSize; ++i) {
                block[i].nextFree_ = free_;
                free_ = &block[i];
            }
        }
        SessionAnchor* anchor = free_;
        free_ = anchor->nextFree_;
        anchor->nextFree_ = nullptr;
        return anchor;
    }
    void Give(SessionAnchor* anchor) noexcept {
        std::lock_guard<std::mutex> guard(mutex_);
        anchor->nextFree_ = free_;
        free_ = anchor;
    }
    static void Arm(SessionAnchor* anchor, ViSession vi, DriverSession* session) noexcept {
        anchor->session_ = session;
        anchor->state_.store((static_cast<std::uint64_t>(vi) << 32) | 1u, std::memory_order_release);
    }
    static DriverSession* Disarm(SessionAnchor* anchor) noexcept {
        DriverSession* session = anchor->session_;
        anchor->session_ = nullptr;
        anchor->state_.store(0, std::memory_order_release);  // serves no handle: handles are never 0
        return session;
    }

private:
    static constexpr unsigned kBlockSize = 64;
    std::mutex mutex_;
    SessionAnchor* free_ = nullptr;
};

SessionAnchor* SessionAnchor::Create(ViSession vi, DriverSession* session) {
    SessionAnchor* anchor = AnchorPool::Instance().Take();
    AnchorPool::Arm(anchor, vi, session);
    return anchor;
}

void SessionAnchor::Retire() noexcept {
    delete AnchorPool::Disarm(this);
    AnchorPool::Instance().Give(this);
}

ViStatus AttachSession(ViSession vi, DriverSession* session) {
    SessionAnchor* anchor = nullptr;
    try {
        anchor = SessionAnchor::Create(vi, session);
    } catch (const std::bad_alloc&) {
        delete session;
        return IVI_ERROR_OUT_OF_MEMORY;
    }
    const ViStatus status = IviSession_SetDataPtr(vi, anchor);
    if (status < 0) {
        anchor->MarkClosed(vi);
        anchor->Release();
    }
    return status;
}

ViStatus DetachSession(ViSession vi) {
    SessionAnchor* anchor = SessionAnchor::Find(vi);
    // Our own reference keeps the object while we close its connection.
    if (anchor == nullptr || !anchor->Acquire(vi)) return IVI_ERROR_INVALID_SESSION_HANDLE;
    if (!anchor->MarkClosed(vi)) {
        anchor->Release();
        return IVI_ERROR_INVALID_SESSION_HANDLE;  // another thread is closing it
    }
    anchor->Session()->Close();
    IviSession_SetDataPtr(vi, nullptr);
    const ViStatus status = IviSession_Dispose(vi);
    anchor->Release();  // the handle's reference
    anchor->Release();  // ours; the last call out destroys the object
    return status;
}

}  // namespace kiln
