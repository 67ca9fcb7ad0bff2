// Handle lifetimes: closing a store releases everything under it, stores are
// used from several threads at once, and repeated open/close cycles leave
// nothing behind.
#include "ConfigTestSupport.hpp"

#include <atomic>
#include <fstream>
#include <set>
#include <thread>
#include <vector>

using namespace configtest;

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

const char *const kStore = R"(<IviConfigStore>
  <SoftwareModule name="Varnel">
    <PhysicalName name="Load1" repCap="Load"/>
    <DataComponent name="Configurable Initial Settings" type="Structure">
      <DataComponent name="model" type="String" value="QVX M2"/>
    </DataComponent>
  </SoftwareModule>
  <HardwareAsset name="bench" resource="TCPIP::127.0.0.1::5025::SOCKET"/>
  <DriverSession name="MyLoad" softwareModule="Varnel" hardwareAsset="bench" simulate="true">
    <VirtualName name="Out" physicalName="Load"><Range first="1" last="3" start="5"/></VirtualName>
  </DriverSession>
  <LogicalName name="Bench" driverSession="MyLoad"/>
</IviConfigStore>)";

std::string resourceOf(IviDriverSessionHandle session, ViStatus &status) {
    IviHardwareAssetHandle asset = 0;
    char buffer[260] = "";
    status = IviConfig_GetSessionHardwareAssetReference(session, &asset);
    if (status == VI_SUCCESS)
        status = IviConfig_GetHardwareAssetPropertyViString(asset, IVICONFIG_VAL_ASSET_IO_RESOURCE_DESCRIPTOR,
                                                           sizeof buffer, buffer);
    if (asset != 0) IviConfig_DisposeHandle(asset);
    return buffer;
}

// Walks the store the way the driver does at initialization, leaving the
// handles for the store's close to release (or disposing them when asked).
void walk(IviConfigStoreHandle store, bool dispose) {
    std::vector<IviConfigHandle> handles;
    IviDriverSessionHandle session = 0;
    ASSERT_EQ(IviConfig_GetDriverSession(store, "Bench", &session), VI_SUCCESS);
    handles.push_back(session);
    ViStatus status = 0;
    ASSERT_EQ(resourceOf(session, status), "TCPIP::127.0.0.1::5025::SOCKET");
    ViBoolean simulate = VI_FALSE;
    ASSERT_EQ(IviConfig_GetDriverSessionPropertyViBoolean(session, IVICONFIG_VAL_SESSION_SIMULATE, &simulate), VI_SUCCESS);
    ASSERT_EQ(simulate, VI_TRUE);
    IviSoftwareModuleHandle module = 0;
    IviDataComponentCollectionHandle collection = 0, members = 0;
    IviDataComponentHandle item = 0, model = 0;
    ASSERT_EQ(IviConfig_GetSessionSoftwareModuleReference(session, &module), VI_SUCCESS);
    ASSERT_EQ(IviConfig_GetConfigComponentDataComponentCollection(module, &collection), VI_SUCCESS);
    ASSERT_EQ(IviConfig_GetDataComponentItemByName(collection, "Configurable Initial Settings", &item), VI_SUCCESS);
    ASSERT_EQ(IviConfig_GetStructureDataComponentCollection(item, &members), VI_SUCCESS);
    ASSERT_EQ(IviConfig_GetDataComponentItemByIndex(members, 1, &model), VI_SUCCESS);
    handles.insert(handles.end(), {module, collection, item, members, model});
    if (!dispose) return;
    for (IviConfigHandle handle : handles) ASSERT_EQ(IviConfig_DisposeHandle(handle), VI_SUCCESS);
}

TEST(StoreLifetime, CloseReleasesEveryHandleUnderTheStoreOnly) {
    TempDir dir;
    std::string location = dir.write("store.xml", kStore);
    ViInt32 baseline = openHandles();
    Store other(location);
    IviDriverSessionHandle otherSession = other.session("MyLoad");

    for (bool viaDispose : {false, true}) {
        SCOPED_TRACE(viaDispose ? "DisposeHandle of the store" : "Close");
        IviConfigStoreHandle store = 0;
        ASSERT_EQ(IviConfig_Initialize(&store), VI_SUCCESS);
        ASSERT_EQ(IviConfig_Deserialize(store, location.c_str()), VI_SUCCESS);
        IviDriverSessionHandle session = 0;
        IviVirtualNameCollectionHandle names = 0;
        IviVirtualNameHandle name = 0;
        ASSERT_EQ(IviConfig_GetDriverSession(store, "MyLoad", &session), VI_SUCCESS);
        ASSERT_EQ(IviConfig_GetSessionVirtualNameCollection(session, &names), VI_SUCCESS);
        ASSERT_EQ(IviConfig_GetVirtualNameItemByIndex(names, 1, &name), VI_SUCCESS);
        // An item outlives the collection it came from.
        ASSERT_EQ(IviConfig_DisposeHandle(names), VI_SUCCESS);
        char buffer[64];
        ASSERT_EQ(IviConfig_GetVirtualNamePropertyViString(name, IVICONFIG_VAL_VIRTUAL_NAME_MAP_TO, 64, buffer), VI_SUCCESS);
        EXPECT_STREQ(buffer, "Load");
        EXPECT_EQ(openHandles(), baseline + 2 + 3);

        ASSERT_EQ(viaDispose ? IviConfig_DisposeHandle(store) : IviConfig_Close(store), VI_SUCCESS);
        EXPECT_EQ(openHandles(), baseline + 2);
        for (IviConfigHandle gone : {session, name})
            EXPECT_EQ(IviConfig_DisposeHandle(gone), IVICONFIG_ERROR_INVALID_HANDLE);
        EXPECT_EQ(IviConfig_Close(store), IVICONFIG_ERROR_INVALID_HANDLE);

        // Handles are not given out again soon.
        IviConfigStoreHandle next = 0;
        ASSERT_EQ(IviConfig_Initialize(&next), VI_SUCCESS);
        EXPECT_TRUE(next != store && next != session && next != name);
        ASSERT_EQ(IviConfig_Close(next), VI_SUCCESS);
    }
    ViStatus status = 0;
    EXPECT_EQ(resourceOf(otherSession, status), "TCPIP::127.0.0.1::5025::SOCKET");
    EXPECT_EQ(status, VI_SUCCESS);
}

