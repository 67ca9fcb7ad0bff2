#include "ErrorReporting.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "IviSession.h"
#include "StatusMessages.h"

namespace kiln {

ViStatus ReportErrorV(ViSession vi, ViStatus code, const char* elaboration, va_list args) {
    std::string format = LookupStatusMessage(code);
    if (elaboration != nullptr && *elaboration != '\0') {
        format += "  ";
        format += elaboration;
    }
    char description[kErrorDescriptionSize];
    if (std::vsnprintf(description, sizeof description, format.c_str(), args) < 0) description[0] = '\0';
    const ViStatus stored = IviSession_SetError(vi, code, description);
    return stored < 0 ? stored : code;
}

ViStatus ReportError(ViSession vi, ViStatus code, ...) {
    va_list args;
    va_start(args, code);
    const ViStatus status = ReportErrorV(vi, code, nullptr, args);
    va_end(args);
    return status;
}

ViStatus ReportErrorWithElaboration(ViSession vi, ViStatus code, const char* elaboration, ...) {
    va_list args;
    va_start(args, elaboration);
    const ViStatus status = ReportErrorV(vi, code, elaboration, args);
    va_end(args);
    return status;
}

}  // namespace kiln
