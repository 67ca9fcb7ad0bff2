// IVI session component: a process-wide table of session handles. Each
// handle carries one data pointer, one recursive lock and one error slot;
// each thread also keeps its last recorded error, so that a caller can learn
// why an initialization failed although it got no handle.
#include "IviSession.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <new>
#include <string>

namespace {

struct ErrorSlot {
    ViStatus code = 0;
    std::string text;
};

// A number for the calling thread, never given to another thread of the
// process (std::thread::id values are reused once a thread has exited, which
// would let a new thread release a lock an exited one left held). 0 is no
// thread.
std::uint64_t ThisThread() {
    static std::atomic<std::uint64_t> next{1};
    thread_local const std::uint64_t self = next.fetch_add(1, std::memory_order_relaxed);
    return self;
}

// Recursive lock that knows its owner, so that an unlock by a thread that
// does not hold it is refused instead of corrupting the lock.
class OwnedRecursiveLock {
public:
    // False when the session was disposed before the lock came free.
    bool Lock() {
        const std::uint64_t self = ThisThread();
        std::unique_lock<std::mutex> guard(mutex_);
        if (depth_ > 0 && owner_ == self) {
            ++depth_;
            return true;
        }
        released_.wait(guard, [this] { return depth_ == 0 || retired_; });
        if (retired_) return false;
        owner_ = self;
        depth_ = 1;
        return true;
    }
    bool Unlock() {
        std::lock_guard<std::mutex> guard(mutex_);
        if (depth_ == 0 || owner_ != ThisThread()) return false;
        if (--depth_ == 0) {
            owner_ = 0;
            released_.notify_one();
        }
        return true;
    }

    // At Dispose: a hold of the disposing thread ends with the session;
    // threads waiting for the lock wake and are refused. True when the lock
    // is free afterwards (then the slot may serve a new session).
    bool ReleaseForDispose() {
        std::lock_guard<std::mutex> guard(mutex_);
        if (depth_ > 0 && owner_ == ThisThread()) {
            depth_ = 0;
            owner_ = 0;
        }
        retired_ = true;
        released_.notify_all();
        return depth_ == 0;
    }
    // A new session takes the slot.
    void Reopen() {
        std::lock_guard<std::mutex> guard(mutex_);
        retired_ = false;
    }

private:
    std::mutex mutex_;
    std::condition_variable released_;
    std::uint64_t owner_ = 0;
    unsigned long depth_ = 0;
    bool retired_ = false;
};

// One cache line or more per slot, so that sessions used on different threads
// do not share lines.
struct alignas(64) Session {
    // The handle this slot currently serves; 0 while the slot is free.
    std::atomic<ViSession> handle{0};
    std::atomic<void*> data{nullptr};
    OwnedRecursiveLock lock;
    std::mutex errorMutex;
    ErrorSlot error;
};

// Handles are resolved without any shared write: a handle names a slot by
// its low 16 bits and carries the slot's generation in its high 16 bits, and
// a lookup is two atomic loads. Slots live in chunks that are never freed,
// so a lookup racing with Dispose reads a stale slot, never freed memory.
// New and Dispose take the table's mutex.
class HandleTable {
public:
    static constexpr unsigned kChunkSize = 256;
    static constexpr unsigned kChunks = 255;  // 65280 slots
    // Fresh slots are taken until this many exist; only then are disposed
    // slots reused (oldest first), so a stale handle does not soon name a
    // new session.
    static constexpr unsigned kFreshSlots = 4096;

    ViStatus New(ViSession* vi) {
        std::lock_guard<std::mutex> guard(mutex_);
        unsigned index;
        if (used_ < kFreshSlots || free_.empty()) {
            if (used_ >= kChunkSize * kChunks) return IVISESSION_ERROR_OUT_OF_RESOURCES;
            index = used_;
            if (chunks_[index / kChunkSize].load(std::memory_order_relaxed) == nullptr) {
                chunks_[index / kChunkSize].store(new Session[kChunkSize], std::memory_order_release);
            }
            ++used_;
        } else {
            index = free_.front();
            free_.pop_front();
        }
        Session& slot = SlotAt(index);
        const ViSession generation = ((generation_[index] += 1) & 0xFFFFu);
        const ViSession handle = (generation << 16) | (index + 1);
        slot.data.store(nullptr, std::memory_order_relaxed);
        {
            std::lock_guard<std::mutex> errorGuard(slot.errorMutex);
            slot.error = ErrorSlot();
        }
        slot.lock.Reopen();
        slot.handle.store(handle, std::memory_order_release);
        *vi = handle;
        return VI_SUCCESS;
    }

    bool Dispose(ViSession vi) {
        std::lock_guard<std::mutex> guard(mutex_);
        Session* slot = Find(vi);
        if (slot == nullptr) return false;
        slot->handle.store(0, std::memory_order_release);
        slot->data.store(nullptr, std::memory_order_relaxed);
        {
            std::lock_guard<std::mutex> errorGuard(slot->errorMutex);
            slot->error = ErrorSlot();
        }
        // A slot disposed while another thread still holds its lock is
        // retired for good rather than handed to a new session locked.
        if (slot->lock.ReleaseForDispose()) free_.push_back((vi & 0xFFFFu) - 1);
        return true;
    }

    Session* Find(ViSession vi) const {
        const unsigned low = vi & 0xFFFFu;
        if (low == 0 || low > kChunkSize * kChunks) return nullptr;
        const unsigned index = low - 1;
        Session* chunk = chunks_[index / kChunkSize].load(std::memory_order_acquire);
        if (chunk == nullptr) return nullptr;
        Session& slot = chunk[index % kChunkSize];
        return slot.handle.load(std::memory_order_acquire) == vi ? &slot : nullptr;
    }

private:
    Session& SlotAt(unsigned index) {
        return chunks_[index / kChunkSize].load(std::memory_order_relaxed)[index % kChunkSize];
    }

