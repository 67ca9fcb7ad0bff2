/* IVI session component: session handles with one data pointer, one
   recursive lock and one error slot each, plus a per-thread last error. */
#ifndef VARNEL_PLATFORM_IVISESSION_H
#define VARNEL_PLATFORM_IVISESSION_H

#include "visatype.h"

#ifdef __cplusplus
extern "C" {
#endif

#ifndef IVI_ERROR_INVALID_SESSION_HANDLE
#define IVI_ERROR_INVALID_SESSION_HANDLE ((ViStatus)0xBFFA1190)
#endif
/* Unlock of a lock the calling thread does not hold. */
#define IVISESSION_ERROR_LOCK_NOT_HELD ((ViStatus)0xBFFA1191)
/* A negative buffer size, or a null buffer with a positive size. */
#define IVISESSION_ERROR_INVALID_PARAMETER ((ViStatus)0xBFFA1192)
/* Allocation failed, or no handle is free. */
#define IVISESSION_ERROR_OUT_OF_RESOURCES ((ViStatus)0xBFFA1193)

/* Issues a new non-zero handle with a null data pointer into *vi. */
ViStatus IviSession_New(ViSession *vi);
/* Releases the handle; later calls with it fail. The calling thread's hold
   of the session lock ends with it, and threads waiting for the lock wake
   and are refused. */
ViStatus IviSession_Dispose(ViSession vi);
/* Gives back the data pointer stored with the handle. */
ViStatus IviSession_GetDataPtr(ViSession vi, void **dataPtr);
/* Stores one data pointer with the handle. */
ViStatus IviSession_SetDataPtr(ViSession vi, void *dataPtr);
/* Takes the session lock (recursive on one thread). With a flag pointer the
   lock is taken only when the flag is VI_FALSE, and the flag is then set. */
ViStatus IviSession_Lock(ViSession vi, ViBoolean *callerHasLock);
/* Releases one level of the lock. With a flag pointer it releases only when
   the flag is VI_TRUE, and the flag is then cleared. */
ViStatus IviSession_Unlock(ViSession vi, ViBoolean *callerHasLock);
/* Stores code and text on the handle and as the thread's last error.
   VI_NULL stores only the thread's last error. */
ViStatus IviSession_SetError(ViSession vi, ViStatus code, ViConstString description);
/* Reads the stored error (VI_NULL: the thread's last error). Size 0 returns
   the size needed; a positive size copies (truncated when short), returns 0
   when the text fit or the size needed, and clears the error read. */
ViStatus IviSession_GetError(ViSession vi, ViInt32 bufferSize, ViStatus *code, ViChar description[]);
/* Forgets the stored error (VI_NULL: the thread's last error). */
ViStatus IviSession_ClearError(ViSession vi);

#ifdef __cplusplus
}
#endif

#endif
