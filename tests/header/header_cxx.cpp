// The public header as C++17: the prototypes must have the types callers
// compile against and C linkage, and the status codes must be ViStatus. Only
// decltype looks at the functions, so nothing of the driver is linked.
#include "Varnel.h"

#include <cstdio>
#include <type_traits>

extern "C" int varnel_header_c_failures(void);

// A declaration with C linkage conflicts with one of C++ linkage: these two
// compile only when the header's extern "C" block spans the first and the last
// function.
extern "C" ViStatus _VI_FUNC Varnel_init(ViRsrc, ViBoolean, ViBoolean, ViSession*);
extern "C" ViStatus _VI_FUNC Varnel_GetPowerSweepPassFailResult(ViSession, ViInt32, ViChar[]);

#define EXPECT_SIGNATURE(function, ...)                                              \
    static_assert(std::is_same<decltype(&function), ViStatus (*)(__VA_ARGS__)>::value, \
                  #function " has another signature")

EXPECT_SIGNATURE(Varnel_init, ViRsrc, ViBoolean, ViBoolean, ViSession*);
EXPECT_SIGNATURE(Varnel_InitWithOptions, ViRsrc, ViBoolean, ViBoolean, ViConstString, ViSession*);
EXPECT_SIGNATURE(Varnel_close, ViSession);
EXPECT_SIGNATURE(Varnel_LockSession, ViSession, ViBoolean*);
EXPECT_SIGNATURE(Varnel_GetError, ViSession, ViStatus*, ViInt32, ViChar*);
EXPECT_SIGNATURE(Varnel_GetAttributeViBoolean, ViSession, ViConstString, ViAttr, ViBoolean*);
EXPECT_SIGNATURE(Varnel_GetAttributeViString, ViSession, ViConstString, ViAttr, ViInt32, ViChar*);
EXPECT_SIGNATURE(Varnel_SetAttributeViString, ViSession, ViConstString, ViAttr, ViConstString);
EXPECT_SIGNATURE(Varnel_SetAttributeViSession, ViSession, ViConstString, ViAttr, ViSession);
EXPECT_SIGNATURE(Varnel_GetNextCoercionRecord, ViSession, ViInt32, ViChar*);
EXPECT_SIGNATURE(Varnel_error_message, ViSession, ViStatus, ViChar*);
EXPECT_SIGNATURE(Varnel_error_query, ViSession, ViInt32*, ViChar*);
EXPECT_SIGNATURE(Varnel_self_test, ViSession, ViInt16*, ViChar*);
EXPECT_SIGNATURE(Varnel_revision_query, ViSession, ViChar*, ViChar*);
EXPECT_SIGNATURE(Varnel_viRead, ViSession, ViInt64, ViByte*, ViInt64*);
EXPECT_SIGNATURE(Varnel_viWrite, ViSession, ViInt64, ViConstBuf, ViInt64*);
EXPECT_SIGNATURE(Varnel_SetConstantCurrent, ViSession, ViReal64);
EXPECT_SIGNATURE(Varnel_SetCurrentRange, ViSession, ViInt32);
EXPECT_SIGNATURE(Varnel_SetLoadEnabled, ViSession, ViBoolean);
EXPECT_SIGNATURE(Varnel_SetTimeDynamicModeStep11Load, ViSession, ViReal64);
EXPECT_SIGNATURE(Varnel_ConfigureSequence, ViSession, ViInt32, ViInt32, ViInt32, ViInt32);
EXPECT_SIGNATURE(Varnel_SetSequenceLoadData, ViSession, ViInt32, ViReal64, ViReal64);
EXPECT_SIGNATURE(Varnel_GetHostname, ViSession, ViInt32, ViChar*);
EXPECT_SIGNATURE(Varnel_MeasureVoltage, ViSession, ViReal64*);
EXPECT_SIGNATURE(Varnel_MeasureCurrentAtRange, ViSession, ViInt32, ViReal64*);
EXPECT_SIGNATURE(Varnel_ConfigureCurrentSweep, ViSession, ViReal64, ViReal64, ViReal64, ViReal64, ViInt32);
EXPECT_SIGNATURE(Varnel_GetCurrentSweepEndStepCount, ViSession, ViInt32*);
EXPECT_SIGNATURE(Varnel_GetCurrentSweepStepResult, ViSession, ViInt32, ViInt32, ViChar*);
EXPECT_SIGNATURE(Varnel_GetPowerSweepPassFailResult, ViSession, ViInt32, ViChar*);

static_assert(std::is_same<decltype(IVI_ERROR_NULL_POINTER), ViStatus>::value, "status codes are ViStatus");
static_assert(std::is_same<decltype(VARNEL_ERROR_IO_GENERAL), ViStatus>::value, "status codes are ViStatus");
static_assert(VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP11_LOAD == 1150042, "step 11 takes the block of 1150042");
static_assert(VARNEL_ATTR_POWER_LIMIT_PROTECTION_ENABLED == 1150091, "last specific attribute");
static_assert(VARNEL_VAL_MODE_SWITCHING_DISABLED == 0, "switching disabled is 0");
static_assert(IVI_ERROR_NULL_POINTER == static_cast<ViStatus>(0xBFFA0058), "null pointer code");

int main()
{
    const int failures = varnel_header_c_failures();
    if (failures != 0) {
        std::printf("public header: %d wrong values\n", failures);
        return 1;
    }
    return 0;
}
