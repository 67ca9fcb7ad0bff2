// What a well-formed store answers: driver sessions by name and by logical
// name, their options and references, virtual and physical names, data
// components of every type, the built-in default store and the locations.
#include "ConfigTestSupport.hpp"

#include <map>
#include <optional>

using namespace configtest;

namespace {

const char *const kExampleStore = R"(<?xml version="1.0" encoding="UTF-8"?>
<IviConfigStore>
  <!-- The driver's own module, with its physical names and initial settings. -->
  <SoftwareModule name="Varnel">
    <PhysicalName name="Load1" repCap="Load"/>
    <PhysicalName name="Load2" repCap="Load"/>
    <DataComponent name="Configurable Initial Settings" type="Structure">
      <DataComponent name="model" type="String" value="QVX M2"/>
      <DataComponent name="Count" type="Integer" value="3"/>
      <DataComponent name="Gain" type="Real" value="-2.5e-1"/>
      <DataComponent name="Armed" type="BOOLEAN" value="True"/>
      <DataComponent name="Blob" type="Binary" value="00ff"/>
      <DataComponent name="Nested" type="structure">
        <DataComponent name="Inner" type="String"/>
      </DataComponent>
    </DataComponent>
  </SoftwareModule>
  <SoftwareModule name="Other"/>
  <HardwareAsset name="bench" resource="TCPIP::192.0.2.5::5025::SOCKET"/>
  <DriverSession name="MyLoad" softwareModule="Varnel" hardwareAsset="bench"
      cache="false" interchangeCheck="TRUE" queryInstrStatus="1"
      rangeCheck="0" recordCoercions="true" simulate="True" driverSetup="Model:QVX M3">
    <VirtualName name="Out" physicalName="Load"><Range first="1" last="3" start="5"/></VirtualName>
    <VirtualName name="Main" physicalName="Load1"/>
    <VirtualName name="Neg" physicalName="Ch">
      <Range first="-2" last="-1" start="0"/>
      <Range first="10" last="10" start="7"/>
    </VirtualName>
    <DataComponent name="Configurable Initial Settings" type="Structure">
      <DataComponent name="model" type="String" value="QVX M4"/>
    </DataComponent>
  </DriverSession>
  <DriverSession name="Plain" softwareModule="Other"/>
  <LogicalName name="Bench" driverSession="MyLoad"/>
</IviConfigStore>
)";

class ExampleStore : public ::testing::Test {
protected:
    void SetUp() override {
        baseline_ = openHandles();
        store_.emplace(dir_.write("store.xml", kExampleStore));
    }
    void TearDown() override {
        store_.reset();
        EXPECT_EQ(openHandles(), baseline_) << "handles left open after the store was closed";
    }

    TempDir dir_;
    std::optional<Store> store_;
    ViInt32 baseline_ = 0;
};

struct SessionCase {
    const char *name;
    bool flags[6];  // cache, interchange check, query status, range check, record coercions, simulate
    const char *driverSetup;
    const char *resource;  // null: no hardware asset
    ViInt32 modulePhysicalNames;
};

const SessionCase kSessions[] = {
    {"MyLoad", {false, true, true, false, true, true}, "Model:QVX M3", "TCPIP::192.0.2.5::5025::SOCKET", 2},
    {"Bench", {false, true, true, false, true, true}, "Model:QVX M3", "TCPIP::192.0.2.5::5025::SOCKET", 2},
    {"Plain", {true, false, false, true, false, false}, "", nullptr, 0},
};

