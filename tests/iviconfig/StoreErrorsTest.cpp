// Failures: store files that cannot be read or are not well-formed stores,
// values that do not convert, bad indexes, handles and property ids, and the
// buffer and error-reading rules.
#include "ConfigTestSupport.hpp"

#include <sys/stat.h>

#include <cstring>

#include <thread>
#include <vector>

using namespace configtest;

namespace {

const char *const kGoodStore = R"(<IviConfigStore>
  <SoftwareModule name="Varnel"/>
  <DriverSession name="S" softwareModule="Varnel" driverSetup="Model:QVX M3"/>
</IviConfigStore>)";

// A store whose root holds body.
std::string store(const std::string &body) { return "<IviConfigStore>\n" + body + "</IviConfigStore>\n"; }

std::string nestedStructures(int depth) {
    std::string open, close;
    for (int i = 0; i < depth; ++i) {
        open += "<DataComponent name=\"s" + std::to_string(i) + "\" type=\"Structure\">";
        close += "</DataComponent>";
    }
    return store("<SoftwareModule name=\"Varnel\">" + open + close + "</SoftwareModule>\n");
}

struct LoadFailure {
    const char *label;
    std::string content;  // "<missing>", "<directory>" and "<fifo>" make no regular file
    ViStatus code;
    std::vector<std::string> reasons;  // each must appear in the error text
};

class LoadFailures : public ::testing::TestWithParam<LoadFailure> {};

TEST_P(LoadFailures, FailWithTheFileAndTheReasonAndLeaveTheStoreUsable) {
    const LoadFailure &c = GetParam();
    TempDir dir;
    std::string location = dir.path("store.xml");
    if (c.content == "<directory>")
        std::filesystem::create_directory(location);
    else if (c.content == "<fifo>")
        ASSERT_EQ(mkfifo(location.c_str(), 0600), 0);
    else if (c.content != "<missing>")
        dir.write("store.xml", c.content);

    ViInt32 baseline = openHandles();
    Store s;
    IviConfig_ClearError();
    EXPECT_EQ(IviConfig_Deserialize(s.handle(), location.c_str()), c.code);
    Error error = lastError();
    EXPECT_EQ(error.code, c.code);
    EXPECT_NE(error.text.find("\"" + location + "\""), std::string::npos) << error.text;
    for (const std::string &reason : c.reasons) EXPECT_NE(error.text.find(reason), std::string::npos) << error.text;

    // Nothing was loaded: lookups still find no store, and a good file can
    // be read into the same store afterwards.
    IviDriverSessionHandle session = 0;
    EXPECT_EQ(IviConfig_GetDriverSession(s.handle(), "S", &session), IVICONFIG_ERROR_NOT_DESERIALIZED);
    EXPECT_EQ(openHandles(), baseline + 1);
    ASSERT_EQ(IviConfig_Deserialize(s.handle(), dir.write("good.xml", kGoodStore).c_str()), VI_SUCCESS);
    EXPECT_NE(s.session("S"), 0u);
}

const std::string kModule = "  <SoftwareModule name=\"Varnel\"/>\n";

