// viPrintf: tables of formats and arguments with the exact bytes sent, and
// the status of each malformed or unsupported format.
#include <locale.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "VisaTestSupport.h"

using namespace std::chrono_literals;
using varnel::test::FakeInstrument;
using varnel::test::VisaFixture;

namespace {

// What the session sent since the last call: a marker line is written after
// it, and everything before the marker is the answer.
std::string Sent(FakeInstrument& fake, ViSession vi) {
    static const std::string kMarker = "\x1E@@\n";
    ViUInt32 n = 0;
    EXPECT_EQ(viWrite(vi, reinterpret_cast<ViConstBuf>(kMarker.data()), static_cast<ViUInt32>(kMarker.size()), &n),
              VI_SUCCESS);
    const auto end = std::chrono::steady_clock::now() + 5s;
    std::string got;
    for (;;) {
        got = fake.bytes();
        if (got.size() >= kMarker.size() && got.compare(got.size() - kMarker.size(), kMarker.size(), kMarker) == 0) break;
        if (std::chrono::steady_clock::now() > end) {
            ADD_FAILURE() << "marker not received";
            break;
        }
        std::this_thread::sleep_for(1ms);
    }
    fake.clear();
    return got.size() >= kMarker.size() ? got.substr(0, got.size() - kMarker.size()) : got;
}

struct WriteCase {
    const char* what;
    std::function<ViStatus(ViSession)> call;
    std::string expected;
};

using PrintfTable = VisaFixture;

TEST_F(PrintfTable, EachCaseSendsExactlyItsText) {
    const WriteCase cases[] = {
        // The driver's formats.
        {"CC 2.5", [](ViSession v) { return viPrintf(v, "CC %0.15lg\n", 2.5); }, "CC 2.5\n"},
        {"CC 0.1", [](ViSession v) { return viPrintf(v, "CC %0.15lg\n", 0.1); }, "CC 0.1\n"},
        {"CC -1", [](ViSession v) { return viPrintf(v, "CC %0.15lg\n", -1.0); }, "CC -1\n"},
        {"CC 1e300", [](ViSession v) { return viPrintf(v, "CC %0.15lg\n", 1e300); }, "CC 1e+300\n"},
        {"CC 1/3", [](ViSession v) { return viPrintf(v, "CC %0.15lg\n", 1.0 / 3); }, "CC 0.333333333333333\n"},
        {"CC big", [](ViSession v) { return viPrintf(v, "CC %0.15lg\n", 123456789012345678.0); }, "CC 1.23456789012346e+17\n"},
        {"CC tiny", [](ViSession v) { return viPrintf(v, "CC %0.15lg\n", 0.0001); }, "CC 0.0001\n"},
        {"CC 1e-5", [](ViSession v) { return viPrintf(v, "CC %0.15lg\n", 0.00001); }, "CC 1e-05\n"},
        {"SWCSET", [](ViSession v) { return viPrintf(v, "SWCSET %0.15lg,%0.15lg,%0.15lg,%0.15lg,%ld\n", 1.0, 2.5, 0.1, 0.001, ViInt32(3)); },
         "SWCSET 1,2.5,0.1,0.001,3\n"},
        {"SQU", [](ViSession v) { return viPrintf(v, "SQU %ld,%ld,%ld,%ld\n", ViInt32(1), ViInt32(-2), ViInt32(2147483647), ViInt32(-2147483647 - 1)); },
         "SQU 1,-2,2147483647,-2147483648\n"},
        {"SQD", [](ViSession v) { return viPrintf(v, "SQD %ld,%0.15lg,%0.15lg\n", ViInt32(4), 0.25, 100.0); }, "SQD 4,0.25,100\n"},
        {"MC %s", [](ViSession v) { return viPrintf(v, "MC %s\n", "2"); }, "MC 2\n"},
        {"UDO", [](ViSession v) { return viPrintf(v, "UDO 0,%s\n", "1"); }, "UDO 0,1\n"},
        {"DP 16", [](ViSession v) { return viPrintf(v, "DP 16 DT %0.15lg\n", 0.005); }, "DP 16 DT 0.005\n"},
        {"*CLS", [](ViSession v) { return viPrintf(v, "*CLS\n"); }, "*CLS\n"},
        {"no line feed added", [](ViSession v) { return viPrintf(v, "ABC"); }, "ABC"},
        {"empty", [](ViSession v) { return viPrintf(v, ""); }, ""},
        // Integers.
        {"%d %i", [](ViSession v) { return viPrintf(v, "%d %i", -5, 6); }, "-5 6"},
        {"%u %x %X %o", [](ViSession v) { return viPrintf(v, "%u %x %X %o", 4294967295u, 255u, 255u, 8u); }, "4294967295 ff FF 10"},
        {"%lu %lx", [](ViSession v) { return viPrintf(v, "%lu %lx", ViUInt32(7), ViUInt32(0xABCDu)); }, "7 abcd"},
        {"%hd", [](ViSession v) { return viPrintf(v, "%hd %hu", 70000, 70000); }, "4464 4464"},
        {"%lld", [](ViSession v) { return viPrintf(v, "%lld %llu", ViInt64(-9223372036854775807LL - 1), ViUInt64(18446744073709551615ULL)); },
         "-9223372036854775808 18446744073709551615"},
        {"flags", [](ViSession v) { return viPrintf(v, "[%5d|%-5d|%05d|%+d|% d|%#x|%#o]", 42, 42, 42, 42, 42, 42u, 8u); },
         "[   42|42   |00042|+42| 42|0x2a|010]"},
        {"precision int", [](ViSession v) { return viPrintf(v, "[%.3d|%8.3d]", 7, 7); }, "[007|     007]"},
        {"* width", [](ViSession v) { return viPrintf(v, "[%*d|%*d]", 4, 1, -4, 2); }, "[   1|2   ]"},
        {"* precision", [](ViSession v) { return viPrintf(v, "[%.*f|%.*f]", 2, 3.14159, -1, 1.5); }, "[3.14|1.500000]"},
        // Reals.
        {"%e %E", [](ViSession v) { return viPrintf(v, "%e %E %.3e", 12345.678, 0.000123, 2.5); }, "1.234568e+04 1.230000E-04 2.500e+00"},
        {"%f", [](ViSession v) { return viPrintf(v, "%f|%10.4f|%-10.2f|%+.0f|%#.0f", 2.5, 3.14159, 2.0, 2.5, 3.0); },
         "2.500000|    3.1416|2.00      |+2|3."},
        {"%g %G", [](ViSession v) { return viPrintf(v, "%g %G %#g %.3g %lg", 100000.0, 1e-10, 1.5, 1234.5, 0.5); },
         "100000 1E-10 1.50000 1.23e+03 0.5"},
        {"%f of a float", [](ViSession v) { return viPrintf(v, "%f", 0.5f); }, "0.500000"},
        {"inf nan", [](ViSession v) { return viPrintf(v, "%g %g", HUGE_VAL, -HUGE_VAL); }, "inf -inf"},
        // Characters and strings.
        {"%c", [](ViSession v) { return viPrintf(v, "[%c|%3c|%-3c]", 'A', 'B', 'C'); }, "[A|  B|C  ]"},
        {"%s forms", [](ViSession v) { return viPrintf(v, "[%8s|%-8s|%.2s|%*s|%-*.*s]", "abc", "abc", "abcdef", 5, "x", 6, 3, "abcdef"); },
         "[     abc|abc     |ab|    x|abc   ]"},
        {"%s empty", [](ViSession v) { return viPrintf(v, "[%s]", ""); }, "[]"},
        {"%%", [](ViSession v) { return viPrintf(v, "100%% %d%%", 5); }, "100% 5%"},
        // Backslash escapes of VISA format strings.
        {"escapes", [](ViSession v) { return viPrintf(v, "A\\nB\\tC\\r\\x41\\101\\\\\\\"\\'"); }, "A\nB\tC\rAA\\\"'"},
        {"escaped NUL", [](ViSession v) { return viPrintf(v, "A\\0B"); }, std::string("A\0B", 3)},
        // Longer than the write buffer.
        {"long %s", [](ViSession v) {
             static const std::string big(10000, 'z');
             return viPrintf(v, "S %s\n", big.c_str());
         },
         "S " + std::string(10000, 'z') + "\n"},
        {"long padding", [](ViSession v) { return viPrintf(v, "%9000d", 1); }, std::string(8999, ' ') + "1"},
        {"long %f", [](ViSession v) { return viPrintf(v, "%.600f", 1.0); }, "1." + std::string(600, '0')},
    };
    for (const WriteCase& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.call(vi), VI_SUCCESS);
        EXPECT_EQ(Sent(fake, vi), c.expected);
    }
}

