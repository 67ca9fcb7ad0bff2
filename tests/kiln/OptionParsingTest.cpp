// Option strings and DriverSetup texts as they set a session's options and
// model, or fail with their recorded errors.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "DriverSession.h"
#include "IviSession.h"
#include "Varnel.h"

namespace kiln {
namespace {

struct Flags {
    bool cache, interchangeCheck, queryInstrumentStatus, rangeCheck, recordCoercions, simulate;
};
constexpr Flags kDefaults = {true, false, false, true, false, false};

struct Case {
    const char* text;
    ViStatus status;
    const char* description;  // the stored text when status is an error
    Flags flags;
    const char* model;
    std::map<std::string, std::string> driverSetup;
};


const Case kCases[] = {
    {"", VI_SUCCESS, "", kDefaults, "", {}},
    {"no option here", VI_SUCCESS, "", kDefaults, "", {}},
    {"Simulate=True, RangeCheck=0", VI_SUCCESS, "", {true, false, false, false, false, true}, "", {}},
    {"SIMULATE = VI_TRUE", VI_SUCCESS, "", {true, false, false, true, false, true}, "", {}},
    {"Cache=false,QueryInstrStatus=vi_true,RecordCoercions=1,InterchangeCheck=TRUE", VI_SUCCESS, "",
     {false, true, true, true, true, false}, "", {}},
    {"Simulate=1; junk, Cache=0", VI_SUCCESS, "", {false, false, false, true, false, true}, "", {}},
    {"Simulate=Yes", IVI_ERROR_BAD_OPTION_VALUE, "The 'yes' value in the option string is unknown.", kDefaults, "",
     {}},
    {"Simulate=1, Simulate=0", IVI_ERROR_CANNOT_RECOVER,
     "Failure cannot recover.  Inherent option 'simulate' appears more than once.", kDefaults, "", {}},
    {"Foo=1", IVI_ERROR_BAD_OPTION_NAME, "The 'foo' name in the option string is unknown.", kDefaults, "", {}},
    {"Cache=0, Foo=1, Simulate=1", IVI_ERROR_BAD_OPTION_NAME, "The 'foo' name in the option string is unknown.",
     {false, false, false, true, false, false}, "", {}},
    {"Simulate=1, DriverSetup=Model:QVX M2", VI_SUCCESS, "", {true, false, false, true, false, true}, "QVX M2",
     {{"Model", "QVX M2"}}},
    {"DriverSetup=Model:QVX M2, Simulate=1", VI_SUCCESS, "", kDefaults, "QVX M2",
     {{"Model", "QVX M2"}, {"Simulate", "1"}}},
    {"driversetup = Model:QVX M4", VI_SUCCESS, "", kDefaults, "QVX M4", {{"Model", "QVX M4"}}},
    {"DriverSetup= Model = QVX M3 ,Trace:1", VI_SUCCESS, "", kDefaults, "QVX M3 ",
     {{"Model", "QVX M3 "}, {"Trace", "1"}}},
    {"DriverSetup=Model:QVX M2, model:QVX M3", VI_SUCCESS, "", kDefaults, "QVX M3",
     {{"Model", "QVX M2"}, {"model", "QVX M3"}}},
    {"DriverSetup=Model:QVX M2, Model:QVX M3", IVI_ERROR_CANNOT_RECOVER,
     "Failure cannot recover.  DriverSetup option 'Model' appears more than once.", kDefaults, "QVX M3", {}},
    // A failing DriverSetup part stops before the options in front of it.
    {"Cache=0, DriverSetup=A:1, A:2", IVI_ERROR_CANNOT_RECOVER,
     "Failure cannot recover.  DriverSetup option 'A' appears more than once.", kDefaults, "", {}},
    // A model text is data: conversions in it are never formatted.
    {"Simulate=1, DriverSetup=Model:%s%s%n", VI_SUCCESS, "", {true, false, false, true, false, true}, "%s%s%n",
     {{"Model", "%s%s%n"}}},
};

class OptionParsing : public ::testing::TestWithParam<Case> {
protected:
    void SetUp() override { ASSERT_EQ(VI_SUCCESS, IviSession_New(&vi)); }
    void TearDown() override { IviSession_Dispose(vi); }
    ViSession vi = 0;
};

TEST_P(OptionParsing, SetsOptionsOrRecordsTheError) {
    const Case& c = GetParam();
    DriverSession session(vi, 2000, 2000, 30000, false, 1000);
    EXPECT_EQ(c.status, session.ParseOptionString(c.text));
    char description[1024] = {};
    ViStatus code = 0;
    IviSession_GetError(vi, sizeof description, &code, description);
    if (c.status < 0) {
        EXPECT_EQ(c.status, code);
        EXPECT_STREQ(c.description, description);
    } else {
        EXPECT_EQ(0, code) << description;
        EXPECT_EQ(c.driverSetup, session.GetDriverSetupOptions());
    }
    EXPECT_EQ(c.flags.cache, session.GetCache());
    EXPECT_EQ(c.flags.interchangeCheck, session.GetInterchangeCheck());
    EXPECT_EQ(c.flags.queryInstrumentStatus, session.GetQueryInstrumentStatus());
    EXPECT_EQ(c.flags.rangeCheck, session.GetRangeCheck());
    EXPECT_EQ(c.flags.recordCoercions, session.GetRecordCoercions());
    EXPECT_EQ(c.flags.simulate, session.GetSimulate());
    EXPECT_EQ(c.model, session.GetInstrumentModel());
}

INSTANTIATE_TEST_SUITE_P(Table, OptionParsing, ::testing::ValuesIn(kCases));

TEST(OptionParsingPrefix, DriverSetupTextIsKept) {
    ViSession vi = 0;
    ASSERT_EQ(VI_SUCCESS, IviSession_New(&vi));
    DriverSession session(vi, 2000, 2000, 30000, false, 1000);
    EXPECT_EQ(VI_SUCCESS, session.ParseOptionString("Simulate=1,DriverSetup=Model:QVX M2;Trace:1"));
    EXPECT_EQ("Model:QVX M2;Trace:1", session.GetDriverSetup());
    IviSession_Dispose(vi);
}

TEST(PhysicalNames, DoubleExclamationMarkCutsTheName) {
    ViSession vi = 0;
    ASSERT_EQ(VI_SUCCESS, IviSession_New(&vi));
    DriverSession session(vi, 2000, 2000, 30000, false, 1000);
    EXPECT_EQ("Load1", session.GetPhysicalName("Load1"));
    EXPECT_EQ("b!!c", session.GetPhysicalName("a!!b!!c"));
    EXPECT_EQ("a!b!c", session.GetPhysicalName("a!b!c"));
    EXPECT_EQ("Load1", session.GetVirtualName("Load1"));
    IviSession_Dispose(vi);
}

}  // namespace
}  // namespace kiln
