// Configuration loading: the IVI configuration store first (logical name,
// store options, DriverSetup, initial settings, virtual and physical names),
// then the option string, which overrides the store.
#include <string>
#include <vector>

#include "DriverSession.h"
#include "IviConfig.h"
#include "Varnel.h"

namespace kiln {

namespace {

// Statuses of the configuration server that are answers, not errors.
constexpr ViStatus kNoSuchDriverSession = static_cast<ViStatus>(0xBFFA1203);
constexpr ViStatus kNoSuchDataComponent = static_cast<ViStatus>(0xBFFA1207);

// A session's virtual names, with every index of their ranges, may not
// expand into more entries than this; a store asking for more is refused
// before anything is expanded, rather than exhausting memory.
constexpr long long kMaxVirtualNames = 65536;

const char kInitialSettings[] = "Configurable Initial Settings";

// A handle of the configuration server, disposed of when the scope ends.
class StoreHandle {
public:
    StoreHandle() = default;
    ~StoreHandle() {
        if (handle_ != 0) IviConfig_DisposeHandle(handle_);
    }
    StoreHandle(const StoreHandle&) = delete;
    StoreHandle& operator=(const StoreHandle&) = delete;
    IviConfigHandle* out() { return &handle_; }
    IviConfigHandle get() const { return handle_; }

private:
    IviConfigHandle handle_ = 0;
};

using StringProperty = ViStatus (*)(IviConfigHandle, ViInt32, ViInt32, ViChar[]);

// Reads a string property with the given buffer size; when the server says
// the text needs more room, reads it again whole instead of keeping it cut.
ViStatus ReadString(StringProperty get, IviConfigHandle handle, ViInt32 property, ViInt32 size,
                    std::string& value) {
    std::vector<ViChar> buffer(static_cast<std::size_t>(size), '\0');
    ViStatus status = get(handle, property, size, buffer.data());
    if (status > size) {
        size = status;
        buffer.assign(static_cast<std::size_t>(size), '\0');
        status = get(handle, property, size, buffer.data());
    }
    if (status < 0) return status;
    buffer.back() = '\0';
    value = buffer.data();
    return VI_SUCCESS;
}

bool TypeIs(const std::string& type, const char* name) {
    if (type.size() != std::char_traits<char>::length(name)) return false;
    for (std::size_t i = 0; i < type.size(); ++i) {
        char c = type[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != name[i]) return false;
    }
    return true;
}

}  // namespace

ViStatus DriverSession::LoadConfiguration(const std::string& resourceName, const std::string& optionString) {
    logicalName_.clear();
    ioResourceDescriptor_.clear();
    inherentOptions_.clear();
    driverSetupOptions_.clear();
    initialBooleans_.clear();
    initialIntegers_.clear();
    initialReals_.clear();
    initialStrings_.clear();
    virtualToPhysical_.clear();
    physicalToVirtual_.clear();
    physicalNameCapabilities_.clear();

    cache_ = true;
    interchangeCheck_ = false;
    queryInstrumentStatus_ = false;
    rangeCheck_ = true;
    recordCoercions_ = false;
    simulate_ = false;

    IviConfigStoreHandle store = 0;
    ViStatus status = VI_SUCCESS;
    {
        StoreHandle session;
        StoreHandle collection;
        StoreHandle module;
        auto fail = [this](ViStatus code) {
            ReportConfigStoreError(code);
            return code;
        };
        auto load = [&]() -> ViStatus {
            ViStatus st = IviConfig_Initialize(&store);
            if (st < 0) return fail(st);
            std::string location;
            st = ReadString(IviConfig_GetConfigStorePropertyViString, store,
                            IVICONFIG_VAL_STORE_PROCESS_DEFAULT_LOCATION, 260, location);
            if (st < 0) return fail(st);
            if (location.empty()) {
                st = ReadString(IviConfig_GetConfigStorePropertyViString, store, IVICONFIG_VAL_STORE_MASTER_LOCATION,
                                260, location);
                if (st < 0) return fail(st);
            }
            st = IviConfig_Deserialize(store, location.c_str());
            if (st < 0) return fail(st);

            st = IviConfig_GetDriverSession(store, resourceName.c_str(), session.out());
            if (st >= 0) {
                logicalName_ = resourceName;
                st = ReadDriverSession(session.get());
                if (st < 0) return st;
                st = ReadInitialSettings(session.get());
                if (st < 0) return st;
                st = IviConfig_GetSessionSoftwareModuleReference(session.get(), module.out());
                if (st < 0) return fail(st);
            } else if (st == kNoSuchDriverSession) {
                IviConfig_ClearError();
                ioResourceDescriptor_ = resourceName;
                st = IviConfig_GetConfigStoreSoftwareModuleCollection(store, collection.out());
                if (st < 0) return fail(st);
                st = IviConfig_GetSoftwareModuleItemByName(collection.get(), GetDriverIdentity().softwareModuleName,
                                                           module.out());
                if (st < 0) return fail(st);
                st = ReadInitialSettings(module.get());
                if (st < 0) return st;
            } else {
                return fail(st);
            }

            st = ParseOptionString(optionString);
            if (st < 0) return st;
            if (module.get() != 0) {
                st = ReadPhysicalNames(module.get());
                if (st < 0) return st;
            }
            if (simulate_ && instrumentModel_.empty()) instrumentModel_ = GetDriverIdentity().defaultModel;
            initialCache_ = cache_;
            initialInterchangeCheck_ = interchangeCheck_;
            initialQueryInstrumentStatus_ = queryInstrumentStatus_;
            initialRangeCheck_ = rangeCheck_;
            initialRecordCoercions_ = recordCoercions_;
            initialSimulate_ = simulate_;
            return VI_SUCCESS;
        };
        status = load();
    }  // the session, collection and module handles are disposed of here
    const ViStatus closed = IviConfig_Close(store);
    return status < 0 ? status : closed;
}

ViStatus DriverSession::ReadDriverSession(IviDriverSessionHandle session) {
    ViStatus status = ReadVirtualNames(session);
    if (status < 0) return status;

    StoreHandle asset;
    status = IviConfig_GetSessionHardwareAssetReference(session, asset.out());
    if (status < 0) {
        ReportConfigStoreError(status);
        return status;
    }
    if (asset.get() != 0) {
        status = ReadString(IviConfig_GetHardwareAssetPropertyViString, asset.get(),
                            IVICONFIG_VAL_ASSET_IO_RESOURCE_DESCRIPTOR, 1024, ioResourceDescriptor_);
        if (status < 0) {
            ReportConfigStoreError(status);
            return status;
        }
    }

    bool* const flags[] = {&cache_, &interchangeCheck_, &queryInstrumentStatus_,
                           &rangeCheck_, &recordCoercions_, &simulate_};
    ViInt32 property = IVICONFIG_VAL_SESSION_CACHE;
    for (bool* flag : flags) {
        ViBoolean value = VI_FALSE;
        status = IviConfig_GetDriverSessionPropertyViBoolean(session, property++, &value);
        if (status < 0) {
            ReportConfigStoreError(status);
            return status;
        }
        *flag = value == VI_TRUE;
    }

    std::string driverSetup;
    status = ReadString(IviConfig_GetDriverSessionPropertyViString, session, IVICONFIG_VAL_SESSION_DRIVER_SETUP, 1024,
                        driverSetup);
    if (status < 0) {
        ReportConfigStoreError(status);
        return status;
    }
    driverSetup_ = driverSetup;
    return ParseDriverSetup(driverSetup);
}

ViStatus DriverSession::ReadInitialSettings(IviConfigHandle component) {
    auto fail = [this](ViStatus code) {
        ReportConfigStoreError(code);
        return code;
    };
    StoreHandle collection;
    ViStatus status = IviConfig_GetConfigComponentDataComponentCollection(component, collection.out());
    if (status < 0) return fail(status);

    StoreHandle item;
    status = IviConfig_GetDataComponentItemByName(collection.get(), kInitialSettings, item.out());
    if (status == kNoSuchDataComponent) return IviConfig_ClearError();
    if (status < 0) return fail(status);

    StoreHandle members;
    status = IviConfig_GetStructureDataComponentCollection(item.get(), members.out());
    if (status < 0) return fail(status);
    ViInt32 count = 0;
    status = IviConfig_GetDataComponentCount(members.get(), &count);
    if (status < 0) return fail(status);

    for (ViInt32 i = 1; i <= count; ++i) {
        StoreHandle member;
        status = IviConfig_GetDataComponentItemByIndex(members.get(), i, member.out());
        if (status < 0) return fail(status);
        std::string type;
        std::string name;
        status = ReadString(IviConfig_GetDataComponentPropertyViString, member.get(), IVICONFIG_VAL_DATA_COMPONENT_TYPE,
                            1024, type);
        if (status < 0) return fail(status);
        status = ReadString(IviConfig_GetDataComponentPropertyViString, member.get(), IVICONFIG_VAL_DATA_COMPONENT_NAME,
                            1024, name);
        if (status < 0) return fail(status);

        if (TypeIs(type, "string")) {
            std::string value;
            status = ReadString(IviConfig_GetDataComponentPropertyViString, member.get(),
                                IVICONFIG_VAL_DATA_COMPONENT_VALUE, 1024, value);
            if (status < 0) return fail(status);
            initialStrings_[name] = value;
        } else if (TypeIs(type, "integer")) {
            ViInt32 value = 0;
            status = IviConfig_GetDataComponentPropertyViInt32(member.get(), IVICONFIG_VAL_DATA_COMPONENT_VALUE, &value);
            if (status < 0) return fail(status);
            initialIntegers_.insert_or_assign(name, value);
        } else if (TypeIs(type, "real")) {
            ViReal64 value = 0.0;
            status = IviConfig_GetDataComponentPropertyViReal64(member.get(), IVICONFIG_VAL_DATA_COMPONENT_VALUE, &value);
            if (status < 0) return fail(status);
            initialReals_.insert_or_assign(name, value);
        } else if (TypeIs(type, "boolean")) {
            ViBoolean value = VI_FALSE;
            status =
                IviConfig_GetDataComponentPropertyViBoolean(member.get(), IVICONFIG_VAL_DATA_COMPONENT_VALUE, &value);
            if (status < 0) return fail(status);
            initialBooleans_.insert_or_assign(name, value == VI_TRUE);
        }
    }
    return ApplyInitialModel();
}

ViStatus DriverSession::ApplyInitialModel() {
    auto it = initialStrings_.find("model");
    if (it != initialStrings_.end()) instrumentModel_ = it->second;
    return VI_SUCCESS;
}

ViStatus DriverSession::ReadVirtualNames(IviDriverSessionHandle session) {
    auto fail = [this](ViStatus code) {
        ReportConfigStoreError(code);
        return code;
    };
    virtualToPhysical_.clear();
    physicalToVirtual_.clear();

    StoreHandle collection;
    ViStatus status = IviConfig_GetSessionVirtualNameCollection(session, collection.out());
    if (status < 0) return fail(status);
    ViInt32 count = 0;
    status = IviConfig_GetVirtualNameCount(collection.get(), &count);
    if (status < 0) return fail(status);

    long long entries = 0;
    auto tooMany = [this] {
        return ReportErrorWithElaboration(
            IVI_ERROR_CANNOT_RECOVER,
            "The configuration store gives the driver session '%s' more than %lld virtual names.",
            GetLogicalName().c_str(), kMaxVirtualNames);
    };
    for (ViInt32 i = 1; i <= count; ++i) {
        StoreHandle item;
        status = IviConfig_GetVirtualNameItemByIndex(collection.get(), i, item.out());
        if (status < 0) return fail(status);
        std::string name;
        std::string target;
        status = ReadString(IviConfig_GetVirtualNamePropertyViString, item.get(), IVICONFIG_VAL_VIRTUAL_NAME_NAME, 1024,
                            name);
        if (status < 0) return fail(status);
        status = ReadString(IviConfig_GetVirtualNamePropertyViString, item.get(), IVICONFIG_VAL_VIRTUAL_NAME_MAP_TO,
                            1024, target);
        if (status < 0) return fail(status);

        StoreHandle ranges;
        status = IviConfig_GetVirtualNameVirtualRangeCollection(item.get(), ranges.out());
        if (status < 0) return fail(status);
        ViInt32 rangeCount = 0;
        status = IviConfig_GetVirtualRangeCount(ranges.get(), &rangeCount);
        if (status < 0) return fail(status);
        if (rangeCount < 1) {
            if (++entries > kMaxVirtualNames) return tooMany();
            virtualToPhysical_[name] = target;
            physicalToVirtual_[target] = name;
            continue;
        }
        for (ViInt32 j = 1; j <= rangeCount; ++j) {
            StoreHandle range;
            status = IviConfig_GetVirtualRangeItemByIndex(ranges.get(), j, range.out());
            if (status < 0) return fail(status);
            ViInt32 bounds[3] = {0, 0, 0};  // first, last, start
            const ViInt32 properties[3] = {IVICONFIG_VAL_VIRTUAL_RANGE_MIN, IVICONFIG_VAL_VIRTUAL_RANGE_MAX,
                                           IVICONFIG_VAL_VIRTUAL_RANGE_START};
            for (int p = 0; p < 3; ++p) {
                status = IviConfig_GetVirtualRangePropertyViInt32(range.get(), properties[p], &bounds[p]);
                if (status < 0) return fail(status);
            }
            const long long first = bounds[0];
            const long long last = bounds[1];
            const long long start = bounds[2];
            if (last >= first) entries += last - first + 1;
            if (entries > kMaxVirtualNames) return tooMany();
            for (long long k = first; k <= last; ++k) {
                const std::string virtualName = name + std::to_string(k);
                const std::string physicalName = target + std::to_string(k - first + start);
                virtualToPhysical_[virtualName] = physicalName;
                physicalToVirtual_[physicalName] = virtualName;
            }
        }
    }
    return VI_SUCCESS;
}

ViStatus DriverSession::ReadPhysicalNames(IviSoftwareModuleHandle module) {
    auto fail = [this](ViStatus code) {
        ReportConfigStoreError(code);
        return code;
    };
    StoreHandle collection;
    ViStatus status = IviConfig_GetSoftwareModulePhysicalNameCollection(module, collection.out());
    if (status < 0) return fail(status);
    ViInt32 count = 0;
    status = IviConfig_GetPhysicalNameCount(collection.get(), &count);
    if (status < 0) return fail(status);
    for (ViInt32 i = 1; i <= count; ++i) {
        StoreHandle item;
        status = IviConfig_GetPhysicalNameItemByIndex(collection.get(), i, item.out());
        if (status < 0) return fail(status);
        std::string name;
        std::string capability;
        status = ReadString(IviConfig_GetPhysicalNamePropertyViString, item.get(), IVICONFIG_VAL_PHYSICAL_NAME_NAME,
                            1024, name);
        if (status < 0) return fail(status);
        status = ReadString(IviConfig_GetPhysicalNamePropertyViString, item.get(), IVICONFIG_VAL_PHYSICAL_NAME_REP_CAP,
                            1024, capability);
        if (status < 0) return fail(status);
        physicalNameCapabilities_[name] = capability;
    }
    return VI_SUCCESS;
}

}  // namespace kiln
