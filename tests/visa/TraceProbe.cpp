// Runs one query (and one read that times out) against its own fake
// instrument, so that a test can look at the trace the library writes where
// VARNEL_VISA_TRACE says. Exits 0 when every call gave what it should.
#include <cstdio>

#include "FakeInstrument.h"
#include "visa.h"

int main() {
    varnel::test::FakeInstrument fake;
    fake.reply("MV", "12.5\t\x01\n");  // a tab and a control byte, to be escaped in the trace
    ViSession rm = VI_NULL, vi = VI_NULL;
    if (viOpenDefaultRM(&rm) != VI_SUCCESS) return 2;
    if (viOpen(rm, fake.resource().c_str(), VI_NO_LOCK, 2000, &vi) != VI_SUCCESS) return 3;
    int failures = 0;
    if (viSetAttribute(vi, VI_ATTR_TERMCHAR_EN, VI_TRUE) != VI_SUCCESS) ++failures;
    ViReal64 v = 0;
    if (viQueryf(vi, "MV\n", "%lf%*t", &v) != VI_SUCCESS || v != 12.5) ++failures;
    if (viSetAttribute(vi, VI_ATTR_TMO_VALUE, 50) != VI_SUCCESS) ++failures;
    unsigned char buf[8];
    ViUInt32 n = 0;
    if (viRead(vi, buf, sizeof buf, &n) != VI_ERROR_TMO) ++failures;
    if (viClose(vi) != VI_SUCCESS) ++failures;
    if (viClose(rm) != VI_SUCCESS) ++failures;
    std::printf("vi=%u rm=%u\n", static_cast<unsigned>(vi), static_cast<unsigned>(rm));
    return failures == 0 ? 0 : 4;
}
