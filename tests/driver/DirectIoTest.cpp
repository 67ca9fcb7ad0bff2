// Raw instrument I/O (Varnel_viWrite, Varnel_viRead), the error query and the
// device clear, against the fake instrument and in simulation.
#include <atomic>
#include <chrono>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "DriverTestSupport.h"
#include "FakeInstrument.h"
#include "visa.h"

namespace varnel::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr char kSimulationText[] = "I/O error.  Direct I/O operations are not available in simulation mode.";
constexpr ViInt64 kUntouched = 77;

std::string NullPointerText(const std::string& function, const std::string& parameter) {
    return "Null pointer passed for function '" + function + "', parameter '" + parameter + "'.";
}

std::string InvalidCountText(ViInt64 count, const std::string& function) {
    return "Invalid value '" + std::to_string(count) + "' for function '" + function + "', parameter 'BufferSize'.";
}

long long MsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

ViStatus Write(ViSession vi, const std::string& bytes, ViInt64* count) {
    return Varnel_viWrite(vi, static_cast<ViInt64>(bytes.size()), reinterpret_cast<ViConstBuf>(bytes.data()), count);
}

// Reads with the given count into a buffer large enough for it; got is what
// the call reports it stored.
ViStatus Read(ViSession vi, ViInt64 count, std::string& got) {
    std::vector<ViByte> buffer(static_cast<std::size_t>(count) + 1, 0);
    ViInt64 n = kUntouched;
    const ViStatus status = Varnel_viRead(vi, count, buffer.data(), &n);
    got = n == kUntouched ? "<untouched>" : std::string(reinterpret_cast<const char*>(buffer.data()),
                                                        static_cast<std::size_t>(n));
    return status;
}

// A session on the fake instrument, its traffic of initialization forgotten.
class LiveDirectIo : public ::testing::Test {
protected:
    void SetUp() override { Open(""); }
    void Open(const char* options) {
        fake.reply("*IDN?", "QVX M2 LOAD 1.05\n");
        ASSERT_EQ(VI_SUCCESS, Varnel_InitWithOptions(const_cast<ViRsrc>(fake.resource().c_str()), VI_FALSE, VI_FALSE,
                                                     options, &vi));
        io = SessionOf(vi).GetInstrumentSession();
        fake.clear();
    }
    void TearDown() override {
        if (vi != 0) Varnel_close(vi);
    }
    void SetTimeout(ViUInt32 ms) { ASSERT_EQ(VI_SUCCESS, viSetAttribute(io, VI_ATTR_TMO_VALUE, ms)); }

    TempStore store;
    FakeInstrument fake;
    ViSession vi = 0;
    ViSession io = 0;
};

TEST_F(LiveDirectIo, WriteSendsExactlyTheBytes) {
    const std::string bytes("CC 2.5\r\n\0\xFF\n", 11);
    ViInt64 count = kUntouched;
    EXPECT_EQ(VI_SUCCESS, Write(vi, bytes, &count));
    EXPECT_EQ(11, count);
    // A count of 0 with no buffer sends nothing and succeeds.
    EXPECT_EQ(VI_SUCCESS, Varnel_viWrite(vi, 0, nullptr, &count));
    EXPECT_EQ(0, count);
    EXPECT_EQ(VI_SUCCESS, Write(vi, "END\n", &count));
    ASSERT_TRUE(fake.waitForLines(3));
    EXPECT_EQ(bytes + "END\n", fake.bytes());
}

struct ReadCase {
    const char* what;
    std::string reply;  // the answer to "Q"
    ViInt64 count;
    ViStatus status;
    std::string got;
};

