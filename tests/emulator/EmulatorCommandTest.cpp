// The emulator's replies to single command lines: every line the driver
// sends is accepted with a reply of the right form, and bad or unknown lines
// get no reply, change nothing and are counted. Each case runs on a fresh
// emulator; the event status register read after the line tells accepted
// (0), bad arguments (16) and unknown (32) apart, and its reply being the
// next line read proves that the line itself got no stray reply.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "EmulatorHarness.h"

namespace varnel::emulator::test {
namespace {

enum class Expect { Accepted, Integer, Real, Exact, Prefix, BadArguments, Unknown };

struct Case {
    std::string line;
    Expect expect;
    std::string reply = {};  // Exact and Prefix
};

std::ostream& operator<<(std::ostream& os, const Case& c) { return os << '"' << c.line << '"'; }

bool IsInteger(const std::string& s) {
    std::size_t i = s.size() > 1 && s[0] == '-' ? 1 : 0;
    return i < s.size() && s.find_first_not_of("0123456789", i) == std::string::npos;
}

bool IsReal(const std::string& s) {
    char* end = nullptr;
    std::strtod(s.c_str(), &end);
    return !s.empty() && *end == '\0' && s.find_first_of(" \t") == std::string::npos;
}

std::vector<Case> DriverLines() {
    std::vector<Case> cases = {
        {"*IDN?", Expect::Exact, "QVX M1 LOAD 1.05"},
        {"*ESR?", Expect::Integer},
        {"*CLS", Expect::Accepted},
        {"*RST", Expect::Accepted},
        {"INI", Expect::Accepted},
        {"CL", Expect::Accepted},
        {"AC", Expect::Accepted},
        {"QUES", Expect::Exact, "0"},
        {"V", Expect::Exact, "1.05"},
        {"CALSRALG", Expect::Exact, "QVX0012345"},
        {"SYST:COMM:LAN:IP?", Expect::Exact, "127.0.0.1"},
        {"SYST:COMM:LAN:MAC?", Expect::Prefix, "02:51:56:"},
        {"SYST:COMM:LAN:HOST?", Expect::Exact, "qvx-m1-qvx0012345"},
        {"SYST:COMM:LAN:IDLED 1", Expect::Accepted},
        {"SYST:COMM:LAN:IDLED 0", Expect::Accepted},
        {"SYST:COMM:LAN:RES", Expect::Accepted},
        {"DIAG:COMM:LAN:FAC", Expect::Accepted},
        {"CC 2.5", Expect::Accepted},
        {"CC 0.1", Expect::Accepted},
        {"CP 10", Expect::Accepted},
        {"CR 8", Expect::Accepted},
        {"CV 5", Expect::Accepted},
        {"CX 1.5", Expect::Accepted},
        {"LS 10", Expect::Accepted},
        {"SW 1", Expect::Accepted},
        {"SW 0", Expect::Accepted},
        {"GV 1", Expect::Accepted},
        {"GC 0.5", Expect::Accepted},
        {"LV 1.5", Expect::Accepted},
        {"RF 1.5", Expect::Accepted},
        {"UDO 0,0", Expect::Accepted},
        {"UDO 0,1", Expect::Accepted},
        {"CS", Expect::Accepted},
        {"FDT 10", Expect::Accepted},
        {"FDD 25", Expect::Accepted},
        {"FDC 1,1.5", Expect::Accepted},
        {"FDC 2,0.5", Expect::Accepted},
        {"FDR 1,0.2", Expect::Accepted},
        {"FDR 2,0.2", Expect::Accepted},
        {"SQI", Expect::Accepted},
        {"SQU 1,2,3,4", Expect::Accepted},
        {"SQD 5,1.5,0.25", Expect::Accepted},
        {"SQC 1", Expect::Accepted},
        {"SQC 0", Expect::Accepted},
        {"SWCSET 0,5,10,1,10", Expect::Accepted},
        {"SWPSET 1,2.5,0.1,0.001,3", Expect::Accepted},
        {"SWRSET 0,0.5,10,1,10", Expect::Accepted},
        {"SWRFSET 0.01,5", Expect::Accepted},
        {"SWCTSET 1,2", Expect::Accepted},
        {"SWPTSET 1,2", Expect::Accepted},
        {"SWCSTART", Expect::Accepted},
        {"SWPSTART", Expect::Accepted},
        {"SWRSTART", Expect::Accepted},
        {"SWCRESSTP", Expect::Exact, "-1"},
        {"SWPRESSTP", Expect::Exact, "-1"},
        {"SWRRESSTP", Expect::Exact, "-1"},
        {"SWCRES 1", Expect::Exact, "1,NOT RUN"},
        {"SWPRES 3", Expect::Exact, "3,NOT RUN"},
        {"SWRRES 1000", Expect::Exact, "1000,NOT RUN"},
        {"SWCTRES", Expect::Exact, "NOT RUN"},
        {"SWPTRES", Expect::Exact, "NOT RUN"},
        {"MV", Expect::Real},
        {"MCFR", Expect::Real},
        {"MW", Expect::Real},
        {"MP", Expect::Real},
        {"BMW", Expect::Real},
    };
    for (const char* word : {"RC", "MD", "MC", "BMC"})
        for (int v = 0; v <= 3; ++v) cases.push_back({std::string(word) + " " + std::to_string(v), word[0] == 'R' ? Expect::Accepted : Expect::Real});
    for (const char* word : {"MN", "MR"})
        for (int v = 0; v <= 2; ++v) cases.push_back({std::string(word) + " " + std::to_string(v), Expect::Real});
    struct Coded { const char* word; int low, high; };
    for (const Coded& c : {Coded{"RV", 1, 2}, {"LM", 0, 8}, {"DS", 0, 2}, {"MF", 0, 1}, {"HZ", 0, 1}, {"MS", 0, 1},
                           {"FH", 1, 2}, {"FL", 1, 4}, {"BS", 0, 2}, {"ALMCOFF", 0, 1}, {"ALMPOFF", 0, 1}, {"CD", 0, 3}})
        for (int v = c.low; v <= c.high; ++v) cases.push_back({std::string(c.word) + " " + std::to_string(v), Expect::Accepted});
    for (int step = 1; step <= 16; ++step)
        for (const char* code : {"DC 1.5", "DT 2", "DR 0.5"})
            cases.push_back({"DP " + std::to_string(step) + " " + code, Expect::Accepted});
    return cases;
}

const std::vector<Case> kLenient = {
    {"*idn?", Expect::Exact, "QVX M1 LOAD 1.05"},
    {"  MV  ", Expect::Real},
    {"MV\r", Expect::Real},
    {"cc +1.5", Expect::Accepted},
    {"SWCSET 0 , 5 , 10 , 1 , 10", Expect::Accepted},
    {"DP  3   dc   1e-1", Expect::Accepted},
};

const std::vector<Case> kRejected = {
    {"FOO", Expect::Unknown},
    {"CCX 1", Expect::Unknown},
    {"SWCRESSTPX", Expect::Unknown},
    {"SYST:COMM:LAN:IP", Expect::Unknown},
    {"?", Expect::Unknown},
    {"CC", Expect::BadArguments},
    {"CC -1", Expect::BadArguments},
    {"CC 1e300", Expect::BadArguments},
    {"CC 31", Expect::BadArguments},
    {"CC abc", Expect::BadArguments},
    {"CC 1,2", Expect::BadArguments},
    {"CC nan", Expect::BadArguments},
    {"CC inf", Expect::BadArguments},
    {"CC ++1", Expect::BadArguments},
    {"CC +-1", Expect::BadArguments},
    {"CC 0x10", Expect::BadArguments},
    {"CC 1.5V", Expect::BadArguments},
    {"CR 0", Expect::BadArguments},
    {"LS 31", Expect::BadArguments},
    {"RC 4", Expect::BadArguments},
    {"RC 1.5", Expect::BadArguments},
    {"SW 2", Expect::BadArguments},
    {"SW -1", Expect::BadArguments},
    {"FL 0", Expect::BadArguments},
    {"FH 0", Expect::BadArguments},
    {"LM 9", Expect::BadArguments},
    {"UDO 1,1", Expect::BadArguments},
    {"UDO 0,2", Expect::BadArguments},
    {"UDO 0", Expect::BadArguments},
    {"DP 0 DC 1", Expect::BadArguments},
    {"DP 17 DC 1", Expect::BadArguments},
    {"DP 1 DX 1", Expect::BadArguments},
    {"DP 1 DC", Expect::BadArguments},
    {"DP 1 DT -1", Expect::BadArguments},
    {"FDT 0", Expect::BadArguments},
    {"FDD 101", Expect::BadArguments},
    {"FDC 3,1", Expect::BadArguments},
    {"CD 4", Expect::BadArguments},
    {"SQU 0,1,0,0", Expect::BadArguments},
    {"SQU 1,1,4,0", Expect::BadArguments},
    {"SQU 1,2,3", Expect::BadArguments},
    {"SQD 65,1,1", Expect::BadArguments},
    {"SQD 1,1,-1", Expect::BadArguments},
    {"SQC 2", Expect::BadArguments},
    {"SWCSET 0,1,10,0,0", Expect::BadArguments},
    {"SWCSET 0,1,10,0,1001", Expect::BadArguments},
    {"SWCSET 0,1,10,0", Expect::BadArguments},
    {"SWCSET 0,1,10,0,2.5", Expect::BadArguments},
    {"SWCSET 0,31,10,0,10", Expect::BadArguments},
    {"SWPSET -1,1,10,0,10", Expect::BadArguments},
    {"SWCTSET 5,1", Expect::BadArguments},
    {"SWCRES 0", Expect::BadArguments},
    {"SWCRES 1001", Expect::BadArguments},
    {"SWCRES", Expect::BadArguments},
    {"SWCSTART 1", Expect::BadArguments},
    {"MV 1", Expect::BadArguments},
    {"MC 4", Expect::BadArguments},
    {"MN 3", Expect::BadArguments},
    {"MD -1", Expect::BadArguments},
    {"*IDN? x", Expect::BadArguments},
    {"QUES 1", Expect::BadArguments},
};

class CommandLine : public ::testing::TestWithParam<Case> {};

TEST_P(CommandLine, GetsItsReplyAndStatus) {
    const Case& c = GetParam();
    RunningEmulator emu;
    LineClient client(emu.port());
    client.Send(c.line);
    if (c.expect == Expect::Integer || c.expect == Expect::Real || c.expect == Expect::Exact ||
        c.expect == Expect::Prefix) {
        const auto reply = client.ReadLine();
        ASSERT_TRUE(reply.has_value()) << "no reply";
        switch (c.expect) {
            case Expect::Integer: EXPECT_TRUE(IsInteger(*reply)) << *reply; break;
            case Expect::Real: EXPECT_TRUE(IsReal(*reply)) << *reply; break;
            case Expect::Exact: EXPECT_EQ(*reply, c.reply); break;
            default: EXPECT_EQ(reply->rfind(c.reply, 0), 0u) << *reply; break;
        }
    }
    const int expectedStatus = c.expect == Expect::Unknown ? 32 : c.expect == Expect::BadArguments ? 16 : 0;
    EXPECT_EQ(client.Status(), expectedStatus);
    const bool counted = c.expect == Expect::Unknown || c.expect == Expect::BadArguments;
    EXPECT_EQ(emu.instrument().UnknownCount(), counted ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(DriverLines, CommandLine, ::testing::ValuesIn(DriverLines()));
INSTANTIATE_TEST_SUITE_P(Lenient, CommandLine, ::testing::ValuesIn(kLenient));
INSTANTIATE_TEST_SUITE_P(Rejected, CommandLine, ::testing::ValuesIn(kRejected));

// A rejected line changes nothing: the set point, the mode and the load state
// stay as they were.
TEST(RejectedLine, ChangesNothing) {
    RunningEmulator emu;
    LineClient c(emu.port());
    c.Send("CC 2");
    c.Send("SW 1");
    const double before = c.QueryReal("MCFR");
    for (const char* bad : {"CC 1e300", "CC -1", "CR 0", "SW 2", "CV abc", "CP 1,2", "RC 9", "SWCSTART 1", "CD 7"})
        c.Send(bad);
    EXPECT_NEAR(c.QueryReal("MCFR"), before, 0.01);
    EXPECT_EQ(c.Query("SWCRESSTP"), "-1");
    EXPECT_EQ(emu.instrument().UnknownCount(), 9u);
}

// Empty lines (also blank ones, or only a carriage return) are no commands:
// not answered and not counted.
TEST(EmptyLine, IsIgnoredWithoutCounting) {
    RunningEmulator emu;
    LineClient c(emu.port());
    c.SendRaw("\n   \n\r\n\t\n");
    EXPECT_EQ(c.Status(), 0);
    EXPECT_EQ(emu.instrument().UnknownCount(), 0u);
}

}  // namespace
}  // namespace varnel::emulator::test
