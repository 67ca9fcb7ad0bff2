/* VISA scalar types, as the VISA standard (VPP-4.3) defines them. */
#ifndef VARNEL_PLATFORM_VISATYPE_H
#define VARNEL_PLATFORM_VISATYPE_H
#ifndef __VISATYPE_HEADER__
#define __VISATYPE_HEADER__

#include <stdarg.h>

#define _VI_FAR
#define _VI_FUNC
#define _VI_FUNCC
#define _VI_FUNCH
#define _VI_SIGNED signed
#define _VI_ERROR (-2147483647L - 1)
#define _VI_PTR *

#if defined(__LP64__) || defined(_WIN64)
#define _VISA_ENV_IS_64_BIT
#endif
#define _VI_INT64_UINT64_DEFINED

typedef unsigned long long ViUInt64;
typedef _VI_SIGNED long long ViInt64;
typedef ViUInt64 *ViPUInt64;
typedef ViInt64 *ViPInt64;

/* 32-bit integers are int on every target this library builds for. */
typedef unsigned int ViUInt32;
typedef _VI_SIGNED int ViInt32;
typedef ViUInt32 *ViPUInt32;
typedef ViInt32 *ViPInt32;
typedef ViUInt32 *ViAUInt32;
typedef ViInt32 *ViAInt32;

typedef unsigned short ViUInt16;
typedef _VI_SIGNED short ViInt16;
typedef ViUInt16 *ViPUInt16;
typedef ViInt16 *ViPInt16;
typedef ViUInt16 *ViAUInt16;
typedef ViInt16 *ViAInt16;

typedef unsigned char ViUInt8;
typedef _VI_SIGNED char ViInt8;
typedef ViUInt8 *ViPUInt8;
typedef ViInt8 *ViPInt8;

typedef char ViChar;
typedef ViChar *ViPChar;
typedef ViChar *ViAChar;
typedef unsigned char ViByte;
typedef ViByte *ViPByte;
typedef ViByte *ViAByte;
typedef void *ViAddr;
typedef ViAddr *ViPAddr;

typedef float ViReal32;
typedef double ViReal64;
typedef ViReal32 *ViPReal32;
typedef ViReal64 *ViPReal64;
typedef ViReal64 *ViAReal64;

typedef ViPByte ViBuf;
typedef const ViByte *ViConstBuf;
typedef ViPByte ViPBuf;
typedef ViPByte *ViABuf;

typedef ViPChar ViString;
typedef const ViChar *ViConstString;
typedef ViString ViRsrc;
typedef ViConstString ViConstRsrc;
typedef ViString ViKeyId;
typedef ViPChar ViPKeyId;
typedef ViString *ViAString;
typedef ViRsrc *ViARsrc;

typedef ViUInt16 ViBoolean;
typedef ViBoolean *ViPBoolean;
typedef ViBoolean *ViABoolean;

typedef ViInt32 ViStatus;
typedef ViStatus *ViPStatus;
typedef ViStatus *ViAStatus;

typedef ViUInt32 ViVersion;
typedef ViVersion *ViPVersion;
typedef ViUInt32 ViObject;
typedef ViObject *ViPObject;
typedef ViObject ViSession;
typedef ViSession *ViPSession;
typedef ViSession *ViASession;
typedef ViUInt32 ViAttr;
typedef const ViChar *ViConstKeyId;

#define VI_NULL 0
#define VI_TRUE ((ViBoolean)1)
#define VI_FALSE ((ViBoolean)0)
#define VI_SUCCESS 0L

#endif
#endif