INSTANTIATE_TEST_SUITE_P(
    Store, LoadFailures,
    ::testing::Values(
        LoadFailure{"Missing", "<missing>", IVICONFIG_ERROR_FILE, {"No such file or directory"}},
        LoadFailure{"Directory", "<directory>", IVICONFIG_ERROR_FILE, {"Is a directory"}},
        LoadFailure{"Fifo", "<fifo>", IVICONFIG_ERROR_FILE, {"cannot be read"}},
        LoadFailure{"Empty", "", IVICONFIG_ERROR_INVALID_STORE, {"malformed XML", "No document element"}},
        LoadFailure{"MalformedXml", "<IviConfigStore>\n  <SoftwareModule name=\"Varnel\">\n</IviConfigStore>\n",
                    IVICONFIG_ERROR_INVALID_STORE, {"malformed XML at line 3", "mismatch"}},
        LoadFailure{"WrongRoot", "<ConfigStore/>", IVICONFIG_ERROR_INVALID_STORE, {"line 1", "not <IviConfigStore>"}},
        LoadFailure{"TwoRoots", "<IviConfigStore/>\n<IviConfigStore/>", IVICONFIG_ERROR_INVALID_STORE,
                    {"line 2", "more than one root"}},
        LoadFailure{"ModuleWithoutName", store(kModule + "  <SoftwareModule/>\n"), IVICONFIG_ERROR_INVALID_STORE,
                    {"line 3", "<SoftwareModule> has no name attribute"}},
        LoadFailure{"EmptySessionName", store(kModule + "  <DriverSession name=\"\" softwareModule=\"Varnel\"/>\n"),
                    IVICONFIG_ERROR_INVALID_STORE, {"empty name"}},
        LoadFailure{"DanglingModule", store(kModule + "  <DriverSession name=\"S\" softwareModule=\"Nope\"/>\n"),
                    IVICONFIG_ERROR_INVALID_STORE, {"line 3", "software module \"Nope\", which is not in the store"}},
        LoadFailure{"SessionWithoutModule", store(kModule + "  <DriverSession name=\"S\"/>\n"),
                    IVICONFIG_ERROR_INVALID_STORE, {"has no softwareModule attribute"}},
        LoadFailure{"DanglingAsset",
                    store(kModule + "  <DriverSession name=\"S\" softwareModule=\"Varnel\" hardwareAsset=\"rack\"/>\n"),
                    IVICONFIG_ERROR_INVALID_STORE, {"hardware asset \"rack\", which is not in the store"}},
        LoadFailure{"DanglingLogicalName", store(kModule + "  <LogicalName name=\"L\" driverSession=\"S\"/>\n"),
                    IVICONFIG_ERROR_INVALID_STORE, {"driver session \"S\", which is not in the store"}},
        LoadFailure{"DuplicateSessions",
                    store(kModule + "  <DriverSession name=\"S\" softwareModule=\"Varnel\"/>\n"
                                    "  <DriverSession name=\"S\" softwareModule=\"Varnel\"/>\n"),
                    IVICONFIG_ERROR_INVALID_STORE, {"two driver sessions named \"S\""}},
        LoadFailure{"LogicalNameShadowingAnotherSession",
                    store(kModule + "  <DriverSession name=\"A\" softwareModule=\"Varnel\"/>\n"
                                    "  <DriverSession name=\"B\" softwareModule=\"Varnel\"/>\n"
                                    "  <LogicalName name=\"A\" driverSession=\"B\"/>\n"),
                    IVICONFIG_ERROR_INVALID_STORE, {"line 5", "also the name of another driver session"}},
        LoadFailure{"DuplicateDataComponents",
                    store("  <SoftwareModule name=\"Varnel\">\n"
                          "    <DataComponent name=\"Configurable Initial Settings\" type=\"Structure\">\n"
                          "      <DataComponent name=\"x\" type=\"String\"/><DataComponent name=\"x\" type=\"Integer\" value=\"1\"/>\n"
                          "    </DataComponent>\n  </SoftwareModule>\n"),
                    IVICONFIG_ERROR_INVALID_STORE, {"line 3", "two data components named \"x\""}},
        LoadFailure{"BadBooleanOption",
                    store(kModule + "  <DriverSession name=\"S\" softwareModule=\"Varnel\" simulate=\"yes\"/>\n"),
                    IVICONFIG_ERROR_INVALID_STORE, {"simulate=\"yes\"", "not a boolean"}},
        LoadFailure{"MisspeltOption",
                    store(kModule + "  <DriverSession name=\"S\" softwareModule=\"Varnel\" simulte=\"true\"/>\n"),
                    IVICONFIG_ERROR_INVALID_STORE, {"unknown attribute simulte"}},
        LoadFailure{"UnknownElement", store(kModule + "  <Driversession name=\"S\"/>\n"), IVICONFIG_ERROR_INVALID_STORE,
                    {"line 3", "unexpected element <Driversession>"}},
        LoadFailure{"StrayText", store(kModule + "  stray\n"), IVICONFIG_ERROR_INVALID_STORE, {"unexpected text"}},
        LoadFailure{"DataComponentWithoutType",
                    store("  <SoftwareModule name=\"Varnel\"><DataComponent name=\"x\"/></SoftwareModule>\n"),
                    IVICONFIG_ERROR_INVALID_STORE, {"has no type attribute"}},
        LoadFailure{"MembersOfANonStructure",
                    store("  <SoftwareModule name=\"Varnel\"><DataComponent name=\"x\" type=\"String\">"
                          "<DataComponent name=\"y\" type=\"String\"/></DataComponent></SoftwareModule>\n"),
                    IVICONFIG_ERROR_INVALID_STORE, {"only a Structure may"}},
        LoadFailure{"NestingTooDeep", nestedStructures(100), IVICONFIG_ERROR_INVALID_STORE, {"nested deeper"}},
        LoadFailure{"RangeFirstAfterLast",
                    store(kModule + "  <DriverSession name=\"S\" softwareModule=\"Varnel\">\n"
                                    "    <VirtualName name=\"Out\" physicalName=\"Load\"><Range first=\"3\" last=\"1\" start=\"5\"/></VirtualName>\n"
                                    "  </DriverSession>\n"),
                    IVICONFIG_ERROR_INVALID_STORE, {"line 4", "first 3 greater than last 1"}},
        LoadFailure{"RangeNotAnInteger",
                    store(kModule + "  <DriverSession name=\"S\" softwareModule=\"Varnel\">\n"
                                    "    <VirtualName name=\"Out\" physicalName=\"Load\"><Range first=\"1.5\" last=\"3\" start=\"5\"/></VirtualName>\n"
                                    "  </DriverSession>\n"),
                    IVICONFIG_ERROR_INVALID_STORE, {"first=\"1.5\"", "not a 32-bit integer"}},
        LoadFailure{"RangeWithoutStart",
                    store(kModule + "  <DriverSession name=\"S\" softwareModule=\"Varnel\">\n"
                                    "    <VirtualName name=\"Out\" physicalName=\"Load\"><Range first=\"1\" last=\"3\"/></VirtualName>\n"
                                    "  </DriverSession>\n"),
                    IVICONFIG_ERROR_INVALID_STORE, {"has no start attribute"}},
        LoadFailure{"RangePastTheLargestIndex",
                    store(kModule + "  <DriverSession name=\"S\" softwareModule=\"Varnel\">\n"
                                    "    <VirtualName name=\"Out\" physicalName=\"Load\"><Range first=\"1\" last=\"2\" start=\"2147483647\"/></VirtualName>\n"
                                    "  </DriverSession>\n"),
                    IVICONFIG_ERROR_INVALID_STORE, {"largest 32-bit physical index"}},
        LoadFailure{"RangeOverEvery32BitIndex",
                    store(kModule + "  <DriverSession name=\"S\" softwareModule=\"Varnel\">\n"
                                    "    <VirtualName name=\"Out\" physicalName=\"Load\"><Range first=\"-2147483648\" last=\"2147483647\" start=\"0\"/></VirtualName>\n"
                                    "  </DriverSession>\n"),
                    IVICONFIG_ERROR_INVALID_STORE, {"largest 32-bit physical index"}}),
    [](const ::testing::TestParamInfo<LoadFailure> &info) { return std::string(info.param.label); });