TEST(StoreLifetime, ManyStoresFromSeveralThreadsAndOneSharedStore) {
    TempDir dir;
    std::string location = dir.write("store.xml", kStore);
    ViInt32 baseline = openHandles();
    {
        Store shared(location);
        std::vector<std::thread> threads;
        std::atomic<int> failures{0};
        for (int t = 0; t < 4; ++t)
            threads.emplace_back([&] {
                for (int i = 0; i < 250 && failures == 0; ++i) {
                    IviConfigStoreHandle own = 0;
                    if (IviConfig_Initialize(&own) != VI_SUCCESS || IviConfig_Deserialize(own, location.c_str()) != VI_SUCCESS)
                        ++failures;
                    walk(own, i % 2 == 0);
                    walk(shared.handle(), true);
                    if (IviConfig_Close(own) != VI_SUCCESS) ++failures;
                    if (::testing::Test::HasFailure()) ++failures;
                }
            });
        for (std::thread &thread : threads) thread.join();
        EXPECT_EQ(failures, 0);
        EXPECT_EQ(openHandles(), baseline + 1);
    }
    EXPECT_EQ(openHandles(), baseline);
}

TEST(StoreLifetime, CloseWhileOtherThreadsReadFailsTheirCallsCleanly) {
    TempDir dir;
    std::string location = dir.write("store.xml", kStore);
    ViInt32 baseline = openHandles();
    Store store(location);
    IviDriverSessionHandle session = store.session("MyLoad");
    std::atomic<int> reads{0}, wrong{0};
    std::atomic<bool> sawClosed[3] = {false, false, false};
    std::vector<std::thread> readers;
    for (int t = 0; t < 3; ++t)
        readers.emplace_back([&, t] {
            for (int i = 0; i < 200000 && !sawClosed[t]; ++i) {
                ViStatus status = 0;
                std::string resource = resourceOf(session, status);
                if (status == IVICONFIG_ERROR_INVALID_HANDLE)
                    sawClosed[t] = true;
                else if (status != VI_SUCCESS || resource != "TCPIP::127.0.0.1::5025::SOCKET")
                    ++wrong;
                ++reads;
            }
        });
    for (int i = 0; i < 2000 && reads < 300; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_EQ(IviConfig_Close(store.handle()), VI_SUCCESS);
    store.forget();
    for (std::thread &reader : readers) reader.join();
    EXPECT_EQ(wrong, 0);
    for (const auto &closed : sawClosed) EXPECT_TRUE(closed);
    EXPECT_EQ(openHandles(), baseline);
}

long residentKiB() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

TEST(StoreLifetime, HundredThousandOpenCloseCyclesLeaveNothingBehind) {
    TempDir dir;
    std::string location = dir.write("store.xml", kStore);
    auto cycle = [&](int i) {
        IviConfigStoreHandle store = 0;
        ASSERT_EQ(IviConfig_Initialize(&store), VI_SUCCESS);
        ASSERT_EQ(IviConfig_Deserialize(store, location.c_str()), VI_SUCCESS);
        IviDriverSessionHandle session = 0;
        ASSERT_EQ(IviConfig_GetDriverSession(store, "Bench", &session), VI_SUCCESS);
        ViStatus status = 0;
        ASSERT_EQ(resourceOf(session, status), "TCPIP::127.0.0.1::5025::SOCKET");
        // Every other cycle leaves the session handle for the close to release,
        // and one in ten records an error for the thread.
        if (i % 2 == 0) {
            ASSERT_EQ(IviConfig_DisposeHandle(session), VI_SUCCESS);
        }
        if (i % 10 == 0) {
            IviDriverSessionHandle missing = 0;
            ASSERT_EQ(IviConfig_GetDriverSession(store, "Nope", &missing), IVICONFIG_ERROR_SESSION_NOT_FOUND);
        }
        ASSERT_EQ(IviConfig_Close(store), VI_SUCCESS);
    };
    for (int i = 0; i < 1000; ++i) ASSERT_NO_FATAL_FAILURE(cycle(i));
    ViInt32 handlesBefore = openHandles();
    long rssBefore = residentKiB();

    for (int i = 0; i < 100000; ++i) ASSERT_NO_FATAL_FAILURE(cycle(i));

    EXPECT_EQ(openHandles(), handlesBefore);
    if (!kSanitized) {
        // 100,000 cycles leaking even 32 bytes each would show as 3 MiB.
        long grown = residentKiB() - rssBefore;
        EXPECT_LT(grown, 1024) << "resident memory grew by " << grown << " KiB";
    }
}

}  // namespace
