#include "Status.h"

namespace varnel::visa {

namespace {

#define VARNEL_STATUS(code, text) {code, #code, text}

// Every code of visa.h: the ones this library returns (all of them are in
// docs/visa.md) and the other standard ones, with the standard texts. Two
// texts say what the code means in this library.
const StatusInfo kStatuses[] = {
    VARNEL_STATUS(VI_SUCCESS, "Operation completed successfully."),
    VARNEL_STATUS(VI_SUCCESS_EVENT_EN, "Specified event is already enabled for at least one of the specified mechanisms."),
    VARNEL_STATUS(VI_SUCCESS_EVENT_DIS, "Specified event is already disabled for at least one of the specified mechanisms."),
    VARNEL_STATUS(VI_SUCCESS_QUEUE_EMPTY, "Operation completed successfully, but queue was already empty."),
    VARNEL_STATUS(VI_SUCCESS_TERM_CHAR, "The specified termination character was read."),
    VARNEL_STATUS(VI_SUCCESS_MAX_CNT, "The number of bytes read is equal to the input count."),
    VARNEL_STATUS(VI_WARN_QUEUE_OVERFLOW, "The event returned is valid. One or more events that occurred have not been raised because there was no room available on the queue."),
    VARNEL_STATUS(VI_WARN_CONFIG_NLOADED, "The specified configuration either does not exist or could not be loaded; using VISA-specified defaults."),
    VARNEL_STATUS(VI_SUCCESS_DEV_NPRESENT, "Session opened successfully, but the device at the specified address is not responding."),
    VARNEL_STATUS(VI_WARN_NULL_OBJECT, "The specified object reference is uninitialized."),
    VARNEL_STATUS(VI_WARN_NSUP_ATTR_STATE, "Although the specified state of the attribute is valid, it is not supported by this resource implementation."),
    VARNEL_STATUS(VI_WARN_UNKNOWN_STATUS, "The status code passed to the operation could not be interpreted."),
    VARNEL_STATUS(VI_WARN_NSUP_BUF, "The specified buffer is not supported."),
    VARNEL_STATUS(VI_ERROR_SYSTEM_ERROR, "Unknown system error (miscellaneous error)."),
    VARNEL_STATUS(VI_ERROR_INV_OBJECT, "The given session or object reference is invalid."),
    VARNEL_STATUS(VI_ERROR_RSRC_LOCKED, "Specified type of lock cannot be obtained, or specified operation cannot be performed, because the resource is locked."),
    VARNEL_STATUS(VI_ERROR_INV_EXPR, "Invalid expression specified for search."),
    VARNEL_STATUS(VI_ERROR_RSRC_NFOUND, "Insufficient location information or the requested device or resource is not present in the system."),
    VARNEL_STATUS(VI_ERROR_INV_RSRC_NAME, "Invalid resource reference specified. Parsing error."),
    VARNEL_STATUS(VI_ERROR_INV_ACC_MODE, "Invalid access mode."),
    VARNEL_STATUS(VI_ERROR_TMO, "Timeout expired before operation completed."),
    VARNEL_STATUS(VI_ERROR_CLOSING_FAILED, "The VISA driver failed to properly close the session or object reference."),
    VARNEL_STATUS(VI_ERROR_NSUP_ATTR, "The specified attribute is not defined or supported by the referenced session, event, or find list."),
    VARNEL_STATUS(VI_ERROR_NSUP_ATTR_STATE, "The specified state of the attribute is not valid, or is not supported as defined by the session, event, or find list."),
    VARNEL_STATUS(VI_ERROR_ATTR_READONLY, "The specified attribute is read-only."),
    VARNEL_STATUS(VI_ERROR_ABORT, "User abort occurred during transfer (here: the session was closed while the operation was in progress)."),
    VARNEL_STATUS(VI_ERROR_INV_SETUP, "Unable to start operation because setup is invalid (due to attributes being set to an inconsistent state)."),
    VARNEL_STATUS(VI_ERROR_ALLOC, "Insufficient system resources to perform necessary memory allocation."),
    VARNEL_STATUS(VI_ERROR_IO, "Could not perform operation because of I/O error (here: the input did not match the read format)."),
    VARNEL_STATUS(VI_ERROR_INV_FMT, "A format specifier in the format string is invalid."),
    VARNEL_STATUS(VI_ERROR_NSUP_FMT, "A format specifier in the format string is not supported."),
    VARNEL_STATUS(VI_ERROR_NSUP_OPER, "The given session or object reference does not support this operation."),
    VARNEL_STATUS(VI_ERROR_USER_BUF, "A specified user buffer is not valid or cannot be accessed for the required size."),
    VARNEL_STATUS(VI_ERROR_RSRC_BUSY, "The resource is valid, but VISA cannot currently access it."),
    VARNEL_STATUS(VI_ERROR_INV_PARAMETER, "The value of some parameter (which parameter is not known) is invalid."),
    VARNEL_STATUS(VI_ERROR_INV_SIZE, "Invalid size of window specified."),
    VARNEL_STATUS(VI_ERROR_NIMPL_OPER, "The given operation is not implemented."),
    VARNEL_STATUS(VI_ERROR_INV_LENGTH, "Invalid length specified."),
    VARNEL_STATUS(VI_ERROR_LIBRARY_NFOUND, "A code library required by VISA could not be located or loaded."),
    VARNEL_STATUS(VI_ERROR_CONN_LOST, "The connection for the given session has been lost."),
    VARNEL_STATUS(VI_ERROR_MACHINE_NAVAIL, "The remote machine does not exist or is not accepting any connections."),
};

#undef VARNEL_STATUS

}  // namespace

const StatusInfo* FindStatus(ViStatus status) {
    for (const StatusInfo& s : kStatuses)
        if (s.code == status) return &s;
    return nullptr;
}

}  // namespace varnel::visa