TEST(StoreLoad, NullOrEmptyLocationAndASecondDeserialize) {
    TempDir dir;
    Store s;
    EXPECT_EQ(IviConfig_Deserialize(s.handle(), nullptr), IVICONFIG_ERROR_INVALID_PARAMETER);
    EXPECT_EQ(IviConfig_Deserialize(s.handle(), ""), IVICONFIG_ERROR_INVALID_PARAMETER);
    std::string good = dir.write("good.xml", kGoodStore);
    ASSERT_EQ(IviConfig_Deserialize(s.handle(), good.c_str()), VI_SUCCESS);
    IviDriverSessionHandle session = s.session("S");
    // A second file is refused; the first stays, with its open handles.
    EXPECT_EQ(IviConfig_Deserialize(s.handle(), dir.write("other.xml", "<IviConfigStore/>").c_str()),
              IVICONFIG_ERROR_ALREADY_DESERIALIZED);
    EXPECT_NE(lastError().text.find(good), std::string::npos) << lastError().text;
    EXPECT_EQ(text([&](ViInt32 n, ViChar *b) { return IviConfig_GetDriverSessionPropertyViString(session, IVICONFIG_VAL_SESSION_DRIVER_SETUP, n, b); }),
              "Model:QVX M3");
}

struct Conversion {
    const char *type, *value;
    enum { Int, Real, Bool } as;
    bool converts;
    double expected;
};

