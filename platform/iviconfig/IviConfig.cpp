// The IviConfig_* calls over the handle table and the store data.
// Only the calls of the header are exported.
#pragma GCC visibility push(default)
#include "IviConfig.h"
#pragma GCC visibility pop

#include "HandleTable.hpp"
#include "StoreModel.hpp"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#ifndef VARNEL_IVICONFIG_MASTER_LOCATION
#define VARNEL_IVICONFIG_MASTER_LOCATION "/etc/ivi/IviConfigurationStore.xml"
#endif

using namespace iviconfig;

namespace {

struct LastError {
    ViStatus code = 0;
    std::string text;
};

thread_local LastError lastError;

ViStatus fail(ViStatus code, const std::string &text) {
    lastError.code = code;
    try {
        lastError.text = text;
    } catch (...) {
        lastError.text.clear();
    }
    return code;
}

ViStatus nullParameter(const char *function, const char *parameter) {
    return fail(IVICONFIG_ERROR_INVALID_PARAMETER,
                std::string(function) + ": the parameter " + parameter + " is VI_NULL");
}

// Runs body, turning an exception into a status so that none crosses the C
// interface.
template <class Body>
ViStatus guarded(const char *function, Body &&body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc &) {
        return fail(IVICONFIG_ERROR_OUT_OF_MEMORY, std::string(function) + ": out of memory");
    } catch (const std::exception &error) {
        return fail(IVICONFIG_ERROR_INVALID_STORE, std::string(function) + ": " + error.what());
    } catch (...) {
        return fail(IVICONFIG_ERROR_INVALID_STORE, std::string(function) + ": unexpected failure");
    }
}

// Copies text out under the IVI buffer rules.
ViStatus copyText(const char *function, const std::string &text, ViInt32 bufferSize, ViChar value[]) {
    if (bufferSize < 0)
        return fail(IVICONFIG_ERROR_INVALID_PARAMETER, std::string(function) + ": the buffer size " +
                                                           std::to_string(bufferSize) + " is negative");
    ViInt32 needed = text.size() < static_cast<std::size_t>(INT_MAX) ? static_cast<ViInt32>(text.size() + 1) : INT_MAX;
    if (bufferSize == 0) return needed;
    if (value == nullptr) return nullParameter(function, "value");
    if (text.size() < static_cast<std::size_t>(bufferSize)) {
        std::memcpy(value, text.c_str(), text.size() + 1);
        return VI_SUCCESS;
    }
    std::memcpy(value, text.data(), static_cast<std::size_t>(bufferSize) - 1);
    value[bufferSize - 1] = '\0';
    return needed;
}

ViStatus invalidProperty(const char *function, Kind kind, ViInt32 propertyId) {
    return fail(IVICONFIG_ERROR_INVALID_PROPERTY, std::string(function) + ": " + std::to_string(propertyId) +
                                                      " is not a property of this type of a " + kindName(kind));
}

// The open handle of kind, or a failure with IVICONFIG_ERROR_INVALID_HANDLE.
ViStatus resolve(const char *function, IviConfigHandle handle, Kind kind, Ref &ref) {
    std::string why;
    if (!HandleTable::instance().find(handle, kind, ref, why))
        return fail(IVICONFIG_ERROR_INVALID_HANDLE, std::string(function) + ": " + why);
    return VI_SUCCESS;
}

template <class T>
const T &object(const Ref &ref) {
    return *static_cast<const T *>(ref.object);
}

// A new handle under parent's store into *out.
ViStatus issue(const char *function, const Ref &parent, Kind kind, const void *target, IviConfigHandle *out) {
    IviConfigHandle handle = HandleTable::instance().issue(parent, kind, target);
    if (handle == 0)
        return fail(IVICONFIG_ERROR_INVALID_HANDLE, std::string(function) + ": the configuration store was closed");
    *out = handle;
    return VI_SUCCESS;
}

