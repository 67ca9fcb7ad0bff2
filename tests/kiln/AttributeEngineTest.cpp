// The attribute engine on a catalogue of the test's own: the write path of
// the cache managers, and the null-pointer check's parameter naming.
#include <gtest/gtest.h>

#include <string>

#include "Kiln.h"

namespace {

constexpr ViAttr kTestReal = 1159001;
constexpr kiln::InstrumentWrite kTestWrite{"T %0.15lg\n", nullptr, 0};
constexpr kiln::AttributeDescriptor kRows[] = {
    {kTestReal, "TEST_ATTR_REAL", "ViReal64", kiln::ValueType::Real64, nullptr, kiln::WriteInstrumentReal64, &kTestWrite},
};
constexpr kiln::AttributeCatalogue kCatalogue{kRows, 1};

// A session object under a handle of its own, with no instrument: a write
// that is not simulated fails in VISA.
class EngineSession : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(VI_SUCCESS, IviSession_New(&vi));
        session = new kiln::DriverSession(vi, 2000, 2000, 30000, false, 1000);
        ASSERT_EQ(VI_SUCCESS, kiln::AttachSession(vi, session));
    }
    void TearDown() override { kiln::DetachSession(vi); }
    const kiln::CacheEntry<ViReal64>* Cached() {
        auto& map = session->GetAttributeCache().reals;
        auto found = map.find(kTestReal);
        return (found == map.end() || found->second.empty()) ? nullptr : &found->second.begin()->second;
    }
    ViSession vi = 0;
    kiln::DriverSession* session = nullptr;
};

TEST_F(EngineSession, SetterCacheStoresWhenCachingOrSimulatingAlsoOnFailure) {
    struct Case {
        const char* what;
        bool cache;
        bool simulate;
        bool succeeds;
        bool stored;
    } const cases[] = {
        {"cache off, live: nothing stored", false, false, false, false},
        {"cache off, simulating: stored", false, true, true, true},
        {"cache on, live write fails: still stored", true, false, false, true},
    };
    for (const Case& c : cases) {
        session->InvalidateAllAttributes();
        session->SetCache(c.cache);
        session->SetSimulate(c.simulate);
        const ViStatus status = kiln::SetAttribute<ViReal64>(vi, nullptr, kTestReal, 2.5);
        EXPECT_EQ(c.succeeds, status >= 0) << c.what << ": " << status;
        EXPECT_EQ(c.stored, Cached() != nullptr) << c.what;
        if (c.stored && Cached() != nullptr) {
            EXPECT_TRUE(Cached()->valid) << c.what;
            EXPECT_EQ(2.5, Cached()->value) << c.what;
        }
    }
    EXPECT_EQ(VI_SUCCESS, session->InvalidateAllAttributes());
    EXPECT_EQ(nullptr, Cached());
}

TEST(CheckNullPointers, NamesTheParameterOrAnUnknownOne) {
    int x = 0;
    struct Case {
        const char* parameters;
        const void* first;
        const void* second;
        ViStatus status;
        const char* text;
    } const cases[] = {
        {"A, B", &x, &x, VI_SUCCESS, ""},
        {" ErrorCode ,\tErrorMessage ", nullptr, &x, IVI_ERROR_NULL_POINTER,
         "Null pointer passed for function 'F', parameter 'ErrorCode'."},
        {" ErrorCode ,\tErrorMessage\n", &x, nullptr, IVI_ERROR_NULL_POINTER,
         "Null pointer passed for function 'F', parameter 'ErrorMessage'."},
        {"Only", &x, nullptr, IVI_ERROR_NULL_POINTER,
         "Null pointer passed for function 'F', parameter '<unknown parameter>'."},
    };
    for (const Case& c : cases) {
        IviSession_ClearError(VI_NULL);
        EXPECT_EQ(c.status, kiln::CheckNullPointers(VI_NULL, "  F\t", c.parameters, c.first, c.second));
        char text[256] = {};
        ViStatus code = 0;
        IviSession_GetError(VI_NULL, sizeof text, &code, text);
        EXPECT_EQ(std::string(c.text), text) << c.parameters;
    }
}

}  // namespace

const kiln::AttributeCatalogue& kiln::GetAttributeCatalogue() { return kCatalogue; }
