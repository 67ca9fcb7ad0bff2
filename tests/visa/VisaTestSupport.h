// Helpers of the VISA tests: a resource manager and one session opened on a
// fake instrument, closed at the end of the test.
#ifndef VARNEL_TESTS_VISA_SUPPORT_H
#define VARNEL_TESTS_VISA_SUPPORT_H

#include <string>

#include <gtest/gtest.h>

#include "FakeInstrument.h"
#include "visa.h"

namespace varnel::test {

struct VisaFixture : public ::testing::Test {
    FakeInstrument fake;
    ViSession rm = VI_NULL;
    ViSession vi = VI_NULL;

    void SetUp() override {
        ASSERT_EQ(viOpenDefaultRM(&rm), VI_SUCCESS);
        ASSERT_EQ(viOpen(rm, fake.resource().c_str(), VI_NO_LOCK, 2000, &vi), VI_SUCCESS);
    }
    void TearDown() override {
        if (rm != VI_NULL) viClose(rm);
    }
    // The driver's set-up of a socket session: line feed ends every reply.
    void EnableTermChar() {
        ASSERT_EQ(viSetAttribute(vi, VI_ATTR_TERMCHAR, 10), VI_SUCCESS);
        ASSERT_EQ(viSetAttribute(vi, VI_ATTR_TERMCHAR_EN, VI_TRUE), VI_SUCCESS);
    }
};

inline std::string StatusText(ViStatus s) {
    char text[256] = "";
    viStatusDesc(VI_NULL, s, text);
    return text;
}

}  // namespace varnel::test

#endif
