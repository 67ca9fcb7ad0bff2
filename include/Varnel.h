/* Varnel: IVI-C driver for the QVX M1 to QVX M4 programmable DC electronic loads.
   A session opens with Varnel_init or Varnel_InitWithOptions ("Simulate=1" runs
   without an instrument), takes any calls on the handle it returns and ends with
   Varnel_close. Every function returns a ViStatus (negative: error, positive:
   warning); Varnel_GetError gives the code and text of the last error. */
#ifndef VARNEL_H
#define VARNEL_H

#include "visatype.h"

#ifdef __cplusplus
extern "C" {
#endif

/* ------------------------------------------------------------------------
   Attributes, for Varnel_GetAttributeVi* and Varnel_SetAttributeVi*. Each
   comment gives the value type, the access (R read-only, W write-only, R/W
   both) and the unit where one is known; without one the value is in the
   instrument's own unit. The defined values of ViInt32 settings follow.
   ------------------------------------------------------------------------ */

#ifndef IVI_INHERENT_ATTR_BASE
#define IVI_INHERENT_ATTR_BASE 1050000
#endif
#ifndef IVI_SPECIFIC_ATTR_BASE
#define IVI_SPECIFIC_ATTR_BASE 1150000
#endif

/* IVI inherent attributes: session options */
#define VARNEL_ATTR_RANGE_CHECK                               (IVI_INHERENT_ATTR_BASE + 2)  /* ViBoolean R/W */
#define VARNEL_ATTR_QUERY_INSTRUMENT_STATUS                   (IVI_INHERENT_ATTR_BASE + 3)  /* ViBoolean R/W */
#define VARNEL_ATTR_CACHE                                     (IVI_INHERENT_ATTR_BASE + 4)  /* ViBoolean R/W */
#define VARNEL_ATTR_SIMULATE                                  (IVI_INHERENT_ATTR_BASE + 5)  /* ViBoolean R/W */
#define VARNEL_ATTR_RECORD_COERCIONS                          (IVI_INHERENT_ATTR_BASE + 6)  /* ViBoolean R/W */
#define VARNEL_ATTR_DRIVER_SETUP                              (IVI_INHERENT_ATTR_BASE + 7)  /* ViString R */
#define VARNEL_ATTR_INTERCHANGE_CHECK                         (IVI_INHERENT_ATTR_BASE + 21) /* ViBoolean R/W */

/* IVI inherent attributes: driver identity and capabilities */
#define VARNEL_ATTR_SPECIFIC_DRIVER_PREFIX                    (IVI_INHERENT_ATTR_BASE + 302) /* ViString R */
#define VARNEL_ATTR_IO_RESOURCE_DESCRIPTOR                    (IVI_INHERENT_ATTR_BASE + 304) /* ViString R */
#define VARNEL_ATTR_LOGICAL_NAME                              (IVI_INHERENT_ATTR_BASE + 305) /* ViString R */
#define VARNEL_ATTR_SUPPORTED_INSTRUMENT_MODELS               (IVI_INHERENT_ATTR_BASE + 327) /* ViString R */
#define VARNEL_ATTR_GROUP_CAPABILITIES                        (IVI_INHERENT_ATTR_BASE + 401) /* ViString R */

/* IVI inherent attributes: instrument and driver identification */
#define VARNEL_ATTR_INSTRUMENT_FIRMWARE_REVISION              (IVI_INHERENT_ATTR_BASE + 510) /* ViString R */
#define VARNEL_ATTR_INSTRUMENT_MANUFACTURER                   (IVI_INHERENT_ATTR_BASE + 511) /* ViString R */
#define VARNEL_ATTR_INSTRUMENT_MODEL                          (IVI_INHERENT_ATTR_BASE + 512) /* ViString R */
#define VARNEL_ATTR_SPECIFIC_DRIVER_VENDOR                    (IVI_INHERENT_ATTR_BASE + 513) /* ViString R */
#define VARNEL_ATTR_SPECIFIC_DRIVER_DESCRIPTION               (IVI_INHERENT_ATTR_BASE + 514) /* ViString R */
#define VARNEL_ATTR_SPECIFIC_DRIVER_CLASS_SPEC_MAJOR_VERSION  (IVI_INHERENT_ATTR_BASE + 515) /* ViInt32 R */
#define VARNEL_ATTR_SPECIFIC_DRIVER_CLASS_SPEC_MINOR_VERSION  (IVI_INHERENT_ATTR_BASE + 516) /* ViInt32 R */
#define VARNEL_ATTR_SPECIFIC_DRIVER_REVISION                  (IVI_INHERENT_ATTR_BASE + 551) /* ViString R */

/* Direct I/O */
#define VARNEL_ATTR_SYSTEM_IO_SESSION                         (IVI_SPECIFIC_ATTR_BASE + 1)  /* ViSession R */
#define VARNEL_ATTR_SYSTEM_IO_TIMEOUT                         (IVI_SPECIFIC_ATTR_BASE + 2)  /* ViInt32 R/W, ms */

/* Frequency-dynamic mode (two levels alternating at a period and duty cycle) */
#define VARNEL_ATTR_FREQUENCY_DYNAMIC_MODE_PERIOD             (IVI_SPECIFIC_ATTR_BASE + 3)  /* ViReal64 W */
#define VARNEL_ATTR_FREQUENCY_DYNAMIC_MODE_DUTY_CYCLE         (IVI_SPECIFIC_ATTR_BASE + 4)  /* ViReal64 W */
#define VARNEL_ATTR_FREQUENCY_DYNAMIC_MODE_STEP_1_LOAD        (IVI_SPECIFIC_ATTR_BASE + 5)  /* ViReal64 W, A */
#define VARNEL_ATTR_FREQUENCY_DYNAMIC_MODE_STEP_1_SLEW_RATE   (IVI_SPECIFIC_ATTR_BASE + 6)  /* ViReal64 W, A/us */
#define VARNEL_ATTR_FREQUENCY_DYNAMIC_MODE_STEP_2_LOAD        (IVI_SPECIFIC_ATTR_BASE + 7)  /* ViReal64 W, A */
#define VARNEL_ATTR_FREQUENCY_DYNAMIC_MODE_STEP_2_SLEW_RATE   (IVI_SPECIFIC_ATTR_BASE + 8)  /* ViReal64 W, A/us */

/* Time-dynamic mode: load level, dwell time and slew rate of steps 1 to 16.
   The blocks of steps 11 and 12 are exchanged: step 12 is specific base + 39
   to 41, step 11 specific base + 42 to 44 */
#define VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP1_LOAD              (IVI_SPECIFIC_ATTR_BASE + 9)  /* ViReal64 W, A */
#define VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP1_DWELL             (IVI_SPECIFIC_ATTR_BASE + 10) /* ViReal64 W */
#define VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP1_SLEW_RATE         (IVI_SPECIFIC_ATTR_BASE + 11) /* ViReal64 W, A/us */
#define VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP2_LOAD              (IVI_SPECIFIC_ATTR_BASE + 12) /* ViReal64 W, A */
#define VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP2_DWELL             (IVI_SPECIFIC_ATTR_BASE + 13) /* ViReal64 W */
#define VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP2_SLEW_RATE         (IVI_SPECIFIC_ATTR_BASE + 14) /* ViReal64 W, A/us */
#define VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP3_LOAD              (IVI_SPECIFIC_ATTR_BASE + 15) /* ViReal64 W, A */
#define VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP3_DWELL             (IVI_SPECIFIC_ATTR_BASE + 16) /* ViReal64 W */
#define VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP3_SLEW_RATE         (IVI_SPECIFIC_ATTR_BASE + 17) /* ViReal64 W, A/us */
#define VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP4_LOAD              (IVI_SPECIFIC_ATTR_BASE + 18) /* ViReal64 W, A */
#define VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP4_DWELL             (IVI_SPECIFIC_ATTR_BASE + 19) /* ViReal64 W */
#define VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP4_SLEW_RATE         (IVI_SPECIFIC_ATTR_BASE + 20) /* ViReal64 W, A/us */
#define VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP5_LOAD              (IVI_SPECIFIC_ATTR_BASE + 21) /* ViReal64 W, A */
#define VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP5_DWELL             (IVI_SPECIFIC_ATTR_BASE + 22) /* ViReal64 W */
#define VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP5_SLEW_RATE         (IVI_SPECIFIC_ATTR_BASE + 23) /* ViReal64 W, A/us */
#define VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP6_LOAD              (IVI_SPECIFIC_ATTR_BASE + 24) /* ViReal64 W, A */
#define VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP6_DWELL             (IVI_SPECIFIC_ATTR_BASE + 25) /* ViReal64 W */
#define VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP6_SLEW_RATE         (IVI_SPECIFIC_ATTR_BASE + 26) /* ViReal64 W, A/us */
#define VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP7_LOAD              (IVI_SPECIFIC_ATTR_BASE + 27) /* ViReal64 W, A */
#define VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP7_DWELL             (IVI_SPECIFIC_ATTR_BASE + 28) /* ViReal64 W */
#define VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP7_SLEW_RATE         (IVI_SPECIFIC_ATTR_BASE + 29) /* ViReal64 W, A/us */
#define VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP8_LOAD              (IVI_SPECIFIC_ATTR_BASE + 30) /* ViReal64 W, A */
#define VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP8_DWELL             (IVI_SPECIFIC_ATTR_BASE + 31) /* ViReal64 W */
#define VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP8_SLEW_RATE         (IVI_SPECIFIC_ATTR_BASE + 32) /* ViReal64 W, A/us */
#define VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP9_LOAD              (IVI_SPECIFIC_ATTR_BASE + 33) /* ViReal64 W, A */
#define VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP9_DWELL             (IVI_SPECIFIC_ATTR_BASE + 34) /* ViReal64 W */
#define VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP9_SLEW_RATE         (IVI_SPECIFIC_ATTR_BASE + 35) /* ViReal64 W, A/us */
#define VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP10_LOAD             (IVI_SPECIFIC_ATTR_BASE + 36) /* ViReal64 W, A */
#define VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP10_DWELL            (IVI_SPECIFIC_ATTR_BASE + 37) /* ViReal64 W */
#define VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP10_SLEW_RATE        (IVI_SPECIFIC_ATTR_BASE + 38) /* ViReal64 W, A/us */
#define VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP12_LOAD             (IVI_SPECIFIC_ATTR_BASE + 39) /* ViReal64 W, A */
#define VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP12_DWELL            (IVI_SPECIFIC_ATTR_BASE + 40) /* ViReal64 W */
#define VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP12_SLEW_RATE        (IVI_SPECIFIC_ATTR_BASE + 41) /* ViReal64 W, A/us */
#define VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP11_LOAD             (IVI_SPECIFIC_ATTR_BASE + 42) /* ViReal64 W, A */
#define VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP11_DWELL            (IVI_SPECIFIC_ATTR_BASE + 43) /* ViReal64 W */
#define VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP11_SLEW_RATE        (IVI_SPECIFIC_ATTR_BASE + 44) /* ViReal64 W, A/us */
#define VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP13_LOAD             (IVI_SPECIFIC_ATTR_BASE + 45) /* ViReal64 W, A */
#define VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP13_DWELL            (IVI_SPECIFIC_ATTR_BASE + 46) /* ViReal64 W */
#define VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP13_SLEW_RATE        (IVI_SPECIFIC_ATTR_BASE + 47) /* ViReal64 W, A/us */
#define VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP14_LOAD             (IVI_SPECIFIC_ATTR_BASE + 48) /* ViReal64 W, A */
#define VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP14_DWELL            (IVI_SPECIFIC_ATTR_BASE + 49) /* ViReal64 W */
#define VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP14_SLEW_RATE        (IVI_SPECIFIC_ATTR_BASE + 50) /* ViReal64 W, A/us */
#define VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP15_LOAD             (IVI_SPECIFIC_ATTR_BASE + 51) /* ViReal64 W, A */
#define VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP15_DWELL            (IVI_SPECIFIC_ATTR_BASE + 52) /* ViReal64 W */
#define VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP15_SLEW_RATE        (IVI_SPECIFIC_ATTR_BASE + 53) /* ViReal64 W, A/us */
#define VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP16_LOAD             (IVI_SPECIFIC_ATTR_BASE + 54) /* ViReal64 W, A */
#define VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP16_DWELL            (IVI_SPECIFIC_ATTR_BASE + 55) /* ViReal64 W */
#define VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP16_SLEW_RATE        (IVI_SPECIFIC_ATTR_BASE + 56) /* ViReal64 W, A/us */

/* Load settings (specific base + 66 is not assigned) */
#define VARNEL_ATTR_CONSTANT_CURRENT                          (IVI_SPECIFIC_ATTR_BASE + 57) /* ViReal64 W, A */
#define VARNEL_ATTR_CONSTANT_POWER                            (IVI_SPECIFIC_ATTR_BASE + 58) /* ViReal64 W, W */
#define VARNEL_ATTR_CONSTANT_RESISTANCE                       (IVI_SPECIFIC_ATTR_BASE + 59) /* ViReal64 W, ohm */
#define VARNEL_ATTR_CONSTANT_VOLTAGE                          (IVI_SPECIFIC_ATTR_BASE + 60) /* ViReal64 W, V */
#define VARNEL_ATTR_CURRENT_AT10V                             (IVI_SPECIFIC_ATTR_BASE + 61) /* ViReal64 W, A */
#define VARNEL_ATTR_CURRENT_LIMIT                             (IVI_SPECIFIC_ATTR_BASE + 62) /* ViReal64 W, A */
#define VARNEL_ATTR_CURRENT_RANGE                             (IVI_SPECIFIC_ATTR_BASE + 63) /* ViInt32 W */
#define VARNEL_ATTR_LOAD_ENABLED                              (IVI_SPECIFIC_ATTR_BASE + 64) /* ViBoolean W */
#define VARNEL_ATTR_RESPONSE_TIME                             (IVI_SPECIFIC_ATTR_BASE + 65) /* ViReal64 W */
#define VARNEL_ATTR_CONSTANT_CURRENT_SLEW_RATE                (IVI_SPECIFIC_ATTR_BASE + 67) /* ViReal64 W, A/us */
#define VARNEL_ATTR_CONSTANT_CURRENT_VOLTAGE_RANGE            (IVI_SPECIFIC_ATTR_BASE + 68) /* ViInt32 W */
#define VARNEL_ATTR_LOAD_SWITCHING_MODE                       (IVI_SPECIFIC_ATTR_BASE + 69) /* ViInt32 W */
#define VARNEL_ATTR_LOAD_SWITCHING_PRECONDITION_VOLTAGE       (IVI_SPECIFIC_ATTR_BASE + 70) /* ViReal64 W, V */
#define VARNEL_ATTR_MEASUREMENT_DISPLAY_POSITION              (IVI_SPECIFIC_ATTR_BASE + 71) /* ViInt32 W */
#define VARNEL_ATTR_MEASUREMENT_MODE                          (IVI_SPECIFIC_ATTR_BASE + 72) /* ViInt32 W */
#define VARNEL_ATTR_SAMPLE_RATE                               (IVI_SPECIFIC_ATTR_BASE + 73) /* ViInt32 W */
#define VARNEL_ATTR_MEASUREMENT_AVERAGING                     (IVI_SPECIFIC_ATTR_BASE + 74) /* ViInt32 W */
#define VARNEL_ATTR_NOISE_BAND_LIMIT                          (IVI_SPECIFIC_ATTR_BASE + 75) /* ViInt32 W */
#define VARNEL_ATTR_NOISE_FILTER                              (IVI_SPECIFIC_ATTR_BASE + 76) /* ViInt32 W */
#define VARNEL_ATTR_NOISE_RATIO                               (IVI_SPECIFIC_ATTR_BASE + 77) /* ViReal64 W */

/* Status register and sweep end steps */
#define VARNEL_ATTR_QUESTIONABLE_CONDITION_REGISTER           (IVI_SPECIFIC_ATTR_BASE + 78) /* ViInt32 R */
#define VARNEL_ATTR_CONDUCTANCE_SWEEP_END_STEP_COUNT          (IVI_SPECIFIC_ATTR_BASE + 79) /* ViInt32 R */
#define VARNEL_ATTR_CURRENT_SWEEP_END_STEP_COUNT              (IVI_SPECIFIC_ATTR_BASE + 80) /* ViInt32 R */
#define VARNEL_ATTR_POWER_SWEEP_END_STEP_COUNT                (IVI_SPECIFIC_ATTR_BASE + 81) /* ViInt32 R */

/* Identity, LAN, master/slave, output and protections */
#define VARNEL_ATTR_FIRMWARE_VERSION                          (IVI_SPECIFIC_ATTR_BASE + 82) /* ViString R */
#define VARNEL_ATTR_LXI_IDENTIFY_ENABLED                      (IVI_SPECIFIC_ATTR_BASE + 83) /* ViBoolean W */
#define VARNEL_ATTR_MASTER_SLAVE_MODE                         (IVI_SPECIFIC_ATTR_BASE + 84) /* ViInt32 W */
#define VARNEL_ATTR_SERIAL_NUMBER                             (IVI_SPECIFIC_ATTR_BASE + 85) /* ViString R */
#define VARNEL_ATTR_USER_DEFINED_OUTPUT_ENABLED               (IVI_SPECIFIC_ATTR_BASE + 86) /* ViBoolean W */
#define VARNEL_ATTR_IP_ADDRESS                                (IVI_SPECIFIC_ATTR_BASE + 87) /* ViString R */
#define VARNEL_ATTR_MAC_ADDRESS                               (IVI_SPECIFIC_ATTR_BASE + 88) /* ViString R */
#define VARNEL_ATTR_HOSTNAME                                  (IVI_SPECIFIC_ATTR_BASE + 89) /* ViString R */
#define VARNEL_ATTR_CURRENT_LIMIT_PROTECTION_ENABLED          (IVI_SPECIFIC_ATTR_BASE + 90) /* ViBoolean W */
#define VARNEL_ATTR_POWER_LIMIT_PROTECTION_ENABLED            (IVI_SPECIFIC_ATTR_BASE + 91) /* ViBoolean W */

/* ------------------------------------------------------------------------
   Defined values (ViInt32); boolean settings take VI_TRUE and VI_FALSE
   ------------------------------------------------------------------------ */

/* VARNEL_ATTR_NOISE_BAND_LIMIT */
#define VARNEL_VAL_BAND_LIMIT_FULL        1
#define VARNEL_VAL_BAND_LIMIT_LIMIT20M_HZ 2

/* VARNEL_ATTR_CONSTANT_CURRENT_VOLTAGE_RANGE */
#define VARNEL_VAL_CONSTANT_CURRENT_VOLTAGE_RANGE_HIGH 1
#define VARNEL_VAL_CONSTANT_CURRENT_VOLTAGE_RANGE_LOW  2

/* VARNEL_ATTR_CURRENT_RANGE, Varnel_MeasureCurrentAtRange, Varnel_MeasureSimplifiedCurrent */
#define VARNEL_VAL_CURRENT_RANGE_AUTO   0
#define VARNEL_VAL_CURRENT_RANGE_HIGH   1
#define VARNEL_VAL_CURRENT_RANGE_MEDIUM 2
#define VARNEL_VAL_CURRENT_RANGE_LOW    3

/* Varnel_MeasureDCVoltage */
#define VARNEL_VAL_DC_VOLTAGE_RANGE_AUTO        0
#define VARNEL_VAL_DC_VOLTAGE_RANGE_RANGE6_VOLT 1
#define VARNEL_VAL_DC_VOLTAGE_RANGE_RANGE60V    2
#define VARNEL_VAL_DC_VOLTAGE_RANGE_RANGE500V   3

/* VARNEL_ATTR_MEASUREMENT_DISPLAY_POSITION */
#define VARNEL_VAL_DISPLAY_POSITION_TOP    0
#define VARNEL_VAL_DISPLAY_POSITION_MIDDLE 1
#define VARNEL_VAL_DISPLAY_POSITION_BOTTOM 2

/* VARNEL_ATTR_MASTER_SLAVE_MODE */
#define VARNEL_VAL_MASTER_SLAVE_MODE_OFF    0
#define VARNEL_VAL_MASTER_SLAVE_MODE_MASTER 1
#define VARNEL_VAL_MASTER_SLAVE_MODE_MULTI  2

/* VARNEL_ATTR_MEASUREMENT_AVERAGING */
#define VARNEL_VAL_MEASUREMENT_AVERAGING_ONE_TIME_SAMPLE    0
#define VARNEL_VAL_MEASUREMENT_AVERAGING_THREE_TIMES_SAMPLE 1

/* VARNEL_ATTR_MEASUREMENT_MODE */
#define VARNEL_VAL_MEASUREMENT_MODE_FREE_RUN 0
#define VARNEL_VAL_MEASUREMENT_MODE_SINGLE   1

/* VARNEL_ATTR_LOAD_SWITCHING_MODE */
#define VARNEL_VAL_MODE_SWITCHING_CONSTANT_RESISTANCE_DURING_VOLTAGE_RISING  1
#define VARNEL_VAL_MODE_SWITCHING_DISABLED                                   0
#define VARNEL_VAL_MODE_SWITCHING_CONSTANT_VOLTAGE_DURING_VOLTAGE_RISING     2
#define VARNEL_VAL_MODE_SWITCHING_CONSTANT_POWER_DURING_VOLTAGE_RISING       3
#define VARNEL_VAL_MODE_SWITCHING_LOAD_OFF_DURING_VOLTAGE_RISING             4
#define VARNEL_VAL_MODE_SWITCHING_CONSTANT_RESISTANCE_DURING_VOLTAGE_FALLING 5
#define VARNEL_VAL_MODE_SWITCHING_CONSTANT_VOLTAGE_DURING_VOLTAGE_FALLING    6
#define VARNEL_VAL_MODE_SWITCHING_CONSTANT_POWER_DURING_VOLTAGE_FALLING      7
#define VARNEL_VAL_MODE_SWITCHING_LOAD_OFF_DURING_VOLTAGE_FALLING            8

/* VARNEL_ATTR_NOISE_FILTER */
#define VARNEL_VAL_NOISE_FILTER_THRU50_HZ              1
#define VARNEL_VAL_NOISE_FILTER_HIGH_PASS              2
#define VARNEL_VAL_NOISE_FILTER_LOW_PASS               3
#define VARNEL_VAL_NOISE_FILTER_HIGH_PASS_AND_LOW_PASS 4

/* Varnel_MeasureNoiseVoltage, Varnel_MeasureRippleVoltage */
#define VARNEL_VAL_NOISE_VOLTAGE_RANGE_AUTO        0
#define VARNEL_VAL_NOISE_VOLTAGE_RANGE_RANGE30_0MV 1
#define VARNEL_VAL_NOISE_VOLTAGE_RANGE_RANGE3V     2

/* VARNEL_ATTR_SAMPLE_RATE */
#define VARNEL_VAL_SAMPLE_RATE_HZ50 0
#define VARNEL_VAL_SAMPLE_RATE_HZ60 1

/* ------------------------------------------------------------------------
   Status codes (Varnel_error_message gives the text of each). Status codes of
   failed instrument I/O come from VISA unchanged.
   ------------------------------------------------------------------------ */

/* The driver's own errors */
#define VARNEL_ERROR_IO_GENERAL ((ViStatus)0xBFFA4214) /* I/O error (direct I/O in simulation) */
#define VARNEL_ERROR_IO_TIMEOUT ((ViStatus)0xBFFA4215) /* I/O time-out */

/* IVI errors and warnings */
#ifndef IVI_ERROR_CANNOT_RECOVER
#define IVI_ERROR_CANNOT_RECOVER                       ((ViStatus)0xBFFA0000)
#endif
#ifndef IVI_ERROR_INSTRUMENT_STATUS
#define IVI_ERROR_INSTRUMENT_STATUS                    ((ViStatus)0xBFFA0001)
#endif
#ifndef IVI_ERROR_CANNOT_OPEN_FILE
#define IVI_ERROR_CANNOT_OPEN_FILE                     ((ViStatus)0xBFFA0002)
#endif
#ifndef IVI_ERROR_READING_FILE
#define IVI_ERROR_READING_FILE                         ((ViStatus)0xBFFA0003)
#endif
#ifndef IVI_ERROR_WRITING_FILE
#define IVI_ERROR_WRITING_FILE                         ((ViStatus)0xBFFA0004)
#endif
#ifndef IVI_ERROR_INVALID_PATHNAME
#define IVI_ERROR_INVALID_PATHNAME                     ((ViStatus)0xBFFA000B)
#endif
#ifndef IVI_ERROR_INVALID_ATTRIBUTE
#define IVI_ERROR_INVALID_ATTRIBUTE                    ((ViStatus)0xBFFA000C)
#endif
#ifndef IVI_ERROR_IVI_ATTR_NOT_WRITABLE
#define IVI_ERROR_IVI_ATTR_NOT_WRITABLE                ((ViStatus)0xBFFA000D)
#endif
#ifndef IVI_ERROR_IVI_ATTR_NOT_READABLE
#define IVI_ERROR_IVI_ATTR_NOT_READABLE                ((ViStatus)0xBFFA000E)
#endif
#ifndef IVI_ERROR_INVALID_VALUE
#define IVI_ERROR_INVALID_VALUE                        ((ViStatus)0xBFFA0010)
#endif
#ifndef IVI_ERROR_FUNCTION_NOT_SUPPORTED
#define IVI_ERROR_FUNCTION_NOT_SUPPORTED               ((ViStatus)0xBFFA0011)
#endif
#ifndef IVI_ERROR_ATTRIBUTE_NOT_SUPPORTED
#define IVI_ERROR_ATTRIBUTE_NOT_SUPPORTED              ((ViStatus)0xBFFA0012)
#endif
#ifndef IVI_ERROR_VALUE_NOT_SUPPORTED
#define IVI_ERROR_VALUE_NOT_SUPPORTED                  ((ViStatus)0xBFFA0013)
#endif
#ifndef IVI_ERROR_TYPES_DO_NOT_MATCH
#define IVI_ERROR_TYPES_DO_NOT_MATCH                   ((ViStatus)0xBFFA0015)
#endif
#ifndef IVI_ERROR_NOT_INITIALIZED
#define IVI_ERROR_NOT_INITIALIZED                      ((ViStatus)0xBFFA001D)
#endif
#ifndef IVI_ERROR_UNKNOWN_CHANNEL_NAME
#define IVI_ERROR_UNKNOWN_CHANNEL_NAME                 ((ViStatus)0xBFFA0020)
#endif
#ifndef IVI_ERROR_TOO_MANY_OPEN_FILES
#define IVI_ERROR_TOO_MANY_OPEN_FILES                  ((ViStatus)0xBFFA0023)
#endif
#ifndef IVI_ERROR_CHANNEL_NAME_REQUIRED
#define IVI_ERROR_CHANNEL_NAME_REQUIRED                ((ViStatus)0xBFFA0044)
#endif
#ifndef IVI_ERROR_MISSING_OPTION_NAME
#define IVI_ERROR_MISSING_OPTION_NAME                  ((ViStatus)0xBFFA0049)
#endif
#ifndef IVI_ERROR_MISSING_OPTION_VALUE
#define IVI_ERROR_MISSING_OPTION_VALUE                 ((ViStatus)0xBFFA004A)
#endif
#ifndef IVI_ERROR_BAD_OPTION_NAME
#define IVI_ERROR_BAD_OPTION_NAME                      ((ViStatus)0xBFFA004B)
#endif
#ifndef IVI_ERROR_BAD_OPTION_VALUE
#define IVI_ERROR_BAD_OPTION_VALUE                     ((ViStatus)0xBFFA004C)
#endif
#ifndef IVI_ERROR_OUT_OF_MEMORY
#define IVI_ERROR_OUT_OF_MEMORY                        ((ViStatus)0xBFFA0056)
#endif
#ifndef IVI_ERROR_OPERATION_PENDING
#define IVI_ERROR_OPERATION_PENDING                    ((ViStatus)0xBFFA0057)
#endif
#ifndef IVI_ERROR_NULL_POINTER
#define IVI_ERROR_NULL_POINTER                         ((ViStatus)0xBFFA0058)
#endif
#ifndef IVI_ERROR_UNEXPECTED_RESPONSE
#define IVI_ERROR_UNEXPECTED_RESPONSE                  ((ViStatus)0xBFFA0059)
#endif
#ifndef IVI_ERROR_FILE_NOT_FOUND
#define IVI_ERROR_FILE_NOT_FOUND                       ((ViStatus)0xBFFA005B)
#endif
#ifndef IVI_ERROR_INVALID_FILE_FORMAT
#define IVI_ERROR_INVALID_FILE_FORMAT                  ((ViStatus)0xBFFA005C)
#endif
#ifndef IVI_ERROR_STATUS_NOT_AVAILABLE
#define IVI_ERROR_STATUS_NOT_AVAILABLE                 ((ViStatus)0xBFFA005D)
#endif
#ifndef IVI_ERROR_ID_QUERY_FAILED
#define IVI_ERROR_ID_QUERY_FAILED                      ((ViStatus)0xBFFA005E)
#endif
#ifndef IVI_ERROR_RESET_FAILED
#define IVI_ERROR_RESET_FAILED                         ((ViStatus)0xBFFA005F)
#endif
#ifndef IVI_ERROR_RESOURCE_UNKNOWN
#define IVI_ERROR_RESOURCE_UNKNOWN                     ((ViStatus)0xBFFA0060)
#endif
#ifndef IVI_ERROR_ALREADY_INITIALIZED
#define IVI_ERROR_ALREADY_INITIALIZED                  ((ViStatus)0xBFFA0061)
#endif
#ifndef IVI_ERROR_CANNOT_CHANGE_SIMULATION_STATE
#define IVI_ERROR_CANNOT_CHANGE_SIMULATION_STATE       ((ViStatus)0xBFFA0062)
#endif
#ifndef IVI_ERROR_INVALID_NUMBER_OF_LEVELS_IN_SELECTOR
#define IVI_ERROR_INVALID_NUMBER_OF_LEVELS_IN_SELECTOR ((ViStatus)0xBFFA0063)
#endif
#ifndef IVI_ERROR_INVALID_RANGE_IN_SELECTOR
#define IVI_ERROR_INVALID_RANGE_IN_SELECTOR            ((ViStatus)0xBFFA0064)
#endif
#ifndef IVI_ERROR_UNKNOWN_NAME_IN_SELECTOR
#define IVI_ERROR_UNKNOWN_NAME_IN_SELECTOR             ((ViStatus)0xBFFA0065)
#endif
#ifndef IVI_ERROR_BADLY_FORMED_SELECTOR
#define IVI_ERROR_BADLY_FORMED_SELECTOR                ((ViStatus)0xBFFA0066)
#endif
#ifndef IVI_ERROR_UNKNOWN_PHYSICAL_IDENTIFIER
#define IVI_ERROR_UNKNOWN_PHYSICAL_IDENTIFIER          ((ViStatus)0xBFFA0067)
#endif
#ifndef IVI_ERROR_INVALID_SESSION_HANDLE
#define IVI_ERROR_INVALID_SESSION_HANDLE               ((ViStatus)0xBFFA1190)
#endif
#ifndef IVI_WARN_NSUP_ID_QUERY
#define IVI_WARN_NSUP_ID_QUERY                         ((ViStatus)0x3FFA0065)
#endif
#ifndef IVI_WARN_NSUP_RESET
#define IVI_WARN_NSUP_RESET                            ((ViStatus)0x3FFA0066)
#endif
#ifndef IVI_WARN_NSUP_SELF_TEST
#define IVI_WARN_NSUP_SELF_TEST                        ((ViStatus)0x3FFA0067)
#endif
#ifndef IVI_WARN_NSUP_ERROR_QUERY
#define IVI_WARN_NSUP_ERROR_QUERY                      ((ViStatus)0x3FFA0068)
#endif
#ifndef IVI_WARN_NSUP_REV_QUERY
#define IVI_WARN_NSUP_REV_QUERY                        ((ViStatus)0x3FFA0069)
#endif

/* ------------------------------------------------------------------------
   Functions
   ------------------------------------------------------------------------ */

/* ---- Session ---- */

/* Opens a session on ResourceName (logical name or VISA resource); *Vi gets the handle, 0 on failure. */
ViStatus _VI_FUNC Varnel_init(ViRsrc ResourceName, ViBoolean IdQuery, ViBoolean Reset, ViSession* Vi);
/* Varnel_init with an option string: inherent options such as "Simulate=1, Cache=0", then DriverSetup=.... */
ViStatus _VI_FUNC Varnel_InitWithOptions(ViRsrc ResourceName, ViBoolean IdQuery, ViBoolean Reset,
    ViConstString OptionString, ViSession* Vi);
/* Closes the session and releases its handle; nothing is sent to the instrument. */
ViStatus _VI_FUNC Varnel_close(ViSession Vi);
/* Takes the session lock for the caller across calls (recursive on one thread). */
ViStatus _VI_FUNC Varnel_LockSession(ViSession Vi, ViBoolean* callerHasLock);
/* Releases the lock taken with Varnel_LockSession. */
ViStatus _VI_FUNC Varnel_UnlockSession(ViSession Vi, ViBoolean* callerHasLock);
/* Reads the last error and clears it (size 0: returns the size needed); VI_NULL: the thread's last error. */
ViStatus _VI_FUNC Varnel_GetError(ViSession Vi, ViStatus* ErrorCode, ViInt32 ErrorDescriptionBufferSize,
    ViChar ErrorDescription[]);
/* Forgets the stored error (VI_NULL: the thread's last error). */
ViStatus _VI_FUNC Varnel_ClearError(ViSession Vi);

/* ---- Attribute access (RepCapIdentifier is ignored: the driver has no repeated capabilities) ---- */

/* Reads a ViInt32 attribute. */
ViStatus _VI_FUNC Varnel_GetAttributeViInt32(ViSession Vi, ViConstString RepCapIdentifier, ViAttr AttributeID,
    ViInt32* AttributeValue);
/* Reads a ViReal64 attribute. */
ViStatus _VI_FUNC Varnel_GetAttributeViReal64(ViSession Vi, ViConstString RepCapIdentifier,
    ViAttr AttributeID, ViReal64* AttributeValue);
/* Reads a ViBoolean attribute. */
ViStatus _VI_FUNC Varnel_GetAttributeViBoolean(ViSession Vi, ViConstString RepCapIdentifier,
    ViAttr AttributeID, ViBoolean* AttributeValue);
/* Reads a ViSession attribute. */
ViStatus _VI_FUNC Varnel_GetAttributeViSession(ViSession Vi, ViConstString RepCapIdentifier,
    ViAttr AttributeID, ViSession* AttributeValue);
/* Reads a ViString attribute; returns 4096 (always large enough) for size 0 or a value that fills the buffer. */
ViStatus _VI_FUNC Varnel_GetAttributeViString(ViSession Vi, ViConstString RepCapIdentifier,
    ViAttr AttributeID, ViInt32 AttributeValueBufferSize, ViChar AttributeValue[]);
/* Writes a ViInt32 attribute. */
ViStatus _VI_FUNC Varnel_SetAttributeViInt32(ViSession Vi, ViConstString RepCapIdentifier, ViAttr AttributeID,
    ViInt32 AttributeValue);
/* Writes a ViReal64 attribute. */
ViStatus _VI_FUNC Varnel_SetAttributeViReal64(ViSession Vi, ViConstString RepCapIdentifier,
    ViAttr AttributeID, ViReal64 AttributeValue);
/* Writes a ViBoolean attribute. */
ViStatus _VI_FUNC Varnel_SetAttributeViBoolean(ViSession Vi, ViConstString RepCapIdentifier,
    ViAttr AttributeID, ViBoolean AttributeValue);
/* Writes a ViSession attribute. */
ViStatus _VI_FUNC Varnel_SetAttributeViSession(ViSession Vi, ViConstString RepCapIdentifier,
    ViAttr AttributeID, ViSession AttributeValue);
/* Writes a ViString attribute. */
ViStatus _VI_FUNC Varnel_SetAttributeViString(ViSession Vi, ViConstString RepCapIdentifier,
    ViAttr AttributeID, ViConstString AttributeValue);
/* Empties the session's attribute cache. */
ViStatus _VI_FUNC Varnel_InvalidateAllAttributes(ViSession Vi);
/* Takes the oldest coercion record; size 0 returns the size needed. */
ViStatus _VI_FUNC Varnel_GetNextCoercionRecord(ViSession Vi, ViInt32 BufferSize, ViChar CoercionRecord[]);
/* Not supported (interchange checking): IVI_ERROR_FUNCTION_NOT_SUPPORTED. */
ViStatus _VI_FUNC Varnel_GetNextInterchangeWarning(ViSession Vi, ViInt32 BufferSize,
    ViChar InterchangeWarning[]);
/* Not supported (interchange checking): IVI_ERROR_FUNCTION_NOT_SUPPORTED. */
ViStatus _VI_FUNC Varnel_ClearInterchangeWarnings(ViSession Vi);
/* Not supported (interchange checking): IVI_ERROR_FUNCTION_NOT_SUPPORTED. */
ViStatus _VI_FUNC Varnel_ResetInterchangeCheck(ViSession Vi);

/* ---- Errors and utilities ---- */

/* Gives the message of a status code; Vi may be VI_NULL. */
ViStatus _VI_FUNC Varnel_error_message(ViSession Vi, ViStatus ErrorCode, ViChar ErrorMessage[256]);
/* Reads the instrument error: the driver keeps no error queue and answers 0, "No error.". */
ViStatus _VI_FUNC Varnel_error_query(ViSession Vi, ViInt32* ErrorCode, ViChar ErrorMessage[256]);
/* Sends the instrument's clear command (CL); no status check follows. */
ViStatus _VI_FUNC Varnel_SystemClear(ViSession Vi);
/* Reads the instrument's questionable-condition register. */
ViStatus _VI_FUNC Varnel_GetQuestionableConditionRegister(ViSession Vi, ViInt32* Val);
/* Resets the instrument (Varnel_SystemInitialize). */
ViStatus _VI_FUNC Varnel_reset(ViSession Vi);
/* Resets the instrument (Varnel_reset). */
ViStatus _VI_FUNC Varnel_ResetWithDefaults(ViSession Vi);
/* Sends the instrument's initialize command under the long-command time-out (30 s). */
ViStatus _VI_FUNC Varnel_SystemInitialize(ViSession Vi);
/* Sends the clear command (CL), then switches the load off. */
ViStatus _VI_FUNC Varnel_Disable(ViSession Vi);
/* Self-test: TestResult 0 and "Selftest passed". */
ViStatus _VI_FUNC Varnel_self_test(ViSession Vi, ViInt16* TestResult, ViChar TestMessage[256]);
/* Gives the driver revision and the instrument firmware revision read at initialization. */
ViStatus _VI_FUNC Varnel_revision_query(ViSession Vi, ViChar DriverRev[256], ViChar InstrRev[256]);
/* Reads one whole raw response: up to BufferSize bytes into Buffer, the rest is discarded; not in simulation. */
ViStatus _VI_FUNC Varnel_viRead(ViSession Vi, ViInt64 BufferSize, ViByte Buffer[], ViInt64* ReturnCount);
/* Writes BufferSize raw bytes to the instrument, nothing added; not in simulation. */
ViStatus _VI_FUNC Varnel_viWrite(ViSession Vi, ViInt64 BufferSize, ViConstBuf Buffer, ViInt64* ReturnCount);

/* ---- Load settings (write-only attributes; values go to the instrument unchanged, no range check) ---- */

/* Sets the constant-current level, A. */
ViStatus _VI_FUNC Varnel_SetConstantCurrent(ViSession Vi, ViReal64 Val);
/* Sets the constant-power level, W. */
ViStatus _VI_FUNC Varnel_SetConstantPower(ViSession Vi, ViReal64 Val);
/* Sets the constant-resistance level, ohm. */
ViStatus _VI_FUNC Varnel_SetConstantResistance(ViSession Vi, ViReal64 Val);
/* Sets the constant-voltage level, V. */
ViStatus _VI_FUNC Varnel_SetConstantVoltage(ViSession Vi, ViReal64 Val);
/* Sets the current drawn at 10 V, A. */
ViStatus _VI_FUNC Varnel_SetCurrentAt10v(ViSession Vi, ViReal64 Val);
/* Sets the current limit, A. */
ViStatus _VI_FUNC Varnel_SetCurrentLimit(ViSession Vi, ViReal64 Val);
/* Selects the current range, VARNEL_VAL_CURRENT_RANGE_*. */
ViStatus _VI_FUNC Varnel_SetCurrentRange(ViSession Vi, ViInt32 Val);
/* Switches the load on (VI_TRUE) or off (VI_FALSE). */
ViStatus _VI_FUNC Varnel_SetLoadEnabled(ViSession Vi, ViBoolean Val);
/* Sets the response time, instrument units. */
ViStatus _VI_FUNC Varnel_SetResponseTime(ViSession Vi, ViReal64 Val);
/* Sets the constant-current slew rate, A/us. */
ViStatus _VI_FUNC Varnel_SetConstantCurrentSlewRate(ViSession Vi, ViReal64 Val);
/* Selects the voltage range of constant-current mode, VARNEL_VAL_CONSTANT_CURRENT_VOLTAGE_RANGE_*. */
ViStatus _VI_FUNC Varnel_SetConstantCurrentVoltageRange(ViSession Vi, ViInt32 Val);
/* Selects the load switching mode, VARNEL_VAL_MODE_SWITCHING_*. */
ViStatus _VI_FUNC Varnel_SetLoadSwitchingMode(ViSession Vi, ViInt32 Val);
/* Sets the precondition voltage of load switching, V. */
ViStatus _VI_FUNC Varnel_SetLoadSwitchingPreconditionVoltage(ViSession Vi, ViReal64 Val);
/* Selects the display position of the reading, VARNEL_VAL_DISPLAY_POSITION_*. */
ViStatus _VI_FUNC Varnel_SetMeasurementDisplayPosition(ViSession Vi, ViInt32 Val);
/* Selects free-run or single measurement, VARNEL_VAL_MEASUREMENT_MODE_*. */
ViStatus _VI_FUNC Varnel_SetMeasurementMode(ViSession Vi, ViInt32 Val);
/* Selects the sample rate, VARNEL_VAL_SAMPLE_RATE_*. */
ViStatus _VI_FUNC Varnel_SetSampleRate(ViSession Vi, ViInt32 Val);
/* Selects the measurement averaging, VARNEL_VAL_MEASUREMENT_AVERAGING_*. */
ViStatus _VI_FUNC Varnel_SetMeasurementAveraging(ViSession Vi, ViInt32 Val);
/* Selects the noise measurement band limit, VARNEL_VAL_BAND_LIMIT_*. */
ViStatus _VI_FUNC Varnel_SetNoiseBandLimit(ViSession Vi, ViInt32 Val);
/* Selects the noise measurement filter, VARNEL_VAL_NOISE_FILTER_*. */
ViStatus _VI_FUNC Varnel_SetNoiseFilter(ViSession Vi, ViInt32 Val);
/* Sets the noise measurement ratio, instrument units. */
ViStatus _VI_FUNC Varnel_SetNoiseRatio(ViSession Vi, ViReal64 Val);
/* Selects master/slave operation, VARNEL_VAL_MASTER_SLAVE_MODE_*. */
ViStatus _VI_FUNC Varnel_SetMasterSlaveMode(ViSession Vi, ViInt32 Val);
/* Switches the user-defined output on or off. */
ViStatus _VI_FUNC Varnel_SetUserDefinedOutputEnabled(ViSession Vi, ViBoolean Val);
/* Sets the current-limit protection switch (VI_TRUE sends 1). */
ViStatus _VI_FUNC Varnel_SetCurrentLimitProtectionEnabled(ViSession Vi, ViBoolean Val);
/* Sets the power-limit protection switch (VI_TRUE sends 1). */
ViStatus _VI_FUNC Varnel_SetPowerLimitProtectionEnabled(ViSession Vi, ViBoolean Val);
/* Applies a short circuit (one-shot command, not an attribute). */
ViStatus _VI_FUNC Varnel_SetShortCircuit(ViSession Vi);

/* ---- Dynamic modes ---- */

/* Sets the frequency-dynamic period, instrument units. */
ViStatus _VI_FUNC Varnel_SetFrequencyDynamicModePeriod(ViSession Vi, ViReal64 Val);
/* Sets the frequency-dynamic duty cycle, instrument units. */
ViStatus _VI_FUNC Varnel_SetFrequencyDynamicModeDutyCycle(ViSession Vi, ViReal64 Val);
/* Sets the frequency-dynamic level 1, A. */
ViStatus _VI_FUNC Varnel_SetFrequencyDynamicModeStep1Load(ViSession Vi, ViReal64 Val);
/* Sets the frequency-dynamic slew rate to level 1, A/us. */
ViStatus _VI_FUNC Varnel_SetFrequencyDynamicModeStep1SlewRate(ViSession Vi, ViReal64 Val);
/* Sets the frequency-dynamic level 2, A. */
ViStatus _VI_FUNC Varnel_SetFrequencyDynamicModeStep2Load(ViSession Vi, ViReal64 Val);
/* Sets the frequency-dynamic slew rate to level 2, A/us. */
ViStatus _VI_FUNC Varnel_SetFrequencyDynamicModeStep2SlewRate(ViSession Vi, ViReal64 Val);
/* Sets the load level of time-dynamic step 1, A. */
ViStatus _VI_FUNC Varnel_SetTimeDynamicModeStep1Load(ViSession Vi, ViReal64 Val);
/* Sets the dwell time of time-dynamic step 1, instrument units. */
ViStatus _VI_FUNC Varnel_SetTimeDynamicModeStep1Dwell(ViSession Vi, ViReal64 Val);
/* Sets the slew rate of time-dynamic step 1, A/us. */
ViStatus _VI_FUNC Varnel_SetTimeDynamicModeStep1SlewRate(ViSession Vi, ViReal64 Val);
/* Sets the load level of time-dynamic step 2, A. */
ViStatus _VI_FUNC Varnel_SetTimeDynamicModeStep2Load(ViSession Vi, ViReal64 Val);
/* Sets the dwell time of time-dynamic step 2, instrument units. */
ViStatus _VI_FUNC Varnel_SetTimeDynamicModeStep2Dwell(ViSession Vi, ViReal64 Val);
/* Sets the slew rate of time-dynamic step 2, A/us. */
ViStatus _VI_FUNC Varnel_SetTimeDynamicModeStep2SlewRate(ViSession Vi, ViReal64 Val);
/* Sets the load level of time-dynamic step 3, A. */
ViStatus _VI_FUNC Varnel_SetTimeDynamicModeStep3Load(ViSession Vi, ViReal64 Val);
/* Sets the dwell time of time-dynamic step 3, instrument units. */
ViStatus _VI_FUNC Varnel_SetTimeDynamicModeStep3Dwell(ViSession Vi, ViReal64 Val);
/* Sets the slew rate of time-dynamic step 3, A/us. */
ViStatus _VI_FUNC Varnel_SetTimeDynamicModeStep3SlewRate(ViSession Vi, ViReal64 Val);
/* Sets the load level of time-dynamic step 4, A. */
ViStatus _VI_FUNC Varnel_SetTimeDynamicModeStep4Load(ViSession Vi, ViReal64 Val);
/* Sets the dwell time of time-dynamic step 4, instrument units. */
ViStatus _VI_FUNC Varnel_SetTimeDynamicModeStep4Dwell(ViSession Vi, ViReal64 Val);
/* Sets the slew rate of time-dynamic step 4, A/us. */
ViStatus _VI_FUNC Varnel_SetTimeDynamicModeStep4SlewRate(ViSession Vi, ViReal64 Val);
/* Sets the load level of time-dynamic step 5, A. */
ViStatus _VI_FUNC Varnel_SetTimeDynamicModeStep5Load(ViSession Vi, ViReal64 Val);
/* Sets the dwell time of time-dynamic step 5, instrument units. */
ViStatus _VI_FUNC Varnel_SetTimeDynamicModeStep5Dwell(ViSession Vi, ViReal64 Val);
/* Sets the slew rate of time-dynamic step 5, A/us. */
ViStatus _VI_FUNC Varnel_SetTimeDynamicModeStep5SlewRate(ViSession Vi, ViReal64 Val);
/* Sets the load level of time-dynamic step 6, A. */
ViStatus _VI_FUNC Varnel_SetTimeDynamicModeStep6Load(ViSession Vi, ViReal64 Val);
/* Sets the dwell time of time-dynamic step 6, instrument units. */
ViStatus _VI_FUNC Varnel_SetTimeDynamicModeStep6Dwell(ViSession Vi, ViReal64 Val);
/* Sets the slew rate of time-dynamic step 6, A/us. */
ViStatus _VI_FUNC Varnel_SetTimeDynamicModeStep6SlewRate(ViSession Vi, ViReal64 Val);
/* Sets the load level of time-dynamic step 7, A. */
ViStatus _VI_FUNC Varnel_SetTimeDynamicModeStep7Load(ViSession Vi, ViReal64 Val);
/* Sets the dwell time of time-dynamic step 7, instrument units. */
ViStatus _VI_FUNC Varnel_SetTimeDynamicModeStep7Dwell(ViSession Vi, ViReal64 Val);
/* Sets the slew rate of time-dynamic step 7, A/us. */
ViStatus _VI_FUNC Varnel_SetTimeDynamicModeStep7SlewRate(ViSession Vi, ViReal64 Val);
/* Sets the load level of time-dynamic step 8, A. */
ViStatus _VI_FUNC Varnel_SetTimeDynamicModeStep8Load(ViSession Vi, ViReal64 Val);
/* Sets the dwell time of time-dynamic step 8, instrument units. */
ViStatus _VI_FUNC Varnel_SetTimeDynamicModeStep8Dwell(ViSession Vi, ViReal64 Val);
/* Sets the slew rate of time-dynamic step 8, A/us. */
ViStatus _VI_FUNC Varnel_SetTimeDynamicModeStep8SlewRate(ViSession Vi, ViReal64 Val);
/* Sets the load level of time-dynamic step 9, A. */
ViStatus _VI_FUNC Varnel_SetTimeDynamicModeStep9Load(ViSession Vi, ViReal64 Val);
/* Sets the dwell time of time-dynamic step 9, instrument units. */
ViStatus _VI_FUNC Varnel_SetTimeDynamicModeStep9Dwell(ViSession Vi, ViReal64 Val);
/* Sets the slew rate of time-dynamic step 9, A/us. */
ViStatus _VI_FUNC Varnel_SetTimeDynamicModeStep9SlewRate(ViSession Vi, ViReal64 Val);
/* Sets the load level of time-dynamic step 10, A. */
ViStatus _VI_FUNC Varnel_SetTimeDynamicModeStep10Load(ViSession Vi, ViReal64 Val);
/* Sets the dwell time of time-dynamic step 10, instrument units. */
ViStatus _VI_FUNC Varnel_SetTimeDynamicModeStep10Dwell(ViSession Vi, ViReal64 Val);
/* Sets the slew rate of time-dynamic step 10, A/us. */
ViStatus _VI_FUNC Varnel_SetTimeDynamicModeStep10SlewRate(ViSession Vi, ViReal64 Val);
/* Sets the load level of time-dynamic step 11, A. */
ViStatus _VI_FUNC Varnel_SetTimeDynamicModeStep11Load(ViSession Vi, ViReal64 Val);
/* Sets the dwell time of time-dynamic step 11, instrument units. */
ViStatus _VI_FUNC Varnel_SetTimeDynamicModeStep11Dwell(ViSession Vi, ViReal64 Val);
/* Sets the slew rate of time-dynamic step 11, A/us. */
ViStatus _VI_FUNC Varnel_SetTimeDynamicModeStep11SlewRate(ViSession Vi, ViReal64 Val);
/* Sets the load level of time-dynamic step 12, A. */
ViStatus _VI_FUNC Varnel_SetTimeDynamicModeStep12Load(ViSession Vi, ViReal64 Val);
/* Sets the dwell time of time-dynamic step 12, instrument units. */
ViStatus _VI_FUNC Varnel_SetTimeDynamicModeStep12Dwell(ViSession Vi, ViReal64 Val);
/* Sets the slew rate of time-dynamic step 12, A/us. */
ViStatus _VI_FUNC Varnel_SetTimeDynamicModeStep12SlewRate(ViSession Vi, ViReal64 Val);
/* Sets the load level of time-dynamic step 13, A. */
ViStatus _VI_FUNC Varnel_SetTimeDynamicModeStep13Load(ViSession Vi, ViReal64 Val);
/* Sets the dwell time of time-dynamic step 13, instrument units. */
ViStatus _VI_FUNC Varnel_SetTimeDynamicModeStep13Dwell(ViSession Vi, ViReal64 Val);
/* Sets the slew rate of time-dynamic step 13, A/us. */
ViStatus _VI_FUNC Varnel_SetTimeDynamicModeStep13SlewRate(ViSession Vi, ViReal64 Val);
/* Sets the load level of time-dynamic step 14, A. */
ViStatus _VI_FUNC Varnel_SetTimeDynamicModeStep14Load(ViSession Vi, ViReal64 Val);
/* Sets the dwell time of time-dynamic step 14, instrument units. */
ViStatus _VI_FUNC Varnel_SetTimeDynamicModeStep14Dwell(ViSession Vi, ViReal64 Val);
/* Sets the slew rate of time-dynamic step 14, A/us. */
ViStatus _VI_FUNC Varnel_SetTimeDynamicModeStep14SlewRate(ViSession Vi, ViReal64 Val);
/* Sets the load level of time-dynamic step 15, A. */
ViStatus _VI_FUNC Varnel_SetTimeDynamicModeStep15Load(ViSession Vi, ViReal64 Val);
/* Sets the dwell time of time-dynamic step 15, instrument units. */
ViStatus _VI_FUNC Varnel_SetTimeDynamicModeStep15Dwell(ViSession Vi, ViReal64 Val);
/* Sets the slew rate of time-dynamic step 15, A/us. */
ViStatus _VI_FUNC Varnel_SetTimeDynamicModeStep15SlewRate(ViSession Vi, ViReal64 Val);
/* Sets the load level of time-dynamic step 16, A. */
ViStatus _VI_FUNC Varnel_SetTimeDynamicModeStep16Load(ViSession Vi, ViReal64 Val);
/* Sets the dwell time of time-dynamic step 16, instrument units. */
ViStatus _VI_FUNC Varnel_SetTimeDynamicModeStep16Dwell(ViSession Vi, ViReal64 Val);
/* Sets the slew rate of time-dynamic step 16, A/us. */
ViStatus _VI_FUNC Varnel_SetTimeDynamicModeStep16SlewRate(ViSession Vi, ViReal64 Val);
/* Starts the time-dynamic pattern, repeating (CD 1). */
ViStatus _VI_FUNC Varnel_StartDynamicMode(ViSession Vi);
/* Runs the time-dynamic pattern once (CD 2). */
ViStatus _VI_FUNC Varnel_StartDynamicModeSingle(ViSession Vi);
/* Starts the frequency-dynamic mode (CD 3). */
ViStatus _VI_FUNC Varnel_StartDynamicFrequencyMode(ViSession Vi);
/* Stops any dynamic mode (CD 0). */
ViStatus _VI_FUNC Varnel_AbortDynamicMode(ViSession Vi);

/* ---- Load sequences (arguments are sent in order, in instrument units) ---- */

/* Initializes the stored sequence. */
ViStatus _VI_FUNC Varnel_InitializeSequence(ViSession Vi);
/* Configures the stored sequence with four instrument parameters. */
ViStatus _VI_FUNC Varnel_ConfigureSequence(ViSession Vi, ViInt32 Param1, ViInt32 Param2, ViInt32 Param3,
    ViInt32 Param4);
/* Loads the data of one sequence step: step number and two values. */
ViStatus _VI_FUNC Varnel_SetSequenceLoadData(ViSession Vi, ViInt32 Step, ViReal64 Param1, ViReal64 Param2);
/* Starts the sequence. */
ViStatus _VI_FUNC Varnel_StartSequence(ViSession Vi);
/* Stops the sequence. */
ViStatus _VI_FUNC Varnel_StopSequence(ViSession Vi);

/* ---- LAN, identity and maintenance (texts: the rules of Varnel_GetAttributeViString) ---- */

/* Reads the instrument's firmware version as text. */
ViStatus _VI_FUNC Varnel_GetFirmwareVersion(ViSession Vi, ViInt32 BufferSize, ViChar Val[]);
/* Reads the instrument's serial number as text. */
ViStatus _VI_FUNC Varnel_GetSerialNumber(ViSession Vi, ViInt32 BufferSize, ViChar Val[]);
/* Reads the instrument's IP address as text. */
ViStatus _VI_FUNC Varnel_GetIpAddress(ViSession Vi, ViInt32 BufferSize, ViChar Val[]);
/* Reads the instrument's MAC address as text. */
ViStatus _VI_FUNC Varnel_GetMacAddress(ViSession Vi, ViInt32 BufferSize, ViChar Val[]);
/* Reads the instrument's host name as text. */
ViStatus _VI_FUNC Varnel_GetHostname(ViSession Vi, ViInt32 BufferSize, ViChar Val[]);
/* Switches the LXI identify indicator on or off. */
ViStatus _VI_FUNC Varnel_SetLxiIdentifyEnabled(ViSession Vi, ViBoolean Val);
/* Resets the instrument's LAN settings. */
ViStatus _VI_FUNC Varnel_ResetLan(ViSession Vi);
/* Restores the instrument's factory LAN settings. */
ViStatus _VI_FUNC Varnel_RestoreFactorySettings(ViSession Vi);
/* Resets the protection alarms. */
ViStatus _VI_FUNC Varnel_ResetAlarm(ViSession Vi);

/* ---- Measurements (0.0 in simulation) ---- */

/* Measures the voltage, V. */
ViStatus _VI_FUNC Varnel_MeasureVoltage(ViSession Vi, ViReal64* Val);
/* Measures the DC voltage in Range (VARNEL_VAL_DC_VOLTAGE_RANGE_*), V. */
ViStatus _VI_FUNC Varnel_MeasureDCVoltage(ViSession Vi, ViInt32 Range, ViReal64* Val);
/* Measures the current, A. */
ViStatus _VI_FUNC Varnel_MeasureCurrent(ViSession Vi, ViReal64* Val);
/* Measures the current in Range (VARNEL_VAL_CURRENT_RANGE_*), A. */
ViStatus _VI_FUNC Varnel_MeasureCurrentAtRange(ViSession Vi, ViInt32 Range, ViReal64* Val);
/* Measures the power, W. */
ViStatus _VI_FUNC Varnel_MeasurePower(ViSession Vi, ViReal64* Val);
/* Measures the noise voltage in Range (VARNEL_VAL_NOISE_VOLTAGE_RANGE_*), V. */
ViStatus _VI_FUNC Varnel_MeasureNoiseVoltage(ViSession Vi, ViInt32 Range, ViReal64* Val);
/* Measures the ripple voltage in Range (VARNEL_VAL_NOISE_VOLTAGE_RANGE_*), V. */
ViStatus _VI_FUNC Varnel_MeasureRippleVoltage(ViSession Vi, ViInt32 Range, ViReal64* Val);
/* Measures the noise power, W. */
ViStatus _VI_FUNC Varnel_MeasureNoisePower(ViSession Vi, ViReal64* Val);
/* Simplified current reading in Range (VARNEL_VAL_CURRENT_RANGE_*), A. */
ViStatus _VI_FUNC Varnel_MeasureSimplifiedCurrent(ViSession Vi, ViInt32 Range, ViReal64* Val);
/* Simplified power reading, W. */
ViStatus _VI_FUNC Varnel_MeasureSimplifiedPower(ViSession Vi, ViReal64* Val);

/* ---- Sweep tests (arguments sent in order, in instrument units; results are instrument text) ---- */

/* Configures the current sweep. */
ViStatus _VI_FUNC Varnel_ConfigureCurrentSweep(ViSession Vi, ViReal64 Param1, ViReal64 Param2,
    ViReal64 Param3, ViReal64 Param4, ViInt32 Param5);
/* Sets the two pass/fail limits of the current sweep test. */
ViStatus _VI_FUNC Varnel_ConfigureCurrentSweepTest(ViSession Vi, ViReal64 Limit1, ViReal64 Limit2);
/* Starts the current sweep. */
ViStatus _VI_FUNC Varnel_StartCurrentSweep(ViSession Vi);
/* Configures the power sweep. */
ViStatus _VI_FUNC Varnel_ConfigurePowerSweep(ViSession Vi, ViReal64 Param1, ViReal64 Param2, ViReal64 Param3,
    ViReal64 Param4, ViInt32 Param5);
/* Sets the two pass/fail limits of the power sweep test. */
ViStatus _VI_FUNC Varnel_ConfigurePowerSweepTest(ViSession Vi, ViReal64 Limit1, ViReal64 Limit2);
/* Starts the power sweep. */
ViStatus _VI_FUNC Varnel_StartPowerSweep(ViSession Vi);
/* Configures the conductance sweep. */
ViStatus _VI_FUNC Varnel_ConfigureConductanceSweep(ViSession Vi, ViReal64 Param1, ViReal64 Param2,
    ViReal64 Param3, ViReal64 Param4, ViInt32 Param5);
/* Configures the fine conductance sweep. */
ViStatus _VI_FUNC Varnel_ConfigureFineConductanceSweep(ViSession Vi, ViReal64 Param1, ViReal64 Param2);
/* Starts the conductance sweep. */
ViStatus _VI_FUNC Varnel_StartConductanceSweep(ViSession Vi);
/* Reads the step at which the current sweep ended, -1 when unknown. */
ViStatus _VI_FUNC Varnel_GetCurrentSweepEndStepCount(ViSession Vi, ViInt32* Val);
/* Reads the step at which the power sweep ended, -1 when unknown. */
ViStatus _VI_FUNC Varnel_GetPowerSweepEndStepCount(ViSession Vi, ViInt32* Val);
/* Reads the step at which the conductance sweep ended, -1 when unknown. */
ViStatus _VI_FUNC Varnel_GetConductanceSweepEndStepCount(ViSession Vi, ViInt32* Val);
/* Reads the result of one current sweep step as text. */
ViStatus _VI_FUNC Varnel_GetCurrentSweepStepResult(ViSession Vi, ViInt32 Step, ViInt32 BufferSize,
    ViChar Val[]);
/* Reads the result of one power sweep step as text. */
ViStatus _VI_FUNC Varnel_GetPowerSweepStepResult(ViSession Vi, ViInt32 Step, ViInt32 BufferSize,
    ViChar Val[]);
/* Reads the result of one conductance sweep step as text. */
ViStatus _VI_FUNC Varnel_GetConductanceSweepStepResult(ViSession Vi, ViInt32 Step, ViInt32 BufferSize,
    ViChar Val[]);
/* Reads the pass/fail verdict of the current sweep test as text. */
ViStatus _VI_FUNC Varnel_GetCurrentSweepPassFailResult(ViSession Vi, ViInt32 BufferSize, ViChar Val[]);
/* Reads the pass/fail verdict of the power sweep test as text. */
ViStatus _VI_FUNC Varnel_GetPowerSweepPassFailResult(ViSession Vi, ViInt32 BufferSize, ViChar Val[]);

#ifdef __cplusplus
}
#endif

#endif
