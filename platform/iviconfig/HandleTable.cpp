#include "HandleTable.hpp"

#include <cstdio>

namespace iviconfig {

namespace {

std::string hex(IviConfigHandle handle) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(handle));
    return text;
}

}  // namespace

const char *kindName(Kind kind) {
    switch (kind) {
    case Kind::Store: return "configuration store";
    case Kind::DriverSession: return "driver session";
    case Kind::HardwareAsset: return "hardware asset";
    case Kind::SoftwareModule: return "software module";
    case Kind::DataComponent: return "data component";
    case Kind::VirtualName: return "virtual name";
    case Kind::VirtualRange: return "virtual range";
    case Kind::PhysicalName: return "physical name";
    case Kind::SoftwareModuleCollection: return "software module collection";
    case Kind::DataComponentCollection: return "data component collection";
    case Kind::VirtualNameCollection: return "virtual name collection";
    case Kind::VirtualRangeCollection: return "virtual range collection";
    case Kind::PhysicalNameCollection: return "physical name collection";
    }
    return "unknown";
}

HandleTable &HandleTable::instance() {
    // Never destroyed, so that calls made while the process exits still find
    // a table.
    static HandleTable *table = new HandleTable;
    return *table;
}

IviConfigHandle HandleTable::nextId() {
    // Counting up from the last one given out: a disposed handle is not
    // given out again until the 32-bit count wraps.
    do {
        ++last_;
    } while (last_ == 0 || entries_.count(last_) != 0);
    return last_;
}

IviConfigHandle HandleTable::openStore() {
    std::lock_guard<std::mutex> lock(mutex_);
    IviConfigHandle id = nextId();
    Entry &entry = entries_[id];
    entry.ref.kind = Kind::Store;
    entry.ref.store = id;
    return id;
}

bool HandleTable::lookup(IviConfigHandle handle, const Kind *expected, std::size_t count, Ref &ref,
                         std::string &why) const {
    auto found = entries_.find(handle);
    if (found == entries_.end()) {
        why = handle == 0 ? "The handle is 0 (VI_NULL)"
                          : "The handle " + hex(handle) + " is not open (never given out, disposed or closed)";
        return false;
    }
    for (std::size_t i = 0; i < count; ++i)
        if (found->second.ref.kind == expected[i]) {
            ref = found->second.ref;
            return true;
        }
    why = "The handle " + hex(handle) + " is a " + kindName(found->second.ref.kind) + " handle, not a ";
    for (std::size_t i = 0; i < count; ++i)
        why += std::string(i == 0 ? "" : i + 1 == count ? " or " : ", ") + kindName(expected[i]);
    why += " handle";
    return false;
}

bool HandleTable::find(IviConfigHandle handle, Kind expected, Ref &ref, std::string &why) const {
    return findAny(handle, &expected, 1, ref, why);
}

bool HandleTable::findAny(IviConfigHandle handle, const Kind *expected, std::size_t count, Ref &ref,
                          std::string &why) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return lookup(handle, expected, count, ref, why);
}

IviConfigHandle HandleTable::issue(const Ref &parent, Kind kind, const void *object) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto store = entries_.find(parent.store);
    if (store == entries_.end() || store->second.ref.data != parent.data) return 0;
    IviConfigHandle id = nextId();
    store->second.children.insert(id);
    try {
        Entry &entry = entries_[id];
        entry.ref = Ref{kind, parent.store, parent.data, object};
    } catch (...) {
        store->second.children.erase(id);
        throw;
    }
    return id;
}

bool HandleTable::setStoreData(IviConfigHandle store, std::shared_ptr<const StoreData> data, ViStatus &status,
                               std::string &why) {
    std::lock_guard<std::mutex> lock(mutex_);
    Kind kind = Kind::Store;
    Ref ref;
    if (!lookup(store, &kind, 1, ref, why)) {
        status = IVICONFIG_ERROR_INVALID_HANDLE;
        return false;
    }
    Entry &entry = entries_[store];
    if (entry.ref.data) {
        status = IVICONFIG_ERROR_ALREADY_DESERIALIZED;
        why = "The configuration store " + hex(store) + " already holds \"" + entry.ref.data->location + "\"";
        return false;
    }
    entry.ref.data = std::move(data);
    return true;
}

void HandleTable::releaseStore(std::unordered_map<IviConfigHandle, Entry>::iterator store) {
    for (IviConfigHandle child : store->second.children) entries_.erase(child);
    entries_.erase(store);
}

bool HandleTable::dispose(IviConfigHandle handle, std::string &why) {
    // Holds the store data until the lock is released, so that the last
    // reference, if it is this one, is freed outside the lock.
    std::shared_ptr<const StoreData> keep;
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = entries_.find(handle);
    if (found == entries_.end()) {
        Ref ignored;
        lookup(handle, nullptr, 0, ignored, why);
        return false;
    }
    keep = found->second.ref.data;
    if (found->second.ref.kind == Kind::Store) {
        releaseStore(found);
        return true;
    }
    auto store = entries_.find(found->second.ref.store);
    if (store != entries_.end()) store->second.children.erase(handle);
    entries_.erase(found);
    return true;
}

bool HandleTable::closeStore(IviConfigHandle store, std::string &why) {
    std::shared_ptr<const StoreData> keep;
    std::lock_guard<std::mutex> lock(mutex_);
    Kind kind = Kind::Store;
    Ref ref;
    if (!lookup(store, &kind, 1, ref, why)) return false;
    auto found = entries_.find(store);
    keep = found->second.ref.data;
    releaseStore(found);
    return true;
}

std::size_t HandleTable::openCount() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return entries_.size();
}

}  // namespace iviconfig