TEST(DataComponentValues, TypedGettersConvertTheTextOrFail) {
    const Conversion cases[] = {
        {"Integer", "3", Conversion::Int, true, 3},          {"Integer", " -7 ", Conversion::Int, true, -7},
        {"Integer", "+12", Conversion::Int, true, 12},       {"Integer", "-2147483648", Conversion::Int, true, -2147483648.0},
        {"Integer", "3.5", Conversion::Int, false, 0},       {"Integer", "", Conversion::Int, false, 0},
        {"Integer", "3000000000", Conversion::Int, false, 0}, {"Integer", "0x10", Conversion::Int, false, 0},
        {"Integer", "+-1", Conversion::Int, false, 0},       {"Real", "2.5", Conversion::Real, true, 2.5},
        {"Real", "-1e-3", Conversion::Real, true, -1e-3},    {"Real", "7", Conversion::Real, true, 7},
        {"Real", "abc", Conversion::Real, false, 0},         {"Real", "1e400", Conversion::Real, false, 0},
        {"Real", "nan", Conversion::Real, false, 0},         {"Real", "2,5", Conversion::Real, false, 0},
        {"Boolean", "TRUE", Conversion::Bool, true, 1},      {"Boolean", "false", Conversion::Bool, true, 0},
        {"Boolean", "1", Conversion::Bool, true, 1},         {"Boolean", "0", Conversion::Bool, true, 0},
        {"Boolean", "maybe", Conversion::Bool, false, 0},    {"Boolean", "yes", Conversion::Bool, false, 0},
    };
    std::string body = "<SoftwareModule name=\"Varnel\">";
    for (std::size_t i = 0; i < std::size(cases); ++i)
        body += "<DataComponent name=\"v" + std::to_string(i) + "\" type=\"" + cases[i].type + "\" value=\"" +
                cases[i].value + "\"/>";
    TempDir dir;
    Store s(dir.write("store.xml", store(body + "</SoftwareModule>\n")));
    IviDataComponentCollectionHandle collection = components(s.module("Varnel"));

    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Conversion &c = cases[i];
        SCOPED_TRACE(std::string(c.type) + " \"" + c.value + "\"");
        IviDataComponentHandle item = 0;
        ASSERT_EQ(IviConfig_GetDataComponentItemByIndex(collection, static_cast<ViInt32>(i + 1), &item), VI_SUCCESS);
        ViInt32 integer = -99;
        ViReal64 real = -99;
        ViBoolean boolean = 99;
        ViStatus status = c.as == Conversion::Int    ? IviConfig_GetDataComponentPropertyViInt32(item, IVICONFIG_VAL_DATA_COMPONENT_VALUE, &integer)
                          : c.as == Conversion::Real ? IviConfig_GetDataComponentPropertyViReal64(item, IVICONFIG_VAL_DATA_COMPONENT_VALUE, &real)
                                                     : IviConfig_GetDataComponentPropertyViBoolean(item, IVICONFIG_VAL_DATA_COMPONENT_VALUE, &boolean);
        if (c.converts) {
            ASSERT_EQ(status, VI_SUCCESS) << lastError().text;
            double got = c.as == Conversion::Int ? integer : c.as == Conversion::Real ? real : boolean;
            EXPECT_EQ(got, c.expected);
        } else {
            EXPECT_EQ(status, IVICONFIG_ERROR_CONVERSION);
            Error error = lastError();
            EXPECT_NE(error.text.find("\"" + std::string(c.value) + "\""), std::string::npos) << error.text;
            EXPECT_NE(error.text.find("\"v" + std::to_string(i) + "\""), std::string::npos) << error.text;
            EXPECT_TRUE(integer == -99 && real == -99 && boolean == 99) << "output changed on failure";
        }
        // The text stays readable as written.
        EXPECT_EQ(text([&](ViInt32 n, ViChar *b) { return IviConfig_GetDataComponentPropertyViString(item, IVICONFIG_VAL_DATA_COMPONENT_VALUE, n, b); }),
                  c.value);
    }
}