TEST_F(ExampleStore, SessionsByNameAndLogicalNameWithTheirOptionsAndReferences) {
    for (const SessionCase &c : kSessions) {
        SCOPED_TRACE(c.name);
        IviDriverSessionHandle session = store_->session(c.name);
        for (ViInt32 id = IVICONFIG_VAL_SESSION_CACHE; id <= IVICONFIG_VAL_SESSION_SIMULATE; ++id) {
            ViBoolean value = 42;
            ASSERT_EQ(IviConfig_GetDriverSessionPropertyViBoolean(session, id, &value), VI_SUCCESS);
            EXPECT_EQ(value, c.flags[id - IVICONFIG_VAL_SESSION_CACHE] ? VI_TRUE : VI_FALSE) << "property " << id;
        }
        EXPECT_EQ(text([&](ViInt32 n, ViChar *b) {
                      return IviConfig_GetDriverSessionPropertyViString(session, IVICONFIG_VAL_SESSION_DRIVER_SETUP, n, b);
                  }),
                  c.driverSetup);

        IviHardwareAssetHandle asset = 12345;
        ASSERT_EQ(IviConfig_GetSessionHardwareAssetReference(session, &asset), VI_SUCCESS);
        if (c.resource == nullptr) {
            EXPECT_EQ(asset, 0u);
        } else {
            EXPECT_EQ(text([&](ViInt32 n, ViChar *b) {
                          return IviConfig_GetHardwareAssetPropertyViString(asset, IVICONFIG_VAL_ASSET_IO_RESOURCE_DESCRIPTOR, n, b);
                      }),
                      c.resource);
        }

        IviSoftwareModuleHandle module = 0;
        IviPhysicalNameCollectionHandle physical = 0;
        ViInt32 count = -1;
        ASSERT_EQ(IviConfig_GetSessionSoftwareModuleReference(session, &module), VI_SUCCESS);
        ASSERT_EQ(IviConfig_GetSoftwareModulePhysicalNameCollection(module, &physical), VI_SUCCESS);
        ASSERT_EQ(IviConfig_GetPhysicalNameCount(physical, &count), VI_SUCCESS);
        EXPECT_EQ(count, c.modulePhysicalNames);
    }
}

TEST_F(ExampleStore, NamesThatAreNoSessionOrModuleAreNotFound) {
    // Names are compared with regard to case; a hardware asset or module
    // name is no session name.
    for (const char *name : {"myload", "bench", "Varnel", "", "MyLoad "}) {
        IviDriverSessionHandle session = 99;
        EXPECT_EQ(IviConfig_GetDriverSession(store_->handle(), name, &session), IVICONFIG_ERROR_SESSION_NOT_FOUND) << name;
        EXPECT_EQ(session, 0u);
        Error error = lastError();
        EXPECT_EQ(error.code, IVICONFIG_ERROR_SESSION_NOT_FOUND);
        EXPECT_NE(error.text.find("\"" + std::string(name) + "\""), std::string::npos) << error.text;
    }
    IviSoftwareModuleCollectionHandle modules = 0;
    IviSoftwareModuleHandle module = 99;
    ASSERT_EQ(IviConfig_GetConfigStoreSoftwareModuleCollection(store_->handle(), &modules), VI_SUCCESS);
    EXPECT_EQ(IviConfig_GetSoftwareModuleItemByName(modules, "varnel", &module), IVICONFIG_ERROR_ITEM_NOT_FOUND);
    EXPECT_EQ(module, 0u);
}

