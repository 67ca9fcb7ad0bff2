// Initialization against configuration store files: logical names, store
// options and DriverSetup, initial settings, virtual and physical names, and
// the store's own failures.
#include <ostream>
#include <string>

#include "DriverSession.h"
#include "DriverTestSupport.h"
#include "FakeInstrument.h"
#include "IviSession.h"

namespace varnel::test {
namespace {

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

// A store with one module, one session on a hardware asset that is the fake
// instrument (@RESOURCE@), and a logical name for it.
const char kBenchStore[] = R"(<IviConfigStore>
  <SoftwareModule name="Varnel">
    <PhysicalName name="Load1" repCap="Load"/>
    <DataComponent name="Configurable Initial Settings" type="Structure">
      <DataComponent name="model" type="String" value="QVX M4"/>
      <DataComponent name="Count" type="Integer" value="3"/>
      <DataComponent name="Gain" type="Real" value="2.5"/>
      <DataComponent name="Fast" type="Boolean" value="true"/>
      <DataComponent name="Odd" type="Colour" value="blue"/>
    </DataComponent>
  </SoftwareModule>
  <HardwareAsset name="bench" resource="@RESOURCE@"/>
  <DriverSession name="MyLoad" softwareModule="Varnel" hardwareAsset="bench" simulate="true"
      driverSetup="Model:QVX M2">
    <VirtualName name="Out" physicalName="Load"><Range first="1" last="3" start="5"/></VirtualName>
    <VirtualName name="Main" physicalName="Load1"/>
    <DataComponent name="Configurable Initial Settings" type="Structure">
      <DataComponent name="Model" type="String" value="QVX M3"/>
      <DataComponent name="COUNT" type="integer" value="7"/>
    </DataComponent>
  </DriverSession>
  <DriverSession name="Plain" softwareModule="Varnel" simulate="true"/>
  <LogicalName name="Bench" driverSession="MyLoad"/>
</IviConfigStore>)";

struct StoreCase {
    const char* what;
    const char* store;  // @RESOURCE@ becomes the fake instrument's resource
    const char* resource;
    const char* options;
    ViStatus status;
    bool simulate;
    const char* model;
    const char* logicalName;
    bool descriptorIsInstrument;  // else the resource name itself
    const char* driverSetup;
};

const StoreCase kStoreCases[] = {
    {"store session simulates", kBenchStore, "MyLoad", "", VI_SUCCESS, true, "QVX M2", "MyLoad", true, "Model:QVX M2"},
    {"option string DriverSetup replaces the store's", kBenchStore, "MyLoad", "DriverSetup=Model:QVX M3", VI_SUCCESS,
     true, "QVX M3", "MyLoad", true, "Model:QVX M3"},
    {"Simulate=0 overrides the store", kBenchStore, "MyLoad", "Simulate=0", VI_SUCCESS, false, "QVX M3", "MyLoad",
     true, "Model:QVX M2"},
    {"logical name", kBenchStore, "Bench", "", VI_SUCCESS, true, "QVX M2", "Bench", true, "Model:QVX M2"},
    {"module settings for a plain resource", kBenchStore, "TCPIP::192.0.2.1::5025::SOCKET", "Simulate=1",
     VI_SUCCESS, true, "QVX M4", "", false, ""},
    {"session without asset, settings or DriverSetup", kBenchStore, "Plain", "", VI_SUCCESS, true, "QVX M1",
     "Plain", false, ""},
    {"module without initial settings", R"(<IviConfigStore><SoftwareModule name="Varnel"/></IviConfigStore>)",
     "anything", "Simulate=1", VI_SUCCESS, true, "QVX M1", "", false, ""},
};

void PrintTo(const StoreCase& c, std::ostream* os) { *os << c.what; }

class StoreTable : public ::testing::TestWithParam<StoreCase> {};

TEST_P(StoreTable, InitializesFromTheStore) {
    const StoreCase& c = GetParam();
    FakeInstrument instrument;
    instrument.reply("*IDN?", "QVX M3 LOAD 1.05\n");
    TempStore store(Replace(c.store, "@RESOURCE@", instrument.resource()));
    ViSession vi = 0;
    ASSERT_EQ(c.status, Varnel_InitWithOptions(const_cast<ViRsrc>(c.resource), VI_FALSE, VI_FALSE, c.options, &vi))
        << ReadError(VI_NULL).text;
    kiln::DriverSession& session = SessionOf(vi);
    EXPECT_EQ(c.simulate, session.GetSimulate());
    EXPECT_EQ(c.simulate, session.GetInitialSimulate());
    EXPECT_EQ(c.model, session.GetInstrumentModel());
    EXPECT_EQ(c.logicalName, session.GetLogicalName());
    EXPECT_EQ(c.descriptorIsInstrument ? instrument.resource() : std::string(c.logicalName[0] ? "" : c.resource),
              session.GetIoResourceDescriptor());
    EXPECT_EQ(c.driverSetup, session.GetDriverSetup());
    EXPECT_EQ(c.simulate ? 0u : 1u, instrument.lines().size()) << "only a live session asks for the identity";
    EXPECT_EQ(VI_SUCCESS, Varnel_close(vi));
}

INSTANTIATE_TEST_SUITE_P(Cases, StoreTable, ::testing::ValuesIn(kStoreCases));

TEST(StoreContents, InitialSettingsAndNamesReachTheSession) {
    TempStore store(Replace(kBenchStore, "@RESOURCE@", "TCPIP::192.0.2.1::5025::SOCKET"));
    ViSession vi = 0;
    ASSERT_EQ(VI_SUCCESS, Varnel_InitWithOptions(const_cast<ViRsrc>("MyLoad"), VI_FALSE, VI_FALSE, "", &vi));
    kiln::DriverSession& session = SessionOf(vi);
    // The session's settings: an Integer written in another case is found
    // under any case; a string named Model does not set the model.
    ViInt32 count = 0;
    EXPECT_TRUE(session.FindInitialInteger("count", count));
    EXPECT_EQ(7, count);
    std::string text;
    EXPECT_TRUE(session.FindInitialString("Model", text));
    EXPECT_FALSE(session.FindInitialString("model", text));
    EXPECT_EQ("QVX M2", session.GetInstrumentModel());
    // Virtual names with and without a range.
    EXPECT_EQ("Load5", session.GetPhysicalName("Out1"));
    EXPECT_EQ("Load7", session.GetPhysicalName("Out3"));
    EXPECT_EQ("Load1", session.GetPhysicalName("Main"));
    EXPECT_EQ("Out2", session.GetVirtualName("Load6"));
    EXPECT_EQ("Out4", session.GetPhysicalName("Out4"));
    EXPECT_EQ((kiln::StringMap{{"Load1", "Load"}}), session.GetPhysicalNameCapabilities());
    EXPECT_EQ(VI_SUCCESS, Varnel_close(vi));

    // The module's settings for a plain resource, of every type.
    ASSERT_EQ(VI_SUCCESS, Varnel_InitWithOptions(const_cast<ViRsrc>("TCPIP::192.0.2.1::5025::SOCKET"), VI_FALSE,
                                                 VI_FALSE, "Simulate=1", &vi));
    kiln::DriverSession& plain = SessionOf(vi);
    ViReal64 gain = 0;
    bool fast = false;
    EXPECT_TRUE(plain.FindInitialReal("GAIN", gain));
    EXPECT_EQ(2.5, gain);
    EXPECT_TRUE(plain.FindInitialBoolean("fast", fast));
    EXPECT_TRUE(fast);
    EXPECT_TRUE(plain.FindInitialInteger("Count", count));
    EXPECT_EQ(3, count);
    EXPECT_FALSE(plain.FindInitialString("Odd", text)) << "a member of an unknown type is skipped";
    EXPECT_EQ(VI_SUCCESS, Varnel_close(vi));
}

struct StoreFailure {
    const char* what;
    const char* store;
    const char* resource;
    const char* textPart;  // a part of the store's own error text
};

const StoreFailure kStoreFailures[] = {
    {"store without the driver's module", R"(<IviConfigStore><SoftwareModule name="Other"/></IviConfigStore>)",
     "TCPIP::192.0.2.1::5025::SOCKET", "Varnel"},
    {"malformed store", "<IviConfigStore><SoftwareModule name=\"Varnel\">", "anything", "store.xml"},
    {"unconvertible initial setting", R"(<IviConfigStore><SoftwareModule name="Varnel">
       <DataComponent name="Configurable Initial Settings" type="Structure">
         <DataComponent name="Count" type="Integer" value="3.5"/>
       </DataComponent></SoftwareModule></IviConfigStore>)",
     "anything", "3.5"},
};

