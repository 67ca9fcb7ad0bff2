// Varnel_error_message: the text of every code of the driver's table, and
// the answers for codes it does not define.
#include <cstring>

#include "DriverTestSupport.h"
#include "visa.h"

namespace varnel::test {
namespace {

struct Message {
    ViStatus code;
    const char* text;
};

const Message kMessages[] = {
    {0x00000000, "Success."},
    {static_cast<ViStatus>(0xBFFA4214), "I/O error."},
    {static_cast<ViStatus>(0xBFFA4215), "I/O timeout error."},
    {static_cast<ViStatus>(0xBFFA0000), "Failure cannot recover."},
    {static_cast<ViStatus>(0xBFFA0001), "Instrument error detected.  Use ErrorQuery() to determine the error(s)."},
    {static_cast<ViStatus>(0xBFFA0002), "Cannot open file."},
    {static_cast<ViStatus>(0xBFFA0003), "Error reading file."},
    {static_cast<ViStatus>(0xBFFA0004), "Error writing file."},
    {static_cast<ViStatus>(0xBFFA000B), "The pathname is invalid."},
    {static_cast<ViStatus>(0xBFFA000C), "Attribute ID '%s' not recognized."},
    {static_cast<ViStatus>(0xBFFA000D), "Attribute '%s' is read-only."},
    {static_cast<ViStatus>(0xBFFA000E), "Attribute '%s' is write-only."},
    {static_cast<ViStatus>(0xBFFA0010), "Invalid value '%s' for function '%s', parameter '%s'."},
    {static_cast<ViStatus>(0xBFFA0011), "Does not support this class-compliant feature: function '%s'"},
    {static_cast<ViStatus>(0xBFFA0012), "Does not support this class-compliant feature: attribute '%s'."},
    {static_cast<ViStatus>(0xBFFA0013),
     "Does not support this class-compliant feature:  Enumeration value '%s' passed as the value for parameter "
     "'%s' in function '%s'."},
    {static_cast<ViStatus>(0xBFFA0015), "%sAttribute%s called for attribute '%s' of type '%s'."},
    {static_cast<ViStatus>(0xBFFA001D), "A connection to the instrument has not been established."},
    {static_cast<ViStatus>(0xBFFA0020), "Unknown channel name."},
    {static_cast<ViStatus>(0xBFFA0023), "Too many files are open."},
    {static_cast<ViStatus>(0xBFFA0044), "A channel name is required."},
    {static_cast<ViStatus>(0xBFFA0049), "The option string is missing an option name."},
    {static_cast<ViStatus>(0xBFFA004A), "The option string is missing an option value."},
    {static_cast<ViStatus>(0xBFFA004B), "The '%s' name in the option string is unknown."},
    {static_cast<ViStatus>(0xBFFA004C), "The '%s' value in the option string is unknown."},
    {static_cast<ViStatus>(0xBFFA0056), "Could not allocate necessary memory."},
    {static_cast<ViStatus>(0xBFFA0057), "Operation in progress."},
    {static_cast<ViStatus>(0xBFFA0058), "Null pointer passed for function '%s', parameter '%s'."},
    {static_cast<ViStatus>(0xBFFA0059), "Unexpected response from instrument."},
    {static_cast<ViStatus>(0xBFFA005B), "File not found."},
    {static_cast<ViStatus>(0xBFFA005C), "Invalid file format."},
    {static_cast<ViStatus>(0xBFFA005D), "The instrument status is not available."},
    {static_cast<ViStatus>(0xBFFA005E), "Instrument ID query failed."},
    {static_cast<ViStatus>(0xBFFA005F), "Instrument reset failed."},
    {static_cast<ViStatus>(0xBFFA0060), "Unknown resource."},
    {static_cast<ViStatus>(0xBFFA0061), "The driver is already initialized."},
    {static_cast<ViStatus>(0xBFFA0062), "The simulation state cannot be changed."},
    {static_cast<ViStatus>(0xBFFA0063),
     "The number of levels in the selector is not valid for the '%s' repeated capability."},
    {static_cast<ViStatus>(0xBFFA0064), "The range '%s' is not valid for the repeated capability '%s'."},
    {static_cast<ViStatus>(0xBFFA0065), "Unknown name in selector."},
    {static_cast<ViStatus>(0xBFFA0066), "The repeated capability selector is badly-formed."},
    {static_cast<ViStatus>(0xBFFA0067), "Unknown physical repeated capability selector."},
    {static_cast<ViStatus>(0xBFFA1190), "Invalid session handle."},
    {0x3FFA0065, "ID Query is not supported by this instrument."},
    {0x3FFA0066, "Reset is not supported by this instrument."},
    {0x3FFA0067, "Self test is not supported by this instrument."},
    {0x3FFA0068, "Error query is not supported by this instrument."},
    {0x3FFA0069, "Firmware revision query is not supported by this instrument."},
};

TEST(ErrorMessage, GivesTheTextOfEveryCodeOfTheTable) {
    EXPECT_EQ(48u, sizeof kMessages / sizeof kMessages[0]);
    for (const Message& m : kMessages) {
        char buffer[256];
        std::memset(buffer, '#', sizeof buffer);
        EXPECT_EQ(VI_SUCCESS, Varnel_error_message(VI_NULL, m.code, buffer)) << std::hex << m.code;
        EXPECT_STREQ(m.text, buffer) << std::hex << m.code;
    }
}

TEST(ErrorMessage, UndefinedCodeWithoutSessionLeavesBufferAndRecordsNothing) {
    Varnel_ClearError(VI_NULL);
    for (const ViStatus code : {ViStatus(1), ViStatus(-1), ViStatus(VI_ERROR_TMO), ViStatus(0x3FFF0005)}) {
        char buffer[256] = "unchanged";
        EXPECT_EQ(IVI_ERROR_INVALID_VALUE, Varnel_error_message(VI_NULL, code, buffer)) << code;
        EXPECT_STREQ("unchanged", buffer);
        EXPECT_EQ(0, ReadError(VI_NULL).code);
    }
}

TEST_F(SimulatedSession, UndefinedCodeWithSessionRecordsTheCodeInDecimal) {
    struct Case {
        ViStatus code;
        const char* written;
    };
    for (const Case c : {Case{1, "1"}, Case{VI_ERROR_TMO, "-1073807339"}}) {
        char buffer[256] = "unchanged";
        EXPECT_EQ(IVI_ERROR_INVALID_VALUE, Varnel_error_message(vi, c.code, buffer));
        EXPECT_STREQ("unchanged", buffer);
        const RecordedError error = ReadError(vi);
        EXPECT_EQ(IVI_ERROR_INVALID_VALUE, error.code);
        EXPECT_EQ(std::string("Invalid value '") + c.written +
                      "' for function 'error_message', parameter 'ErrorCode'.  The error code supplied is not "
                      "defined by the driver.",
                  error.text);
    }
}

TEST_F(SimulatedSession, NullBufferIsANullPointerError) {
    EXPECT_EQ(IVI_ERROR_NULL_POINTER, Varnel_error_message(vi, 0, nullptr));
    EXPECT_EQ("Null pointer passed for function 'Varnel_error_message', parameter 'ErrorMessage'.", ReadError(vi).text);
    EXPECT_EQ(IVI_ERROR_NULL_POINTER, Varnel_error_message(VI_NULL, 0, nullptr));
    EXPECT_EQ(IVI_ERROR_NULL_POINTER, ReadError(VI_NULL).code);
    // A handle that names no session cannot take the record: its status wins.
    EXPECT_EQ(IVI_ERROR_INVALID_SESSION_HANDLE, Varnel_error_message(4242, 0, nullptr));
}

}  // namespace
}  // namespace varnel::test
