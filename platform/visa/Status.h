// Names and descriptions of VISA status codes.
#ifndef VARNEL_VISA_STATUS_H
#define VARNEL_VISA_STATUS_H

#include "visa.h"

namespace varnel::visa {

struct StatusInfo {
    ViStatus code;
    const char* name;
    const char* text;
};

// The entry of a status code, or nullptr for a code the library does not know.
const StatusInfo* FindStatus(ViStatus status);

}  // namespace varnel::visa

#endif
