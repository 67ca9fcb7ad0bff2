// Initialization and close, in simulation and against the fake instrument:
// the identity query, the model check, the SOCKET set-up, reset at
// initialization, and the release of everything a failed attempt took.
#include <dirent.h>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>

#include "DriverSession.h"
#include "DriverTestSupport.h"
#include "FakeInstrument.h"
#include "IviSession.h"
#include "visa.h"

namespace varnel::test {
namespace {

using namespace std::chrono_literals;

ViStatus Init(const std::string& resource, ViBoolean idQuery, ViBoolean reset, const char* options, ViSession* vi) {
    return Varnel_InitWithOptions(const_cast<ViRsrc>(resource.c_str()), idQuery, reset, options, vi);
}

class Live : public ::testing::Test {
protected:
    void SetUp() override { instrument.reply("*IDN?", "QVX M2 LOAD 1.05\n"); }
    TempStore store;
    FakeInstrument instrument;
};

TEST(Simulation, SucceedsWithoutAnyIoAndTheDefaultModel) {
    TempStore store;
    FakeInstrument instrument;
    ViSession vi = 0;
    ASSERT_EQ(VI_SUCCESS, Init(instrument.resource(), VI_TRUE, VI_FALSE, "Simulate=1", &vi));
    kiln::DriverSession& session = SessionOf(vi);
    EXPECT_EQ("QVX M1", session.GetInstrumentModel());
    EXPECT_EQ("", session.GetInstrumentManufacturer());
    EXPECT_EQ("", session.GetSerialNumber());
    EXPECT_EQ("", session.GetFirmwareRevision());
    EXPECT_EQ(0u, session.GetInstrumentSession());
    EXPECT_EQ(VI_SUCCESS, Varnel_reset(vi)) << "reset in simulation sends nothing";
    EXPECT_EQ(VI_SUCCESS, Varnel_close(vi));
    EXPECT_EQ(0u, instrument.connectionCount());
}

TEST(Simulation, NullResourceAndOptionsAreEmptyTexts) {
    TempStore store;
    ViSession vi = 0;
    // An empty resource is no VISA resource: the open fails, nothing is recorded.
    EXPECT_LT(Varnel_InitWithOptions(nullptr, VI_FALSE, VI_FALSE, nullptr, &vi), 0);
    EXPECT_EQ(0u, vi);
    ASSERT_EQ(VI_SUCCESS, Varnel_InitWithOptions(nullptr, VI_FALSE, VI_FALSE, "Simulate=1", &vi));
    EXPECT_EQ(VI_SUCCESS, Varnel_close(vi));
    EXPECT_EQ(IVI_ERROR_NULL_POINTER, Varnel_init(nullptr, VI_FALSE, VI_FALSE, nullptr));
}

struct ModelCase {
    const char* options;
    const char* model;  // as stored in the description
};

TEST(Simulation, IdQueryRefusesModelsOutsideTheSupportedList) {
    TempStore store;
    const ModelCase cases[] = {
        {"Simulate=1, DriverSetup=Model:X", "X"},
        {"Simulate=1, DriverSetup=Model:qvx m1", "qvx m1"},
        {"Simulate=1, DriverSetup=Model:QVX M1 ", "QVX M1 "},
        {"Simulate=1, DriverSetup=Model:%s%s%n%n", "%s%s%n%n"},
    };
    for (const ModelCase& c : cases) {
        ViSession vi = 77;
        EXPECT_EQ(IVI_ERROR_ID_QUERY_FAILED, Init("Sim", VI_TRUE, VI_FALSE, c.options, &vi)) << c.options;
        EXPECT_EQ(0u, vi);
        const RecordedError error = ReadError(VI_NULL);
        EXPECT_EQ(IVI_ERROR_ID_QUERY_FAILED, error.code);
        EXPECT_EQ(std::string("Instrument ID query failed.  Unrecognized model: ") + c.model, error.text);
    }
    // Without the ID query the model is taken as it is.
    ViSession vi = 0;
    ASSERT_EQ(VI_SUCCESS, Init("Sim", VI_FALSE, VI_FALSE, "Simulate=1, DriverSetup=Model:X", &vi));
    EXPECT_EQ("X", SessionOf(vi).GetInstrumentModel());
    Varnel_close(vi);
}

TEST(Simulation, FailedOptionStringKeepsItsReasonForTheThread) {
    TempStore store;
    ViSession vi = 5;
    EXPECT_EQ(IVI_ERROR_BAD_OPTION_VALUE, Init("Sim", VI_FALSE, VI_FALSE, "Simulate=Maybe", &vi));
    EXPECT_EQ(0u, vi);
    const RecordedError error = ReadError(VI_NULL);
    EXPECT_EQ(IVI_ERROR_BAD_OPTION_VALUE, error.code);
    EXPECT_EQ("The 'maybe' value in the option string is unknown.", error.text);
}

TEST_F(Live, InterchangeCheckFailsBeforeAnyVisaCall) {
    ViSession vi = 5;
    EXPECT_EQ(IVI_ERROR_BAD_OPTION_VALUE, Init(instrument.resource(), VI_FALSE, VI_FALSE, "InterchangeCheck=1", &vi));
    EXPECT_EQ(0u, vi);
    EXPECT_EQ("The 'True' value in the option string is unknown.  Interchange checking is not supported by the driver.",
              ReadError(VI_NULL).text);
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(0u, instrument.connectionCount());
}

TEST_F(Live, IdentityReplyGivesModelAndFirmware) {
    ViSession vi = 0;
    ASSERT_EQ(VI_SUCCESS, Init(instrument.resource(), VI_TRUE, VI_FALSE, "", &vi));
    kiln::DriverSession& session = SessionOf(vi);
    EXPECT_EQ("Pellucor", session.GetInstrumentManufacturer());
    EXPECT_EQ("QVX M2", session.GetInstrumentModel());
    EXPECT_EQ("1.05", session.GetFirmwareRevision());
    EXPECT_EQ("", session.GetSerialNumber());
    EXPECT_EQ(instrument.resource(), session.GetIoResourceDescriptor());
    EXPECT_EQ(std::vector<std::string>{"*IDN?"}, instrument.lines());
    EXPECT_EQ("*IDN?\n", instrument.bytes());

    // A TCPIP SOCKET session ends its replies at the line feed.
    const ViSession io = session.GetInstrumentSession();
    ViUInt32 termchar = 0;
    ViUInt32 termcharEnabled = 0;
    ASSERT_EQ(VI_SUCCESS, viGetAttribute(io, VI_ATTR_TERMCHAR, &termchar));
    ASSERT_EQ(VI_SUCCESS, viGetAttribute(io, VI_ATTR_TERMCHAR_EN, &termcharEnabled));
    EXPECT_EQ(static_cast<ViUInt32>('\n'), termchar & 0xFF);
    EXPECT_EQ(VI_TRUE, termcharEnabled & 0xFFFF);

    // Nothing is sent at close; the connection goes.
    EXPECT_EQ(VI_SUCCESS, Varnel_close(vi));
    EXPECT_EQ("*IDN?\n", instrument.bytes());
    EXPECT_EQ(IVI_ERROR_INVALID_SESSION_HANDLE, Varnel_reset(vi));
}

TEST_F(Live, UnsupportedModelFromTheInstrument) {
    instrument.reply("*IDN?", "QVX M9 LOAD 2.0\n");
    ViSession vi = 5;
    EXPECT_EQ(IVI_ERROR_ID_QUERY_FAILED, Init(instrument.resource(), VI_TRUE, VI_FALSE, "", &vi));
    EXPECT_EQ(0u, vi);
    EXPECT_EQ("Instrument ID query failed.  Unrecognized model: QVX M9", ReadError(VI_NULL).text);

    // Without the ID query the same instrument initializes with its model.
    ASSERT_EQ(VI_SUCCESS, Init(instrument.resource(), VI_FALSE, VI_FALSE, "", &vi));
    EXPECT_EQ("QVX M9", SessionOf(vi).GetInstrumentModel());
    EXPECT_EQ("2.0", SessionOf(vi).GetFirmwareRevision());
    EXPECT_EQ(VI_SUCCESS, Varnel_close(vi));
}

TEST_F(Live, ReplyWithoutTheFamilyWordFailsTheIdentityQuery) {
    instrument.reply("*IDN?", "XYZ M2 LOAD 1.05\n");
    IviSession_SetError(VI_NULL, 11, "before");
    ViSession vi = 5;
    const ViStatus status = Init(instrument.resource(), VI_TRUE, VI_FALSE, "", &vi);
    EXPECT_LT(status, 0);
    EXPECT_EQ(0xBFFF0000u, static_cast<ViUInt32>(status) & 0xFFFF0000u) << "a VISA status";
    EXPECT_EQ(0u, vi);
    EXPECT_EQ("before", ReadError(VI_NULL).text) << "a VISA failure is not recorded";
}

TEST_F(Live, SilentInstrumentTimesOut) {
    instrument.noReply("*IDN?");
    ViSession vi = 5;
    EXPECT_EQ(VI_ERROR_TMO, Init(instrument.resource(), VI_FALSE, VI_FALSE, "", &vi));
    EXPECT_EQ(0u, vi);
}

TEST_F(Live, UnreachableInstrumentFailsWithTheVisaStatus) {
    ViSession vi = 5;
    EXPECT_EQ(VI_ERROR_INV_RSRC_NAME, Init("no resource", VI_FALSE, VI_FALSE, "", &vi));
    EXPECT_EQ(0u, vi);
}

TEST_F(Live, ResetAtInitializationSendsIniAfterTheIdentityQuery) {
    for (const ViBoolean reset : {ViBoolean(VI_TRUE), ViBoolean(2)}) {
        instrument.clear();
        ViSession vi = 0;
        ASSERT_EQ(VI_SUCCESS, Init(instrument.resource(), VI_FALSE, reset, "", &vi)) << reset;
        ASSERT_TRUE(instrument.waitForLines(2, 2s));
        EXPECT_EQ((std::vector<std::string>{"*IDN?", "INI"}), instrument.lines());
        // The reset puts back the time-out it found.
        ViUInt32 timeout = 0;
        ASSERT_EQ(VI_SUCCESS, viGetAttribute(SessionOf(vi).GetInstrumentSession(), VI_ATTR_TMO_VALUE, &timeout));
        EXPECT_EQ(2000u, timeout);
        EXPECT_EQ(VI_SUCCESS, Varnel_close(vi));
    }
}

TEST_F(Live, ResetRestoresTheTimeoutTheSessionHad) {
    ViSession vi = 0;
    ASSERT_EQ(VI_SUCCESS, Init(instrument.resource(), VI_FALSE, VI_FALSE, "", &vi));
    const ViSession io = SessionOf(vi).GetInstrumentSession();
    ASSERT_EQ(VI_SUCCESS, viSetAttribute(io, VI_ATTR_TMO_VALUE, 1234));
    EXPECT_EQ(VI_SUCCESS, Varnel_ResetWithDefaults(vi));
    ViUInt32 timeout = 0;
    ASSERT_EQ(VI_SUCCESS, viGetAttribute(io, VI_ATTR_TMO_VALUE, &timeout));
    EXPECT_EQ(1234u, timeout);
    ASSERT_TRUE(instrument.waitForLines(2, 2s));
    EXPECT_EQ("INI", instrument.lines().back());
    EXPECT_EQ(VI_SUCCESS, Varnel_close(vi));
}

TEST_F(Live, FailingResetReturnsItsStatusAndKeepsTheSession) {
    // The instrument answers the identity and hangs up: the reset cannot be sent.
    instrument.replyThenClose("*IDN?", "QVX M2 LOAD 1.05\n");
    ViSession vi = 0;
    const ViStatus status = Init(instrument.resource(), VI_FALSE, VI_TRUE, "", &vi);
    EXPECT_EQ(VI_ERROR_CONN_LOST, status);
    ASSERT_NE(0u, vi);
    EXPECT_EQ("QVX M2", SessionOf(vi).GetInstrumentModel());
    EXPECT_EQ(VI_SUCCESS, Varnel_close(vi));
}

std::size_t OpenFileCount() {
    std::size_t count = 0;
    if (DIR* dir = opendir("/proc/self/fd")) {
        while (readdir(dir) != nullptr) ++count;
        closedir(dir);
    }
    return count;
}

std::size_t ResidentKiB() {
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        std::size_t value = 0;
        if (key == "VmRSS:" && status >> value) return value;
        status.ignore(1 << 10, '\n');
    }
    return 0;
}

bool UnderSanitizer() {
#if defined(__SANITIZE_ADDRESS__)
    return true;
#else
    return false;
#endif
}

// Failed initializations of every kind release what they took: session
// objects, handles, VISA connections and store handles.
TEST(FailedInitialization, LeavesNothingBehind) {
    TempStore store;
    FakeInstrument instrument;
    instrument.reply("*IDN?", "QVX M9 LOAD 2.0\n");
    struct Kind {
        const char* options;
        ViBoolean idQuery;
        bool live;
    };
    const Kind kinds[] = {
        {"Simulate=Maybe", VI_FALSE, false},                      // option string
        {"Simulate=1, DriverSetup=Model:X", VI_TRUE, false},      // model check
        {"InterchangeCheck=1", VI_FALSE, true},                   // interchange check
        {"", VI_TRUE, true},                                      // model check after the identity query
    };
    auto round = [&](int count) {
        for (int i = 0; i < count; ++i) {
            const Kind& kind = kinds[i % 4];
            ViSession vi = 0;
            const ViStatus status =
                Init(kind.live ? instrument.resource() : std::string("Sim"), kind.idQuery, VI_FALSE, kind.options, &vi);
            if (status >= 0 || vi != 0) return false;
        }
        return true;
    };
    ASSERT_TRUE(round(400));  // warm up
    const std::size_t files = OpenFileCount();
    const std::size_t memory = ResidentKiB();
    ASSERT_TRUE(round(10000));
    // The fake instrument, in this process, closes its end of each connection
    // on its own thread: give it a moment (bounded) before counting.
    for (int i = 0; i < 200 && OpenFileCount() > files; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_LE(OpenFileCount(), files);
    ViInt32 storeHandles = -1;
    ASSERT_EQ(VI_SUCCESS, IviConfig_GetOpenHandleCount(&storeHandles));
    EXPECT_EQ(0, storeHandles);
    if (!UnderSanitizer()) {
        EXPECT_LT(ResidentKiB(), memory + 2048) << "resident memory grew";
    }
}

}  // namespace
}  // namespace varnel::test