// The store handle's data, failing when it has not been deserialized.
ViStatus resolveLoadedStore(const char *function, IviConfigStoreHandle store, Ref &ref) {
    ViStatus status = resolve(function, store, Kind::Store, ref);
    if (status == VI_SUCCESS && !ref.data)
        return fail(IVICONFIG_ERROR_NOT_DESERIALIZED,
                    std::string(function) + ": the configuration store has not been deserialized");
    return status;
}

template <class Item>
ViStatus countOf(const char *function, IviConfigHandle collection, Kind kind, ViInt32 *count) {
    if (count == nullptr) return nullParameter(function, "count");
    *count = 0;
    Ref ref;
    ViStatus status = resolve(function, collection, kind, ref);
    if (status != VI_SUCCESS) return status;
    *count = static_cast<ViInt32>(object<std::vector<Item>>(ref).size());
    return VI_SUCCESS;
}

template <class Item>
ViStatus itemByIndex(const char *function, IviConfigHandle collection, Kind kind, Kind itemKind, ViInt32 index,
                     IviConfigHandle *item) {
    if (item == nullptr) return nullParameter(function, "item");
    *item = 0;
    Ref ref;
    ViStatus status = resolve(function, collection, kind, ref);
    if (status != VI_SUCCESS) return status;
    const std::vector<Item> &items = object<std::vector<Item>>(ref);
    if (index < 1 || static_cast<std::size_t>(index) > items.size())
        return fail(IVICONFIG_ERROR_INDEX_OUT_OF_RANGE, std::string(function) + ": index " + std::to_string(index) +
                                                            " is outside 1 to " + std::to_string(items.size()) +
                                                            " of the " + kindName(kind));
    return issue(function, ref, itemKind, &items[static_cast<std::size_t>(index) - 1], item);
}

// A handle for a member collection of the object ref names.
template <class Member>
ViStatus collectionOf(const char *function, const Ref &ref, Kind kind, const Member &members,
                      IviConfigHandle *collection) {
    return issue(function, ref, kind, &members, collection);
}

std::string processDefaultLocation() {
    const char *location = std::getenv("IVI_CONFIG_STORE");
    return location != nullptr ? location : "";
}

// The data component of item with a typed value, after the common checks.
ViStatus resolveValue(const char *function, IviDataComponentHandle item, ViInt32 propertyId, const void *value,
                      const DataComponent *&component) {
    if (value == nullptr) return nullParameter(function, "value");
    Ref ref;
    ViStatus status = resolve(function, item, Kind::DataComponent, ref);
    if (status != VI_SUCCESS) return status;
    if (propertyId != IVICONFIG_VAL_DATA_COMPONENT_VALUE) return invalidProperty(function, Kind::DataComponent, propertyId);
    component = &object<DataComponent>(ref);
    if (component->structure)
        return fail(IVICONFIG_ERROR_INVALID_PROPERTY,
                    std::string(function) + ": the data component \"" + component->name + "\" is a Structure and has no value");
    return VI_SUCCESS;
}

ViStatus conversionFailure(const char *function, const DataComponent &component, const char *target) {
    return fail(IVICONFIG_ERROR_CONVERSION, std::string(function) + ": the value \"" + component.value +
                                                "\" of the data component \"" + component.name + "\" (type " +
                                                component.type + ") is not " + target);
}

}  // namespace