const char *const kCollectionsStore = R"(<IviConfigStore>
  <SoftwareModule name="Varnel">
    <PhysicalName name="Load1" repCap="Load"/>
    <DataComponent name="A" type="Structure"><DataComponent name="x" type="String" value="1"/></DataComponent>
  </SoftwareModule>
  <HardwareAsset name="bench" resource="TCPIP::localhost::INSTR"/>
  <DriverSession name="S" softwareModule="Varnel" hardwareAsset="bench">
    <VirtualName name="Out" physicalName="Load"><Range first="1" last="2" start="1"/></VirtualName>
  </DriverSession>
</IviConfigStore>)";

// Handles of one of each kind in kCollectionsStore.
struct Handles {
    IviConfigStoreHandle store;
    IviDriverSessionHandle session;
    IviHardwareAssetHandle asset;
    IviSoftwareModuleHandle module;
    IviDataComponentCollectionHandle components;
    IviDataComponentHandle component;
    IviVirtualNameCollectionHandle virtualNames;
    IviVirtualNameHandle virtualName;
    IviVirtualRangeCollectionHandle ranges;
    IviVirtualRangeHandle range;
    IviPhysicalNameCollectionHandle physicalNames;
    IviPhysicalNameHandle physicalName;
};

Handles handlesOf(const Store &s) {
    Handles h{};
    h.store = s.handle();
    h.session = s.session("S");
    h.module = s.module("Varnel");
    EXPECT_EQ(IviConfig_GetSessionHardwareAssetReference(h.session, &h.asset), VI_SUCCESS);
    h.components = components(h.module);
    EXPECT_EQ(IviConfig_GetDataComponentItemByIndex(h.components, 1, &h.component), VI_SUCCESS);
    EXPECT_EQ(IviConfig_GetSessionVirtualNameCollection(h.session, &h.virtualNames), VI_SUCCESS);
    EXPECT_EQ(IviConfig_GetVirtualNameItemByIndex(h.virtualNames, 1, &h.virtualName), VI_SUCCESS);
    EXPECT_EQ(IviConfig_GetVirtualNameVirtualRangeCollection(h.virtualName, &h.ranges), VI_SUCCESS);
    EXPECT_EQ(IviConfig_GetVirtualRangeItemByIndex(h.ranges, 1, &h.range), VI_SUCCESS);
    EXPECT_EQ(IviConfig_GetSoftwareModulePhysicalNameCollection(h.module, &h.physicalNames), VI_SUCCESS);
    EXPECT_EQ(IviConfig_GetPhysicalNameItemByIndex(h.physicalNames, 1, &h.physicalName), VI_SUCCESS);
    return h;
}

class Collections : public ::testing::Test {
protected:
    TempDir dir_;
    Store store_{dir_.write("store.xml", kCollectionsStore)};
    Handles h_ = handlesOf(store_);
};