TEST_F(PrintfTable, RealFormsMatchCPrintf) {
    const char* formats[] = {"%0.15lg", "%lg", "%.17g", "%e", "%.0e", "%12.5E", "%f", "%.10f", "%-+12.3f",
                             "%G", "%#.3g", "% 010.2f", "%.1lf", "%+e", "%.0g", "%08.3G", "%.500f"};
    const double values[] = {0.0, -0.0, 1.0, -1.0, 2.5, 0.1, 1.0 / 3, 1e-300, 1e300, 123456.789, -9.87654321e-7,
                             4503599627370497.0, 0.5, 99999.95, 1e15, 1e16, 5e-324};
    std::string expected;
    for (const char* f : formats) {
        for (double v : values) {
            char buf[2048];
            std::snprintf(buf, sizeof buf, f, v);
            expected += buf;
            expected += '\n';
            const std::string line = std::string(f) + "\n";
            ASSERT_EQ(viPrintf(vi, line.c_str(), v), VI_SUCCESS);
        }
    }
    EXPECT_EQ(Sent(fake, vi), expected);
}

TEST_F(PrintfTable, IntegerFormsMatchCPrintf) {
    const char* formats[] = {"%d", "%ld", "%5ld", "%-5d", "%05d", "%+d", "% d", "%x", "%08X", "%o", "%u", "%.0d"};
    const ViInt32 values[] = {0, 1, -1, 42, -42, 2147483647, -2147483647 - 1, 65535, 100000};
    std::string expected;
    for (const char* f : formats) {
        for (ViInt32 v : values) {
            // VISA's 'l' marks a ViInt32; C's would read a long.
            std::string cf(f);
            cf.erase(std::remove(cf.begin(), cf.end(), 'l'), cf.end());
            char buf[64];
            std::snprintf(buf, sizeof buf, cf.c_str(), v);
            expected += buf;
            expected += '\n';
            ASSERT_EQ(viPrintf(vi, (std::string(f) + "\n").c_str(), v), VI_SUCCESS);
        }
    }
    EXPECT_EQ(Sent(fake, vi), expected);
}

