// The IVI session component: handles, the per-session lock with the
// caller-held flag convention, and stored errors with the thread's last error.
#include <atomic>
#include <chrono>
#include <cstring>
#include <functional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "IviSession.h"

namespace {

using namespace std::chrono_literals;

struct Handle {
    ViSession vi = VI_NULL;
    Handle() { EXPECT_EQ(VI_SUCCESS, IviSession_New(&vi)); }
    ~Handle() { IviSession_Dispose(vi); }
};

TEST(Handles, DisposedHandlesAreNotReusedSoonAndAreRefusedEverywhere) {
    ViSession disposed = VI_NULL;
    ASSERT_EQ(VI_SUCCESS, IviSession_New(&disposed));
    ASSERT_NE(VI_NULL, disposed);
    ASSERT_EQ(VI_SUCCESS, IviSession_Dispose(disposed));
    EXPECT_EQ(IVI_ERROR_INVALID_SESSION_HANDLE, IviSession_Dispose(disposed));

    // Many sessions come and go; none is given the disposed handle again.
    std::set<ViSession> seen;
    for (int i = 0; i < 20000; ++i) {
        ViSession vi = VI_NULL;
        ASSERT_EQ(VI_SUCCESS, IviSession_New(&vi));
        ASSERT_NE(disposed, vi);
        ASSERT_NE(VI_NULL, vi);
        ASSERT_TRUE(seen.insert(vi).second) << "handle " << vi << " given twice";
        ASSERT_EQ(VI_SUCCESS, IviSession_Dispose(vi));
    }

    const std::function<ViStatus(ViSession)> calls[] = {
        [](ViSession vi) { void* p = nullptr; return IviSession_GetDataPtr(vi, &p); },
        [](ViSession vi) { return IviSession_SetDataPtr(vi, nullptr); },
        [](ViSession vi) { return IviSession_Lock(vi, nullptr); },
        [](ViSession vi) { return IviSession_Unlock(vi, nullptr); },
        [](ViSession vi) { return IviSession_SetError(vi, -1, "x"); },
        [](ViSession vi) { ViStatus c = 0; char t[8]; return IviSession_GetError(vi, sizeof t, &c, t); },
        [](ViSession vi) { return IviSession_ClearError(vi); },
        [](ViSession vi) { return IviSession_Dispose(vi); },
    };
    for (const ViSession vi : {disposed, ViSession(0x7FFF0001), ViSession(0xFFFFFFFF)}) {
        for (const auto& call : calls) EXPECT_EQ(IVI_ERROR_INVALID_SESSION_HANDLE, call(vi)) << vi;
    }
    EXPECT_EQ(IVI_ERROR_INVALID_SESSION_HANDLE, IviSession_Dispose(VI_NULL));
    EXPECT_EQ(IVISESSION_ERROR_INVALID_PARAMETER, IviSession_New(nullptr));
}

TEST(Handles, DataPointerBelongsToItsSession) {
    Handle a, b;
    int x = 0, y = 0;
    ASSERT_EQ(VI_SUCCESS, IviSession_SetDataPtr(a.vi, &x));
    ASSERT_EQ(VI_SUCCESS, IviSession_SetDataPtr(b.vi, &y));
    void* p = nullptr;
    ASSERT_EQ(VI_SUCCESS, IviSession_GetDataPtr(a.vi, &p));
    EXPECT_EQ(&x, p);
    ASSERT_EQ(VI_SUCCESS, IviSession_GetDataPtr(b.vi, &p));
    EXPECT_EQ(&y, p);
}

TEST(Lock, CallerFlagConventionAndRecursion) {
    Handle s;
    ViBoolean held = VI_FALSE;
    ASSERT_EQ(VI_SUCCESS, IviSession_Lock(s.vi, &held));
    EXPECT_EQ(VI_TRUE, held);
    ASSERT_EQ(VI_SUCCESS, IviSession_Lock(s.vi, &held));  // already held: nothing happens
    ASSERT_EQ(VI_SUCCESS, IviSession_Lock(s.vi, nullptr));  // recursive on this thread
    ASSERT_EQ(VI_SUCCESS, IviSession_Unlock(s.vi, nullptr));

    std::atomic<bool> acquired{false};
    std::thread other([&] {
        IviSession_Lock(s.vi, nullptr);
        acquired = true;
        IviSession_Unlock(s.vi, nullptr);
    });
    std::this_thread::sleep_for(50ms);
    EXPECT_FALSE(acquired) << "another thread took a held lock";

    ViBoolean notHeld = VI_FALSE;
    ASSERT_EQ(VI_SUCCESS, IviSession_Unlock(s.vi, &notHeld));  // flag false: nothing happens
    EXPECT_FALSE(acquired);
    ASSERT_EQ(VI_SUCCESS, IviSession_Unlock(s.vi, &held));
    EXPECT_EQ(VI_FALSE, held);
    other.join();
    EXPECT_TRUE(acquired);
    EXPECT_EQ(IVISESSION_ERROR_LOCK_NOT_HELD, IviSession_Unlock(s.vi, nullptr));
}

TEST(Lock, UnlockByAThreadThatDoesNotHoldItIsRefused) {
    Handle s;
    ASSERT_EQ(VI_SUCCESS, IviSession_Lock(s.vi, nullptr));
    ViStatus fromOther = VI_SUCCESS;
    std::thread([&] { fromOther = IviSession_Unlock(s.vi, nullptr); }).join();
    EXPECT_EQ(IVISESSION_ERROR_LOCK_NOT_HELD, fromOther);
    EXPECT_EQ(VI_SUCCESS, IviSession_Unlock(s.vi, nullptr));
}

TEST(Lock, AThreadThatReusesAnExitedOwnersIdCannotUnlock) {
    // The system hands an exited thread's id to a later thread; the lock an
    // exited thread left held must stay held against every later thread.
    Handle s;
    std::thread::id ownerId;
    std::thread([&] {
        ownerId = std::this_thread::get_id();
        ASSERT_EQ(VI_SUCCESS, IviSession_Lock(s.vi, nullptr));
    }).join();
    bool reused = false;
    for (int i = 0; i < 50 && !reused; ++i) {
        ViStatus unlock = VI_SUCCESS;
        std::thread([&] {
            reused = std::this_thread::get_id() == ownerId;
            unlock = IviSession_Unlock(s.vi, nullptr);
        }).join();
        ASSERT_EQ(IVISESSION_ERROR_LOCK_NOT_HELD, unlock) << "round " << i << (reused ? " (reused id)" : "");
    }
    EXPECT_TRUE(reused) << "no later thread was given the exited owner's id; the case went untried";
    // The lock is still held: another thread's lock waits and is refused by
    // the dispose.
    std::atomic<ViStatus> waited{1};
    std::thread waiter([&] { waited = IviSession_Lock(s.vi, nullptr); });
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(1, waited.load());
    ASSERT_EQ(VI_SUCCESS, IviSession_Dispose(s.vi));
    waiter.join();
    EXPECT_EQ(IVI_ERROR_INVALID_SESSION_HANDLE, waited.load());
}

TEST(Lock, DisposeWakesNoWaiterIntoAFreedSession) {
    // A thread waiting for the lock of a session that is disposed meanwhile
    // is refused once the holder lets go.
    ViSession vi = VI_NULL;
    ASSERT_EQ(VI_SUCCESS, IviSession_New(&vi));
    ASSERT_EQ(VI_SUCCESS, IviSession_Lock(vi, nullptr));
    std::atomic<ViStatus> waited{1};
    std::thread waiter([&] { waited = IviSession_Lock(vi, nullptr); });
    std::this_thread::sleep_for(30ms);
    ASSERT_EQ(VI_SUCCESS, IviSession_Dispose(vi));
    EXPECT_EQ(IVI_ERROR_INVALID_SESSION_HANDLE, IviSession_Unlock(vi, nullptr));
    waiter.join();
    // The waiter either saw the handle gone before waiting or after: refused.
    EXPECT_EQ(IVI_ERROR_INVALID_SESSION_HANDLE, waited.load());
}

std::string ReadText(ViSession vi, ViInt32 size, ViStatus* code, ViStatus* result) {
    std::vector<char> text(static_cast<std::size_t>(size > 0 ? size : 1), '#');
    *result = IviSession_GetError(vi, size, code, size > 0 ? text.data() : nullptr);
    return size > 0 ? std::string(text.data()) : std::string();
}

TEST(Errors, SessionAndThreadSlots) {
    Handle s;
    ASSERT_EQ(VI_SUCCESS, IviSession_SetError(s.vi, -5, "on the session"));
    ViStatus code = 0, result = 0;
    // The thread's last error is the same error.
    EXPECT_EQ("on the session", ReadText(VI_NULL, 64, &code, &result));
    EXPECT_EQ(-5, code);
    // Reading the thread's copy leaves the session's.
    EXPECT_EQ("on the session", ReadText(s.vi, 64, &code, &result));
    EXPECT_EQ(VI_SUCCESS, result);
    // Read with a positive size: cleared.
    EXPECT_EQ("", ReadText(s.vi, 64, &code, &result));
    EXPECT_EQ(0, code);

    // VI_NULL stores only the thread's error, and each thread has its own.
    ASSERT_EQ(VI_SUCCESS, IviSession_SetError(VI_NULL, -7, "thread only"));
    EXPECT_EQ("", ReadText(s.vi, 64, &code, &result));
    std::string otherThread = "unset";
    std::thread([&] {
        ViStatus c = 1, r = 1;
        otherThread = ReadText(VI_NULL, 64, &c, &r);
    }).join();
    EXPECT_EQ("", otherThread);
    ASSERT_EQ(VI_SUCCESS, IviSession_ClearError(VI_NULL));
    EXPECT_EQ("", ReadText(VI_NULL, 64, &code, &result));
}

TEST(Errors, BufferRules) {
    Handle s;
    struct Case {
        ViInt32 size;
        bool nullDescription;
        ViStatus result;
        const char* text;  // nullptr: nothing written
        bool cleared;
    };
    const Case cases[] = {
        {0, true, 6, nullptr, false},        // size needed, nothing written, nothing cleared
        {3, false, 6, "ab", true},           // truncated and terminated; size needed
        {6, false, VI_SUCCESS, "abcde", true},
        {-1, false, IVISESSION_ERROR_INVALID_PARAMETER, nullptr, false},
        {4, true, IVISESSION_ERROR_INVALID_PARAMETER, nullptr, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        ASSERT_EQ(VI_SUCCESS, IviSession_SetError(s.vi, -9, "abcde"));
        char text[16];
        std::memset(text, '#', sizeof text);
        ViStatus code = 0;
        EXPECT_EQ(c.result, IviSession_GetError(s.vi, c.size, &code, c.nullDescription ? nullptr : text));
        if (c.text != nullptr) {
            EXPECT_STREQ(c.text, text);
        } else {
            EXPECT_EQ('#', text[0]);
        }
        ViStatus after = 0;
        EXPECT_EQ(c.cleared ? 1 : 6, IviSession_GetError(s.vi, 0, &after, nullptr));
        EXPECT_EQ(c.cleared ? 0 : -9, after);
    }
    // A null code pointer is skipped.
    ASSERT_EQ(VI_SUCCESS, IviSession_SetError(s.vi, -9, "abcde"));
    char text[16];
    EXPECT_EQ(VI_SUCCESS, IviSession_GetError(s.vi, sizeof text, nullptr, text));
    EXPECT_STREQ("abcde", text);
}

TEST(Concurrency, SessionsComeAndGoWhileOthersAreUsed) {
    // Threads create, use and dispose their own sessions while resolving a
    // shared one; every call on a live handle succeeds.
    Handle shared;
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 2000; ++i) {
                ViSession own = VI_NULL;
                if (IviSession_New(&own) != VI_SUCCESS) { ++failures; continue; }
                if (IviSession_Lock(own, nullptr) != VI_SUCCESS) ++failures;
                if (IviSession_SetError(own, -1, "busy") != VI_SUCCESS) ++failures;
                if (IviSession_Unlock(own, nullptr) != VI_SUCCESS) ++failures;
                if (IviSession_Lock(shared.vi, nullptr) != VI_SUCCESS) ++failures;
                if (IviSession_Unlock(shared.vi, nullptr) != VI_SUCCESS) ++failures;
                if (IviSession_Dispose(own) != VI_SUCCESS) ++failures;
            }
        });
    }
    for (auto& t : threads) t.join();
    EXPECT_EQ(0, failures.load());
}

}  // namespace