// The virtual-to-physical map the calls give, expanded the way the driver
// expands ranges.
std::map<std::string, std::string> virtualMap(IviDriverSessionHandle session) {
    std::map<std::string, std::string> map;
    IviVirtualNameCollectionHandle names = 0;
    ViInt32 count = 0;
    EXPECT_EQ(IviConfig_GetSessionVirtualNameCollection(session, &names), VI_SUCCESS);
    EXPECT_EQ(IviConfig_GetVirtualNameCount(names, &count), VI_SUCCESS);
    for (ViInt32 i = 1; i <= count; ++i) {
        IviVirtualNameHandle item = 0;
        IviVirtualRangeCollectionHandle ranges = 0;
        ViInt32 rangeCount = -1;
        EXPECT_EQ(IviConfig_GetVirtualNameItemByIndex(names, i, &item), VI_SUCCESS);
        std::string name = text([&](ViInt32 n, ViChar *b) {
            return IviConfig_GetVirtualNamePropertyViString(item, IVICONFIG_VAL_VIRTUAL_NAME_NAME, n, b);
        });
        std::string target = text([&](ViInt32 n, ViChar *b) {
            return IviConfig_GetVirtualNamePropertyViString(item, IVICONFIG_VAL_VIRTUAL_NAME_MAP_TO, n, b);
        });
        EXPECT_EQ(IviConfig_GetVirtualNameVirtualRangeCollection(item, &ranges), VI_SUCCESS);
        EXPECT_EQ(IviConfig_GetVirtualRangeCount(ranges, &rangeCount), VI_SUCCESS);
        if (rangeCount < 1) map[name] = target;
        for (ViInt32 j = 1; j <= rangeCount; ++j) {
            IviVirtualRangeHandle range = 0;
            ViInt32 first = 0, last = 0, start = 0;
            EXPECT_EQ(IviConfig_GetVirtualRangeItemByIndex(ranges, j, &range), VI_SUCCESS);
            EXPECT_EQ(IviConfig_GetVirtualRangePropertyViInt32(range, IVICONFIG_VAL_VIRTUAL_RANGE_MIN, &first), VI_SUCCESS);
            EXPECT_EQ(IviConfig_GetVirtualRangePropertyViInt32(range, IVICONFIG_VAL_VIRTUAL_RANGE_MAX, &last), VI_SUCCESS);
            EXPECT_EQ(IviConfig_GetVirtualRangePropertyViInt32(range, IVICONFIG_VAL_VIRTUAL_RANGE_START, &start), VI_SUCCESS);
            for (ViInt32 k = first; k <= last; ++k) map[name + std::to_string(k)] = target + std::to_string(k - first + start);
            IviConfig_DisposeHandle(range);
        }
        IviConfig_DisposeHandle(ranges);
        IviConfig_DisposeHandle(item);
    }
    IviConfig_DisposeHandle(names);
    return map;
}

TEST_F(ExampleStore, VirtualNamesWithAndWithoutRanges) {
    std::map<std::string, std::string> expected = {
        {"Out1", "Load5"}, {"Out2", "Load6"}, {"Out3", "Load7"}, {"Main", "Load1"},
        {"Neg-2", "Ch0"},  {"Neg-1", "Ch1"},  {"Neg10", "Ch7"},
    };
    EXPECT_EQ(virtualMap(store_->session("MyLoad")), expected);
    EXPECT_TRUE(virtualMap(store_->session("Plain")).empty());
}

TEST_F(ExampleStore, PhysicalNamesOfTheModuleInOrder) {
    IviPhysicalNameCollectionHandle names = 0;
    ViInt32 count = 0;
    ASSERT_EQ(IviConfig_GetSoftwareModulePhysicalNameCollection(store_->module("Varnel"), &names), VI_SUCCESS);
    ASSERT_EQ(IviConfig_GetPhysicalNameCount(names, &count), VI_SUCCESS);
    ASSERT_EQ(count, 2);
    const char *const expected[] = {"Load1", "Load2"};
    for (ViInt32 i = 1; i <= count; ++i) {
        IviPhysicalNameHandle item = 0;
        ASSERT_EQ(IviConfig_GetPhysicalNameItemByIndex(names, i, &item), VI_SUCCESS);
        EXPECT_EQ(text([&](ViInt32 n, ViChar *b) { return IviConfig_GetPhysicalNamePropertyViString(item, IVICONFIG_VAL_PHYSICAL_NAME_NAME, n, b); }),
                  expected[i - 1]);
        EXPECT_EQ(text([&](ViInt32 n, ViChar *b) { return IviConfig_GetPhysicalNamePropertyViString(item, IVICONFIG_VAL_PHYSICAL_NAME_REP_CAP, n, b); }),
                  "Load");
    }
}