struct BadFormat {
    const char* format;
    ViStatus expected;
};

TEST_F(PrintfTable, MalformedAndUnsupportedFormatsSendNothing) {
    const BadFormat cases[] = {
        {"%", VI_ERROR_INV_FMT},        {"CC %", VI_ERROR_INV_FMT},    {"%5", VI_ERROR_INV_FMT},
        {"%.2", VI_ERROR_INV_FMT},      {"%k", VI_ERROR_INV_FMT},      {"%ls", VI_ERROR_INV_FMT},
        {"%hf", VI_ERROR_INV_FMT},      {"%llf", VI_ERROR_INV_FMT},    {"%lc", VI_ERROR_INV_FMT},
        {"%5%", VI_ERROR_INV_FMT},      {"%n", VI_ERROR_INV_FMT},      {"%p", VI_ERROR_INV_FMT},
        {"%123456789d", VI_ERROR_INV_FMT}, {"A\\q", VI_ERROR_INV_FMT}, {"A\\", VI_ERROR_INV_FMT},
        {"\\x", VI_ERROR_INV_FMT},      {"\\777", VI_ERROR_INV_FMT},   {"OK %d then %", VI_ERROR_INV_FMT},
        {"%b", VI_ERROR_NSUP_FMT},      {"%B", VI_ERROR_NSUP_FMT},     {"%y", VI_ERROR_NSUP_FMT},
        {"%Y", VI_ERROR_NSUP_FMT},      {"%,5d", VI_ERROR_NSUP_FMT},   {"%@1d", VI_ERROR_NSUP_FMT},
        {"%!ob", VI_ERROR_NSUP_FMT},    {"%zb", VI_ERROR_NSUP_FMT},    {"%Lf", VI_ERROR_NSUP_FMT},
        {"%hhd", VI_ERROR_NSUP_FMT},    {"%5,d", VI_ERROR_NSUP_FMT},
    };
    for (const BadFormat& c : cases) {
        SCOPED_TRACE(c.format);
        EXPECT_EQ(viPrintf(vi, c.format, 1, 2, 3), c.expected);
        EXPECT_EQ(Sent(fake, vi), "");
    }
    EXPECT_EQ(viPrintf(vi, nullptr), VI_ERROR_USER_BUF);
    EXPECT_EQ(viPrintf(vi, "A %s B", static_cast<const char*>(nullptr)), VI_ERROR_USER_BUF);
    EXPECT_EQ(Sent(fake, vi), "");
    EXPECT_EQ(viPrintf(0xDEADBEEF, "X"), VI_ERROR_INV_OBJECT);

    // A format found valid once and then changed in place is checked again.
    char format[] = "A %ld\n";
    EXPECT_EQ(viPrintf(vi, format, 1), VI_SUCCESS);
    format[3] = 'k';
    EXPECT_EQ(viPrintf(vi, format, 1), VI_ERROR_INV_FMT);
    format[3] = 'l';
    format[4] = '\0';
    EXPECT_EQ(viPrintf(vi, format, 1), VI_ERROR_INV_FMT);
    EXPECT_EQ(Sent(fake, vi), "A 1\n");
}

TEST_F(PrintfTable, NumbersIgnoreTheCallersLocale) {
    const char* names[] = {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "C.UTF-8"};
    locale_t other = static_cast<locale_t>(nullptr);
    for (const char* n : names) {
        other = newlocale(LC_ALL_MASK, n, static_cast<locale_t>(nullptr));
        if (other) break;
    }
    if (!other) GTEST_SKIP() << "no other locale installed";
    const locale_t before = uselocale(other);
    EXPECT_EQ(viPrintf(vi, "CC %0.15lg\n", 2.5), VI_SUCCESS);
    uselocale(before);
    freelocale(other);
    EXPECT_EQ(Sent(fake, vi), "CC 2.5\n");
}

TEST_F(PrintfTable, ViVPrintfTakesAVaList) {
    auto call = [](ViSession v, const char* f, ...) {
        va_list ap;
        va_start(ap, f);
        const ViStatus s = viVPrintf(v, f, ap);
        va_end(ap);
        return s;
    };
    EXPECT_EQ(call(vi, "CC %0.15lg,%ld,%s\n", 2.5, ViInt32(3), "x"), VI_SUCCESS);
    EXPECT_EQ(Sent(fake, vi), "CC 2.5,3,x\n");
}

}  // namespace
