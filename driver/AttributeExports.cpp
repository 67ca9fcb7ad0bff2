// The attribute exports: the ten generic get and set functions, the cache,
// coercion-record and interchange functions, and the named getters and
// setters that are one line onto the typed get and set.
#include <cstring>
#include <deque>
#include <string>

#include "Export.h"
#include "Kiln.h"
#include "VarnelDriverSession.h"

// --- Generic access ---------------------------------------------------------

VARNEL_API ViStatus Varnel_GetAttributeViInt32(ViSession Vi, ViConstString RepCapIdentifier, ViAttr AttributeID,
                                               ViInt32* AttributeValue) {
    return kiln::GetAttribute(Vi, RepCapIdentifier, AttributeID, AttributeValue, "Varnel_GetAttributeViInt32");
}
VARNEL_API ViStatus Varnel_GetAttributeViReal64(ViSession Vi, ViConstString RepCapIdentifier, ViAttr AttributeID,
                                                ViReal64* AttributeValue) {
    return kiln::GetAttribute(Vi, RepCapIdentifier, AttributeID, AttributeValue, "Varnel_GetAttributeViReal64");
}
VARNEL_API ViStatus Varnel_GetAttributeViBoolean(ViSession Vi, ViConstString RepCapIdentifier, ViAttr AttributeID,
                                                 ViBoolean* AttributeValue) {
    return kiln::GetAttribute(Vi, RepCapIdentifier, AttributeID, AttributeValue, "Varnel_GetAttributeViBoolean");
}
VARNEL_API ViStatus Varnel_GetAttributeViSession(ViSession Vi, ViConstString RepCapIdentifier, ViAttr AttributeID,
                                                 ViSession* AttributeValue) {
    return kiln::GetAttribute(Vi, RepCapIdentifier, AttributeID, AttributeValue, "Varnel_GetAttributeViSession");
}
VARNEL_API ViStatus Varnel_GetAttributeViString(ViSession Vi, ViConstString RepCapIdentifier, ViAttr AttributeID,
                                                ViInt32 AttributeValueBufferSize, ViChar AttributeValue[]) {
    return kiln::GetAttributeString(Vi, RepCapIdentifier, AttributeID, AttributeValueBufferSize, AttributeValue);
}
VARNEL_API ViStatus Varnel_SetAttributeViInt32(ViSession Vi, ViConstString RepCapIdentifier, ViAttr AttributeID,
                                               ViInt32 AttributeValue) {
    return kiln::SetAttribute(Vi, RepCapIdentifier, AttributeID, AttributeValue);
}
VARNEL_API ViStatus Varnel_SetAttributeViReal64(ViSession Vi, ViConstString RepCapIdentifier, ViAttr AttributeID,
                                                ViReal64 AttributeValue) {
    return kiln::SetAttribute(Vi, RepCapIdentifier, AttributeID, AttributeValue);
}
VARNEL_API ViStatus Varnel_SetAttributeViBoolean(ViSession Vi, ViConstString RepCapIdentifier, ViAttr AttributeID,
                                                 ViBoolean AttributeValue) {
    return kiln::SetAttribute(Vi, RepCapIdentifier, AttributeID, AttributeValue);
}
VARNEL_API ViStatus Varnel_SetAttributeViSession(ViSession Vi, ViConstString RepCapIdentifier, ViAttr AttributeID,
                                                 ViSession AttributeValue) {
    return kiln::SetAttribute(Vi, RepCapIdentifier, AttributeID, AttributeValue);
}
VARNEL_API ViStatus Varnel_SetAttributeViString(ViSession Vi, ViConstString RepCapIdentifier, ViAttr AttributeID,
                                                ViConstString AttributeValue) {
    return kiln::SetAttributeString(Vi, RepCapIdentifier, AttributeID, AttributeValue);
}

// --- Cache, coercion records, interchange checking --------------------------

VARNEL_API ViStatus Varnel_InvalidateAllAttributes(ViSession Vi) {
    return kiln::CallFrame<kiln::DriverSession>(Vi, [](kiln::DriverSession& session) {
        return session.InvalidateAllAttributes();
    });
}

