// Turning a status code into its message.
#include <algorithm>
#include <cstring>
#include <string>

#include "Export.h"
#include "Kiln.h"

namespace {
constexpr std::size_t kMessageBufferSize = 256;  // the IVI size of a message buffer
}

VARNEL_API ViStatus Varnel_error_message(ViSession Vi, ViStatus ErrorCode, ViChar ErrorMessage[]) {
    if (ErrorMessage == nullptr) {
        return kiln::ReportError(Vi, IVI_ERROR_NULL_POINTER, "Varnel_error_message", "ErrorMessage");
    }
    const kiln::StatusMessageMap& table = kiln::StatusMessageTable();
    auto it = table.find(ErrorCode);
    if (it != table.end()) {
        const std::size_t length = std::min(std::strlen(it->second), kMessageBufferSize - 1);
        std::memcpy(ErrorMessage, it->second, length);
        ErrorMessage[length] = '\0';
        return VI_SUCCESS;
    }
    if (Vi == VI_NULL) return IVI_ERROR_INVALID_VALUE;
    return kiln::Guarded([&] {
        return kiln::ReportErrorWithElaboration(Vi, IVI_ERROR_INVALID_VALUE,
                                                "The error code supplied is not defined by the driver.",
                                                std::to_string(ErrorCode).c_str(), "error_message", "ErrorCode");
    });
}
