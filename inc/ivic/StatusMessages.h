// The driver's status codes and their message texts. Most texts are printf
// formats whose conversions the recording operation fills in.
#pragma once

#include <map>

#include "visatype.h"

namespace kiln {

using StatusMessageMap = std::map<ViStatus, const char*>;

// The process-wide table, complete before any exported function can run and
// never changed afterwards, so it is read without a lock.
const StatusMessageMap& StatusMessageTable();

// The table's text for code, or the empty text when the code has no entry.
const char* LookupStatusMessage(ViStatus code);

}  // namespace kiln