TEST_F(Collections, IndexesOutsideOneToCountFail) {
    using ByIndex = ViStatus (*)(IviConfigHandle, ViInt32, IviConfigHandle *);
    struct {
        const char *what;
        ByIndex call;
        IviConfigHandle collection;
    } const cases[] = {
        {"data component", IviConfig_GetDataComponentItemByIndex, h_.components},
        {"virtual name", IviConfig_GetVirtualNameItemByIndex, h_.virtualNames},
        {"virtual range", IviConfig_GetVirtualRangeItemByIndex, h_.ranges},
        {"physical name", IviConfig_GetPhysicalNameItemByIndex, h_.physicalNames},
    };
    for (const auto &c : cases)
        for (ViInt32 index : {0, -1, 2, 0x7fffffff}) {
            IviConfigHandle item = 77;
            EXPECT_EQ(c.call(c.collection, index, &item), IVICONFIG_ERROR_INDEX_OUT_OF_RANGE) << c.what << " " << index;
            EXPECT_EQ(item, 0u);
            EXPECT_NE(lastError().text.find("index " + std::to_string(index) + " is outside 1 to 1"), std::string::npos)
                << lastError().text;
        }
}

TEST_F(Collections, UnknownDisposedAndWrongKindHandlesFail) {
    IviConfigHandle disposed = 0;
    ASSERT_EQ(IviConfig_GetSessionVirtualNameCollection(h_.session, &disposed), VI_SUCCESS);
    ASSERT_EQ(IviConfig_DisposeHandle(disposed), VI_SUCCESS);
    char buffer[64];
    ViInt32 count = 0;
    IviConfigHandle scratch = 0;
    struct {
        const char *label;
        std::function<ViStatus()> call;
        const char *reason;
    } const cases[] = {
        {"zero", [&] { return IviConfig_GetVirtualNameCount(0, &count); }, "is 0"},
        {"never given out", [&] { return IviConfig_GetVirtualNameCount(0xDEADBEEF, &count); }, "0xDEADBEEF is not open"},
        {"disposed", [&] { return IviConfig_GetVirtualNameCount(disposed, &count); }, "is not open"},
        {"dispose twice", [&] { return IviConfig_DisposeHandle(disposed); }, "is not open"},
        {"dispose zero", [&] { return IviConfig_DisposeHandle(0); }, "is 0"},
        {"session as asset", [&] { return IviConfig_GetHardwareAssetPropertyViString(h_.session, IVICONFIG_VAL_ASSET_IO_RESOURCE_DESCRIPTOR, 64, buffer); },
         "is a driver session handle, not a hardware asset handle"},
        {"store as collection", [&] { return IviConfig_GetDataComponentCount(h_.store, &count); },
         "is a configuration store handle, not a data component collection handle"},
        {"range collection as name collection", [&] { return IviConfig_GetVirtualNameCount(h_.ranges, &count); },
         "not a virtual name collection"},
        {"structure member as component", [&] { return IviConfig_GetConfigComponentDataComponentCollection(h_.component, &scratch); },
         "not a driver session, software module or hardware asset handle"},
        {"close a session", [&] { return IviConfig_Close(h_.session); }, "not a configuration store handle"},
    };
    for (const auto &c : cases) {
        IviConfig_ClearError();
        EXPECT_EQ(c.call(), IVICONFIG_ERROR_INVALID_HANDLE) << c.label;
        Error error = lastError();
        EXPECT_EQ(error.code, IVICONFIG_ERROR_INVALID_HANDLE) << c.label;
        EXPECT_NE(error.text.find(c.reason), std::string::npos) << c.label << ": " << error.text;
    }
    // The handles of the failed calls are untouched.
    EXPECT_EQ(IviConfig_GetVirtualNameCount(h_.virtualNames, &count), VI_SUCCESS);
    EXPECT_EQ(count, 1);
}