void PrintTo(const StoreFailure& c, std::ostream* os) { *os << c.what; }

class StoreFailures : public ::testing::TestWithParam<StoreFailure> {};

TEST_P(StoreFailures, FailWithTheStoreStatusAndText) {
    const StoreFailure& c = GetParam();
    TempStore store(c.store);
    Varnel_ClearError(VI_NULL);
    ViSession vi = 1234;
    const ViStatus status =
        Varnel_InitWithOptions(const_cast<ViRsrc>(c.resource), VI_FALSE, VI_FALSE, "Simulate=1", &vi);
    EXPECT_EQ(0u, vi);
    EXPECT_LT(status, 0);
    EXPECT_EQ(0xBFFA1200u, static_cast<ViUInt32>(status) & 0xFFFFFF00u) << std::hex << status;
    const RecordedError error = ReadError(VI_NULL);
    EXPECT_EQ(status, error.code);
    EXPECT_NE(std::string::npos, error.text.find(c.textPart)) << error.text;
}

INSTANTIATE_TEST_SUITE_P(Cases, StoreFailures, ::testing::ValuesIn(kStoreFailures));

// A store's virtual names, with every index of their ranges, are bounded per
// session: a small file cannot make initialization take all memory.
TEST(StoreVirtualNames, BoundedPerSessionAtTheLimitAndBeyond) {
    struct Case {
        const char* what;
        int names;       // virtual names, each with one range
        int perName;     // indexes of each range
        int plain;       // virtual names without a range
        ViStatus status;
    } const cases[] = {
        {"exactly at the bound", 2, 32768, 0, VI_SUCCESS},
        {"one plain name past the bound", 2, 32768, 1, IVI_ERROR_CANNOT_RECOVER},
        {"many full ranges", 40, 65536, 0, IVI_ERROR_CANNOT_RECOVER},
    };
    for (const Case& c : cases) {
        std::string xml = R"(<IviConfigStore><SoftwareModule name="Varnel"/><DriverSession name="Wide" softwareModule="Varnel" simulate="true">)";
        for (int i = 0; i < c.names; ++i) {
            xml += "<VirtualName name=\"V" + std::to_string(i) + "_\" physicalName=\"P" + std::to_string(i) +
                   "_\"><Range first=\"1\" last=\"" + std::to_string(c.perName) + "\" start=\"1\"/></VirtualName>";
        }
        for (int i = 0; i < c.plain; ++i) xml += "<VirtualName name=\"Plain\" physicalName=\"Q\"/>";
        xml += "</DriverSession></IviConfigStore>";
        TempStore store(xml);
        ViSession vi = 0;
        ASSERT_EQ(c.status, Varnel_InitWithOptions(const_cast<ViRsrc>("Wide"), VI_FALSE, VI_FALSE, "", &vi)) << c.what;
        if (c.status == VI_SUCCESS) {
            EXPECT_EQ(65536u, SessionOf(vi).GetVirtualNames().size()) << c.what;
            EXPECT_EQ("P1_32768", SessionOf(vi).GetPhysicalName("V1_32768")) << c.what;
            Varnel_close(vi);
        } else {
            EXPECT_EQ(0u, vi);
            EXPECT_EQ("Failure cannot recover.  The configuration store gives the driver session 'Wide' more than "
                      "65536 virtual names.",
                      ReadError(VI_NULL).text)
                << c.what;
        }
    }
}

}  // namespace
}  // namespace varnel::test
