// Recording an error against a session: the code's message from the status
// table, two spaces and the elaboration when there is one, used as a printf
// format with the caller's arguments, cut at 1023 characters, and stored with
// IviSession_SetError. The result is the code, or SetError's own negative
// status when storing fails.
#pragma once

#include <cstdarg>
#include <cstddef>

#include "visatype.h"

namespace kiln {

constexpr std::size_t kErrorDescriptionSize = 1024;  // 1023 characters and the terminator

ViStatus ReportErrorV(ViSession vi, ViStatus code, const char* elaboration, va_list args);

// The code's message is the format; no elaboration.
ViStatus ReportError(ViSession vi, ViStatus code, ...);

// The elaboration is appended to the message before formatting. Text that
// comes from a caller or an instrument must be an argument, never part of
// the elaboration.
ViStatus ReportErrorWithElaboration(ViSession vi, ViStatus code, const char* elaboration, ...);

}  // namespace kiln
