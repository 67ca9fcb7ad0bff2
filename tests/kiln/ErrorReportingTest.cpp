// Forming and storing the text of a recorded error.
#include <gtest/gtest.h>

#include <string>

#include "ErrorReporting.h"
#include "IviSession.h"
#include "Varnel.h"

namespace kiln {
namespace {

class Recording : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(VI_SUCCESS, IviSession_New(&vi)); }
    void TearDown() override { IviSession_Dispose(vi); }
    std::string Stored(ViStatus* code = nullptr) {
        char text[2048] = {};
        ViStatus stored = 0;
        IviSession_GetError(vi, sizeof text, &stored, text);
        if (code) *code = stored;
        return text;
    }
    ViSession vi = 0;
};

TEST_F(Recording, MessageTwoSpacesAndElaborationFormattedTogether) {
    EXPECT_EQ(IVI_ERROR_CANNOT_RECOVER,
              ReportErrorWithElaboration(vi, IVI_ERROR_CANNOT_RECOVER, "Inherent option '%s' appears more than once.",
                                         "cache"));
    ViStatus code = 0;
    EXPECT_EQ("Failure cannot recover.  Inherent option 'cache' appears more than once.", Stored(&code));
    EXPECT_EQ(IVI_ERROR_CANNOT_RECOVER, code);

    EXPECT_EQ(IVI_ERROR_BAD_OPTION_NAME, ReportError(vi, IVI_ERROR_BAD_OPTION_NAME, "foo"));
    EXPECT_EQ("The 'foo' name in the option string is unknown.", Stored());

    // An empty elaboration adds nothing.
    ReportErrorWithElaboration(vi, IVI_ERROR_ID_QUERY_FAILED, "");
    EXPECT_EQ("Instrument ID query failed.", Stored());
}

TEST_F(Recording, CodeMissingFromTheTableKeepsOnlyTheElaboration) {
    EXPECT_EQ(1234, ReportErrorWithElaboration(vi, 1234, "value %d", 7));
    EXPECT_EQ("  value 7", Stored());
}

TEST_F(Recording, DescriptionIsCutAt1023Characters) {
    const std::string longText(3000, 'x');
    EXPECT_EQ(IVI_ERROR_CANNOT_RECOVER,
              ReportErrorWithElaboration(vi, IVI_ERROR_CANNOT_RECOVER, "%s", longText.c_str()));
    const std::string stored = Stored();
    EXPECT_EQ(1023u, stored.size());
    EXPECT_EQ("Failure cannot recover.  xxx", stored.substr(0, 28));
}

TEST_F(Recording, ArgumentTextIsStoredLiterally) {
    ReportErrorWithElaboration(vi, IVI_ERROR_ID_QUERY_FAILED, "%s", "%s%n");
    EXPECT_EQ("Instrument ID query failed.  %s%n", Stored());
}

TEST_F(Recording, FailureToStoreIsTheResult) {
    EXPECT_EQ(IVI_ERROR_INVALID_SESSION_HANDLE, ReportError(0xDEAD, IVI_ERROR_CANNOT_RECOVER));
    // VI_NULL records the thread's last error and returns the code.
    EXPECT_EQ(IVI_ERROR_CANNOT_RECOVER, ReportError(VI_NULL, IVI_ERROR_CANNOT_RECOVER));
    IviSession_ClearError(VI_NULL);
}

}  // namespace
}  // namespace kiln