TEST_F(Collections, UnknownPropertyIdsAndNullArgumentsFail) {
    char buffer[64];
    ViBoolean boolean = 0;
    ViInt32 integer = 0;
    IviConfigHandle scratch = 0;
    struct {
        const char *label;
        std::function<ViStatus()> call;
        ViStatus code;
    } const cases[] = {
        {"store 4", [&] { return IviConfig_GetConfigStorePropertyViString(h_.store, 4, 64, buffer); }, IVICONFIG_ERROR_INVALID_PROPERTY},
        {"session boolean 3", [&] { return IviConfig_GetDriverSessionPropertyViBoolean(h_.session, 3, &boolean); }, IVICONFIG_ERROR_INVALID_PROPERTY},
        {"session boolean 10", [&] { return IviConfig_GetDriverSessionPropertyViBoolean(h_.session, 10, &boolean); }, IVICONFIG_ERROR_INVALID_PROPERTY},
        {"session string 9", [&] { return IviConfig_GetDriverSessionPropertyViString(h_.session, 9, 64, buffer); }, IVICONFIG_ERROR_INVALID_PROPERTY},
        {"asset string 1", [&] { return IviConfig_GetHardwareAssetPropertyViString(h_.asset, 1, 64, buffer); }, IVICONFIG_ERROR_INVALID_PROPERTY},
        {"component string 2", [&] { return IviConfig_GetDataComponentPropertyViString(h_.component, 2, 64, buffer); }, IVICONFIG_ERROR_INVALID_PROPERTY},
        {"structure value", [&] { return IviConfig_GetDataComponentPropertyViString(h_.component, IVICONFIG_VAL_DATA_COMPONENT_VALUE, 64, buffer); }, IVICONFIG_ERROR_INVALID_PROPERTY},
        {"component int 1", [&] { return IviConfig_GetDataComponentPropertyViInt32(h_.component, 1, &integer); }, IVICONFIG_ERROR_INVALID_PROPERTY},
        {"range 1", [&] { return IviConfig_GetVirtualRangePropertyViInt32(h_.range, 1, &integer); }, IVICONFIG_ERROR_INVALID_PROPERTY},
        {"virtual name 3", [&] { return IviConfig_GetVirtualNamePropertyViString(h_.virtualName, 3, 64, buffer); }, IVICONFIG_ERROR_INVALID_PROPERTY},
        {"physical name 3", [&] { return IviConfig_GetPhysicalNamePropertyViString(h_.physicalName, 3, 64, buffer); }, IVICONFIG_ERROR_INVALID_PROPERTY},
        {"null store out", [&] { return IviConfig_Initialize(nullptr); }, IVICONFIG_ERROR_INVALID_PARAMETER},
        {"null session name", [&] { return IviConfig_GetDriverSession(h_.store, nullptr, &scratch); }, IVICONFIG_ERROR_INVALID_PARAMETER},
        {"null session out", [&] { return IviConfig_GetDriverSession(h_.store, "S", nullptr); }, IVICONFIG_ERROR_INVALID_PARAMETER},
        {"null count", [&] { return IviConfig_GetVirtualRangeCount(h_.ranges, nullptr); }, IVICONFIG_ERROR_INVALID_PARAMETER},
        {"null boolean", [&] { return IviConfig_GetDriverSessionPropertyViBoolean(h_.session, IVICONFIG_VAL_SESSION_CACHE, nullptr); }, IVICONFIG_ERROR_INVALID_PARAMETER},
        {"null item name", [&] { return IviConfig_GetDataComponentItemByName(h_.components, nullptr, &scratch); }, IVICONFIG_ERROR_INVALID_PARAMETER},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(c.call(), c.code) << c.label;
        EXPECT_FALSE(lastError().text.empty()) << c.label;
    }
}

