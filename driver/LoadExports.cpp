// The load's one-shot commands: short circuit, dynamic-mode start and abort,
// load sequences, and the LAN and alarm resets. Each sends one line (nothing
// in simulation); the driver keeps no state about what they start.
#include "Commands.h"
#include "Export.h"

using varnel::SendCommand;

VARNEL_API ViStatus Varnel_SetShortCircuit(ViSession Vi) { return SendCommand(Vi, "CS\n"); }

VARNEL_API ViStatus Varnel_StartDynamicMode(ViSession Vi) { return SendCommand(Vi, "CD 1\n"); }
VARNEL_API ViStatus Varnel_StartDynamicModeSingle(ViSession Vi) { return SendCommand(Vi, "CD 2\n"); }
VARNEL_API ViStatus Varnel_StartDynamicFrequencyMode(ViSession Vi) { return SendCommand(Vi, "CD 3\n"); }
VARNEL_API ViStatus Varnel_AbortDynamicMode(ViSession Vi) { return SendCommand(Vi, "CD 0\n"); }

VARNEL_API ViStatus Varnel_InitializeSequence(ViSession Vi) { return SendCommand(Vi, "SQI\n"); }
VARNEL_API ViStatus Varnel_ConfigureSequence(ViSession Vi, ViInt32 Param1, ViInt32 Param2, ViInt32 Param3,
                                             ViInt32 Param4) {
    return SendCommand(Vi, "SQU %ld,%ld,%ld,%ld\n", Param1, Param2, Param3, Param4);
}
VARNEL_API ViStatus Varnel_SetSequenceLoadData(ViSession Vi, ViInt32 Step, ViReal64 Param1, ViReal64 Param2) {
    return SendCommand(Vi, "SQD %ld,%0.15lg,%0.15lg\n", Step, Param1, Param2);
}
VARNEL_API ViStatus Varnel_StartSequence(ViSession Vi) { return SendCommand(Vi, "SQC 1\n"); }
VARNEL_API ViStatus Varnel_StopSequence(ViSession Vi) { return SendCommand(Vi, "SQC 0\n"); }

VARNEL_API ViStatus Varnel_ResetLan(ViSession Vi) { return SendCommand(Vi, "SYST:COMM:LAN:RES\n"); }
VARNEL_API ViStatus Varnel_RestoreFactorySettings(ViSession Vi) { return SendCommand(Vi, "DIAG:COMM:LAN:FAC\n"); }
VARNEL_API ViStatus Varnel_ResetAlarm(ViSession Vi) { return SendCommand(Vi, "AC\n"); }
