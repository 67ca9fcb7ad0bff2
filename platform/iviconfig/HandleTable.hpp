// Process-wide table of the handles given out by the configuration calls.
// Each handle names one object of a store's data and keeps that data alive;
// a store handle also knows every handle opened under it, so that closing it
// releases them all. One short-held lock guards the table; the store data
// itself is immutable and is read without it.
#ifndef VARNEL_IVICONFIG_HANDLETABLE_HPP
#define VARNEL_IVICONFIG_HANDLETABLE_HPP

#include "IviConfig.h"
#include "StoreModel.hpp"

#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <unordered_set>

namespace iviconfig {

enum class Kind {
    Store,
    DriverSession,
    HardwareAsset,
    SoftwareModule,
    DataComponent,
    VirtualName,
    VirtualRange,
    PhysicalName,
    SoftwareModuleCollection,
    DataComponentCollection,
    VirtualNameCollection,
    VirtualRangeCollection,
    PhysicalNameCollection,
};

const char *kindName(Kind kind);

// What a handle names: its kind, its store, the store data (null for a store
// not yet deserialized) and the object within that data.
struct Ref {
    Kind kind = Kind::Store;
    IviConfigHandle store = 0;
    std::shared_ptr<const StoreData> data;
    const void *object = nullptr;
};

class HandleTable {
public:
    static HandleTable &instance();

    IviConfigHandle openStore();

    // The handle's Ref when it is open and of kind expected; otherwise false
    // and a text saying why.
    bool find(IviConfigHandle handle, Kind expected, Ref &ref, std::string &why) const;
    // The same, accepting any of the count kinds at expected.
    bool findAny(IviConfigHandle handle, const Kind *expected, std::size_t count, Ref &ref, std::string &why) const;

    // A new handle for object, under the store of parent; 0 when that store
    // has been closed in the meantime.
    IviConfigHandle issue(const Ref &parent, Kind kind, const void *object);

    // Gives data to a store that has none yet. False (and why) when the store
    // is gone or already holds data.
    bool setStoreData(IviConfigHandle store, std::shared_ptr<const StoreData> data, ViStatus &status,
                      std::string &why);

    // Releases one handle; a store handle with everything under it.
    bool dispose(IviConfigHandle handle, std::string &why);
    bool closeStore(IviConfigHandle store, std::string &why);

    std::size_t openCount() const;

private:
    struct Entry {
        Ref ref;
        std::unordered_set<IviConfigHandle> children;  // of a store only
    };

    IviConfigHandle nextId();  // caller holds mutex_
    bool lookup(IviConfigHandle handle, const Kind *expected, std::size_t count, Ref &ref, std::string &why) const;
    void releaseStore(std::unordered_map<IviConfigHandle, Entry>::iterator store);

    mutable std::mutex mutex_;
    std::unordered_map<IviConfigHandle, Entry> entries_;
    IviConfigHandle last_ = 0;
};

}  // namespace iviconfig

#endif