// One call consumes one whole response: what does not fit is drained, the
// final read's status is returned, and the next call waits for a new one.
TEST_F(LiveDirectIo, ReadConsumesOneWholeResponse) {
    const std::string twenty = "0123456789ABCDEFGHI\n";
    const std::string long_ = std::string(10000, 'x') + "\n";
    const ReadCase cases[] = {
        {"a count of 4 on a 20-byte reply", twenty, 4, VI_SUCCESS_TERM_CHAR, "0123"},
        {"a buffer larger than the reply", twenty, 64, VI_SUCCESS_TERM_CHAR, twenty},
        {"an exact fit", twenty, 20, VI_SUCCESS_TERM_CHAR, twenty},
        {"a reply of several drain reads", long_, 4, VI_SUCCESS_TERM_CHAR, "xxxx"},
        {"a count of 0 still consumes the reply", twenty, 0, VI_SUCCESS_TERM_CHAR, ""},
        {"a reply cut short ends on the time-out", "partial", 4, VI_ERROR_TMO, "part"},
    };
    fake.reply("NEXT", "next\n");
    SetTimeout(300);
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.what);
        fake.reply("Q", c.reply);
        ViInt64 count = 0;
        ASSERT_EQ(VI_SUCCESS, Write(vi, "Q\n", &count));
        std::string got;
        EXPECT_EQ(c.status, Read(vi, c.count, got));
        EXPECT_EQ(c.got, got);
        ASSERT_EQ(VI_SUCCESS, Write(vi, "NEXT\n", &count));
        EXPECT_EQ(VI_SUCCESS_TERM_CHAR, Read(vi, 64, got));
        EXPECT_EQ("next\n", got);
    }
    // Nothing asked, nothing answered: the read times out, storing nothing.
    std::string got;
    EXPECT_EQ(VI_ERROR_TMO, Read(vi, 64, got));
    EXPECT_EQ("", got);
    EXPECT_EQ(0, ReadError(vi).code) << "a VISA failure is returned, not recorded";
}

// A peer that streams without a line feed cannot hold the call: the drain
// stops once the session's time-out has passed since the first read, or
// once 1 MiB has been thrown away, with the last read's status.
TEST_F(LiveDirectIo, DrainOfAStreamingPeerIsBounded) {
    {
        SCOPED_TRACE("a slow stream: the time-out ends the drain");
        SetTimeout(300);
        std::atomic<bool> stop{false};
        std::thread streamer([&] {
            const std::string chunk(256, 's');
            for (int i = 0; i < 2500 && !stop; ++i) {
                fake.send(chunk);
                std::this_thread::sleep_for(2ms);
            }
        });
        const auto start = Clock::now();
        std::string got;
        EXPECT_EQ(VI_SUCCESS_MAX_CNT, Read(vi, 4, got));
        const long long elapsed = MsSince(start);
        stop = true;
        streamer.join();
        EXPECT_EQ("ssss", got);
        EXPECT_GE(elapsed, 300);
        EXPECT_LT(elapsed, 3000);
    }
    // A fresh connection, without the rest of the stream.
    Varnel_close(vi);
    Open("");
    {
        SCOPED_TRACE("a flood: 1 MiB ends the drain");
        SetTimeout(20000);
        fake.reply("FLOOD", std::string(3 * 1024 * 1024, 'f'));
        ViInt64 count = 0;
        ASSERT_EQ(VI_SUCCESS, Write(vi, "FLOOD\n", &count));
        const auto start = Clock::now();
        std::string got;
        EXPECT_EQ(VI_SUCCESS_MAX_CNT, Read(vi, 4, got));
        EXPECT_EQ("ffff", got);
        EXPECT_LT(MsSince(start), 10000);
    }
}

struct BadCall {
    const char* what;
    std::function<ViStatus(ViSession, ViInt64* count)> call;
    ViStatus status;
    std::string text;
};

// Each call is refused with its status and recorded reason, and leaves
// ReturnCount as it was.
template <std::size_t N>
void ExpectRefusals(ViSession vi, const BadCall (&cases)[N]) {
    for (const BadCall& c : cases) {
        SCOPED_TRACE(c.what);
        ViInt64 count = kUntouched;
        EXPECT_EQ(c.status, c.call(vi, &count));
        EXPECT_EQ(kUntouched, count);
        const RecordedError error = ReadError(vi);
        EXPECT_EQ(c.status, error.code);
        EXPECT_EQ(c.text, error.text);
    }
}

