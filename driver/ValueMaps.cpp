#include "ValueMaps.h"

#include <cstddef>

#include "Varnel.h"

namespace varnel {
namespace {

struct Row {
    ValueMap map;
    const char* name;
    ViInt32 value;
    const char* tokens;
    const char* models;
};

constexpr Row kRows[] = {
#define VARNEL_VALUE_MAP_ENTRY(Map, Value, Tokens, Models) {ValueMap::Map, #Value, Value, Tokens, Models},
#include "ValueMaps.def"
};

using Entries = std::vector<ValueMapEntry>;

Entries Build(ValueMap map) {
    Entries entries;
    for (const Row& row : kRows) {
        if (row.map == map) entries.push_back({row.name, row.value, SplitList(row.tokens), SplitList(row.models)});
    }
    return entries;
}

// One function-local static per map: built on the map's first use, once,
// also when threads race to it.
template <ValueMap M>
const Entries& MapEntries() {
    static const Entries entries = Build(M);
    return entries;
}

using MapAccess = const Entries& (*)();
constexpr MapAccess kMaps[] = {
#define VARNEL_VALUE_MAP(Map) &MapEntries<ValueMap::Map>,
#include "ValueMaps.def"
};

}  // namespace

std::vector<std::string> SplitList(const char* text) {
    std::vector<std::string> items;
    const std::string list = text != nullptr ? text : "";
    if (list.empty()) return items;
    const char* const blanks = " \t\r\n";
    std::size_t start = 0;
    for (;;) {
        std::size_t comma = list.find(',', start);
        const std::string item = list.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        const std::size_t first = item.find_first_not_of(blanks);
        items.push_back(first == std::string::npos ? std::string()
                                                   : item.substr(first, item.find_last_not_of(blanks) - first + 1));
        if (comma == std::string::npos) return items;
        start = comma + 1;
    }
}

const ValueMapEntry* FindValueMapEntry(const Entries& entries, ViInt32 value, const kiln::DriverSession& session) {
    const std::string& model = session.GetInstrumentModel();
    for (const ValueMapEntry& entry : entries) {
        if (entry.value != value) continue;
        for (const std::string& name : entry.models) {
            if (name == model) return &entry;
        }
    }
    for (const ValueMapEntry& entry : entries) {
        if (entry.value != value) continue;
        for (const std::string& name : entry.models) {
            if (session.ModelBelongsToFamily(model, name)) return &entry;
        }
    }
    for (const ValueMapEntry& entry : entries) {
        if (entry.value == value && entry.models.empty()) return &entry;
    }
    return nullptr;
}

ViStatus ValueToToken(kiln::DriverSession& session, ValueMap map, ViInt32 value, const char** token) {
    *token = "";
    const auto index = static_cast<std::size_t>(map);
    const ValueMapEntry* entry =
        index < sizeof kMaps / sizeof kMaps[0] ? FindValueMapEntry(kMaps[index](), value, session) : nullptr;
    if (entry == nullptr || entry->tokens.empty()) {
        return session.ReportErrorWithElaboration(IVI_ERROR_CANNOT_RECOVER,
                                                  "Could not convert defined value '%d' to an instrument command.",
                                                  static_cast<int>(value));
    }
    *token = entry->tokens.front().c_str();
    return VI_SUCCESS;
}

}  // namespace varnel
