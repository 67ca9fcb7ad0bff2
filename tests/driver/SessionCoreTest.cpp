// The call frame, the session lock and the stored error, through the
// exported functions.
#include <atomic>
#include <chrono>
#include <cstring>
#include <functional>
#include <thread>

#include "DriverTestSupport.h"
#include "IviSession.h"

namespace varnel::test {
namespace {

using namespace std::chrono_literals;

struct FramedCall {
    const char* name;
    std::function<ViStatus(ViSession)> call;
};

const FramedCall kFramedCalls[] = {
    {"LockSession", [](ViSession vi) { ViBoolean held = VI_FALSE; return Varnel_LockSession(vi, &held); }},
    {"UnlockSession", [](ViSession vi) { ViBoolean held = VI_TRUE; return Varnel_UnlockSession(vi, &held); }},
    {"reset", [](ViSession vi) { return Varnel_reset(vi); }},
    {"ResetWithDefaults", [](ViSession vi) { return Varnel_ResetWithDefaults(vi); }},
    {"SystemInitialize", [](ViSession vi) { return Varnel_SystemInitialize(vi); }},
};

TEST(CallFrame, RejectsHandlesThatNameNoSessionAndRecordsNothing) {
    TempStore store;
    ViSession closed = 0;
    ASSERT_EQ(VI_SUCCESS, Varnel_InitWithOptions(const_cast<ViRsrc>("Sim"), VI_FALSE, VI_FALSE, "Simulate=1", &closed));
    ASSERT_EQ(VI_SUCCESS, Varnel_close(closed));
    // A handle issued by the session component that carries no session object.
    ViSession bare = 0;
    ASSERT_EQ(VI_SUCCESS, IviSession_New(&bare));

    for (const ViSession vi : {ViSession(0), ViSession(12345), closed, bare}) {
        for (const auto& framed : kFramedCalls) {
            IviSession_SetError(VI_NULL, 42, "earlier error");
            EXPECT_EQ(IVI_ERROR_INVALID_SESSION_HANDLE, framed.call(vi)) << framed.name << " on " << vi;
            const RecordedError error = ReadError(VI_NULL);
            EXPECT_EQ(42, error.code) << framed.name;
            EXPECT_EQ("earlier error", error.text) << framed.name;
        }
    }
    IviSession_Dispose(bare);
}

TEST_F(SimulatedSession, CloseTwiceRejectsTheSecondClose) {
    EXPECT_EQ(VI_SUCCESS, Varnel_close(vi));
    EXPECT_EQ(IVI_ERROR_INVALID_SESSION_HANDLE, Varnel_close(vi));
    vi = 0;
}

TEST_F(SimulatedSession, CloseDoesNotWaitForAHoldOfAnotherThread) {
    // Another thread holds the session lock and waits for the closing thread;
    // a third waits for the lock. The close returns at once, the waiter is
    // refused and the holder's unlock finds the handle gone.
    std::atomic<bool> holding{false};
    std::atomic<bool> closed{false};
    std::atomic<ViStatus> unlocked{1};
    std::thread holder([&] {
        ViBoolean held = VI_FALSE;
        Varnel_LockSession(vi, &held);
        holding = true;
        for (int i = 0; i < 2500 && !closed; ++i) std::this_thread::sleep_for(2ms);
        unlocked = Varnel_UnlockSession(vi, &held);
    });
    for (int i = 0; i < 2500 && !holding; ++i) std::this_thread::sleep_for(2ms);
    std::atomic<ViStatus> waited{1};
    std::thread waiter([&] { waited = Varnel_reset(vi); });
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(VI_SUCCESS, Varnel_close(vi));
    closed = true;
    holder.join();
    waiter.join();
    EXPECT_EQ(IVI_ERROR_INVALID_SESSION_HANDLE, unlocked.load());
    EXPECT_EQ(IVI_ERROR_INVALID_SESSION_HANDLE, waited.load());
    EXPECT_EQ(IVI_ERROR_INVALID_SESSION_HANDLE, Varnel_reset(vi));

    // The thread's own hold does not block its close, and ends with it.
    ViSession mine = 0;
    ASSERT_EQ(VI_SUCCESS, Varnel_InitWithOptions(const_cast<ViRsrc>("Sim"), VI_FALSE, VI_FALSE, "Simulate=1", &mine));
    ViBoolean held = VI_FALSE;
    ASSERT_EQ(VI_SUCCESS, Varnel_LockSession(mine, &held));
    EXPECT_EQ(VI_SUCCESS, Varnel_close(mine));
    EXPECT_EQ(IVI_ERROR_INVALID_SESSION_HANDLE, Varnel_UnlockSession(mine, &held));
    vi = 0;
}

TEST_F(SimulatedSession, CloseOfASessionAnExitedThreadLeftLocked) {
    std::thread([&] {
        ViBoolean held = VI_FALSE;
        ASSERT_EQ(VI_SUCCESS, Varnel_LockSession(vi, &held));
    }).join();
    EXPECT_EQ(VI_SUCCESS, Varnel_close(vi));
    vi = 0;
}

TEST(CloseRace, CloseWhileAnotherThreadCallsAsFastAsItCan) {
    // Each round a caller thread hammers framed calls while the session is
    // closed under it: every call either works or finds the handle gone, and
    // the sanitizer builds see no use of freed memory.
    TempStore store;
    for (int round = 0; round < 200; ++round) {
        ViSession vi = 0;
        ASSERT_EQ(VI_SUCCESS, Varnel_InitWithOptions(const_cast<ViRsrc>("Sim"), VI_FALSE, VI_FALSE, "Simulate=1", &vi));
        std::atomic<bool> started{false};
        std::atomic<int> unexpected{0};
        std::thread caller([&] {
            for (int i = 0; i < 100000; ++i) {
                const ViStatus status = (i % 2) ? Varnel_reset(vi) : Varnel_LockSession(vi, VI_NULL);
                if (i % 2 == 0 && status == VI_SUCCESS) Varnel_UnlockSession(vi, VI_NULL);
                started = true;
                if (status == IVI_ERROR_INVALID_SESSION_HANDLE) return;
                if (status != VI_SUCCESS) ++unexpected;
            }
        });
        for (int i = 0; i < 1000 && !started; ++i) std::this_thread::sleep_for(100us);
        EXPECT_EQ(VI_SUCCESS, Varnel_close(vi));
        caller.join();
        ASSERT_EQ(0, unexpected.load()) << "round " << round;
    }
}

TEST_F(SimulatedSession, CallerLockIsRecursiveAndHoldsOffOtherThreads) {
    ViBoolean held = VI_FALSE;
    ASSERT_EQ(VI_SUCCESS, Varnel_LockSession(vi, &held));
    EXPECT_EQ(VI_TRUE, held);
    // A second lock with the flag set takes nothing more; framed calls on the
    // same thread go through.
    ASSERT_EQ(VI_SUCCESS, Varnel_LockSession(vi, &held));
    for (int i = 0; i < 3; ++i) EXPECT_EQ(VI_SUCCESS, Varnel_reset(vi));

    std::atomic<bool> done{false};
    std::thread other([&] {
        Varnel_reset(vi);
        done = true;
    });
    std::this_thread::sleep_for(100ms);
    EXPECT_FALSE(done) << "another thread ran a framed call while the caller held the lock";

    ASSERT_EQ(VI_SUCCESS, Varnel_UnlockSession(vi, &held));
    EXPECT_EQ(VI_FALSE, held);
    for (int i = 0; i < 200 && !done; ++i) std::this_thread::sleep_for(10ms);
    EXPECT_TRUE(done) << "the other thread did not run after the unlock";
    other.join();

    // Unlocked now: a further unlock with a cleared flag does nothing, and a
    // plain unlock of a lock this thread does not hold is refused.
    EXPECT_EQ(VI_SUCCESS, Varnel_UnlockSession(vi, &held));
    EXPECT_LT(IviSession_Unlock(vi, VI_NULL), 0);
}

TEST_F(SimulatedSession, UnlockFromAnotherThreadIsRefused) {
    ViBoolean held = VI_FALSE;
    ASSERT_EQ(VI_SUCCESS, Varnel_LockSession(vi, &held));
    ViStatus fromOther = VI_SUCCESS;
    std::thread([&] { fromOther = IviSession_Unlock(vi, VI_NULL); }).join();
    EXPECT_LT(fromOther, 0);
    EXPECT_EQ(VI_SUCCESS, Varnel_UnlockSession(vi, &held));
}

// Varnel_GetError follows the IVI-C buffer rules of the session component.
TEST_F(SimulatedSession, GetErrorBufferRules) {
    const std::string text = "The option string is missing an option name.";
    const ViInt32 needed = static_cast<ViInt32>(text.size() + 1);
    auto record = [&] { IviSession_SetError(vi, IVI_ERROR_MISSING_OPTION_NAME, text.c_str()); };

    struct Case {
        const char* what;
        ViInt32 size;
        bool nullBuffer;
        bool nullCode;
        ViStatus result;
        const char* copied;  // nullptr: buffer untouched
        bool cleared;
    };
    const Case cases[] = {
        {"size 0 asks for the size", 0, false, false, needed, nullptr, false},
        {"size 0 with a null buffer", 0, true, false, needed, nullptr, false},
        {"short buffer truncates", 8, false, false, needed, "The opt", true},
        {"one byte holds the terminator", 1, false, false, needed, "", true},
        {"exact fit", needed, false, false, VI_SUCCESS, text.c_str(), true},
        {"large buffer", 1024, false, false, VI_SUCCESS, text.c_str(), true},
        {"null code pointer is skipped", 1024, false, true, VI_SUCCESS, text.c_str(), true},
        {"negative size", -1, false, false, IVISESSION_ERROR_INVALID_PARAMETER, nullptr, false},
        {"null buffer with a size", 10, true, false, IVISESSION_ERROR_INVALID_PARAMETER, nullptr, false},
    };
    for (const Case& c : cases) {
        record();
        char buffer[1024];
        std::memset(buffer, '#', sizeof buffer);
        ViStatus code = 7;
        const ViStatus result =
            Varnel_GetError(vi, c.nullCode ? nullptr : &code, c.size, c.nullBuffer ? nullptr : buffer);
        EXPECT_EQ(c.result, result) << c.what;
        if (c.copied != nullptr) {
            EXPECT_STREQ(c.copied, buffer) << c.what;
            if (!c.nullCode) {
                EXPECT_EQ(IVI_ERROR_MISSING_OPTION_NAME, code) << c.what;
            }
        } else {
            EXPECT_EQ('#', buffer[0]) << c.what;
        }
        const RecordedError left = ReadError(vi);
        EXPECT_EQ(c.cleared ? std::string() : text, left.text) << c.what;
        EXPECT_EQ(c.cleared ? 0 : IVI_ERROR_MISSING_OPTION_NAME, left.code) << c.what;
    }
}

TEST_F(SimulatedSession, NoStoredErrorReadsAsCodeZeroAndEmptyText) {
    ASSERT_EQ(VI_SUCCESS, Varnel_ClearError(vi));
    char buffer[16] = "untouched";
    ViStatus code = 99;
    EXPECT_EQ(VI_SUCCESS, Varnel_GetError(vi, &code, sizeof buffer, buffer));
    EXPECT_EQ(0, code);
    EXPECT_STREQ("", buffer);
}

TEST(StoredError, ThreadErrorIsReadWithANullHandleAndIsPerThread) {
    ASSERT_EQ(VI_SUCCESS, IviSession_SetError(VI_NULL, IVI_ERROR_CANNOT_RECOVER, "on this thread"));
    RecordedError other;
    std::thread([&] { other = ReadError(VI_NULL); }).join();
    EXPECT_EQ(0, other.code);
    EXPECT_EQ("", other.text);
    EXPECT_EQ(VI_SUCCESS, Varnel_ClearError(VI_NULL));
    EXPECT_EQ(0, ReadError(VI_NULL).code);
    EXPECT_EQ(IVI_ERROR_INVALID_SESSION_HANDLE, Varnel_GetError(777, nullptr, 0, nullptr));
    EXPECT_EQ(IVI_ERROR_INVALID_SESSION_HANDLE, Varnel_ClearError(777));
}

// One session per thread: the sessions do not wait for each other, and each
// keeps its own error.
TEST(Sessions, IndependentAcrossThreads) {
    TempStore store;
    constexpr int kThreads = 4;
    std::thread threads[kThreads];
    ViStatus results[kThreads] = {};
    for (int t = 0; t < kThreads; ++t) {
        threads[t] = std::thread([t, &results] {
            ViSession vi = 0;
            ViStatus status = Varnel_InitWithOptions(const_cast<ViRsrc>("Sim"), VI_FALSE, VI_FALSE, "Simulate=1", &vi);
            for (int i = 0; i < 1000 && status == VI_SUCCESS; ++i) status = Varnel_reset(vi);
            const std::string mine = "thread " + std::to_string(t);
            IviSession_SetError(vi, IVI_ERROR_CANNOT_RECOVER, mine.c_str());
            if (status == VI_SUCCESS && ReadError(vi).text != mine) status = -1;
            if (Varnel_close(vi) != VI_SUCCESS) status = -2;
            results[t] = status;
        });
    }
    for (auto& thread : threads) thread.join();
    for (const ViStatus result : results) EXPECT_EQ(VI_SUCCESS, result);
}

}  // namespace
}  // namespace varnel::test