extern "C" {

ViStatus IviConfig_Initialize(IviConfigStoreHandle *store) {
    const char *const function = __func__;
    return guarded(function, [&]() -> ViStatus {
        if (store == nullptr) return nullParameter(function, "store");
        *store = HandleTable::instance().openStore();
        return VI_SUCCESS;
    });
}

ViStatus IviConfig_Close(IviConfigStoreHandle store) {
    const char *const function = __func__;
    return guarded(function, [&]() -> ViStatus {
        std::string why;
        if (!HandleTable::instance().closeStore(store, why))
            return fail(IVICONFIG_ERROR_INVALID_HANDLE, std::string(function) + ": " + why);
        return VI_SUCCESS;
    });
}

ViStatus IviConfig_Deserialize(IviConfigStoreHandle store, ViConstString location) {
    const char *const function = __func__;
    return guarded(function, [&]() -> ViStatus {
        if (location == nullptr) return nullParameter(function, "location");
        Ref ref;
        ViStatus status = resolve(function, store, Kind::Store, ref);
        if (status != VI_SUCCESS) return status;
        if (ref.data)
            return fail(IVICONFIG_ERROR_ALREADY_DESERIALIZED, std::string(function) +
                                                                  ": the configuration store already holds \"" +
                                                                  ref.data->location + "\"");
        if (*location == '\0')
            return fail(IVICONFIG_ERROR_INVALID_PARAMETER, std::string(function) + ": the location is empty");
        // Read and check the file without holding the table's lock.
        LoadResult loaded = loadStore(location, VARNEL_IVICONFIG_MASTER_LOCATION);
        if (!loaded.data) return fail(loaded.status, loaded.error);
        std::string why;
        if (!HandleTable::instance().setStoreData(
                store, std::make_shared<const StoreData>(std::move(*loaded.data)), status, why))
            return fail(status, std::string(function) + ": " + why);
        return VI_SUCCESS;
    });
}

ViStatus IviConfig_GetConfigStorePropertyViString(IviConfigStoreHandle store, ViInt32 propertyId,
                                                  ViInt32 bufferSize, ViChar value[]) {
    const char *const function = __func__;
    return guarded(function, [&]() -> ViStatus {
        Ref ref;
        ViStatus status = resolve(function, store, Kind::Store, ref);
        if (status != VI_SUCCESS) return status;
        switch (propertyId) {
        case IVICONFIG_VAL_STORE_MASTER_LOCATION:
            return copyText(function, VARNEL_IVICONFIG_MASTER_LOCATION, bufferSize, value);
        case IVICONFIG_VAL_STORE_PROCESS_DEFAULT_LOCATION:
            return copyText(function, processDefaultLocation(), bufferSize, value);
        default:
            return invalidProperty(function, Kind::Store, propertyId);
        }
    });
}

ViStatus IviConfig_DisposeHandle(IviConfigHandle handle) {
    const char *const function = __func__;
    return guarded(function, [&]() -> ViStatus {
        std::string why;
        if (!HandleTable::instance().dispose(handle, why))
            return fail(IVICONFIG_ERROR_INVALID_HANDLE, std::string(function) + ": " + why);
        return VI_SUCCESS;
    });
}

ViStatus IviConfig_GetError(ViStatus *errorCode, ViInt32 bufferSize, ViChar description[]) {
    // Reports its own misuse by status only: storing it would replace the
    // error the caller is asking for.
    if (bufferSize < 0 || (bufferSize > 0 && description == nullptr)) return IVICONFIG_ERROR_INVALID_PARAMETER;
    if (errorCode != nullptr) *errorCode = lastError.code;
    const std::string &text = lastError.text;
    ViInt32 needed = text.size() < static_cast<std::size_t>(INT_MAX) ? static_cast<ViInt32>(text.size() + 1) : INT_MAX;
    if (bufferSize == 0) return needed;
    std::size_t copied = std::min(text.size(), static_cast<std::size_t>(bufferSize) - 1);
    std::memcpy(description, text.data(), copied);
    description[copied] = '\0';
    return copied == text.size() ? VI_SUCCESS : needed;
}

ViStatus IviConfig_ClearError(void) {
    lastError.code = VI_SUCCESS;
    lastError.text.clear();
    return VI_SUCCESS;
}

ViStatus IviConfig_GetDriverSession(IviConfigStoreHandle store, ViConstString name, IviDriverSessionHandle *session) {
    const char *const function = __func__;
    return guarded(function, [&]() -> ViStatus {
        if (session == nullptr) return nullParameter(function, "session");
        *session = 0;
        if (name == nullptr) return nullParameter(function, "name");
        Ref ref;
        ViStatus status = resolveLoadedStore(function, store, ref);
        if (status != VI_SUCCESS) return status;
        const DriverSession *found = ref.data->findSession(name);
        if (found == nullptr)
            return fail(IVICONFIG_ERROR_SESSION_NOT_FOUND, std::string("No driver session or logical name \"") + name +
                                                               "\" in the configuration store \"" +
                                                               ref.data->location + "\"");
        return issue(function, ref, Kind::DriverSession, found, session);
    });
}

ViStatus IviConfig_GetDriverSessionPropertyViBoolean(IviDriverSessionHandle session, ViInt32 propertyId,
                                                     ViBoolean *value) {
    const char *const function = __func__;
    return guarded(function, [&]() -> ViStatus {
        if (value == nullptr) return nullParameter(function, "value");
        Ref ref;
        ViStatus status = resolve(function, session, Kind::DriverSession, ref);
        if (status != VI_SUCCESS) return status;
        if (propertyId < IVICONFIG_VAL_SESSION_CACHE || propertyId > IVICONFIG_VAL_SESSION_SIMULATE)
            return invalidProperty(function, Kind::DriverSession, propertyId);
        *value = object<DriverSession>(ref).flags[propertyId - IVICONFIG_VAL_SESSION_CACHE] ? VI_TRUE : VI_FALSE;
        return VI_SUCCESS;
    });
}

ViStatus IviConfig_GetDriverSessionPropertyViString(IviDriverSessionHandle session, ViInt32 propertyId,
                                                    ViInt32 bufferSize, ViChar value[]) {
    const char *const function = __func__;
    return guarded(function, [&]() -> ViStatus {
        Ref ref;
        ViStatus status = resolve(function, session, Kind::DriverSession, ref);
        if (status != VI_SUCCESS) return status;
        if (propertyId != IVICONFIG_VAL_SESSION_DRIVER_SETUP)
            return invalidProperty(function, Kind::DriverSession, propertyId);
        return copyText(function, object<DriverSession>(ref).driverSetup, bufferSize, value);
    });
}

ViStatus IviConfig_GetSessionHardwareAssetReference(IviDriverSessionHandle session, IviHardwareAssetHandle *asset) {
    const char *const function = __func__;
    return guarded(function, [&]() -> ViStatus {
        if (asset == nullptr) return nullParameter(function, "asset");
        *asset = 0;
        Ref ref;
        ViStatus status = resolve(function, session, Kind::DriverSession, ref);
        if (status != VI_SUCCESS) return status;
        const DriverSession &found = object<DriverSession>(ref);
        if (!found.hardwareAsset) return VI_SUCCESS;
        return issue(function, ref, Kind::HardwareAsset, &ref.data->hardwareAssets[*found.hardwareAsset], asset);
    });
}

ViStatus IviConfig_GetSessionSoftwareModuleReference(IviDriverSessionHandle session, IviSoftwareModuleHandle *module) {
    const char *const function = __func__;
    return guarded(function, [&]() -> ViStatus {
        if (module == nullptr) return nullParameter(function, "module");
        *module = 0;
        Ref ref;
        ViStatus status = resolve(function, session, Kind::DriverSession, ref);
        if (status != VI_SUCCESS) return status;
        return issue(function, ref, Kind::SoftwareModule,
                     &ref.data->softwareModules[object<DriverSession>(ref).softwareModule], module);
    });
}

ViStatus IviConfig_GetSessionVirtualNameCollection(IviDriverSessionHandle session,
                                                   IviVirtualNameCollectionHandle *collection) {
    const char *const function = __func__;
    return guarded(function, [&]() -> ViStatus {
        if (collection == nullptr) return nullParameter(function, "collection");
        *collection = 0;
        Ref ref;
        ViStatus status = resolve(function, session, Kind::DriverSession, ref);
        if (status != VI_SUCCESS) return status;
        return collectionOf(function, ref, Kind::VirtualNameCollection, object<DriverSession>(ref).virtualNames,
                            collection);
    });
}

ViStatus IviConfig_GetHardwareAssetPropertyViString(IviHardwareAssetHandle asset, ViInt32 propertyId,
                                                    ViInt32 bufferSize, ViChar value[]) {
    const char *const function = __func__;
    return guarded(function, [&]() -> ViStatus {
        Ref ref;
        ViStatus status = resolve(function, asset, Kind::HardwareAsset, ref);
        if (status != VI_SUCCESS) return status;
        if (propertyId != IVICONFIG_VAL_ASSET_IO_RESOURCE_DESCRIPTOR)
            return invalidProperty(function, Kind::HardwareAsset, propertyId);
        return copyText(function, object<HardwareAsset>(ref).resource, bufferSize, value);
    });
}

ViStatus IviConfig_GetConfigStoreSoftwareModuleCollection(IviConfigStoreHandle store,
                                                          IviSoftwareModuleCollectionHandle *collection) {
    const char *const function = __func__;
    return guarded(function, [&]() -> ViStatus {
        if (collection == nullptr) return nullParameter(function, "collection");
        *collection = 0;
        Ref ref;
        ViStatus status = resolveLoadedStore(function, store, ref);
        if (status != VI_SUCCESS) return status;
        return collectionOf(function, ref, Kind::SoftwareModuleCollection, ref.data->softwareModules, collection);
    });
}

ViStatus IviConfig_GetSoftwareModuleItemByName(IviSoftwareModuleCollectionHandle collection, ViConstString name,
                                               IviSoftwareModuleHandle *module) {
    const char *const function = __func__;
    return guarded(function, [&]() -> ViStatus {
        if (module == nullptr) return nullParameter(function, "module");
        *module = 0;
        if (name == nullptr) return nullParameter(function, "name");
        Ref ref;
        ViStatus status = resolve(function, collection, Kind::SoftwareModuleCollection, ref);
        if (status != VI_SUCCESS) return status;
        for (const SoftwareModule &found : object<std::vector<SoftwareModule>>(ref))
            if (found.name == name) return issue(function, ref, Kind::SoftwareModule, &found, module);
        return fail(IVICONFIG_ERROR_ITEM_NOT_FOUND, std::string("No software module \"") + name +
                                                        "\" in the configuration store \"" + ref.data->location +
                                                        "\"");
    });
}

ViStatus IviConfig_GetSoftwareModulePhysicalNameCollection(IviSoftwareModuleHandle module,
                                                           IviPhysicalNameCollectionHandle *collection) {
    const char *const function = __func__;
    return guarded(function, [&]() -> ViStatus {
        if (collection == nullptr) return nullParameter(function, "collection");
        *collection = 0;
        Ref ref;
        ViStatus status = resolve(function, module, Kind::SoftwareModule, ref);
        if (status != VI_SUCCESS) return status;
        return collectionOf(function, ref, Kind::PhysicalNameCollection, object<SoftwareModule>(ref).physicalNames,
                            collection);
    });
}

ViStatus IviConfig_GetConfigComponentDataComponentCollection(IviConfigHandle component,
                                                             IviDataComponentCollectionHandle *collection) {
    const char *const function = __func__;
    return guarded(function, [&]() -> ViStatus {
        if (collection == nullptr) return nullParameter(function, "collection");
        *collection = 0;
        static const Kind kinds[] = {Kind::DriverSession, Kind::SoftwareModule, Kind::HardwareAsset};
        Ref ref;
        std::string why;
        if (!HandleTable::instance().findAny(component, kinds, 3, ref, why))
            return fail(IVICONFIG_ERROR_INVALID_HANDLE, std::string(function) + ": " + why);
        const std::vector<DataComponent> *members = nullptr;
        switch (ref.kind) {
        case Kind::DriverSession: members = &object<DriverSession>(ref).dataComponents; break;
        case Kind::SoftwareModule: members = &object<SoftwareModule>(ref).dataComponents; break;
        default: members = &object<HardwareAsset>(ref).dataComponents; break;
        }
        return collectionOf(function, ref, Kind::DataComponentCollection, *members, collection);
    });
}

ViStatus IviConfig_GetDataComponentCount(IviDataComponentCollectionHandle collection, ViInt32 *count) {
    const char *const function = __func__;
    return guarded(function, [&]() -> ViStatus { return countOf<DataComponent>(function, collection, Kind::DataComponentCollection, count); });
}

ViStatus IviConfig_GetDataComponentItemByIndex(IviDataComponentCollectionHandle collection, ViInt32 index,
                                               IviDataComponentHandle *item) {
    const char *const function = __func__;
    return guarded(function, [&]() -> ViStatus {
        return itemByIndex<DataComponent>(function, collection, Kind::DataComponentCollection, Kind::DataComponent,
                                          index, item);
    });
}

ViStatus IviConfig_GetDataComponentItemByName(IviDataComponentCollectionHandle collection, ViConstString name,
                                              IviDataComponentHandle *item) {
    const char *const function = __func__;
    return guarded(function, [&]() -> ViStatus {
        if (item == nullptr) return nullParameter(function, "item");
        *item = 0;
        if (name == nullptr) return nullParameter(function, "name");
        Ref ref;
        ViStatus status = resolve(function, collection, Kind::DataComponentCollection, ref);
        if (status != VI_SUCCESS) return status;
        for (const DataComponent &found : object<std::vector<DataComponent>>(ref))
            if (found.name == name) return issue(function, ref, Kind::DataComponent, &found, item);
        return fail(IVICONFIG_ERROR_DATA_COMPONENT_NOT_FOUND, std::string("No data component \"") + name +
                                                                  "\" in the collection (configuration store \"" +
                                                                  ref.data->location + "\")");
    });
}

ViStatus IviConfig_GetStructureDataComponentCollection(IviDataComponentHandle structure,
                                                       IviDataComponentCollectionHandle *members) {
    const char *const function = __func__;
    return guarded(function, [&]() -> ViStatus {
        if (members == nullptr) return nullParameter(function, "members");
        *members = 0;
        Ref ref;
        ViStatus status = resolve(function, structure, Kind::DataComponent, ref);
        if (status != VI_SUCCESS) return status;
        const DataComponent &found = object<DataComponent>(ref);
        if (!found.structure)
            return fail(IVICONFIG_ERROR_INVALID_PARAMETER, std::string(function) + ": the data component \"" +
                                                               found.name + "\" is of type " + found.type +
                                                               ", not a Structure");
        return collectionOf(function, ref, Kind::DataComponentCollection, found.members, members);
    });
}

ViStatus IviConfig_GetDataComponentPropertyViString(IviDataComponentHandle item, ViInt32 propertyId,
                                                    ViInt32 bufferSize, ViChar value[]) {
    const char *const function = __func__;
    return guarded(function, [&]() -> ViStatus {
        Ref ref;
        ViStatus status = resolve(function, item, Kind::DataComponent, ref);
        if (status != VI_SUCCESS) return status;
        const DataComponent &found = object<DataComponent>(ref);
        switch (propertyId) {
        case IVICONFIG_VAL_DATA_COMPONENT_NAME: return copyText(function, found.name, bufferSize, value);
        case IVICONFIG_VAL_DATA_COMPONENT_TYPE: return copyText(function, found.type, bufferSize, value);
        case IVICONFIG_VAL_DATA_COMPONENT_VALUE:
            if (found.structure)
                return fail(IVICONFIG_ERROR_INVALID_PROPERTY, std::string(function) + ": the data component \"" +
                                                                  found.name + "\" is a Structure and has no value");
            return copyText(function, found.value, bufferSize, value);
        default: return invalidProperty(function, Kind::DataComponent, propertyId);
        }
    });
}

ViStatus IviConfig_GetDataComponentPropertyViInt32(IviDataComponentHandle item, ViInt32 propertyId, ViInt32 *value) {
    const char *const function = __func__;
    return guarded(function, [&]() -> ViStatus {
        const DataComponent *component = nullptr;
        ViStatus status = resolveValue(function, item, propertyId, value, component);
        if (status != VI_SUCCESS) return status;
        std::optional<ViInt32> converted = parseInt32(component->value);
        if (!converted) return conversionFailure(function, *component, "a 32-bit integer");
        *value = *converted;
        return VI_SUCCESS;
    });
}

ViStatus IviConfig_GetDataComponentPropertyViReal64(IviDataComponentHandle item, ViInt32 propertyId, ViReal64 *value) {
    const char *const function = __func__;
    return guarded(function, [&]() -> ViStatus {
        const DataComponent *component = nullptr;
        ViStatus status = resolveValue(function, item, propertyId, value, component);
        if (status != VI_SUCCESS) return status;
        std::optional<ViReal64> converted = parseReal64(component->value);
        if (!converted) return conversionFailure(function, *component, "a finite real number");
        *value = *converted;
        return VI_SUCCESS;
    });
}

ViStatus IviConfig_GetDataComponentPropertyViBoolean(IviDataComponentHandle item, ViInt32 propertyId,
                                                     ViBoolean *value) {
    const char *const function = __func__;
    return guarded(function, [&]() -> ViStatus {
        const DataComponent *component = nullptr;
        ViStatus status = resolveValue(function, item, propertyId, value, component);
        if (status != VI_SUCCESS) return status;
        std::optional<bool> converted = parseBoolean(component->value);
        if (!converted) return conversionFailure(function, *component, "a boolean (true, false, 1 or 0)");
        *value = *converted ? VI_TRUE : VI_FALSE;
        return VI_SUCCESS;
    });
}

ViStatus IviConfig_GetVirtualNameCount(IviVirtualNameCollectionHandle collection, ViInt32 *count) {
    const char *const function = __func__;
    return guarded(function, [&]() -> ViStatus { return countOf<VirtualName>(function, collection, Kind::VirtualNameCollection, count); });
}

ViStatus IviConfig_GetVirtualNameItemByIndex(IviVirtualNameCollectionHandle collection, ViInt32 index,
                                             IviVirtualNameHandle *item) {
    const char *const function = __func__;
    return guarded(function, [&]() -> ViStatus {
        return itemByIndex<VirtualName>(function, collection, Kind::VirtualNameCollection, Kind::VirtualName, index,
                                        item);
    });
}

ViStatus IviConfig_GetVirtualNamePropertyViString(IviVirtualNameHandle item, ViInt32 propertyId, ViInt32 bufferSize,
                                                  ViChar value[]) {
    const char *const function = __func__;
    return guarded(function, [&]() -> ViStatus {
        Ref ref;
        ViStatus status = resolve(function, item, Kind::VirtualName, ref);
        if (status != VI_SUCCESS) return status;
        const VirtualName &found = object<VirtualName>(ref);
        switch (propertyId) {
        case IVICONFIG_VAL_VIRTUAL_NAME_NAME: return copyText(function, found.name, bufferSize, value);
        case IVICONFIG_VAL_VIRTUAL_NAME_MAP_TO: return copyText(function, found.physicalName, bufferSize, value);
        default: return invalidProperty(function, Kind::VirtualName, propertyId);
        }
    });
}

ViStatus IviConfig_GetVirtualNameVirtualRangeCollection(IviVirtualNameHandle item,
                                                        IviVirtualRangeCollectionHandle *ranges) {
    const char *const function = __func__;
    return guarded(function, [&]() -> ViStatus {
        if (ranges == nullptr) return nullParameter(function, "ranges");
        *ranges = 0;
        Ref ref;
        ViStatus status = resolve(function, item, Kind::VirtualName, ref);
        if (status != VI_SUCCESS) return status;
        return collectionOf(function, ref, Kind::VirtualRangeCollection, object<VirtualName>(ref).ranges, ranges);
    });
}

ViStatus IviConfig_GetVirtualRangeCount(IviVirtualRangeCollectionHandle ranges, ViInt32 *count) {
    const char *const function = __func__;
    return guarded(function, [&]() -> ViStatus { return countOf<VirtualRange>(function, ranges, Kind::VirtualRangeCollection, count); });
}

ViStatus IviConfig_GetVirtualRangeItemByIndex(IviVirtualRangeCollectionHandle ranges, ViInt32 index,
                                              IviVirtualRangeHandle *range) {
    const char *const function = __func__;
    return guarded(function, [&]() -> ViStatus {
        return itemByIndex<VirtualRange>(function, ranges, Kind::VirtualRangeCollection, Kind::VirtualRange, index,
                                         range);
    });
}

ViStatus IviConfig_GetVirtualRangePropertyViInt32(IviVirtualRangeHandle range, ViInt32 propertyId, ViInt32 *value) {
    const char *const function = __func__;
    return guarded(function, [&]() -> ViStatus {
        if (value == nullptr) return nullParameter(function, "value");
        Ref ref;
        ViStatus status = resolve(function, range, Kind::VirtualRange, ref);
        if (status != VI_SUCCESS) return status;
        const VirtualRange &found = object<VirtualRange>(ref);
        switch (propertyId) {
        case IVICONFIG_VAL_VIRTUAL_RANGE_MIN: *value = found.first; return VI_SUCCESS;
        case IVICONFIG_VAL_VIRTUAL_RANGE_MAX: *value = found.last; return VI_SUCCESS;
        case IVICONFIG_VAL_VIRTUAL_RANGE_START: *value = found.start; return VI_SUCCESS;
        default: return invalidProperty(function, Kind::VirtualRange, propertyId);
        }
    });
}

ViStatus IviConfig_GetPhysicalNameCount(IviPhysicalNameCollectionHandle collection, ViInt32 *count) {
    const char *const function = __func__;
    return guarded(function, [&]() -> ViStatus { return countOf<PhysicalName>(function, collection, Kind::PhysicalNameCollection, count); });
}

ViStatus IviConfig_GetPhysicalNameItemByIndex(IviPhysicalNameCollectionHandle collection, ViInt32 index,
                                              IviPhysicalNameHandle *item) {
    const char *const function = __func__;
    return guarded(function, [&]() -> ViStatus {
        return itemByIndex<PhysicalName>(function, collection, Kind::PhysicalNameCollection, Kind::PhysicalName,
                                         index, item);
    });
}

ViStatus IviConfig_GetPhysicalNamePropertyViString(IviPhysicalNameHandle item, ViInt32 propertyId,
                                                   ViInt32 bufferSize, ViChar value[]) {
    const char *const function = __func__;
    return guarded(function, [&]() -> ViStatus {
        Ref ref;
        ViStatus status = resolve(function, item, Kind::PhysicalName, ref);
        if (status != VI_SUCCESS) return status;
        const PhysicalName &found = object<PhysicalName>(ref);
        switch (propertyId) {
        case IVICONFIG_VAL_PHYSICAL_NAME_NAME: return copyText(function, found.name, bufferSize, value);
        case IVICONFIG_VAL_PHYSICAL_NAME_REP_CAP: return copyText(function, found.repCap, bufferSize, value);
        default: return invalidProperty(function, Kind::PhysicalName, propertyId);
        }
    });
}

ViStatus IviConfig_GetOpenHandleCount(ViInt32 *count) {
    const char *const function = __func__;
    return guarded(function, [&]() -> ViStatus {
        if (count == nullptr) return nullParameter(function, "count");
        std::size_t open = HandleTable::instance().openCount();
        *count = open < static_cast<std::size_t>(INT_MAX) ? static_cast<ViInt32>(open) : INT_MAX;
        return VI_SUCCESS;
    });
}

}  // extern "C"
