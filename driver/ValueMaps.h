// The value maps: a setting's defined value (VARNEL_VAL_*, or VI_TRUE and
// VI_FALSE) turned into the command token the instrument understands. The
// entries are data in ValueMaps.def; each map is built on its first use,
// once per process, and only read afterwards.
#pragma once

#include <string>
#include <vector>

#include "Kiln.h"

namespace varnel {

enum class ValueMap {
#define VARNEL_VALUE_MAP(Map) Map,
#include "ValueMaps.def"
};

// Sets *token to the command token of value in map for the session's model
// and returns VI_SUCCESS. A value without a token is recorded on the session
// as IVI_ERROR_CANNOT_RECOVER ("Could not convert defined value '<value>' to
// an instrument command.") and that status returned, with *token the empty
// text. The token lives as long as the process. Called under the session lock.
ViStatus ValueToToken(kiln::DriverSession& session, ValueMap map, ViInt32 value, const char** token);

// The parts of the conversion, open for tests.

struct ValueMapEntry {
    const char* name;  // the defined value's macro name, for reading only
    ViInt32 value;
    std::vector<std::string> tokens;  // the first one is sent
    std::vector<std::string> models;  // models or families; empty: every model
};

// A comma-separated list: split at every comma, each item trimmed of blanks,
// tabs, carriage returns and line feeds; the empty text is the empty list.
std::vector<std::string> SplitList(const char* text);

// The entry for value and the session's model, by three passes in map order:
// an entry naming the model exactly, then one naming a family the model
// belongs to, then one for every model. nullptr when none matches.
const ValueMapEntry* FindValueMapEntry(const std::vector<ValueMapEntry>& entries, ViInt32 value,
                                       const kiln::DriverSession& session);

}  // namespace varnel