// Bad arguments are refused with their recorded reason; nothing is sent or
// read, and ReturnCount is not written.
TEST_F(LiveDirectIo, BadArgumentsChangeNothing) {
    ViByte buffer[16] = {};
    const ViConstBuf bytes = reinterpret_cast<ViConstBuf>("NO\n");
    const BadCall cases[] = {
        {"write: null ReturnCount comes first",
         [&](ViSession v, ViInt64*) { return Varnel_viWrite(v, 3, nullptr, nullptr); }, IVI_ERROR_NULL_POINTER,
         NullPointerText("Varnel_viWrite", "ReturnCount")},
        {"write: null Buffer with a count",
         [&](ViSession v, ViInt64* n) { return Varnel_viWrite(v, 3, nullptr, n); }, IVI_ERROR_NULL_POINTER,
         NullPointerText("Varnel_viWrite", "Buffer")},
        {"write: null Buffer comes before the count check",
         [&](ViSession v, ViInt64* n) { return Varnel_viWrite(v, -1, nullptr, n); }, IVI_ERROR_NULL_POINTER,
         NullPointerText("Varnel_viWrite", "Buffer")},
        {"write: count -1", [&](ViSession v, ViInt64* n) { return Varnel_viWrite(v, -1, bytes, n); },
         IVI_ERROR_INVALID_VALUE, InvalidCountText(-1, "Varnel_viWrite")},
        {"write: count 2^32", [&](ViSession v, ViInt64* n) { return Varnel_viWrite(v, 1LL << 32, bytes, n); },
         IVI_ERROR_INVALID_VALUE, InvalidCountText(1LL << 32, "Varnel_viWrite")},
        {"read: null Buffer comes first",
         [&](ViSession v, ViInt64*) { return Varnel_viRead(v, 16, nullptr, nullptr); }, IVI_ERROR_NULL_POINTER,
         NullPointerText("Varnel_viRead", "Buffer")},
        {"read: null ReturnCount", [&](ViSession v, ViInt64*) { return Varnel_viRead(v, 16, buffer, nullptr); },
         IVI_ERROR_NULL_POINTER, NullPointerText("Varnel_viRead", "ReturnCount")},
        {"read: count -1", [&](ViSession v, ViInt64* n) { return Varnel_viRead(v, -1, buffer, n); },
         IVI_ERROR_INVALID_VALUE, InvalidCountText(-1, "Varnel_viRead")},
        {"read: count 2^32", [&](ViSession v, ViInt64* n) { return Varnel_viRead(v, 1LL << 32, buffer, n); },
         IVI_ERROR_INVALID_VALUE, InvalidCountText(1LL << 32, "Varnel_viRead")},
    };
    // A response waits on the connection; no refused read may take it.
    ASSERT_TRUE(fake.send("kept\n"));
    ExpectRefusals(vi, cases);
    std::string got;
    EXPECT_EQ(VI_SUCCESS_TERM_CHAR, Read(vi, 64, got));
    EXPECT_EQ("kept\n", got);
    ViInt64 count = 0;
    ASSERT_EQ(VI_SUCCESS, Write(vi, "PING\n", &count));
    ASSERT_TRUE(fake.waitForLines(1));
    EXPECT_EQ("PING\n", fake.bytes());
}

// Leftovers of a formatted query that failed to scan (a measurement reply
// that is not a number) never answer a later raw read.
TEST_F(LiveDirectIo, RawReadAfterAFailedFormattedQueryGetsTheNewReply) {
    fake.reply("MC", "abc\n");
    fake.reply("MV", "12.5\n");
    ViReal64 value = 0;
    EXPECT_EQ(VI_ERROR_IO, viQueryf(io, "MC\n", "%lf%*t", &value));
    ViInt64 count = 0;
    ASSERT_EQ(VI_SUCCESS, Write(vi, "MV\n", &count));
    std::string got;
    EXPECT_EQ(VI_SUCCESS_TERM_CHAR, Read(vi, 64, got));
    EXPECT_EQ("12.5\n", got);
}