TEST_F(ExampleStore, InitialSettingsOfEachTypeInOrderWithTypeAsWritten) {
    IviDataComponentCollectionHandle members = components(store_->module("Varnel"), "Configurable Initial Settings");
    struct Member {
        const char *name, *type, *value;
    };
    const Member expected[] = {
        {"model", "String", "QVX M2"}, {"Count", "Integer", "3"}, {"Gain", "Real", "-2.5e-1"},
        {"Armed", "BOOLEAN", "True"},  {"Blob", "Binary", "00ff"}, {"Nested", "structure", nullptr},
    };
    ViInt32 count = 0;
    ASSERT_EQ(IviConfig_GetDataComponentCount(members, &count), VI_SUCCESS);
    ASSERT_EQ(count, 6);
    for (ViInt32 i = 1; i <= count; ++i) {
        const Member &m = expected[i - 1];
        SCOPED_TRACE(m.name);
        IviDataComponentHandle item = 0;
        ASSERT_EQ(IviConfig_GetDataComponentItemByIndex(members, i, &item), VI_SUCCESS);
        auto property = [&](ViInt32 id) {
            return text([&](ViInt32 n, ViChar *b) { return IviConfig_GetDataComponentPropertyViString(item, id, n, b); });
        };
        EXPECT_EQ(property(IVICONFIG_VAL_DATA_COMPONENT_NAME), m.name);
        EXPECT_EQ(property(IVICONFIG_VAL_DATA_COMPONENT_TYPE), m.type);
        if (m.value != nullptr) {
            EXPECT_EQ(property(IVICONFIG_VAL_DATA_COMPONENT_VALUE), m.value);
        }
    }

    auto byName = [&](const char *name) {
        IviDataComponentHandle item = 0;
        EXPECT_EQ(IviConfig_GetDataComponentItemByName(members, name, &item), VI_SUCCESS) << name;
        return item;
    };
    ViInt32 integer = 0;
    ViReal64 real = 0;
    ViBoolean boolean = VI_FALSE;
    EXPECT_EQ(IviConfig_GetDataComponentPropertyViInt32(byName("Count"), IVICONFIG_VAL_DATA_COMPONENT_VALUE, &integer), VI_SUCCESS);
    EXPECT_EQ(integer, 3);
    EXPECT_EQ(IviConfig_GetDataComponentPropertyViReal64(byName("Gain"), IVICONFIG_VAL_DATA_COMPONENT_VALUE, &real), VI_SUCCESS);
    EXPECT_EQ(real, -0.25);
    EXPECT_EQ(IviConfig_GetDataComponentPropertyViBoolean(byName("Armed"), IVICONFIG_VAL_DATA_COMPONENT_VALUE, &boolean), VI_SUCCESS);
    EXPECT_EQ(boolean, VI_TRUE);

    // A nested structure (its type written in lower case) has members; a
    // String without a value attribute holds the empty text.
    IviDataComponentCollectionHandle nested = 0;
    IviDataComponentHandle inner = 0;
    ViInt32 nestedCount = 0;
    ASSERT_EQ(IviConfig_GetStructureDataComponentCollection(byName("Nested"), &nested), VI_SUCCESS);
    ASSERT_EQ(IviConfig_GetDataComponentCount(nested, &nestedCount), VI_SUCCESS);
    EXPECT_EQ(nestedCount, 1);
    ASSERT_EQ(IviConfig_GetDataComponentItemByName(nested, "Inner", &inner), VI_SUCCESS);
    EXPECT_EQ(text([&](ViInt32 n, ViChar *b) { return IviConfig_GetDataComponentPropertyViString(inner, IVICONFIG_VAL_DATA_COMPONENT_VALUE, n, b); }), "");

    // A member that is no structure has no member collection.
    IviDataComponentCollectionHandle none = 7;
    EXPECT_EQ(IviConfig_GetStructureDataComponentCollection(byName("Count"), &none), IVICONFIG_ERROR_INVALID_PARAMETER);
    EXPECT_EQ(none, 0u);
}