// The IVI buffer rules, for a string property and for the error text.
TEST(BufferRules, SizeZeroShortAndFittingBuffers) {
    TempDir dir;
    Store s(dir.write("store.xml", kGoodStore));
    IviDriverSessionHandle session = s.session("S");
    const std::string setup = "Model:QVX M3";  // 12 characters
    IviConfig_ClearError();
    IviDriverSessionHandle missing = 0;
    ASSERT_EQ(IviConfig_GetDriverSession(s.handle(), "Nope", &missing), IVICONFIG_ERROR_SESSION_NOT_FOUND);
    const std::string errorText = lastError().text;
    ASSERT_GT(errorText.size(), 8u);

    using Read = std::function<ViStatus(ViInt32, ViChar *)>;
    struct {
        const char *label;
        Read read;
        std::string expected;
    } const sources[] = {
        // The error first: the failing property reads below replace it.
        {"error", [&](ViInt32 n, ViChar *b) { ViStatus code = 0; return IviConfig_GetError(&code, n, b); }, errorText},
        {"property", [&](ViInt32 n, ViChar *b) { return IviConfig_GetDriverSessionPropertyViString(session, IVICONFIG_VAL_SESSION_DRIVER_SETUP, n, b); }, setup},
    };
    for (const auto &src : sources) {
        SCOPED_TRACE(src.label);
        const ViInt32 needed = static_cast<ViInt32>(src.expected.size() + 1);
        char buffer[1024];
        std::memset(buffer, 'x', sizeof buffer);
        EXPECT_EQ(src.read(0, nullptr), needed);
        EXPECT_EQ(src.read(0, buffer), needed);
        EXPECT_EQ(buffer[0], 'x') << "size 0 wrote into the buffer";
        EXPECT_EQ(src.read(1, buffer), needed);
        EXPECT_STREQ(buffer, "");
        EXPECT_EQ(src.read(5, buffer), needed);
        EXPECT_STREQ(buffer, src.expected.substr(0, 4).c_str());
        EXPECT_EQ(buffer[5], 'x') << "wrote past the buffer";
        EXPECT_EQ(src.read(needed - 1, buffer), needed);
        EXPECT_EQ(std::string(buffer), src.expected.substr(0, src.expected.size() - 1));
        EXPECT_EQ(src.read(needed, buffer), VI_SUCCESS);
        EXPECT_EQ(std::string(buffer), src.expected);
        EXPECT_EQ(src.read(1024, buffer), VI_SUCCESS);
        EXPECT_EQ(std::string(buffer), src.expected);
        // Reading the error leaves it in place.
        EXPECT_EQ(lastError().code, IVICONFIG_ERROR_SESSION_NOT_FOUND);
        EXPECT_EQ(lastError().text, errorText);
        EXPECT_EQ(src.read(-1, buffer), IVICONFIG_ERROR_INVALID_PARAMETER);
        EXPECT_EQ(src.read(5, nullptr), IVICONFIG_ERROR_INVALID_PARAMETER);
    }
    EXPECT_NE(lastError().text.find("the parameter value is VI_NULL"), std::string::npos) << lastError().text;
    EXPECT_EQ(IviConfig_ClearError(), VI_SUCCESS);
    EXPECT_EQ(lastError().code, VI_SUCCESS);
    EXPECT_EQ(lastError().text, "");
    EXPECT_EQ(IviConfig_GetError(nullptr, 0, nullptr), 1);
}

TEST(Errors, AreKeptPerThread) {
    IviConfig_ClearError();
    ASSERT_EQ(IviConfig_DisposeHandle(0), IVICONFIG_ERROR_INVALID_HANDLE);
    Error other{-1, "unset"};
    std::thread([&] {
        Error before = lastError();
        IviDriverSessionHandle session = 0;
        IviConfig_GetDriverSession(0, "S", &session);
        other = lastError();
        EXPECT_EQ(before.code, VI_SUCCESS);
        EXPECT_EQ(before.text, "");
    }).join();
    EXPECT_EQ(other.code, IVICONFIG_ERROR_INVALID_HANDLE);
    EXPECT_NE(other.text.find("IviConfig_GetDriverSession"), std::string::npos) << other.text;
    Error mine = lastError();
    EXPECT_EQ(mine.code, IVICONFIG_ERROR_INVALID_HANDLE);
    EXPECT_NE(mine.text.find("IviConfig_DisposeHandle"), std::string::npos) << mine.text;
}

}  // namespace