    std::mutex mutex_;
    std::atomic<Session*> chunks_[kChunks] = {};
    unsigned short generation_[kChunkSize * kChunks] = {};
    unsigned used_ = 0;
    std::deque<unsigned> free_;
};

HandleTable& Table() {
    static HandleTable* table = new HandleTable;  // outlives every caller's static destructors
    return *table;
}

thread_local ErrorSlot threadError;

void Store(ErrorSlot& slot, ViStatus code, ViConstString description) {
    slot.code = code;
    slot.text.assign(description ? description : "");
}

// The IVI-C buffer rules shared by every read of an error slot.
ViStatus Read(ErrorSlot& slot, ViInt32 bufferSize, ViStatus* code, ViChar description[]) {
    if (bufferSize < 0 || (bufferSize > 0 && description == nullptr)) {
        return IVISESSION_ERROR_INVALID_PARAMETER;
    }
    const ViInt32 needed = static_cast<ViInt32>(slot.text.size()) + 1;
    if (code) *code = slot.code;
    if (bufferSize == 0) return needed;
    const std::size_t copied = std::min<std::size_t>(slot.text.size(), static_cast<std::size_t>(bufferSize) - 1);
    std::memcpy(description, slot.text.data(), copied);
    description[copied] = '\0';
    slot.code = 0;
    slot.text.clear();
    return needed > bufferSize ? needed : VI_SUCCESS;
}

template <class Body>
ViStatus Guarded(Body&& body) {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return IVISESSION_ERROR_OUT_OF_RESOURCES;
    }
}

}  // namespace

extern "C" {

ViStatus IviSession_New(ViSession* vi) {
    if (vi == nullptr) return IVISESSION_ERROR_INVALID_PARAMETER;
    return Guarded([&] { return Table().New(vi); });
}

ViStatus IviSession_Dispose(ViSession vi) {
    return Table().Dispose(vi) ? VI_SUCCESS : IVI_ERROR_INVALID_SESSION_HANDLE;
}

ViStatus IviSession_GetDataPtr(ViSession vi, void** dataPtr) {
    if (dataPtr == nullptr) return IVISESSION_ERROR_INVALID_PARAMETER;
    Session* session = Table().Find(vi);
    if (session == nullptr) return IVI_ERROR_INVALID_SESSION_HANDLE;
    *dataPtr = session->data.load(std::memory_order_acquire);
    return VI_SUCCESS;
}

ViStatus IviSession_SetDataPtr(ViSession vi, void* dataPtr) {
    Session* session = Table().Find(vi);
    if (session == nullptr) return IVI_ERROR_INVALID_SESSION_HANDLE;
    session->data.store(dataPtr, std::memory_order_release);
    return VI_SUCCESS;
}

ViStatus IviSession_Lock(ViSession vi, ViBoolean* callerHasLock) {
    Session* session = Table().Find(vi);
    if (session == nullptr) return IVI_ERROR_INVALID_SESSION_HANDLE;
    if (callerHasLock != nullptr && *callerHasLock != VI_FALSE) return VI_SUCCESS;
    if (!session->lock.Lock()) return IVI_ERROR_INVALID_SESSION_HANDLE;
    // Disposed while this thread waited: give the lock back and refuse.
    if (session->handle.load(std::memory_order_acquire) != vi) {
        session->lock.Unlock();
        return IVI_ERROR_INVALID_SESSION_HANDLE;
    }
    if (callerHasLock != nullptr) *callerHasLock = VI_TRUE;
    return VI_SUCCESS;
}

ViStatus IviSession_Unlock(ViSession vi, ViBoolean* callerHasLock) {
    Session* session = Table().Find(vi);
    if (session == nullptr) return IVI_ERROR_INVALID_SESSION_HANDLE;
    if (callerHasLock != nullptr && *callerHasLock != VI_TRUE) return VI_SUCCESS;
    if (!session->lock.Unlock()) return IVISESSION_ERROR_LOCK_NOT_HELD;
    if (callerHasLock != nullptr) *callerHasLock = VI_FALSE;
    return VI_SUCCESS;
}

ViStatus IviSession_SetError(ViSession vi, ViStatus code, ViConstString description) {
    return Guarded([&]() -> ViStatus {
        if (vi != VI_NULL) {
            Session* session = Table().Find(vi);
            if (session == nullptr) return IVI_ERROR_INVALID_SESSION_HANDLE;
            std::lock_guard<std::mutex> guard(session->errorMutex);
            Store(session->error, code, description);
        }
        Store(threadError, code, description);
        return VI_SUCCESS;
    });
}

ViStatus IviSession_GetError(ViSession vi, ViInt32 bufferSize, ViStatus* code, ViChar description[]) {
    if (vi == VI_NULL) return Read(threadError, bufferSize, code, description);
    Session* session = Table().Find(vi);
    if (session == nullptr) return IVI_ERROR_INVALID_SESSION_HANDLE;
    std::lock_guard<std::mutex> guard(session->errorMutex);
    return Read(session->error, bufferSize, code, description);
}

ViStatus IviSession_ClearError(ViSession vi) {
    ErrorSlot cleared;
    if (vi == VI_NULL) {
        std::swap(threadError, cleared);
        return VI_SUCCESS;
    }
    Session* session = Table().Find(vi);
    if (session == nullptr) return IVI_ERROR_INVALID_SESSION_HANDLE;
    std::lock_guard<std::mutex> guard(session->errorMutex);
    std::swap(session->error, cleared);
    return VI_SUCCESS;
}

}  // extern "C"