VARNEL_API ViStatus Varnel_GetNextCoercionRecord(ViSession Vi, ViInt32 BufferSize, ViChar CoercionRecord[]) {
    return kiln::CallFrame<kiln::DriverSession>(Vi, [&](kiln::DriverSession& session) -> ViStatus {
        if (CoercionRecord == nullptr && BufferSize != 0) {
            return session.ReportError(IVI_ERROR_NULL_POINTER, "GetNextCoercionRecord", "CoercionRecord");
        }
        std::deque<std::string>& records = session.GetCoercionRecords();
        const std::string record = records.empty() ? std::string() : records.front();
        const auto needed = static_cast<ViInt32>(record.size() + 1);
        if (BufferSize == 0) return needed;
        if (BufferSize < 0) {
            std::memcpy(CoercionRecord, record.c_str(), record.size() + 1);
        } else {
            kiln::CopyTruncated(record.data(), record.size(), BufferSize, CoercionRecord);
        }
        if (!records.empty()) records.pop_front();
        return (BufferSize > 0 && BufferSize < needed) ? needed : VI_SUCCESS;
    });
}

namespace {

// The interchange functions: the driver does not check interchangeability.
ViStatus InterchangeNotSupported(ViSession vi, const char* function) {
    return kiln::CallFrame<kiln::DriverSession>(vi, [&](kiln::DriverSession& session) {
        return session.ReportError(IVI_ERROR_FUNCTION_NOT_SUPPORTED, function);
    });
}

}  // namespace

VARNEL_API ViStatus Varnel_GetNextInterchangeWarning(ViSession Vi, ViInt32, ViChar[]) {
    return InterchangeNotSupported(Vi, "GetNextInterchangeWarning");
}
VARNEL_API ViStatus Varnel_ClearInterchangeWarnings(ViSession Vi) {
    return InterchangeNotSupported(Vi, "ClearInterchangeWarnings");
}
VARNEL_API ViStatus Varnel_ResetInterchangeCheck(ViSession Vi) {
    return InterchangeNotSupported(Vi, "ResetInterchangeCheck");
}

// --- Named getters: the generic get of one attribute -------------------------

namespace {

// The null check names the generic getter, before the session is looked up.
ViStatus GetInt32(ViSession vi, ViAttr id, ViInt32* value) {
    return kiln::GetAttribute(vi, nullptr, id, value, "Varnel_GetAttributeViInt32");
}

}  // namespace

VARNEL_API ViStatus Varnel_GetQuestionableConditionRegister(ViSession Vi, ViInt32* Val) {
    return GetInt32(Vi, VARNEL_ATTR_QUESTIONABLE_CONDITION_REGISTER, Val);
}
VARNEL_API ViStatus Varnel_GetCurrentSweepEndStepCount(ViSession Vi, ViInt32* Val) {
    return GetInt32(Vi, VARNEL_ATTR_CURRENT_SWEEP_END_STEP_COUNT, Val);
}
VARNEL_API ViStatus Varnel_GetPowerSweepEndStepCount(ViSession Vi, ViInt32* Val) {
    return GetInt32(Vi, VARNEL_ATTR_POWER_SWEEP_END_STEP_COUNT, Val);
}
VARNEL_API ViStatus Varnel_GetConductanceSweepEndStepCount(ViSession Vi, ViInt32* Val) {
    return GetInt32(Vi, VARNEL_ATTR_CONDUCTANCE_SWEEP_END_STEP_COUNT, Val);
}
VARNEL_API ViStatus Varnel_GetFirmwareVersion(ViSession Vi, ViInt32 BufferSize, ViChar Val[]) {
    return kiln::GetAttributeString(Vi, nullptr, VARNEL_ATTR_FIRMWARE_VERSION, BufferSize, Val);
}
VARNEL_API ViStatus Varnel_GetSerialNumber(ViSession Vi, ViInt32 BufferSize, ViChar Val[]) {
    return kiln::GetAttributeString(Vi, nullptr, VARNEL_ATTR_SERIAL_NUMBER, BufferSize, Val);
}
VARNEL_API ViStatus Varnel_GetIpAddress(ViSession Vi, ViInt32 BufferSize, ViChar Val[]) {
    return kiln::GetAttributeString(Vi, nullptr, VARNEL_ATTR_IP_ADDRESS, BufferSize, Val);
}
VARNEL_API ViStatus Varnel_GetMacAddress(ViSession Vi, ViInt32 BufferSize, ViChar Val[]) {
    return kiln::GetAttributeString(Vi, nullptr, VARNEL_ATTR_MAC_ADDRESS, BufferSize, Val);
}
VARNEL_API ViStatus Varnel_GetHostname(ViSession Vi, ViInt32 BufferSize, ViChar Val[]) {
    return kiln::GetAttributeString(Vi, nullptr, VARNEL_ATTR_HOSTNAME, BufferSize, Val);
}