// Close takes no lock and does not wait for a raw read blocked on a silent
// instrument; the read ends with an error soon after.
TEST_F(LiveDirectIo, CloseWakesARawReadWaitingForASilentInstrument) {
    SetTimeout(30000);
    std::atomic<bool> started{false};
    std::atomic<ViStatus> readStatus{VI_SUCCESS};
    std::atomic<long long> readEnded{-1};
    const auto start = Clock::now();
    std::thread reader([&] {
        ViByte buffer[64];
        ViInt64 count = 0;
        started = true;
        readStatus = Varnel_viRead(vi, sizeof buffer, buffer, &count);
        readEnded = MsSince(start);
    });
    for (int i = 0; i < 500 && !started; ++i) std::this_thread::sleep_for(2ms);
    std::this_thread::sleep_for(100ms);  // let the read block in VISA
    const auto closing = Clock::now();
    EXPECT_EQ(VI_SUCCESS, Varnel_close(vi));
    const long long closeMs = MsSince(closing);
    const long long closedAt = MsSince(start);
    vi = 0;
    reader.join();
    EXPECT_LT(closeMs, 1000);
    EXPECT_LT(readStatus.load(), 0);
    EXPECT_LT(readEnded.load() - closedAt, 5000);
}

TEST_F(SimulatedSession, DirectIoIsRefusedAfterTheArgumentChecks) {
    ViByte buffer[16] = {};
    const ViConstBuf bytes = reinterpret_cast<ViConstBuf>("MV\n");
    const BadCall cases[] = {
        {"write", [&](ViSession v, ViInt64* n) { return Varnel_viWrite(v, 3, bytes, n); }, VARNEL_ERROR_IO_GENERAL,
         kSimulationText},
        {"write of nothing", [&](ViSession v, ViInt64* n) { return Varnel_viWrite(v, 0, nullptr, n); },
         VARNEL_ERROR_IO_GENERAL, kSimulationText},
        {"read", [&](ViSession v, ViInt64* n) { return Varnel_viRead(v, 16, buffer, n); }, VARNEL_ERROR_IO_GENERAL,
         kSimulationText},
        {"write: null Buffer", [&](ViSession v, ViInt64* n) { return Varnel_viWrite(v, 3, nullptr, n); },
         IVI_ERROR_NULL_POINTER, NullPointerText("Varnel_viWrite", "Buffer")},
        {"read: null Buffer", [&](ViSession v, ViInt64* n) { return Varnel_viRead(v, 16, nullptr, n); },
         IVI_ERROR_NULL_POINTER, NullPointerText("Varnel_viRead", "Buffer")},
        {"read: count -1", [&](ViSession v, ViInt64* n) { return Varnel_viRead(v, -1, buffer, n); },
         IVI_ERROR_INVALID_VALUE, InvalidCountText(-1, "Varnel_viRead")},
    };
    ExpectRefusals(vi, cases);
}

// --- error query and device clear ------------------------------------------

struct ErrorQueryCase {
    const char* what;
    bool nullCode;
    bool nullMessage;
    ViStatus status;
    std::string text;  // recorded; empty when nothing is
};

void ExpectErrorQueryAnswers(ViSession vi) {
    const ErrorQueryCase cases[] = {
        {"both outputs", false, false, VI_SUCCESS, ""},
        {"null ErrorCode", true, false, IVI_ERROR_NULL_POINTER, NullPointerText("Varnel_error_query", "ErrorCode")},
        {"null ErrorMessage", false, true, IVI_ERROR_NULL_POINTER,
         NullPointerText("Varnel_error_query", "ErrorMessage")},
        {"both null: ErrorCode first", true, true, IVI_ERROR_NULL_POINTER,
         NullPointerText("Varnel_error_query", "ErrorCode")},
    };
    for (const ErrorQueryCase& c : cases) {
        SCOPED_TRACE(c.what);
        ViInt32 code = 99;
        char message[256];
        std::memset(message, '#', sizeof message);
        EXPECT_EQ(c.status, Varnel_error_query(vi, c.nullCode ? nullptr : &code, c.nullMessage ? nullptr : message));
        if (c.status == VI_SUCCESS) {
            EXPECT_EQ(0, code);
            EXPECT_STREQ("No error.", message);
        }
        const RecordedError error = ReadError(vi);
        EXPECT_EQ(c.text.empty() ? 0 : c.status, error.code);
        EXPECT_EQ(c.text, error.text);
    }
}

