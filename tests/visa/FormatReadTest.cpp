// viScanf and viQueryf: tables of read formats and replies with what is
// stored and the status, including every read format the driver uses.
#include <chrono>
#include <cmath>
#include <cstring>
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "VisaTestSupport.h"

using namespace std::chrono_literals;
using varnel::test::VisaFixture;

namespace {

struct ReadCase {
    const char* what;
    std::string reply;                     // the answer to "Q"
    std::function<void(ViSession)> check;  // queries "Q\n" and checks
};

class ScanTable : public VisaFixture {
protected:
    void SetUp() override {
        VisaFixture::SetUp();
        EnableTermChar();
        ASSERT_EQ(viSetAttribute(vi, VI_ATTR_TMO_VALUE, 1000), VI_SUCCESS);
    }
    void Run(const ReadCase* begin, const ReadCase* end) {
        for (const ReadCase* c = begin; c != end; ++c) {
            SCOPED_TRACE(std::string(c->what) + " on reply \"" + c->reply + "\"");
            fake.reply("Q", c->reply);
            c->check(vi);
        }
    }
};

TEST_F(ScanTable, DriverFormats) {
    const ReadCase cases[] = {
        {"%lf%*t", "12.5\n", [](ViSession v) {
             ViReal64 x = 0;
             EXPECT_EQ(viQueryf(v, "Q\n", "%lf%*t", &x), VI_SUCCESS);
             EXPECT_EQ(x, 12.5);
         }},
        {"%lf%*t exponent", "+1.25000E+01\n", [](ViSession v) {
             ViReal64 x = 0;
             EXPECT_EQ(viQueryf(v, "Q\n", "%lf%*t", &x), VI_SUCCESS);
             EXPECT_EQ(x, 12.5);
         }},
        {"%lf%*t blanks and rest", "  -0.001 V extra\n", [](ViSession v) {
             ViReal64 x = 0;
             EXPECT_EQ(viQueryf(v, "Q\n", "%lf%*t", &x), VI_SUCCESS);
             EXPECT_EQ(x, -0.001);
         }},
        {"%lf%*t CRLF", "9.9E37\r\n", [](ViSession v) {
             ViReal64 x = 0;
             EXPECT_EQ(viQueryf(v, "Q\n", "%lf%*t", &x), VI_SUCCESS);
             EXPECT_EQ(x, 9.9e37);
         }},
        {"%lf%*t no number", "abc\n", [](ViSession v) {
             ViReal64 x = 7;
             EXPECT_EQ(viQueryf(v, "Q\n", "%lf%*t", &x), VI_ERROR_IO);
             EXPECT_EQ(x, 7);
         }},
        {"%lf%*t empty reply", "\n", [](ViSession v) {
             ViReal64 x = 7;
             EXPECT_EQ(viQueryf(v, "Q\n", "%lf%*t", &x), VI_ERROR_IO);
         }},
        {"%lf%*t sign only", "-\n", [](ViSession v) {
             ViReal64 x = 7;
             EXPECT_EQ(viQueryf(v, "Q\n", "%lf%*t", &x), VI_ERROR_IO);
         }},
        {"%lf%*t bad exponent", "1e+\n", [](ViSession v) {
             ViReal64 x = 7;
             EXPECT_EQ(viQueryf(v, "Q\n", "%lf%*t", &x), VI_ERROR_IO);
         }},
        {"%ld%*T", "32\n", [](ViSession v) {
             ViInt32 x = 0;
             EXPECT_EQ(viQueryf(v, "Q\n", "%ld%*T", &x), VI_SUCCESS);
             EXPECT_EQ(x, 32);
         }},
        {"%ld%*T rest", "-7,1,2\n", [](ViSession v) {
             ViInt32 x = 0;
             EXPECT_EQ(viQueryf(v, "Q\n", "%ld%*T", &x), VI_SUCCESS);
             EXPECT_EQ(x, -7);
         }},
        {"%ld%*t limits", "2147483647\n", [](ViSession v) {
             ViInt32 x = 0;
             EXPECT_EQ(viQueryf(v, "Q\n", "%ld%*t", &x), VI_SUCCESS);
             EXPECT_EQ(x, 2147483647);
         }},
        {"%ld%*t out of range", "2147483648\n", [](ViSession v) {
             ViInt32 x = 5;
             EXPECT_EQ(viQueryf(v, "Q\n", "%ld%*t", &x), VI_ERROR_IO);
             EXPECT_EQ(x, 5);
         }},
        {"%ld%*t not a number", "X\n", [](ViSession v) {
             ViInt32 x = 5;
             EXPECT_EQ(viQueryf(v, "Q\n", "%ld%*t", &x), VI_ERROR_IO);
         }},
        {"QVX identity", "QVX M2 LOAD 1.05\n", [](ViSession v) {
             char model[257] = "", fw[257] = "";
             EXPECT_EQ(viQueryf(v, "Q\n", "QVX %256s %*s %256s%*T", model, fw), VI_SUCCESS);
             EXPECT_STREQ(model, "M2");
             EXPECT_STREQ(fw, "1.05");
         }},
        {"QVX identity with more words", "QVX M4 LOAD 2.10 build 7\n", [](ViSession v) {
             char model[257] = "", fw[257] = "";
             EXPECT_EQ(viQueryf(v, "Q\n", "QVX %256s %*s %256s%*T", model, fw), VI_SUCCESS);
             EXPECT_STREQ(model, "M4");
             EXPECT_STREQ(fw, "2.10");
         }},
        {"QVX identity of another family", "XYZ M2 LOAD 1.05\n", [](ViSession v) {
             char model[257] = "-", fw[257] = "-";
             EXPECT_EQ(viQueryf(v, "Q\n", "QVX %256s %*s %256s%*T", model, fw), VI_ERROR_IO);
             EXPECT_STREQ(model, "-");
         }},
        {"QVX identity without blank", "QVXM2 LOAD 1.05\n", [](ViSession v) {
             char model[257] = "-", fw[257] = "-";
             ViStatus s = viQueryf(v, "Q\n", "QVX %256s %*s %256s%*T", model, fw);
             // C rules: the blank of the format matches no blank too, so
             // "M2" is read; what decides is the rest.
             EXPECT_EQ(s, VI_SUCCESS);
             EXPECT_STREQ(model, "M2");
             EXPECT_STREQ(fw, "1.05");
         }},
        {"QVX identity cut short", "QVX M2\n", [](ViSession v) {
             char model[257] = "-", fw[257] = "-";
             EXPECT_EQ(viQueryf(v, "Q\n", "QVX %256s %*s %256s%*T", model, fw), VI_ERROR_IO);
             EXPECT_STREQ(model, "M2");
             EXPECT_STREQ(fw, "-");
         }},
        {"QVX identity long model", "QVX " + std::string(300, 'm') + " LOAD 1.05\n", [](ViSession v) {
             char model[257] = "", fw[257] = "";
             EXPECT_EQ(viQueryf(v, "Q\n", "QVX %256s %*s %256s%*T", model, fw), VI_SUCCESS);
             EXPECT_EQ(std::string(model), std::string(256, 'm'));
             EXPECT_STREQ(fw, "LOAD");  // the %*s took the 44 other m's
         }},
        {"*IDN? four fields", "Pellucor,QVX M2,SN123,1.05\n", [](ViSession v) {
             char f[4][257] = {};
             EXPECT_EQ(viQueryf(v, "Q\n", "%256[^,],%256[^,],%256[^,],%256[^,]%*T", f[0], f[1], f[2], f[3]), VI_SUCCESS);
             EXPECT_STREQ(f[0], "Pellucor");
             EXPECT_STREQ(f[1], "QVX M2");
             EXPECT_STREQ(f[2], "SN123");
             EXPECT_STREQ(f[3], "1.05");  // END is not part of the field
         }},
        {"*IDN? three fields", "Pellucor,QVX M2,SN123\n", [](ViSession v) {
             char f[4][257] = {};
             EXPECT_EQ(viQueryf(v, "Q\n", "%256[^,],%256[^,],%256[^,],%256[^,]%*T", f[0], f[1], f[2], f[3]), VI_ERROR_IO);
             EXPECT_STREQ(f[2], "SN123");
         }},
        {"%#[^\\n]%*t cut to the buffer", "192.168.0.1\n", [](ViSession v) {
             char buf[4] = "zzz";
             ViInt32 n = 4;
             EXPECT_EQ(viQueryf(v, "Q\n", "%#[^\n]%*t", &n, buf), VI_SUCCESS);
             EXPECT_STREQ(buf, "192");
             EXPECT_EQ(n, 3);
         }},
        {"%#[^\\n]%*t fits", "192.168.0.1\n", [](ViSession v) {
             char buf[64];
             ViInt32 n = 64;
             EXPECT_EQ(viQueryf(v, "Q\n", "%#[^\n]%*t", &n, buf), VI_SUCCESS);
             EXPECT_STREQ(buf, "192.168.0.1");
             EXPECT_EQ(n, 11);
         }},
        {"%#[^\\n]%*t exactly full", "abc\n", [](ViSession v) {
             char buf[4];
             ViInt32 n = 4;
             EXPECT_EQ(viQueryf(v, "Q\n", "%#[^\n]%*t", &n, buf), VI_SUCCESS);
             EXPECT_STREQ(buf, "abc");
             EXPECT_EQ(n, 3);
         }},
        {"%#[^\\n]%*t count 1", "abc\n", [](ViSession v) {
             char buf[4] = "zzz";
             ViInt32 n = 1;
             EXPECT_EQ(viQueryf(v, "Q\n", "%#[^\n]%*t", &n, buf), VI_SUCCESS);
             EXPECT_STREQ(buf, "");
             EXPECT_EQ(n, 0);
         }},
        {"%#[^\\n]%*t count 0", "abc\n", [](ViSession v) {
             char buf[4] = "zzz";
             ViInt32 n = 0;
             EXPECT_EQ(viQueryf(v, "Q\n", "%#[^\n]%*t", &n, buf), VI_SUCCESS);
             EXPECT_STREQ(buf, "zzz");
             EXPECT_EQ(n, 0);
         }},
        {"%#[^\\n]%*t negative count", "abc\n", [](ViSession v) {
             char buf[4] = "zzz";
             ViInt32 n = -5;
             EXPECT_EQ(viQueryf(v, "Q\n", "%#[^\n]%*t", &n, buf), VI_SUCCESS);
             EXPECT_STREQ(buf, "zzz");
             EXPECT_EQ(n, 0);
         }},
        {"%#[^\\n]%*t first of several lines", "line1\nline2\n", [](ViSession v) {
             char buf[64];
             ViInt32 n = 64;
             EXPECT_EQ(viQueryf(v, "Q\n", "%#[^\n]%*t", &n, buf), VI_SUCCESS);
             EXPECT_STREQ(buf, "line1");
         }},
        {"%#[^\\n]%*t empty line", "\n", [](ViSession v) {
             char buf[8] = "zzz";
             ViInt32 n = 8;
             EXPECT_EQ(viQueryf(v, "Q\n", "%#[^\n]%*t", &n, buf), VI_ERROR_IO);
         }},
    };
    Run(std::begin(cases), std::end(cases));
}

TEST_F(ScanTable, Conversions) {
    const ReadCase cases[] = {
        {"reals", "1e-3 inf NaN 0x1p3 .5 5. 1E2\n", [](ViSession v) {
             ViReal64 a, b, c, d, e, f, g;
             EXPECT_EQ(viQueryf(v, "Q\n", "%lf %lf %lf %lf %lf %lf %lf%*t", &a, &b, &c, &d, &e, &f, &g), VI_SUCCESS);
             EXPECT_EQ(a, 0.001);
             EXPECT_TRUE(std::isinf(b));
             EXPECT_TRUE(std::isnan(c));
             EXPECT_EQ(d, 8.0);
             EXPECT_EQ(e, 0.5);
             EXPECT_EQ(f, 5.0);
             EXPECT_EQ(g, 100.0);
         }},
        {"%e %g %E %G forms", "1 2 3 4\n", [](ViSession v) {
             ViReal64 a, b, c, d;
             EXPECT_EQ(viQueryf(v, "Q\n", "%le%lg%lE%lG%*t", &a, &b, &c, &d), VI_SUCCESS);
             EXPECT_EQ(a + b + c + d, 10.0);
         }},
        {"%f into ViReal32", "0.25\n", [](ViSession v) {
             ViReal32 x = 0;
             EXPECT_EQ(viQueryf(v, "Q\n", "%f%*t", &x), VI_SUCCESS);
             EXPECT_EQ(x, 0.25f);
         }},
        {"width on a real", "12345\n", [](ViSession v) {
             ViReal64 a, b;
             EXPECT_EQ(viQueryf(v, "Q\n", "%3lf%lf%*t", &a, &b), VI_SUCCESS);
             EXPECT_EQ(a, 123.0);
             EXPECT_EQ(b, 45.0);
         }},
        {"integers", "ff 17 0x1A 010 -12 +3 4000000000\n", [](ViSession v) {
             ViUInt32 x = 0, o = 0, u = 0;
             ViInt32 i1 = 0, i2 = 0, i3 = 0, d = 0;
             EXPECT_EQ(viQueryf(v, "Q\n", "%x %o %i %i %i %d %u%*t", &x, &o, &i1, &i2, &i3, &d, &u), VI_SUCCESS);
             EXPECT_EQ(x, 255u);
             EXPECT_EQ(o, 15u);
             EXPECT_EQ(i1, 26);
             EXPECT_EQ(i2, 8);
             EXPECT_EQ(i3, -12);
             EXPECT_EQ(d, 3);
             EXPECT_EQ(u, 4000000000u);
         }},
        {"integer sizes", "-300 -9000000000 65535\n", [](ViSession v) {
             ViInt16 h = 0;
             ViInt64 q = 0;
             ViUInt16 hu = 0;
             EXPECT_EQ(viQueryf(v, "Q\n", "%hd %lld %hu%*t", &h, &q, &hu), VI_SUCCESS);
             EXPECT_EQ(h, -300);
             EXPECT_EQ(q, -9000000000LL);
             EXPECT_EQ(hu, 65535);
         }},
        {"%hd out of range", "40000\n", [](ViSession v) {
             ViInt16 h = 1;
             EXPECT_EQ(viQueryf(v, "Q\n", "%hd%*t", &h), VI_ERROR_IO);
             EXPECT_EQ(h, 1);
         }},
        {"%d leaves what follows the digits", "12abc\n", [](ViSession v) {
             ViInt32 n = 0;
             char rest[16] = "";
             EXPECT_EQ(viQueryf(v, "Q\n", "%d%s%*t", &n, rest), VI_SUCCESS);
             EXPECT_EQ(n, 12);
             EXPECT_STREQ(rest, "abc");
         }},
        {"width on an integer", "123456\n", [](ViSession v) {
             ViInt32 a = 0, b = 0;
             EXPECT_EQ(viQueryf(v, "Q\n", "%2d%ld%*t", &a, &b), VI_SUCCESS);
             EXPECT_EQ(a, 12);
             EXPECT_EQ(b, 3456);
         }},
        {"%c", "ab\n", [](ViSession v) {
             char a = 0, b = 0;
             EXPECT_EQ(viQueryf(v, "Q\n", "%c%c%*t", &a, &b), VI_SUCCESS);
             EXPECT_EQ(a, 'a');
             EXPECT_EQ(b, 'b');
         }},
        {"%3c stores no terminator", " xyz\n", [](ViSession v) {
             char buf[5] = "....";
             EXPECT_EQ(viQueryf(v, "Q\n", "%3c%*t", buf), VI_SUCCESS);
             EXPECT_STREQ(buf, " xy.");
         }},
        {"%s and %Ns", "skip abcdefghijkl rest\n", [](ViSession v) {
             char a[11] = "", b[16] = "";
             EXPECT_EQ(viQueryf(v, "Q\n", "%*s %10s%s%*t", a, b), VI_SUCCESS);
             EXPECT_STREQ(a, "abcdefghij");
             EXPECT_STREQ(b, "kl");
         }},
        {"%#s", "abcdef ghi\n", [](ViSession v) {
             char a[4] = "", b[8] = "";
             ViInt32 na = 4, nb = 8;
             EXPECT_EQ(viQueryf(v, "Q\n", "%#s%#s%*t", &na, a, &nb, b), VI_SUCCESS);
             EXPECT_STREQ(a, "abc");  // the rest of the word is consumed
             EXPECT_EQ(na, 3);
             EXPECT_STREQ(b, "ghi");
             EXPECT_EQ(nb, 3);
         }},
        {"scan sets", "abcabd]x]y-z\n", [](ViSession v) {
             char a[16] = "", b[16] = "", c[16] = "";
             EXPECT_EQ(viQueryf(v, "Q\n", "%[a-c]%*[d]%[]x]%[^-]%*t", a, b, c), VI_SUCCESS);
             EXPECT_STREQ(a, "abcab");
             EXPECT_STREQ(b, "]x]");
             EXPECT_STREQ(c, "y");
         }},
        {"scan set with '-' literal", "a-b-c+d\n", [](ViSession v) {
             char a[16] = "";
             EXPECT_EQ(viQueryf(v, "Q\n", "%[-abc]%*t", a), VI_SUCCESS);
             EXPECT_STREQ(a, "a-b-c");
         }},
        {"scan set without match", "xyz\n", [](ViSession v) {
             char a[16] = "-";
             EXPECT_EQ(viQueryf(v, "Q\n", "%[0-9]%*t", a), VI_ERROR_IO);
             EXPECT_STREQ(a, "-");
         }},
        {"%t stores through END", "hello world\n", [](ViSession v) {
             char a[32] = "";
             EXPECT_EQ(viQueryf(v, "Q\n", "%t", a), VI_SUCCESS);
             EXPECT_STREQ(a, "hello world\n");
         }},
        {"%T stores through the termination character", "one two\n", [](ViSession v) {
             char a[32] = "";
             EXPECT_EQ(viQueryf(v, "Q\n", "%*s%T", a), VI_SUCCESS);
             EXPECT_STREQ(a, " two\n");
         }},
        {"%#t", "hello world\n", [](ViSession v) {
             char a[6] = "";
             ViInt32 n = 6;
             EXPECT_EQ(viQueryf(v, "Q\n", "%#t", &n, a), VI_SUCCESS);
             EXPECT_STREQ(a, "hello");
             EXPECT_EQ(n, 5);
         }},
        {"literals", "V=1.5;A=2\n", [](ViSession v) {
             ViReal64 x = 0;
             ViInt32 n = 0;
             EXPECT_EQ(viQueryf(v, "Q\n", "V=%lf;A=%ld%*t", &x, &n), VI_SUCCESS);
             EXPECT_EQ(x, 1.5);
             EXPECT_EQ(n, 2);
         }},
        {"literal mismatch keeps what was stored", "1;2\n", [](ViSession v) {
             ViInt32 a = 0, b = 9;
             EXPECT_EQ(viQueryf(v, "Q\n", "%d,%d%*t", &a, &b), VI_ERROR_IO);
             EXPECT_EQ(a, 1);
             EXPECT_EQ(b, 9);
         }},
        {"white space matches any amount, even none", "1   \t 2,3\n", [](ViSession v) {
             ViInt32 a = 0, b = 0, c = 0;
             EXPECT_EQ(viQueryf(v, "Q\n", "%d %d , %d%*t", &a, &b, &c), VI_SUCCESS);
             EXPECT_EQ(a + b + c, 6);
         }},
        {"%%", "%5\n", [](ViSession v) {
             ViInt32 a = 0;
             EXPECT_EQ(viQueryf(v, "Q\n", "%%%d%*t", &a), VI_SUCCESS);
             EXPECT_EQ(a, 5);
         }},
        {"escapes in the read format", "A\tB\n", [](ViSession v) {
             char c = 0;
             EXPECT_EQ(viQueryf(v, "Q\n", "A\\t%c\\n", &c), VI_SUCCESS);
             EXPECT_EQ(c, 'B');
         }},
        {"a format longer than the reply", "1\n", [](ViSession v) {
             ViInt32 a = 0, b = 0;
             EXPECT_EQ(viQueryf(v, "Q\n", "%d%*t%d", &a, &b), VI_ERROR_IO);
             EXPECT_EQ(a, 1);
         }},
        {"%*t after END already seen", "1\n", [](ViSession v) {
             ViInt32 a = 0;
             EXPECT_EQ(viQueryf(v, "Q\n", "%d\n%*t%*T", &a), VI_SUCCESS);
             EXPECT_EQ(a, 1);
         }},
        {"several values", "1.5,2.5,3\n", [](ViSession v) {
             ViReal64 a = 0, b = 0;
             ViInt32 c = 0;
             EXPECT_EQ(viQueryf(v, "Q\n", "%lf,%lf,%ld%*t", &a, &b, &c), VI_SUCCESS);
             EXPECT_EQ(a, 1.5);
             EXPECT_EQ(b, 2.5);
             EXPECT_EQ(c, 3);
         }},
        {"write arguments before read arguments", "7\n", [](ViSession v) {
             ViInt32 n = 0;
             EXPECT_EQ(viQueryf(v, "%s\n", "%ld%*t", "Q", &n), VI_SUCCESS);
             EXPECT_EQ(n, 7);
         }},
    };
    Run(std::begin(cases), std::end(cases));
}

struct BadFormat {
    const char* format;
    ViStatus expected;
};

TEST_F(ScanTable, MalformedAndUnsupportedFormatsSendNothing) {
    const BadFormat cases[] = {
        {"%", VI_ERROR_INV_FMT},       {"%ld%", VI_ERROR_INV_FMT},   {"%[abc", VI_ERROR_INV_FMT},
        {"%[", VI_ERROR_INV_FMT},      {"%0s", VI_ERROR_INV_FMT},    {"%#5s", VI_ERROR_INV_FMT},
        {"%*#s", VI_ERROR_INV_FMT},    {"%k", VI_ERROR_INV_FMT},     {"%ls", VI_ERROR_INV_FMT},
        {"%hf", VI_ERROR_INV_FMT},     {"%*%", VI_ERROR_INV_FMT},    {"%lc", VI_ERROR_INV_FMT},
        {"\\q", VI_ERROR_INV_FMT},     {"%n", VI_ERROR_INV_FMT},
        {"%b", VI_ERROR_NSUP_FMT},     {"%y", VI_ERROR_NSUP_FMT},    {"%,d", VI_ERROR_NSUP_FMT},
        {"%Lf", VI_ERROR_NSUP_FMT},    {"%#d", VI_ERROR_NSUP_FMT},   {"%#lf", VI_ERROR_NSUP_FMT},
        {"%#c", VI_ERROR_NSUP_FMT},    {"%hhd", VI_ERROR_NSUP_FMT},  {"%@1d", VI_ERROR_NSUP_FMT},
        {"%zd", VI_ERROR_NSUP_FMT},
    };
    fake.reply("Q", "1\n");
    for (const BadFormat& c : cases) {
        SCOPED_TRACE(c.format);
        char buf[64];
        EXPECT_EQ(viQueryf(vi, "Q\n", c.format, buf, buf, buf), c.expected);
        EXPECT_EQ(viScanf(vi, c.format, buf, buf, buf), c.expected);
    }
    EXPECT_EQ(viQueryf(vi, "%k", "%d", nullptr), VI_ERROR_INV_FMT);
    EXPECT_EQ(viQueryf(vi, "Q\n", nullptr), VI_ERROR_USER_BUF);
    EXPECT_EQ(viScanf(vi, nullptr), VI_ERROR_USER_BUF);
    EXPECT_TRUE(fake.bytes().empty());
    ViInt32 n = 0;
    EXPECT_EQ(viQueryf(vi, "Q\n", "%ld%*t", &n), VI_SUCCESS);
    EXPECT_EQ(n, 1);
    ASSERT_TRUE(fake.waitForLines(1, 2s));
    EXPECT_EQ(fake.lines().size(), 1u);
}

TEST_F(ScanTable, NullDestinations) {
    fake.reply("Q", "1 abc\n");
    EXPECT_EQ(viQueryf(vi, "Q\n", "%ld%*t", nullptr), VI_ERROR_USER_BUF);
    EXPECT_EQ(viQueryf(vi, "Q\n", "%lf%*t", nullptr), VI_ERROR_USER_BUF);
    ViInt32 n = 0;
    EXPECT_EQ(viQueryf(vi, "Q\n", "%d %s%*t", &n, nullptr), VI_ERROR_USER_BUF);
    EXPECT_EQ(viQueryf(vi, "Q\n", "%d %#s%*t", &n, nullptr, nullptr), VI_ERROR_USER_BUF);
    ViInt32 size = 8;
    EXPECT_EQ(viQueryf(vi, "Q\n", "%d %#s%*t", &n, &size, nullptr), VI_ERROR_USER_BUF);
}

TEST_F(ScanTable, ScanfUsesWhatAnEarlierCallLeft) {
    ASSERT_TRUE(fake.send("") || true);
    fake.reply("TWO", "1\n2\nrest\n");
    ASSERT_EQ(viPrintf(vi, "TWO\n"), VI_SUCCESS);
    ViInt32 a = 0, b = 0;
    EXPECT_EQ(viScanf(vi, "%ld", &a), VI_SUCCESS);
    EXPECT_EQ(a, 1);
    // The line feed left by the first call is skipped like C scanf does.
    EXPECT_EQ(viScanf(vi, "%ld%*t", &b), VI_SUCCESS);
    EXPECT_EQ(b, 2);
    char rest[16] = "";
    EXPECT_EQ(viScanf(vi, "%t", rest), VI_SUCCESS);
    EXPECT_STREQ(rest, "rest\n");
}

TEST_F(ScanTable, PercentStarTDiscardsOnlyTheRestOfTheReply) {
    fake.reply("TWO", "1\n2\n");
    ASSERT_EQ(viPrintf(vi, "TWO\n"), VI_SUCCESS);
    ViInt32 a = 0, b = 0;
    EXPECT_EQ(viScanf(vi, "%ld", &a), VI_SUCCESS);
    EXPECT_EQ(viScanf(vi, "%*t"), VI_SUCCESS);  // only the line feed that was left
    EXPECT_EQ(viScanf(vi, "%ld%*t", &b), VI_SUCCESS);
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 2);
}

TEST_F(ScanTable, ViVScanfAndViVQueryfTakeAVaList) {
    fake.reply("Q", "3.5,4\n");
    auto query = [](ViSession v, const char* w, const char* r, ...) {
        va_list ap;
        va_start(ap, r);
        const ViStatus s = viVQueryf(v, w, r, ap);
        va_end(ap);
        return s;
    };
    ViReal64 x = 0;
    ViInt32 n = 0;
    EXPECT_EQ(query(vi, "%s\n", "%lf,%ld%*t", "Q", &x, &n), VI_SUCCESS);
    EXPECT_EQ(x, 3.5);
    EXPECT_EQ(n, 4);
    auto scan = [](ViSession v, const char* r, ...) {
        va_list ap;
        va_start(ap, r);
        const ViStatus s = viVScanf(v, r, ap);
        va_end(ap);
        return s;
    };
    ASSERT_EQ(viPrintf(vi, "Q\n"), VI_SUCCESS);
    EXPECT_EQ(scan(vi, "%lf,%ld%*t", &x, &n), VI_SUCCESS);
}

}  // namespace