// --- Named setters: the typed set of one write-only attribute ----------------
// clang-format off
VARNEL_API ViStatus Varnel_SetConstantCurrent(ViSession Vi, ViReal64 Val) { return kiln::SetAttribute<ViReal64>(Vi, nullptr, VARNEL_ATTR_CONSTANT_CURRENT, Val); }
VARNEL_API ViStatus Varnel_SetConstantPower(ViSession Vi, ViReal64 Val) { return kiln::SetAttribute<ViReal64>(Vi, nullptr, VARNEL_ATTR_CONSTANT_POWER, Val); }
VARNEL_API ViStatus Varnel_SetConstantResistance(ViSession Vi, ViReal64 Val) { return kiln::SetAttribute<ViReal64>(Vi, nullptr, VARNEL_ATTR_CONSTANT_RESISTANCE, Val); }
VARNEL_API ViStatus Varnel_SetConstantVoltage(ViSession Vi, ViReal64 Val) { return kiln::SetAttribute<ViReal64>(Vi, nullptr, VARNEL_ATTR_CONSTANT_VOLTAGE, Val); }
VARNEL_API ViStatus Varnel_SetCurrentAt10v(ViSession Vi, ViReal64 Val) { return kiln::SetAttribute<ViReal64>(Vi, nullptr, VARNEL_ATTR_CURRENT_AT10V, Val); }
VARNEL_API ViStatus Varnel_SetCurrentLimit(ViSession Vi, ViReal64 Val) { return kiln::SetAttribute<ViReal64>(Vi, nullptr, VARNEL_ATTR_CURRENT_LIMIT, Val); }
VARNEL_API ViStatus Varnel_SetCurrentRange(ViSession Vi, ViInt32 Val) { return kiln::SetAttribute<ViInt32>(Vi, nullptr, VARNEL_ATTR_CURRENT_RANGE, Val); }
VARNEL_API ViStatus Varnel_SetLoadEnabled(ViSession Vi, ViBoolean Val) { return kiln::SetAttribute<ViBoolean>(Vi, nullptr, VARNEL_ATTR_LOAD_ENABLED, Val); }
VARNEL_API ViStatus Varnel_SetResponseTime(ViSession Vi, ViReal64 Val) { return kiln::SetAttribute<ViReal64>(Vi, nullptr, VARNEL_ATTR_RESPONSE_TIME, Val); }
VARNEL_API ViStatus Varnel_SetConstantCurrentSlewRate(ViSession Vi, ViReal64 Val) { return kiln::SetAttribute<ViReal64>(Vi, nullptr, VARNEL_ATTR_CONSTANT_CURRENT_SLEW_RATE, Val); }
VARNEL_API ViStatus Varnel_SetConstantCurrentVoltageRange(ViSession Vi, ViInt32 Val) { return kiln::SetAttribute<ViInt32>(Vi, nullptr, VARNEL_ATTR_CONSTANT_CURRENT_VOLTAGE_RANGE, Val); }
VARNEL_API ViStatus Varnel_SetLoadSwitchingMode(ViSession Vi, ViInt32 Val) { return kiln::SetAttribute<ViInt32>(Vi, nullptr, VARNEL_ATTR_LOAD_SWITCHING_MODE, Val); }
VARNEL_API ViStatus Varnel_SetLoadSwitchingPreconditionVoltage(ViSession Vi, ViReal64 Val) { return kiln::SetAttribute<ViReal64>(Vi, nullptr, VARNEL_ATTR_LOAD_SWITCHING_PRECONDITION_VOLTAGE, Val); }
VARNEL_API ViStatus Varnel_SetMeasurementDisplayPosition(ViSession Vi, ViInt32 Val) { return kiln::SetAttribute<ViInt32>(Vi, nullptr, VARNEL_ATTR_MEASUREMENT_DISPLAY_POSITION, Val); }
VARNEL_API ViStatus Varnel_SetMeasurementMode(ViSession Vi, ViInt32 Val) { return kiln::SetAttribute<ViInt32>(Vi, nullptr, VARNEL_ATTR_MEASUREMENT_MODE, Val); }
VARNEL_API ViStatus Varnel_SetSampleRate(ViSession Vi, ViInt32 Val) { return kiln::SetAttribute<ViInt32>(Vi, nullptr, VARNEL_ATTR_SAMPLE_RATE, Val); }
VARNEL_API ViStatus Varnel_SetMeasurementAveraging(ViSession Vi, ViInt32 Val) { return kiln::SetAttribute<ViInt32>(Vi, nullptr, VARNEL_ATTR_MEASUREMENT_AVERAGING, Val); }
VARNEL_API ViStatus Varnel_SetNoiseBandLimit(ViSession Vi, ViInt32 Val) { return kiln::SetAttribute<ViInt32>(Vi, nullptr, VARNEL_ATTR_NOISE_BAND_LIMIT, Val); }
VARNEL_API ViStatus Varnel_SetNoiseFilter(ViSession Vi, ViInt32 Val) { return kiln::SetAttribute<ViInt32>(Vi, nullptr, VARNEL_ATTR_NOISE_FILTER, Val); }
VARNEL_API ViStatus Varnel_SetNoiseRatio(ViSession Vi, ViReal64 Val) { return kiln::SetAttribute<ViReal64>(Vi, nullptr, VARNEL_ATTR_NOISE_RATIO, Val); }
VARNEL_API ViStatus Varnel_SetMasterSlaveMode(ViSession Vi, ViInt32 Val) { return kiln::SetAttribute<ViInt32>(Vi, nullptr, VARNEL_ATTR_MASTER_SLAVE_MODE, Val); }
VARNEL_API ViStatus Varnel_SetUserDefinedOutputEnabled(ViSession Vi, ViBoolean Val) { return kiln::SetAttribute<ViBoolean>(Vi, nullptr, VARNEL_ATTR_USER_DEFINED_OUTPUT_ENABLED, Val); }
VARNEL_API ViStatus Varnel_SetCurrentLimitProtectionEnabled(ViSession Vi, ViBoolean Val) { return kiln::SetAttribute<ViBoolean>(Vi, nullptr, VARNEL_ATTR_CURRENT_LIMIT_PROTECTION_ENABLED, Val); }
VARNEL_API ViStatus Varnel_SetPowerLimitProtectionEnabled(ViSession Vi, ViBoolean Val) { return kiln::SetAttribute<ViBoolean>(Vi, nullptr, VARNEL_ATTR_POWER_LIMIT_PROTECTION_ENABLED, Val); }
VARNEL_API ViStatus Varnel_SetFrequencyDynamicModePeriod(ViSession Vi, ViReal64 Val) { return kiln::SetAttribute<ViReal64>(Vi, nullptr, VARNEL_ATTR_FREQUENCY_DYNAMIC_MODE_PERIOD, Val); }
VARNEL_API ViStatus Varnel_SetFrequencyDynamicModeDutyCycle(ViSession Vi, ViReal64 Val) { return kiln::SetAttribute<ViReal64>(Vi, nullptr, VARNEL_ATTR_FREQUENCY_DYNAMIC_MODE_DUTY_CYCLE, Val); }
VARNEL_API ViStatus Varnel_SetFrequencyDynamicModeStep1Load(ViSession Vi, ViReal64 Val) { return kiln::SetAttribute<ViReal64>(Vi, nullptr, VARNEL_ATTR_FREQUENCY_DYNAMIC_MODE_STEP_1_LOAD, Val); }
VARNEL_API ViStatus Varnel_SetFrequencyDynamicModeStep1SlewRate(ViSession Vi, ViReal64 Val) { return kiln::SetAttribute<ViReal64>(Vi, nullptr, VARNEL_ATTR_FREQUENCY_DYNAMIC_MODE_STEP_1_SLEW_RATE, Val); }
VARNEL_API ViStatus Varnel_SetFrequencyDynamicModeStep2Load(ViSession Vi, ViReal64 Val) { return kiln::SetAttribute<ViReal64>(Vi, nullptr, VARNEL_ATTR_FREQUENCY_DYNAMIC_MODE_STEP_2_LOAD, Val); }
VARNEL_API ViStatus Varnel_SetFrequencyDynamicModeStep2SlewRate(ViSession Vi, ViReal64 Val) { return kiln::SetAttribute<ViReal64>(Vi, nullptr, VARNEL_ATTR_FREQUENCY_DYNAMIC_MODE_STEP_2_SLEW_RATE, Val); }
VARNEL_API ViStatus Varnel_SetLxiIdentifyEnabled(ViSession Vi, ViBoolean Val) { return kiln::SetAttribute<ViBoolean>(Vi, nullptr, VARNEL_ATTR_LXI_IDENTIFY_ENABLED, Val); }
VARNEL_API ViStatus Varnel_SetTimeDynamicModeStep1Load(ViSession Vi, ViReal64 Val) { return kiln::SetAttribute<ViReal64>(Vi, nullptr, VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP1_LOAD, Val); }
VARNEL_API ViStatus Varnel_SetTimeDynamicModeStep1Dwell(ViSession Vi, ViReal64 Val) { return kiln::SetAttribute<ViReal64>(Vi, nullptr, VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP1_DWELL, Val); }
VARNEL_API ViStatus Varnel_SetTimeDynamicModeStep1SlewRate(ViSession Vi, ViReal64 Val) { return kiln::SetAttribute<ViReal64>(Vi, nullptr, VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP1_SLEW_RATE, Val); }
VARNEL_API ViStatus Varnel_SetTimeDynamicModeStep2Load(ViSession Vi, ViReal64 Val) { return kiln::SetAttribute<ViReal64>(Vi, nullptr, VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP2_LOAD, Val); }
VARNEL_API ViStatus Varnel_SetTimeDynamicModeStep2Dwell(ViSession Vi, ViReal64 Val) { return kiln::SetAttribute<ViReal64>(Vi, nullptr, VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP2_DWELL, Val); }
VARNEL_API ViStatus Varnel_SetTimeDynamicModeStep2SlewRate(ViSession Vi, ViReal64 Val) { return kiln::SetAttribute<ViReal64>(Vi, nullptr, VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP2_SLEW_RATE, Val); }
VARNEL_API ViStatus Varnel_SetTimeDynamicModeStep3Load(ViSession Vi, ViReal64 Val) { return kiln::SetAttribute<ViReal64>(Vi, nullptr, VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP3_LOAD, Val); }
VARNEL_API ViStatus Varnel_SetTimeDynamicModeStep3Dwell(ViSession Vi, ViReal64 Val) { return kiln::SetAttribute<ViReal64>(Vi, nullptr, VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP3_DWELL, Val); }
VARNEL_API ViStatus Varnel_SetTimeDynamicModeStep3SlewRate(ViSession Vi, ViReal64 Val) { return kiln::SetAttribute<ViReal64>(Vi, nullptr, VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP3_SLEW_RATE, Val); }
VARNEL_API ViStatus Varnel_SetTimeDynamicModeStep4Load(ViSession Vi, ViReal64 Val) { return kiln::SetAttribute<ViReal64>(Vi, nullptr, VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP4_LOAD, Val); }
VARNEL_API ViStatus Varnel_SetTimeDynamicModeStep4Dwell(ViSession Vi, ViReal64 Val) { return kiln::SetAttribute<ViReal64>(Vi, nullptr, VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP4_DWELL, Val); }
VARNEL_API ViStatus Varnel_SetTimeDynamicModeStep4SlewRate(ViSession Vi, ViReal64 Val) { return kiln::SetAttribute<ViReal64>(Vi, nullptr, VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP4_SLEW_RATE, Val); }
VARNEL_API ViStatus Varnel_SetTimeDynamicModeStep5Load(ViSession Vi, ViReal64 Val) { return kiln::SetAttribute<ViReal64>(Vi, nullptr, VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP5_LOAD, Val); }
VARNEL_API ViStatus Varnel_SetTimeDynamicModeStep5Dwell(ViSession Vi, ViReal64 Val) { return kiln::SetAttribute<ViReal64>(Vi, nullptr, VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP5_DWELL, Val); }
VARNEL_API ViStatus Varnel_SetTimeDynamicModeStep5SlewRate(ViSession Vi, ViReal64 Val) { return kiln::SetAttribute<ViReal64>(Vi, nullptr, VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP5_SLEW_RATE, Val); }
VARNEL_API ViStatus Varnel_SetTimeDynamicModeStep6Load(ViSession Vi, ViReal64 Val) { return kiln::SetAttribute<ViReal64>(Vi, nullptr, VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP6_LOAD, Val); }
VARNEL_API ViStatus Varnel_SetTimeDynamicModeStep6Dwell(ViSession Vi, ViReal64 Val) { return kiln::SetAttribute<ViReal64>(Vi, nullptr, VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP6_DWELL, Val); }
VARNEL_API ViStatus Varnel_SetTimeDynamicModeStep6SlewRate(ViSession Vi, ViReal64 Val) { return kiln::SetAttribute<ViReal64>(Vi, nullptr, VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP6_SLEW_RATE, Val); }
VARNEL_API ViStatus Varnel_SetTimeDynamicModeStep7Load(ViSession Vi, ViReal64 Val) { return kiln::SetAttribute<ViReal64>(Vi, nullptr, VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP7_LOAD, Val); }
VARNEL_API ViStatus Varnel_SetTimeDynamicModeStep7Dwell(ViSession Vi, ViReal64 Val) { return kiln::SetAttribute<ViReal64>(Vi, nullptr, VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP7_DWELL, Val); }
VARNEL_API ViStatus Varnel_SetTimeDynamicModeStep7SlewRate(ViSession Vi, ViReal64 Val) { return kiln::SetAttribute<ViReal64>(Vi, nullptr, VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP7_SLEW_RATE, Val); }
VARNEL_API ViStatus Varnel_SetTimeDynamicModeStep8Load(ViSession Vi, ViReal64 Val) { return kiln::SetAttribute<ViReal64>(Vi, nullptr, VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP8_LOAD, Val); }
VARNEL_API ViStatus Varnel_SetTimeDynamicModeStep8Dwell(ViSession Vi, ViReal64 Val) { return kiln::SetAttribute<ViReal64>(Vi, nullptr, VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP8_DWELL, Val); }
VARNEL_API ViStatus Varnel_SetTimeDynamicModeStep8SlewRate(ViSession Vi, ViReal64 Val) { return kiln::SetAttribute<ViReal64>(Vi, nullptr, VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP8_SLEW_RATE, Val); }
VARNEL_API ViStatus Varnel_SetTimeDynamicModeStep9Load(ViSession Vi, ViReal64 Val) { return kiln::SetAttribute<ViReal64>(Vi, nullptr, VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP9_LOAD, Val); }
VARNEL_API ViStatus Varnel_SetTimeDynamicModeStep9Dwell(ViSession Vi, ViReal64 Val) { return kiln::SetAttribute<ViReal64>(Vi, nullptr, VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP9_DWELL, Val); }
VARNEL_API ViStatus Varnel_SetTimeDynamicModeStep9SlewRate(ViSession Vi, ViReal64 Val) { return kiln::SetAttribute<ViReal64>(Vi, nullptr, VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP9_SLEW_RATE, Val); }
VARNEL_API ViStatus Varnel_SetTimeDynamicModeStep10Load(ViSession Vi, ViReal64 Val) { return kiln::SetAttribute<ViReal64>(Vi, nullptr, VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP10_LOAD, Val); }
VARNEL_API ViStatus Varnel_SetTimeDynamicModeStep10Dwell(ViSession Vi, ViReal64 Val) { return kiln::SetAttribute<ViReal64>(Vi, nullptr, VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP10_DWELL, Val); }
VARNEL_API ViStatus Varnel_SetTimeDynamicModeStep10SlewRate(ViSession Vi, ViReal64 Val) { return kiln::SetAttribute<ViReal64>(Vi, nullptr, VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP10_SLEW_RATE, Val); }
VARNEL_API ViStatus Varnel_SetTimeDynamicModeStep11Load(ViSession Vi, ViReal64 Val) { return kiln::SetAttribute<ViReal64>(Vi, nullptr, VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP11_LOAD, Val); }
VARNEL_API ViStatus Varnel_SetTimeDynamicModeStep11Dwell(ViSession Vi, ViReal64 Val) { return kiln::SetAttribute<ViReal64>(Vi, nullptr, VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP11_DWELL, Val); }
VARNEL_API ViStatus Varnel_SetTimeDynamicModeStep11SlewRate(ViSession Vi, ViReal64 Val) { return kiln::SetAttribute<ViReal64>(Vi, nullptr, VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP11_SLEW_RATE, Val); }
VARNEL_API ViStatus Varnel_SetTimeDynamicModeStep12Load(ViSession Vi, ViReal64 Val) { return kiln::SetAttribute<ViReal64>(Vi, nullptr, VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP12_LOAD, Val); }
VARNEL_API ViStatus Varnel_SetTimeDynamicModeStep12Dwell(ViSession Vi, ViReal64 Val) { return kiln::SetAttribute<ViReal64>(Vi, nullptr, VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP12_DWELL, Val); }
VARNEL_API ViStatus Varnel_SetTimeDynamicModeStep12SlewRate(ViSession Vi, ViReal64 Val) { return kiln::SetAttribute<ViReal64>(Vi, nullptr, VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP12_SLEW_RATE, Val); }
VARNEL_API ViStatus Varnel_SetTimeDynamicModeStep13Load(ViSession Vi, ViReal64 Val) { return kiln::SetAttribute<ViReal64>(Vi, nullptr, VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP13_LOAD, Val); }
VARNEL_API ViStatus Varnel_SetTimeDynamicModeStep13Dwell(ViSession Vi, ViReal64 Val) { return kiln::SetAttribute<ViReal64>(Vi, nullptr, VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP13_DWELL, Val); }
VARNEL_API ViStatus Varnel_SetTimeDynamicModeStep13SlewRate(ViSession Vi, ViReal64 Val) { return kiln::SetAttribute<ViReal64>(Vi, nullptr, VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP13_SLEW_RATE, Val); }
VARNEL_API ViStatus Varnel_SetTimeDynamicModeStep14Load(ViSession Vi, ViReal64 Val) { return kiln::SetAttribute<ViReal64>(Vi, nullptr, VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP14_LOAD, Val); }
VARNEL_API ViStatus Varnel_SetTimeDynamicModeStep14Dwell(ViSession Vi, ViReal64 Val) { return kiln::SetAttribute<ViReal64>(Vi, nullptr, VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP14_DWELL, Val); }
VARNEL_API ViStatus Varnel_SetTimeDynamicModeStep14SlewRate(ViSession Vi, ViReal64 Val) { return kiln::SetAttribute<ViReal64>(Vi, nullptr, VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP14_SLEW_RATE, Val); }
VARNEL_API ViStatus Varnel_SetTimeDynamicModeStep15Load(ViSession Vi, ViReal64 Val) { return kiln::SetAttribute<ViReal64>(Vi, nullptr, VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP15_LOAD, Val); }
VARNEL_API ViStatus Varnel_SetTimeDynamicModeStep15Dwell(ViSession Vi, ViReal64 Val) { return kiln::SetAttribute<ViReal64>(Vi, nullptr, VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP15_DWELL, Val); }
VARNEL_API ViStatus Varnel_SetTimeDynamicModeStep15SlewRate(ViSession Vi, ViReal64 Val) { return kiln::SetAttribute<ViReal64>(Vi, nullptr, VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP15_SLEW_RATE, Val); }
VARNEL_API ViStatus Varnel_SetTimeDynamicModeStep16Load(ViSession Vi, ViReal64 Val) { return kiln::SetAttribute<ViReal64>(Vi, nullptr, VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP16_LOAD, Val); }
VARNEL_API ViStatus Varnel_SetTimeDynamicModeStep16Dwell(ViSession Vi, ViReal64 Val) { return kiln::SetAttribute<ViReal64>(Vi, nullptr, VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP16_DWELL, Val); }
VARNEL_API ViStatus Varnel_SetTimeDynamicModeStep16SlewRate(ViSession Vi, ViReal64 Val) { return kiln::SetAttribute<ViReal64>(Vi, nullptr, VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP16_SLEW_RATE, Val); }
// clang-format on
