// Every exported function once on a simulated session and once on the fake
// instrument (which answers every query "1"), each with the status it must
// return; Varnel_close last. Varnel_init has no option string, so on the
// simulated session's resource name it tries VISA and fails.
#include <string>
#include <vector>

#include "DriverTestSupport.h"
#include "FakeInstrument.h"

namespace varnel::test {
namespace {

// Any completion of a direct read: success, a VISA completion code, or the
// time-out when the fake had nothing left to send.
constexpr ViStatus kAnyCompletion = 1;

struct ExportCall {
    const char* function;
    std::function<ViStatus(ViSession)> call;
    ViStatus simulated;
    ViStatus live;
};

void CallEveryExport(ViSession vi, const std::string& resource, const char* options, bool live) {
    ViInt32 i32 = 0;
    ViInt16 i16 = 0;
    ViReal64 r64 = 0;
    ViBoolean b = 0;
    ViBoolean held = VI_FALSE;
    ViSession s = 0;
    ViStatus code = 0;
    ViInt64 count = 0;
    char text[256] = {};
    // clang-format off
    const std::vector<ExportCall> calls = {
        {"Varnel_init", [&](ViSession) { ViSession s = 0; ViStatus st = Varnel_init(const_cast<ViRsrc>(resource.c_str()), VI_FALSE, VI_FALSE, &s); if (st >= 0) Varnel_close(s); return st; }, VI_ERROR_INV_RSRC_NAME, VI_SUCCESS},
        {"Varnel_InitWithOptions", [&](ViSession) { ViSession s = 0; ViStatus st = Varnel_InitWithOptions(const_cast<ViRsrc>(resource.c_str()), VI_FALSE, VI_FALSE, options, &s); if (st >= 0) Varnel_close(s); return st; }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_LockSession", [&](ViSession vi) { return Varnel_LockSession(vi, &held); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_UnlockSession", [&](ViSession vi) { return Varnel_UnlockSession(vi, &held); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_GetError", [&](ViSession vi) { return Varnel_GetError(vi, &code, static_cast<ViInt32>(sizeof text), text); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_ClearError", [&](ViSession vi) { return Varnel_ClearError(vi); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_GetAttributeViInt32", [&](ViSession vi) { return Varnel_GetAttributeViInt32(vi, nullptr, VARNEL_ATTR_SPECIFIC_DRIVER_CLASS_SPEC_MAJOR_VERSION, &i32); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_GetAttributeViReal64", [&](ViSession vi) { return Varnel_GetAttributeViReal64(vi, nullptr, VARNEL_ATTR_CONSTANT_CURRENT, &r64); }, IVI_ERROR_IVI_ATTR_NOT_READABLE, IVI_ERROR_IVI_ATTR_NOT_READABLE},
        {"Varnel_GetAttributeViBoolean", [&](ViSession vi) { return Varnel_GetAttributeViBoolean(vi, nullptr, VARNEL_ATTR_CACHE, &b); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_GetAttributeViSession", [&](ViSession vi) { return Varnel_GetAttributeViSession(vi, nullptr, VARNEL_ATTR_SYSTEM_IO_SESSION, &s); }, VARNEL_ERROR_IO_GENERAL, VI_SUCCESS},
        {"Varnel_GetAttributeViString", [&](ViSession vi) { return Varnel_GetAttributeViString(vi, nullptr, VARNEL_ATTR_DRIVER_SETUP, sizeof text, text); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetAttributeViInt32", [&](ViSession vi) { return Varnel_SetAttributeViInt32(vi, nullptr, VARNEL_ATTR_CURRENT_RANGE, VARNEL_VAL_CURRENT_RANGE_HIGH); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetAttributeViReal64", [&](ViSession vi) { return Varnel_SetAttributeViReal64(vi, nullptr, VARNEL_ATTR_CONSTANT_CURRENT, 1.5); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetAttributeViBoolean", [&](ViSession vi) { return Varnel_SetAttributeViBoolean(vi, nullptr, VARNEL_ATTR_LOAD_ENABLED, VI_TRUE); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetAttributeViSession", [&](ViSession vi) { return Varnel_SetAttributeViSession(vi, nullptr, VARNEL_ATTR_SYSTEM_IO_SESSION, 1); }, IVI_ERROR_IVI_ATTR_NOT_WRITABLE, IVI_ERROR_IVI_ATTR_NOT_WRITABLE},
        {"Varnel_SetAttributeViString", [&](ViSession vi) { return Varnel_SetAttributeViString(vi, nullptr, VARNEL_ATTR_DRIVER_SETUP, "x"); }, IVI_ERROR_IVI_ATTR_NOT_WRITABLE, IVI_ERROR_IVI_ATTR_NOT_WRITABLE},
        {"Varnel_InvalidateAllAttributes", [&](ViSession vi) { return Varnel_InvalidateAllAttributes(vi); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_GetNextCoercionRecord", [&](ViSession vi) { return Varnel_GetNextCoercionRecord(vi, static_cast<ViInt32>(sizeof text), text); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_GetNextInterchangeWarning", [&](ViSession vi) { return Varnel_GetNextInterchangeWarning(vi, static_cast<ViInt32>(sizeof text), text); }, IVI_ERROR_FUNCTION_NOT_SUPPORTED, IVI_ERROR_FUNCTION_NOT_SUPPORTED},
        {"Varnel_ClearInterchangeWarnings", [&](ViSession vi) { return Varnel_ClearInterchangeWarnings(vi); }, IVI_ERROR_FUNCTION_NOT_SUPPORTED, IVI_ERROR_FUNCTION_NOT_SUPPORTED},
        {"Varnel_ResetInterchangeCheck", [&](ViSession vi) { return Varnel_ResetInterchangeCheck(vi); }, IVI_ERROR_FUNCTION_NOT_SUPPORTED, IVI_ERROR_FUNCTION_NOT_SUPPORTED},
        {"Varnel_error_message", [&](ViSession vi) { return Varnel_error_message(vi, 0, text); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_error_query", [&](ViSession vi) { return Varnel_error_query(vi, &i32, text); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SystemClear", [&](ViSession vi) { return Varnel_SystemClear(vi); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_GetQuestionableConditionRegister", [&](ViSession vi) { return Varnel_GetQuestionableConditionRegister(vi, &i32); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_reset", [&](ViSession vi) { return Varnel_reset(vi); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_ResetWithDefaults", [&](ViSession vi) { return Varnel_ResetWithDefaults(vi); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SystemInitialize", [&](ViSession vi) { return Varnel_SystemInitialize(vi); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_Disable", [&](ViSession vi) { return Varnel_Disable(vi); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_self_test", [&](ViSession vi) { return Varnel_self_test(vi, &i16, text); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_revision_query", [&](ViSession vi) { return Varnel_revision_query(vi, text, text); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_viRead", [&](ViSession vi) { return Varnel_viRead(vi, sizeof text, reinterpret_cast<ViByte*>(text), &count); }, VARNEL_ERROR_IO_GENERAL, kAnyCompletion},
        {"Varnel_viWrite", [&](ViSession vi) { return Varnel_viWrite(vi, 3, reinterpret_cast<ViConstBuf>("CL\n"), &count); }, VARNEL_ERROR_IO_GENERAL, VI_SUCCESS},
        {"Varnel_SetConstantCurrent", [&](ViSession vi) { return Varnel_SetConstantCurrent(vi, 1.5); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetConstantPower", [&](ViSession vi) { return Varnel_SetConstantPower(vi, 1.5); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetConstantResistance", [&](ViSession vi) { return Varnel_SetConstantResistance(vi, 1.5); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetConstantVoltage", [&](ViSession vi) { return Varnel_SetConstantVoltage(vi, 1.5); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetCurrentAt10v", [&](ViSession vi) { return Varnel_SetCurrentAt10v(vi, 1.5); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetCurrentLimit", [&](ViSession vi) { return Varnel_SetCurrentLimit(vi, 1.5); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetCurrentRange", [&](ViSession vi) { return Varnel_SetCurrentRange(vi, 1); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetLoadEnabled", [&](ViSession vi) { return Varnel_SetLoadEnabled(vi, VI_TRUE); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetResponseTime", [&](ViSession vi) { return Varnel_SetResponseTime(vi, 1.5); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetConstantCurrentSlewRate", [&](ViSession vi) { return Varnel_SetConstantCurrentSlewRate(vi, 1.5); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetConstantCurrentVoltageRange", [&](ViSession vi) { return Varnel_SetConstantCurrentVoltageRange(vi, 1); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetLoadSwitchingMode", [&](ViSession vi) { return Varnel_SetLoadSwitchingMode(vi, 1); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetLoadSwitchingPreconditionVoltage", [&](ViSession vi) { return Varnel_SetLoadSwitchingPreconditionVoltage(vi, 1.5); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetMeasurementDisplayPosition", [&](ViSession vi) { return Varnel_SetMeasurementDisplayPosition(vi, 1); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetMeasurementMode", [&](ViSession vi) { return Varnel_SetMeasurementMode(vi, 1); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetSampleRate", [&](ViSession vi) { return Varnel_SetSampleRate(vi, 1); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetMeasurementAveraging", [&](ViSession vi) { return Varnel_SetMeasurementAveraging(vi, 1); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetNoiseBandLimit", [&](ViSession vi) { return Varnel_SetNoiseBandLimit(vi, 1); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetNoiseFilter", [&](ViSession vi) { return Varnel_SetNoiseFilter(vi, 1); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetNoiseRatio", [&](ViSession vi) { return Varnel_SetNoiseRatio(vi, 1.5); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetMasterSlaveMode", [&](ViSession vi) { return Varnel_SetMasterSlaveMode(vi, 1); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetUserDefinedOutputEnabled", [&](ViSession vi) { return Varnel_SetUserDefinedOutputEnabled(vi, VI_TRUE); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetCurrentLimitProtectionEnabled", [&](ViSession vi) { return Varnel_SetCurrentLimitProtectionEnabled(vi, VI_TRUE); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetPowerLimitProtectionEnabled", [&](ViSession vi) { return Varnel_SetPowerLimitProtectionEnabled(vi, VI_TRUE); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetShortCircuit", [&](ViSession vi) { return Varnel_SetShortCircuit(vi); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetFrequencyDynamicModePeriod", [&](ViSession vi) { return Varnel_SetFrequencyDynamicModePeriod(vi, 1.5); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetFrequencyDynamicModeDutyCycle", [&](ViSession vi) { return Varnel_SetFrequencyDynamicModeDutyCycle(vi, 1.5); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetFrequencyDynamicModeStep1Load", [&](ViSession vi) { return Varnel_SetFrequencyDynamicModeStep1Load(vi, 1.5); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetFrequencyDynamicModeStep1SlewRate", [&](ViSession vi) { return Varnel_SetFrequencyDynamicModeStep1SlewRate(vi, 1.5); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetFrequencyDynamicModeStep2Load", [&](ViSession vi) { return Varnel_SetFrequencyDynamicModeStep2Load(vi, 1.5); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetFrequencyDynamicModeStep2SlewRate", [&](ViSession vi) { return Varnel_SetFrequencyDynamicModeStep2SlewRate(vi, 1.5); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetTimeDynamicModeStep1Load", [&](ViSession vi) { return Varnel_SetTimeDynamicModeStep1Load(vi, 1.5); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetTimeDynamicModeStep1Dwell", [&](ViSession vi) { return Varnel_SetTimeDynamicModeStep1Dwell(vi, 1.5); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetTimeDynamicModeStep1SlewRate", [&](ViSession vi) { return Varnel_SetTimeDynamicModeStep1SlewRate(vi, 1.5); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetTimeDynamicModeStep2Load", [&](ViSession vi) { return Varnel_SetTimeDynamicModeStep2Load(vi, 1.5); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetTimeDynamicModeStep2Dwell", [&](ViSession vi) { return Varnel_SetTimeDynamicModeStep2Dwell(vi, 1.5); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetTimeDynamicModeStep2SlewRate", [&](ViSession vi) { return Varnel_SetTimeDynamicModeStep2SlewRate(vi, 1.5); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetTimeDynamicModeStep3Load", [&](ViSession vi) { return Varnel_SetTimeDynamicModeStep3Load(vi, 1.5); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetTimeDynamicModeStep3Dwell", [&](ViSession vi) { return Varnel_SetTimeDynamicModeStep3Dwell(vi, 1.5); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetTimeDynamicModeStep3SlewRate", [&](ViSession vi) { return Varnel_SetTimeDynamicModeStep3SlewRate(vi, 1.5); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetTimeDynamicModeStep4Load", [&](ViSession vi) { return Varnel_SetTimeDynamicModeStep4Load(vi, 1.5); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetTimeDynamicModeStep4Dwell", [&](ViSession vi) { return Varnel_SetTimeDynamicModeStep4Dwell(vi, 1.5); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetTimeDynamicModeStep4SlewRate", [&](ViSession vi) { return Varnel_SetTimeDynamicModeStep4SlewRate(vi, 1.5); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetTimeDynamicModeStep5Load", [&](ViSession vi) { return Varnel_SetTimeDynamicModeStep5Load(vi, 1.5); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetTimeDynamicModeStep5Dwell", [&](ViSession vi) { return Varnel_SetTimeDynamicModeStep5Dwell(vi, 1.5); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetTimeDynamicModeStep5SlewRate", [&](ViSession vi) { return Varnel_SetTimeDynamicModeStep5SlewRate(vi, 1.5); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetTimeDynamicModeStep6Load", [&](ViSession vi) { return Varnel_SetTimeDynamicModeStep6Load(vi, 1.5); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetTimeDynamicModeStep6Dwell", [&](ViSession vi) { return Varnel_SetTimeDynamicModeStep6Dwell(vi, 1.5); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetTimeDynamicModeStep6SlewRate", [&](ViSession vi) { return Varnel_SetTimeDynamicModeStep6SlewRate(vi, 1.5); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetTimeDynamicModeStep7Load", [&](ViSession vi) { return Varnel_SetTimeDynamicModeStep7Load(vi, 1.5); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetTimeDynamicModeStep7Dwell", [&](ViSession vi) { return Varnel_SetTimeDynamicModeStep7Dwell(vi, 1.5); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetTimeDynamicModeStep7SlewRate", [&](ViSession vi) { return Varnel_SetTimeDynamicModeStep7SlewRate(vi, 1.5); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetTimeDynamicModeStep8Load", [&](ViSession vi) { return Varnel_SetTimeDynamicModeStep8Load(vi, 1.5); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetTimeDynamicModeStep8Dwell", [&](ViSession vi) { return Varnel_SetTimeDynamicModeStep8Dwell(vi, 1.5); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetTimeDynamicModeStep8SlewRate", [&](ViSession vi) { return Varnel_SetTimeDynamicModeStep8SlewRate(vi, 1.5); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetTimeDynamicModeStep9Load", [&](ViSession vi) { return Varnel_SetTimeDynamicModeStep9Load(vi, 1.5); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetTimeDynamicModeStep9Dwell", [&](ViSession vi) { return Varnel_SetTimeDynamicModeStep9Dwell(vi, 1.5); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetTimeDynamicModeStep9SlewRate", [&](ViSession vi) { return Varnel_SetTimeDynamicModeStep9SlewRate(vi, 1.5); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetTimeDynamicModeStep10Load", [&](ViSession vi) { return Varnel_SetTimeDynamicModeStep10Load(vi, 1.5); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetTimeDynamicModeStep10Dwell", [&](ViSession vi) { return Varnel_SetTimeDynamicModeStep10Dwell(vi, 1.5); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetTimeDynamicModeStep10SlewRate", [&](ViSession vi) { return Varnel_SetTimeDynamicModeStep10SlewRate(vi, 1.5); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetTimeDynamicModeStep11Load", [&](ViSession vi) { return Varnel_SetTimeDynamicModeStep11Load(vi, 1.5); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetTimeDynamicModeStep11Dwell", [&](ViSession vi) { return Varnel_SetTimeDynamicModeStep11Dwell(vi, 1.5); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetTimeDynamicModeStep11SlewRate", [&](ViSession vi) { return Varnel_SetTimeDynamicModeStep11SlewRate(vi, 1.5); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetTimeDynamicModeStep12Load", [&](ViSession vi) { return Varnel_SetTimeDynamicModeStep12Load(vi, 1.5); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetTimeDynamicModeStep12Dwell", [&](ViSession vi) { return Varnel_SetTimeDynamicModeStep12Dwell(vi, 1.5); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetTimeDynamicModeStep12SlewRate", [&](ViSession vi) { return Varnel_SetTimeDynamicModeStep12SlewRate(vi, 1.5); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetTimeDynamicModeStep13Load", [&](ViSession vi) { return Varnel_SetTimeDynamicModeStep13Load(vi, 1.5); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetTimeDynamicModeStep13Dwell", [&](ViSession vi) { return Varnel_SetTimeDynamicModeStep13Dwell(vi, 1.5); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetTimeDynamicModeStep13SlewRate", [&](ViSession vi) { return Varnel_SetTimeDynamicModeStep13SlewRate(vi, 1.5); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetTimeDynamicModeStep14Load", [&](ViSession vi) { return Varnel_SetTimeDynamicModeStep14Load(vi, 1.5); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetTimeDynamicModeStep14Dwell", [&](ViSession vi) { return Varnel_SetTimeDynamicModeStep14Dwell(vi, 1.5); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetTimeDynamicModeStep14SlewRate", [&](ViSession vi) { return Varnel_SetTimeDynamicModeStep14SlewRate(vi, 1.5); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetTimeDynamicModeStep15Load", [&](ViSession vi) { return Varnel_SetTimeDynamicModeStep15Load(vi, 1.5); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetTimeDynamicModeStep15Dwell", [&](ViSession vi) { return Varnel_SetTimeDynamicModeStep15Dwell(vi, 1.5); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetTimeDynamicModeStep15SlewRate", [&](ViSession vi) { return Varnel_SetTimeDynamicModeStep15SlewRate(vi, 1.5); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetTimeDynamicModeStep16Load", [&](ViSession vi) { return Varnel_SetTimeDynamicModeStep16Load(vi, 1.5); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetTimeDynamicModeStep16Dwell", [&](ViSession vi) { return Varnel_SetTimeDynamicModeStep16Dwell(vi, 1.5); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetTimeDynamicModeStep16SlewRate", [&](ViSession vi) { return Varnel_SetTimeDynamicModeStep16SlewRate(vi, 1.5); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_StartDynamicMode", [&](ViSession vi) { return Varnel_StartDynamicMode(vi); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_StartDynamicModeSingle", [&](ViSession vi) { return Varnel_StartDynamicModeSingle(vi); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_StartDynamicFrequencyMode", [&](ViSession vi) { return Varnel_StartDynamicFrequencyMode(vi); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_AbortDynamicMode", [&](ViSession vi) { return Varnel_AbortDynamicMode(vi); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_InitializeSequence", [&](ViSession vi) { return Varnel_InitializeSequence(vi); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_ConfigureSequence", [&](ViSession vi) { return Varnel_ConfigureSequence(vi, 1, 1, 1, 1); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetSequenceLoadData", [&](ViSession vi) { return Varnel_SetSequenceLoadData(vi, 1, 1.5, 1.5); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_StartSequence", [&](ViSession vi) { return Varnel_StartSequence(vi); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_StopSequence", [&](ViSession vi) { return Varnel_StopSequence(vi); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_GetFirmwareVersion", [&](ViSession vi) { return Varnel_GetFirmwareVersion(vi, static_cast<ViInt32>(sizeof text), text); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_GetSerialNumber", [&](ViSession vi) { return Varnel_GetSerialNumber(vi, static_cast<ViInt32>(sizeof text), text); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_GetIpAddress", [&](ViSession vi) { return Varnel_GetIpAddress(vi, static_cast<ViInt32>(sizeof text), text); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_GetMacAddress", [&](ViSession vi) { return Varnel_GetMacAddress(vi, static_cast<ViInt32>(sizeof text), text); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_GetHostname", [&](ViSession vi) { return Varnel_GetHostname(vi, static_cast<ViInt32>(sizeof text), text); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_SetLxiIdentifyEnabled", [&](ViSession vi) { return Varnel_SetLxiIdentifyEnabled(vi, VI_TRUE); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_ResetLan", [&](ViSession vi) { return Varnel_ResetLan(vi); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_RestoreFactorySettings", [&](ViSession vi) { return Varnel_RestoreFactorySettings(vi); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_ResetAlarm", [&](ViSession vi) { return Varnel_ResetAlarm(vi); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_MeasureVoltage", [&](ViSession vi) { return Varnel_MeasureVoltage(vi, &r64); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_MeasureDCVoltage", [&](ViSession vi) { return Varnel_MeasureDCVoltage(vi, 1, &r64); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_MeasureCurrent", [&](ViSession vi) { return Varnel_MeasureCurrent(vi, &r64); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_MeasureCurrentAtRange", [&](ViSession vi) { return Varnel_MeasureCurrentAtRange(vi, 1, &r64); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_MeasurePower", [&](ViSession vi) { return Varnel_MeasurePower(vi, &r64); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_MeasureNoiseVoltage", [&](ViSession vi) { return Varnel_MeasureNoiseVoltage(vi, 1, &r64); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_MeasureRippleVoltage", [&](ViSession vi) { return Varnel_MeasureRippleVoltage(vi, 1, &r64); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_MeasureNoisePower", [&](ViSession vi) { return Varnel_MeasureNoisePower(vi, &r64); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_MeasureSimplifiedCurrent", [&](ViSession vi) { return Varnel_MeasureSimplifiedCurrent(vi, 1, &r64); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_MeasureSimplifiedPower", [&](ViSession vi) { return Varnel_MeasureSimplifiedPower(vi, &r64); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_ConfigureCurrentSweep", [&](ViSession vi) { return Varnel_ConfigureCurrentSweep(vi, 1.5, 1.5, 1.5, 1.5, 1); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_ConfigureCurrentSweepTest", [&](ViSession vi) { return Varnel_ConfigureCurrentSweepTest(vi, 1.5, 1.5); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_StartCurrentSweep", [&](ViSession vi) { return Varnel_StartCurrentSweep(vi); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_ConfigurePowerSweep", [&](ViSession vi) { return Varnel_ConfigurePowerSweep(vi, 1.5, 1.5, 1.5, 1.5, 1); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_ConfigurePowerSweepTest", [&](ViSession vi) { return Varnel_ConfigurePowerSweepTest(vi, 1.5, 1.5); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_StartPowerSweep", [&](ViSession vi) { return Varnel_StartPowerSweep(vi); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_ConfigureConductanceSweep", [&](ViSession vi) { return Varnel_ConfigureConductanceSweep(vi, 1.5, 1.5, 1.5, 1.5, 1); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_ConfigureFineConductanceSweep", [&](ViSession vi) { return Varnel_ConfigureFineConductanceSweep(vi, 1.5, 1.5); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_StartConductanceSweep", [&](ViSession vi) { return Varnel_StartConductanceSweep(vi); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_GetCurrentSweepEndStepCount", [&](ViSession vi) { return Varnel_GetCurrentSweepEndStepCount(vi, &i32); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_GetPowerSweepEndStepCount", [&](ViSession vi) { return Varnel_GetPowerSweepEndStepCount(vi, &i32); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_GetConductanceSweepEndStepCount", [&](ViSession vi) { return Varnel_GetConductanceSweepEndStepCount(vi, &i32); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_GetCurrentSweepStepResult", [&](ViSession vi) { return Varnel_GetCurrentSweepStepResult(vi, 1, static_cast<ViInt32>(sizeof text), text); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_GetPowerSweepStepResult", [&](ViSession vi) { return Varnel_GetPowerSweepStepResult(vi, 1, static_cast<ViInt32>(sizeof text), text); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_GetConductanceSweepStepResult", [&](ViSession vi) { return Varnel_GetConductanceSweepStepResult(vi, 1, static_cast<ViInt32>(sizeof text), text); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_GetCurrentSweepPassFailResult", [&](ViSession vi) { return Varnel_GetCurrentSweepPassFailResult(vi, static_cast<ViInt32>(sizeof text), text); }, VI_SUCCESS, VI_SUCCESS},
        {"Varnel_GetPowerSweepPassFailResult", [&](ViSession vi) { return Varnel_GetPowerSweepPassFailResult(vi, static_cast<ViInt32>(sizeof text), text); }, VI_SUCCESS, VI_SUCCESS},
    };
    // clang-format on
    ASSERT_EQ(157u, calls.size());
    for (const ExportCall& c : calls) {
        const ViStatus status = c.call(vi);
        const ViStatus expected = live ? c.live : c.simulated;
        if (expected == kAnyCompletion) {
            EXPECT_TRUE(status >= 0 || status == VI_ERROR_TMO) << c.function << ": " << status;
        } else {
            EXPECT_EQ(expected, status) << c.function << (live ? " live" : " simulated");
        }
    }
    EXPECT_EQ(VI_SUCCESS, Varnel_close(vi)) << "Varnel_close";
}

TEST(EveryExport, SimulatedAndLive) {
    TempStore store;
    ViSession sim = 0;
    ASSERT_EQ(VI_SUCCESS, Varnel_InitWithOptions(const_cast<ViRsrc>("Sim"), VI_FALSE, VI_FALSE, "Simulate=1", &sim));
    CallEveryExport(sim, "Sim", "Simulate=1", false);

    FakeInstrument instrument;
    instrument.setDefault({"1\n"});
    instrument.reply("*IDN?", "QVX M2 LOAD 1.05\n");
    ViSession live = 0;
    ASSERT_EQ(VI_SUCCESS, Varnel_InitWithOptions(const_cast<ViRsrc>(instrument.resource().c_str()), VI_FALSE,
                                                 VI_FALSE, "", &live));
    ASSERT_EQ(VI_SUCCESS, Varnel_SetAttributeViInt32(live, nullptr, VARNEL_ATTR_SYSTEM_IO_TIMEOUT, 300));
    CallEveryExport(live, instrument.resource(), "", true);
}

}  // namespace
}  // namespace varnel::test
