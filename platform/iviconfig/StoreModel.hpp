// In-memory form of a configuration store file. A StoreData is built once by
// loadStore and never changed afterwards, so any number of threads may read it
// while handles into it are alive.
#ifndef VARNEL_IVICONFIG_STOREMODEL_HPP
#define VARNEL_IVICONFIG_STOREMODEL_HPP

#include "visatype.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace iviconfig {

struct DataComponent {
    std::string name;
    std::string type;   // as written in the file
    std::string value;  // as written; converted by the typed getters
    bool structure = false;
    std::vector<DataComponent> members;  // only for a Structure
};

struct PhysicalName {
    std::string name;
    std::string repCap;
};

struct SoftwareModule {
    std::string name;
    std::vector<PhysicalName> physicalNames;
    std::vector<DataComponent> dataComponents;
};

struct HardwareAsset {
    std::string name;
    std::string resource;
    std::vector<DataComponent> dataComponents;
};

struct VirtualRange {
    ViInt32 first = 0;
    ViInt32 last = 0;
    ViInt32 start = 0;
};

struct VirtualName {
    std::string name;
    std::string physicalName;
    std::vector<VirtualRange> ranges;
};

// The six inherent option flags of a driver session, in property order
// (IVICONFIG_VAL_SESSION_CACHE .. IVICONFIG_VAL_SESSION_SIMULATE).
enum SessionFlag { Cache, InterchangeCheck, QueryInstrStatus, RangeCheck, RecordCoercions, Simulate, FlagCount };

struct DriverSession {
    std::string name;
    std::size_t softwareModule = 0;            // index into StoreData::softwareModules
    std::optional<std::size_t> hardwareAsset;  // index into StoreData::hardwareAssets
    bool flags[FlagCount] = {true, false, false, true, false, false};
    std::string driverSetup;
    std::vector<VirtualName> virtualNames;
    std::vector<DataComponent> dataComponents;
};

struct LogicalName {
    std::string name;
    std::size_t driverSession = 0;  // index into StoreData::driverSessions
};

struct StoreData {
    std::string location;
    std::vector<SoftwareModule> softwareModules;
    std::vector<HardwareAsset> hardwareAssets;
    std::vector<DriverSession> driverSessions;
    std::vector<LogicalName> logicalNames;

    // Driver session by its own name or through a logical name; null if neither.
    const DriverSession *findSession(const std::string &name) const;
};

// Result of reading a store: the data, or a status and a text naming the file
// and the reason.
struct LoadResult {
    std::optional<StoreData> data;
    ViStatus status = 0;
    std::string error;
};

// Reads and checks the store file at location. When location is the master
// location and no file is there, gives the built-in default store.
LoadResult loadStore(const std::string &location, const std::string &masterLocation);

// Parses the XML text of a store (location is used in texts only).
LoadResult parseStore(const std::string &location, const std::string &text);

// Conversions of the texts of a store. Leading and trailing blanks are allowed.
// Booleans: true/false in any case, 1/0. Integers: decimal, 32-bit.
// Reals: decimal or exponent notation, finite, independent of the C locale.
std::optional<bool> parseBoolean(const std::string &text);
std::optional<ViInt32> parseInt32(const std::string &text);
std::optional<ViReal64> parseReal64(const std::string &text);

}  // namespace iviconfig

#endif
