// The attribute cache of a session and the scoped cache managers that fill
// it. The cache is a record of the last value written to or read from each
// driver-specific attribute: nothing is answered from it and no write is
// skipped because of it.
#pragma once

#include <map>
#include <string>
#include <string_view>

#include "visatype.h"

namespace kiln {

template <class T>
struct CacheEntry {
    bool valid = false;
    T value{};
};

// Keyed by attribute identifier, then by repeated-capability name (always
// the empty name in this driver).
template <class T>
using CacheMap = std::map<ViAttr, std::map<std::string, CacheEntry<T>, std::less<>>>;

struct AttributeCache {
    CacheMap<ViInt32> integers;
    CacheMap<ViReal64> reals;
    CacheMap<ViBoolean> booleans;
    CacheMap<ViSession> sessions;
    CacheMap<std::string> strings;
    CacheMap<ViInt64> wide;  // no attribute of this driver fills it

    void Clear() {
        integers.clear();
        reals.clear();
        booleans.clear();
        sessions.clear();
        strings.clear();
        wide.clear();
    }
    template <class T>
    CacheMap<T>& MapOf();
    // The entry of (identifier, empty name), inserted not yet valid when absent.
    template <class T>
    CacheEntry<T>& EntryOf(ViAttr id) {
        auto& byName = MapOf<T>()[id];
        auto found = byName.find(std::string_view());
        if (found != byName.end()) return found->second;
        return byName.emplace(std::string(), CacheEntry<T>()).first->second;
    }
};

template <>
inline CacheMap<ViInt32>& AttributeCache::MapOf<ViInt32>() { return integers; }
template <>
inline CacheMap<ViReal64>& AttributeCache::MapOf<ViReal64>() { return reals; }
template <>
inline CacheMap<ViBoolean>& AttributeCache::MapOf<ViBoolean>() { return booleans; }
template <>
inline CacheMap<ViSession>& AttributeCache::MapOf<ViSession>() { return sessions; }
template <>
inline CacheMap<std::string>& AttributeCache::MapOf<std::string>() { return strings; }

}  // namespace kiln
