// The sweep tests: configure and start lines, and the step results and
// pass/fail verdicts read back as the instrument's text (the empty text in
// simulation). The end-step counts are attributes.
#include "Commands.h"
#include "Export.h"

using varnel::QueryText;
using varnel::SendCommand;

VARNEL_API ViStatus Varnel_ConfigureCurrentSweep(ViSession Vi, ViReal64 Param1, ViReal64 Param2, ViReal64 Param3,
                                                 ViReal64 Param4, ViInt32 Param5) {
    return SendCommand(Vi, "SWCSET %0.15lg,%0.15lg,%0.15lg,%0.15lg,%ld\n", Param1, Param2, Param3, Param4, Param5);
}
VARNEL_API ViStatus Varnel_ConfigureCurrentSweepTest(ViSession Vi, ViReal64 Limit1, ViReal64 Limit2) {
    return SendCommand(Vi, "SWCTSET %0.15lg,%0.15lg\n", Limit1, Limit2);
}
VARNEL_API ViStatus Varnel_StartCurrentSweep(ViSession Vi) { return SendCommand(Vi, "SWCSTART\n"); }

VARNEL_API ViStatus Varnel_ConfigurePowerSweep(ViSession Vi, ViReal64 Param1, ViReal64 Param2, ViReal64 Param3,
                                               ViReal64 Param4, ViInt32 Param5) {
    return SendCommand(Vi, "SWPSET %0.15lg,%0.15lg,%0.15lg,%0.15lg,%ld\n", Param1, Param2, Param3, Param4, Param5);
}
VARNEL_API ViStatus Varnel_ConfigurePowerSweepTest(ViSession Vi, ViReal64 Limit1, ViReal64 Limit2) {
    return SendCommand(Vi, "SWPTSET %0.15lg,%0.15lg\n", Limit1, Limit2);
}
VARNEL_API ViStatus Varnel_StartPowerSweep(ViSession Vi) { return SendCommand(Vi, "SWPSTART\n"); }

VARNEL_API ViStatus Varnel_ConfigureConductanceSweep(ViSession Vi, ViReal64 Param1, ViReal64 Param2,
                                                     ViReal64 Param3, ViReal64 Param4, ViInt32 Param5) {
    return SendCommand(Vi, "SWRSET %0.15lg,%0.15lg,%0.15lg,%0.15lg,%ld\n", Param1, Param2, Param3, Param4, Param5);
}
VARNEL_API ViStatus Varnel_ConfigureFineConductanceSweep(ViSession Vi, ViReal64 Param1, ViReal64 Param2) {
    return SendCommand(Vi, "SWRFSET %0.15lg,%0.15lg\n", Param1, Param2);
}
VARNEL_API ViStatus Varnel_StartConductanceSweep(ViSession Vi) { return SendCommand(Vi, "SWRSTART\n"); }

VARNEL_API ViStatus Varnel_GetCurrentSweepStepResult(ViSession Vi, ViInt32 Step, ViInt32 BufferSize, ViChar Val[]) {
    return QueryText(Vi, __func__, BufferSize, Val, "SWCRES %ld\n", Step);
}
VARNEL_API ViStatus Varnel_GetPowerSweepStepResult(ViSession Vi, ViInt32 Step, ViInt32 BufferSize, ViChar Val[]) {
    return QueryText(Vi, __func__, BufferSize, Val, "SWPRES %ld\n", Step);
}
VARNEL_API ViStatus Varnel_GetConductanceSweepStepResult(ViSession Vi, ViInt32 Step, ViInt32 BufferSize,
                                                         ViChar Val[]) {
    return QueryText(Vi, __func__, BufferSize, Val, "SWRRES %ld\n", Step);
}
VARNEL_API ViStatus Varnel_GetCurrentSweepPassFailResult(ViSession Vi, ViInt32 BufferSize, ViChar Val[]) {
    return QueryText(Vi, __func__, BufferSize, Val, "SWCTRES\n");
}
VARNEL_API ViStatus Varnel_GetPowerSweepPassFailResult(ViSession Vi, ViInt32 BufferSize, ViChar Val[]) {
    return QueryText(Vi, __func__, BufferSize, Val, "SWPTRES\n");
}