TEST_F(SimulatedSession, ErrorQueryAnswersNoError) { ExpectErrorQueryAnswers(vi); }

TEST_F(LiveDirectIo, ErrorQueryAsksTheInstrumentNothingAlsoAfterAFailure) {
    SetTimeout(100);
    std::string got;
    ASSERT_EQ(VI_ERROR_TMO, Read(vi, 16, got));
    ExpectErrorQueryAnswers(vi);
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ("", fake.bytes());
}

TEST_F(SimulatedSession, ErrorQueryChecksItsOutputsBeforeTakingTheLock) {
    std::atomic<bool> holding{false};
    std::atomic<bool> release{false};
    std::atomic<bool> released{false};
    std::thread holder([&] {
        ViBoolean held = VI_FALSE;
        Varnel_LockSession(vi, &held);
        holding = true;
        for (int i = 0; i < 2500 && !release; ++i) std::this_thread::sleep_for(2ms);
        released = true;
        Varnel_UnlockSession(vi, &held);
    });
    for (int i = 0; i < 2500 && !holding; ++i) std::this_thread::sleep_for(2ms);
    char message[256];
    EXPECT_EQ(IVI_ERROR_NULL_POINTER, Varnel_error_query(vi, nullptr, message));
    EXPECT_FALSE(released) << "the refusal waited for the lock";
    release = true;
    holder.join();
}

TEST_F(LiveDirectIo, SystemClearSendsClAndRunsNoStatusCheck) {
    Varnel_close(vi);
    Open("QueryInstrStatus=1");
    EXPECT_EQ(VI_SUCCESS, Varnel_SystemClear(vi));
    ASSERT_TRUE(fake.waitForLines(1));
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ("CL\n", fake.bytes());
    // A failed write is returned as its VISA status and not recorded.
    fake.closeConnections();
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(VI_ERROR_CONN_LOST, Varnel_SystemClear(vi));
    EXPECT_EQ(0, ReadError(vi).code);
}

TEST_F(SimulatedSession, SystemClearSucceedsWithoutIo) { EXPECT_EQ(VI_SUCCESS, Varnel_SystemClear(vi)); }

TEST(DirectIoHandles, UnknownOrClosedHandlesAreRefusedAndNothingIsRecorded) {
    TempStore store;
    ViSession closed = 0;
    ASSERT_EQ(VI_SUCCESS, Varnel_InitWithOptions(const_cast<ViRsrc>("Sim"), VI_FALSE, VI_FALSE, "Simulate=1", &closed));
    ASSERT_EQ(VI_SUCCESS, Varnel_close(closed));
    ViByte buffer[4];
    ViInt64 count = 0;
    ViInt32 code = 0;
    char message[256];
    const std::function<ViStatus(ViSession)> calls[] = {
        [&](ViSession v) { return Varnel_viWrite(v, 1, buffer, &count); },
        [&](ViSession v) { return Varnel_viRead(v, 4, buffer, &count); },
        [&](ViSession v) { return Varnel_error_query(v, &code, message); },
        [&](ViSession v) { return Varnel_error_query(v, nullptr, nullptr); },
        [&](ViSession v) { return Varnel_SystemClear(v); },
    };
    for (const ViSession vi : {ViSession(0), ViSession(54321), closed}) {
        for (const auto& call : calls) {
            IviSession_SetError(VI_NULL, 42, "earlier error");
            EXPECT_EQ(IVI_ERROR_INVALID_SESSION_HANDLE, call(vi)) << vi;
            EXPECT_EQ(42, ReadError(VI_NULL).code);
        }
    }
}

}  // namespace
}  // namespace varnel::test