TEST_F(ExampleStore, SessionInitialSettingsAndAMissingStructure) {
    IviDataComponentCollectionHandle members = components(store_->session("MyLoad"), "Configurable Initial Settings");
    IviDataComponentHandle model = 0;
    ASSERT_EQ(IviConfig_GetDataComponentItemByName(members, "model", &model), VI_SUCCESS);
    EXPECT_EQ(text([&](ViInt32 n, ViChar *b) { return IviConfig_GetDataComponentPropertyViString(model, IVICONFIG_VAL_DATA_COMPONENT_VALUE, n, b); }),
              "QVX M4");

    for (IviConfigHandle component : {store_->session("Plain"), store_->module("Other")}) {
        IviDataComponentHandle item = 5;
        EXPECT_EQ(IviConfig_GetDataComponentItemByName(components(component), "Configurable Initial Settings", &item),
                  IVICONFIG_ERROR_DATA_COMPONENT_NOT_FOUND);
        EXPECT_EQ(item, 0u);
        EXPECT_NE(lastError().text.find("\"Configurable Initial Settings\""), std::string::npos) << lastError().text;
    }
}

TEST(StoreLocations, MasterAndProcessDefaultLocation) {
    Store store;
    EXPECT_EQ(text([&](ViInt32 n, ViChar *b) { return IviConfig_GetConfigStorePropertyViString(store.handle(), IVICONFIG_VAL_STORE_MASTER_LOCATION, n, b); }),
              VARNEL_TEST_MASTER_LOCATION);
    struct {
        const char *environment;  // null: unset
        const char *expected;
    } const cases[] = {{nullptr, ""}, {"", ""}, {"/srv/ivi/Store.xml", "/srv/ivi/Store.xml"}};
    for (const auto &c : cases) {
        if (c.environment == nullptr)
            unsetenv("IVI_CONFIG_STORE");
        else
            setenv("IVI_CONFIG_STORE", c.environment, 1);
        EXPECT_EQ(text([&](ViInt32 n, ViChar *b) { return IviConfig_GetConfigStorePropertyViString(store.handle(), IVICONFIG_VAL_STORE_PROCESS_DEFAULT_LOCATION, n, b); }),
                  c.expected);
    }
    unsetenv("IVI_CONFIG_STORE");
}

TEST(StoreLocations, MasterLocationWithoutAFileGivesTheBuiltInDefaultStore) {
    if (std::filesystem::exists(VARNEL_TEST_MASTER_LOCATION))
        GTEST_SKIP() << "a master store is installed at " << VARNEL_TEST_MASTER_LOCATION;
    ViInt32 baseline = openHandles();
    {
        Store store(VARNEL_TEST_MASTER_LOCATION);
        IviSoftwareModuleHandle module = store.module("Varnel");
        IviPhysicalNameCollectionHandle physical = 0;
        ViInt32 count = -1;
        ASSERT_EQ(IviConfig_GetSoftwareModulePhysicalNameCollection(module, &physical), VI_SUCCESS);
        ASSERT_EQ(IviConfig_GetPhysicalNameCount(physical, &count), VI_SUCCESS);
        EXPECT_EQ(count, 0);
        ASSERT_EQ(IviConfig_GetDataComponentCount(components(module), &count), VI_SUCCESS);
        EXPECT_EQ(count, 0);

        IviDriverSessionHandle session = 0;
        EXPECT_EQ(IviConfig_GetDriverSession(store.handle(), "TCPIP::192.0.2.5::5025::SOCKET", &session),
                  IVICONFIG_ERROR_SESSION_NOT_FOUND);
        IviSoftwareModuleCollectionHandle modules = 0;
        IviSoftwareModuleHandle other = 0;
        ASSERT_EQ(IviConfig_GetConfigStoreSoftwareModuleCollection(store.handle(), &modules), VI_SUCCESS);
        EXPECT_EQ(IviConfig_GetSoftwareModuleItemByName(modules, "Other", &other), IVICONFIG_ERROR_ITEM_NOT_FOUND);
    }
    EXPECT_EQ(openHandles(), baseline);
}

}  // namespace
